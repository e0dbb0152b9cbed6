#include "platform/standard_streams.h"

#include <windows.h>
// After windows.h, whose types it needs.
#include <shellapi.h>

#include <QByteArray>
#include <algorithm>
#include <iterator>
#include <optional>
#include <string>

#include "errors/failure.h"
#include "platform/file_failure.h"
#include "platform/windows/piped_input.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

// No code page takes more bytes a character than this.
constexpr qsizetype kMaxBytesPerCharacter = 4;
// Console writes in pieces: older consoles refuse one of more than about 64 KiB.
constexpr qsizetype kConsolePiece = 8192;

// The standard stream's handle; null where the program has none (a windowed program started
// from the Start menu or a shortcut) or it was closed.
HANDLE Stream(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return nullptr;
    }
    SetLastError(NO_ERROR);
    if (GetFileType(handle) == FILE_TYPE_UNKNOWN && GetLastError() != NO_ERROR) {
        return nullptr;
    }
    return handle;
}

bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    return GetConsoleMode(handle, &mode) != 0;
}

// `text` in the ANSI code page, "?" for what it lacks (no best-fit look-alike).
std::string AnsiBytes(const QString& text) {
    if (text.isEmpty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = static_cast<int>(text.size());
    const UINT codePage = GetACP();
    // UTF-8 ("use UTF-8 worldwide") takes neither the flag nor a default character.
    const DWORD flags = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    const char* substitute = codePage == CP_UTF8 ? nullptr : "?";
    const int size =
        WideCharToMultiByte(codePage, flags, wide, length, nullptr, 0, substitute, nullptr);
    std::string bytes(static_cast<size_t>(std::max(size, 0)), '\0');
    WideCharToMultiByte(codePage, flags, wide, length, bytes.data(), size, substitute, nullptr);
    return bytes;
}

WriteOutcome WriteToConsole(HANDLE console, const QString& text) {
    for (qsizetype at = 0; at < text.size();) {
        qsizetype piece = std::min(kConsolePiece, text.size() - at);
        if (piece < text.size() - at && text[at + piece - 1].isHighSurrogate()) {
            --piece;  // a pair stays in one piece
        }
        DWORD written = 0;
        if (!WriteConsoleW(console, text.utf16() + at, static_cast<DWORD>(piece), &written,
                           nullptr) ||
            written == 0) {
            return WriteOutcome::Failed;
        }
        at += written;
    }
    return WriteOutcome::Written;
}

WriteOutcome WriteBytes(HANDLE file, const std::string& bytes) {
    for (size_t at = 0; at < bytes.size();) {
        DWORD written = 0;
        const auto piece = static_cast<DWORD>(std::min<size_t>(bytes.size() - at, 1 << 20));
        if (!WriteFile(file, bytes.data() + at, piece, &written, nullptr) || written == 0) {
            const DWORD error = GetLastError();
            return FileFailure(static_cast<int>(error), {}).number() ==
                           static_cast<int>(ErrorNumber::DiskFull)
                       ? WriteOutcome::Full
                       : WriteOutcome::Failed;
        }
        at += written;
    }
    return WriteOutcome::Written;
}

// A console's input, up to a Ctrl+Z (Enter sends a line, Ctrl+Z then Enter ends the input).
QString ReadFromConsole(HANDLE console, qsizetype maxCharacters) {
    QString text;
    wchar_t buffer[4096];
    for (;;) {
        DWORD read = 0;
        if (!ReadConsoleW(console, buffer, DWORD(std::size(buffer)), &read, nullptr)) {
            throw Failure(ErrorNumber::StandardInputUnreadable);
        }
        if (read == 0) {
            return text;
        }
        const QString piece = QString::fromWCharArray(buffer, static_cast<qsizetype>(read));
        const qsizetype end = piece.indexOf(QChar(0x1A));
        text += end < 0 ? piece : piece.first(end);
        if (text.size() > maxCharacters) {
            throw Failure(ErrorNumber::NoteTooLong);
        }
        if (end >= 0) {
            return text;
        }
    }
}

QByteArray ReadBytes(HANDLE file, qint64 limit) {
    QByteArray bytes;
    char buffer[65536];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            if (GetLastError() == ERROR_BROKEN_PIPE) {
                return bytes;  // the writer closed its end: the end of the input
            }
            throw Failure(ErrorNumber::StandardInputUnreadable);
        }
        if (read == 0) {
            return bytes;
        }
        bytes.append(buffer, static_cast<qsizetype>(read));
        if (bytes.size() > limit) {
            throw Failure(ErrorNumber::NoteTooLong);
        }
    }
}

}  // namespace

ClosedStreams FillClosedStandardStreams() noexcept {
    // A handle number is never reused for a file as a descriptor is: nothing to fill. A
    // missing standard output is not closed: its text goes into a box.
    return {.input = Stream(STD_INPUT_HANDLE) == nullptr, .output = false};
}

QStringList CommandLineArguments(int /*argc*/, char* /*argv*/[]) {
    int count = 0;
    wchar_t** const words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) {
        throw Failure(ErrorNumber::OutOfMemory);
    }
    QStringList arguments;
    for (int i = 1; i < count; ++i) {
        arguments.append(QString::fromWCharArray(words[i]));
    }
    LocalFree(words);
    return arguments;
}

WriteOutcome WriteStandardText(OutputStream stream, const QString& text) noexcept {
    try {
        const HANDLE handle =
            Stream(stream == OutputStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
        if (handle == nullptr) {
            // No console, pipe or file to write to: the window program started from the Start
            // menu or a shortcut, whose user still learns what became of the command.
            QString shown = text;
            while (shown.endsWith(u'\n')) {
                shown.chop(1);
            }
            const UINT icon = stream == OutputStream::Error ? MB_ICONERROR : MB_ICONINFORMATION;
            MessageBoxW(nullptr, reinterpret_cast<const wchar_t*>(shown.utf16()), L"Lexbin",
                        MB_OK | icon | MB_SETFOREGROUND);
            return WriteOutcome::Written;
        }
        return IsConsole(handle) ? WriteToConsole(handle, text)
                                 : WriteBytes(handle, AnsiBytes(text));
    } catch (...) {
        return WriteOutcome::Failed;  // out of memory: nothing to write with
    }
}

QString ReadStandardInputText(qsizetype maxCharacters) {
    const HANDLE handle = Stream(STD_INPUT_HANDLE);
    if (handle == nullptr) {
        throw Failure(ErrorNumber::StandardInputUnreadable);
    }
    if (IsConsole(handle)) {
        return ReadFromConsole(handle, maxCharacters);
    }
    std::optional<QString> text =
        DecodePipedInput(ReadBytes(handle, maxCharacters * kMaxBytesPerCharacter), GetACP());
    if (!text) {
        throw Failure(ErrorNumber::UndecodableInput);
    }
    return *std::move(text);
}

}  // namespace platform
