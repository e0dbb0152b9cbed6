#pragma once

#include "platform/encoding.h"

namespace platform {

// The system's ANSI code page. A character the code page lacks is a failure: no best-fit
// look-alike and no default character is ever written in its place.
class WindowsAnsiEncoding final : public Encoding {
public:
    std::string encode(const QString& text) const override;
};

}  // namespace platform
