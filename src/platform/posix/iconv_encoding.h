#pragma once

#include <QByteArray>

#include "platform/encoding.h"

namespace platform {

// Encodes into a character set by name with glibc's iconv. Unrepresentable characters are
// a failure, never replaced.
class IconvEncoding final : public Encoding {
public:
    // The character set of the user's locale (nl_langinfo(CODESET)); plain ASCII counts as
    // UTF-8. Call after the locale is set (QCoreApplication does that).
    static QByteArray SystemCodeSet();

    explicit IconvEncoding(QByteArray codeSet);
    std::string encode(const QString& text) const override;
    QString decode(const QByteArray& bytes) const override;
    const QByteArray& codeSet() const { return codeSet_; }

private:
    QByteArray codeSet_;
    bool isUtf8_;
};

}  // namespace platform
