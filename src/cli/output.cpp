#include "output.h"

#include <unistd.h>

#include <cerrno>
#include <string>

#include "errors/failure.h"
#include "platform/posix/iconv_encoding.h"

namespace cli {
namespace {

std::string Encode(const QString& text, const platform::IconvEncoding& encoding) {
    try {
        return encoding.encode(text);
    } catch (const errors::Failure&) {
    }
    // Character by character, so that one the locale lacks costs only itself.
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        try {
            bytes += encoding.encode(text.sliced(i, length));
        } catch (const errors::Failure&) {
            bytes += '?';
        }
        i += length - 1;
    }
    return bytes;
}

}  // namespace

void Write(int fd, const QString& text, const platform::IconvEncoding& encoding) noexcept {
    try {
        const std::string bytes = Encode(text, encoding);
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(fd, bytes.data() + done, bytes.size() - done);
            if (wrote < 0 && errno == EINTR) {
                continue;
            }
            if (wrote <= 0) {
                return;  // a closed or full stream: nowhere left to tell
            }
            done += static_cast<std::size_t>(wrote);
        }
    } catch (...) {
        // Out of memory, or an encoding that cannot even be opened: nothing to write with.
    }
}

}  // namespace cli
