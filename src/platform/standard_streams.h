#pragma once

#include <QByteArray>
#include <string_view>

// The process's standard streams, for the command line (defined by the POSIX side: the
// Windows program has no console to read or tell).
namespace platform {

enum class OutputStream { Output, Error };

// Writes `bytes` to standard output or error; a closed or full stream takes what it takes,
// and there is nowhere left to tell. Never throws.
void WriteStandardStream(OutputStream stream, std::string_view bytes) noexcept;

// All of standard input, up to `limit` bytes.
struct StandardInput {
    bool read = false;  // false: a read failed
    bool more = false;  // it went on past `limit` (the bytes are the first `limit`)
    QByteArray bytes;
};
StandardInput ReadStandardInput(qint64 limit);

}  // namespace platform
