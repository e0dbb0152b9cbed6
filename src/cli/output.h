#pragma once

#include <QString>

namespace platform {
class IconvEncoding;
}

namespace cli {

// Writes `text` to the file descriptor `fd` (standard output or error) in the locale's
// character set; a character it cannot represent is written as "?". Never throws.
void Write(int fd, const QString& text, const platform::IconvEncoding& encoding) noexcept;

}  // namespace cli
