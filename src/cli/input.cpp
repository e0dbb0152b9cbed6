#include "input.h"

#include <unistd.h>

#include <cerrno>

#include "errors/failure.h"
#include "platform/posix/iconv_encoding.h"
#include "storage/note_record.h"

using errors::ErrorNumber;
using errors::Failure;
using namespace Qt::StringLiterals;

namespace cli {
namespace {

// No character set takes more bytes a character than this.
constexpr qsizetype kMaxBytesPerCharacter = 4;

}  // namespace

QStringList DecodeArguments(int argc, char* argv[], const platform::IconvEncoding& encoding) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(encoding.decode(QByteArray(argv[i])));
    }
    return arguments;
}

QString ReadStandardInput(const platform::IconvEncoding& encoding) {
    // Read no further than the longest note could be, however it is encoded.
    const qsizetype limit = (mdlLexbin::kMaxNoteCharacters + 2) * kMaxBytesPerCharacter;
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (got == 0) {
            break;
        }
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            throw Failure(ErrorNumber::DeviceIO);
        }
        bytes.append(buffer, got);
        if (bytes.size() > limit) {
            throw Failure(ErrorNumber::NoteTooLong);
        }
    }
    // A NUL is no text in any character set, whatever the converter lets through.
    if (bytes.contains('\0')) {
        throw Failure(ErrorNumber::UndecodableInput);
    }
    QString text = encoding.decode(bytes);
    if (text.endsWith(u"\r\n"_s)) {
        text.chop(2);
    } else if (text.endsWith(u'\n') || text.endsWith(u'\r')) {
        text.chop(1);
    }
    return text;
}

QString AsNoteText(const QString& text) {
    QString note = mdlLexbin::WithCrLfBreaks(text);
    if (mdlLexbin::NoteLength(note) > mdlLexbin::kMaxNoteCharacters) {
        throw Failure(ErrorNumber::NoteTooLong);
    }
    return note;
}

}  // namespace cli
