#pragma once

#include <QByteArray>
#include <QString>
#include <string>

namespace platform {

// The character set of the data file: the system's code page.
class Encoding {
public:
    virtual ~Encoding() = default;
    // Converts `text` to the data file's bytes. Throws errors::Failure (unrepresentable
    // character) rather than writing a substitute for anything it cannot represent.
    virtual std::string encode(const QString& text) const = 0;
    // Reads `bytes` written in the character set. Throws errors::Failure (undecodable input)
    // when they are not, rather than reading a substitute for what does not decode. A byte
    // order mark at the start is dropped.
    virtual QString decode(const QByteArray& bytes) const = 0;
};

}  // namespace platform
