#pragma once

#include "platform/encoding.h"

namespace platform {

// A Windows code page: CP_ACP (the system's ANSI code page, looked up at each encode) or a
// fixed one. A character the code page lacks is a failure: no best-fit look-alike and no
// default character is ever written in its place.
class WindowsAnsiEncoding final : public Encoding {
public:
    explicit WindowsAnsiEncoding(unsigned codePage) : codePage_(codePage) {}
    std::string encode(const QString& text) const override;
    QString decode(const QByteArray& bytes) const override;

private:
    unsigned codePage_;
};

}  // namespace platform
