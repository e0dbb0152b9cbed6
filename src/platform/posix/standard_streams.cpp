#include "platform/standard_streams.h"

#include <unistd.h>

#include <optional>

#include "platform/posix/posix_io.h"

namespace platform {

void WriteStandardStream(OutputStream stream, std::string_view bytes) noexcept {
    WriteAll(stream == OutputStream::Output ? STDOUT_FILENO : STDERR_FILENO, bytes);
}

StandardInput ReadStandardInput(qint64 limit) {
    std::optional<ReadBytes> read = ReadAll(STDIN_FILENO, limit);
    if (!read) {
        return {};
    }
    return {.read = true, .more = read->more, .bytes = std::move(read->bytes)};
}

}  // namespace platform
