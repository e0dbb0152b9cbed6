#include "platform/standard_streams.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <clocale>
#include <optional>

#include "errors/failure.h"
#include "platform/posix/iconv_encoding.h"
#include "platform/posix/posix_io.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

// No character set takes more bytes a character than this.
constexpr qsizetype kMaxBytesPerCharacter = 4;

// Whether `fd` is closed; if so, /dev/null takes its number (the lowest free one, the lower
// streams being open by now).
bool Fill(int fd) noexcept {
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF) {
        return false;
    }
    const int opened = ::open("/dev/null", O_RDWR);
    if (opened != -1 && opened != fd) {
        ::close(opened);  // not the number it was to take: of no use
    }
    return true;
}

// `text` in the locale's character set, character by character where the whole does not
// go, so that one the locale lacks costs only itself ("?").
std::string Encode(const QString& text) {
    const IconvEncoding encoding(IconvEncoding::SystemCodeSet());
    try {
        return encoding.encode(text);
    } catch (const Failure&) {
    }
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        try {
            bytes += encoding.encode(text.sliced(i, length));
        } catch (const Failure&) {
            bytes += '?';
        }
        i += length - 1;
    }
    return bytes;
}

}  // namespace

ClosedStreams FillClosedStandardStreams() noexcept {
    ClosedStreams closed;
    closed.input = Fill(STDIN_FILENO);
    closed.output = Fill(STDOUT_FILENO);
    Fill(STDERR_FILENO);
    std::setlocale(LC_ALL, "");
    return closed;
}

QStringList CommandLineArguments(int argc, char* argv[]) {
    const IconvEncoding encoding(IconvEncoding::SystemCodeSet());
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(encoding.decode(QByteArray(argv[i])));
    }
    return arguments;
}

WriteOutcome WriteStandardText(OutputStream stream, const QString& text) noexcept {
    try {
        const std::string bytes = Encode(text);
        if (WriteAll(stream == OutputStream::Output ? STDOUT_FILENO : STDERR_FILENO, bytes) ==
            bytes.size()) {
            return WriteOutcome::Written;
        }
        return errno == ENOSPC || errno == EDQUOT || errno == EFBIG ? WriteOutcome::Full
                                                                    : WriteOutcome::Failed;
    } catch (...) {
        // Out of memory, or an encoding that cannot even be opened: nothing to write with.
        return WriteOutcome::Failed;
    }
}

QString ReadStandardInputText(qsizetype maxCharacters) {
    const std::optional<ReadBytes> input =
        ReadAll(STDIN_FILENO, maxCharacters * kMaxBytesPerCharacter);
    if (!input) {
        throw Failure(ErrorNumber::StandardInputUnreadable);
    }
    if (input->more) {
        throw Failure(ErrorNumber::NoteTooLong);
    }
    return IconvEncoding(IconvEncoding::SystemCodeSet()).decode(input->bytes);
}

}  // namespace platform
