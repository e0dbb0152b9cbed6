#pragma once

#include <QString>
#include <optional>

#include "errors/reporter.h"
#include "storage/importance.h"

namespace platform {
enum class OutputStream;
}  // namespace platform

namespace cli {

// The clipboard's part in a start: only the application object can read it.
enum class FromClipboard {
    No,
    Edit,  // --edit-clipboard: the window, the clipboard's text in its box
    Note,  // --note-clipboard: the clipboard's text stored as a note, no window
};

// What the command line leaves for main to do.
struct Start {
    // Set when the command line's work is done (a note stored, help shown, bad usage): exit
    // with this status and open no window.
    std::optional<int> exitStatus;
    // Otherwise the window opens; this text (lexbin --edit) goes into its box.
    QString startText;
    // Unless No, main reads the clipboard once the application object has its display, and
    // hands its text to TakeClipboard.
    FromClipboard fromClipboard = FromClipboard::No;
    // The importance of --note-clipboard's note; None otherwise.
    storage::Importance importance = storage::Importance::None;
};

// Does the command line's work, before any application object exists: readies the standard
// streams (platform/standard_streams.h), reads the arguments as typed, and then for --note reads
// standard input when asked, stores the note under a QCoreApplication of its own and tells
// failures on standard error; for --help, --version and bad usage prints their text. For the
// window it reads the start text (standard input for "--edit -"), and leaves in argc and
// argv only what the application object is to see: the program's name and Qt's window
// options.
Start RunCommandLine(int& argc, char* argv[]);

// Finishes a start from the clipboard under the application object, with the clipboard's
// `text` (empty when it holds none): --note-clipboard stores it as --note stores its text
// (the same record, a blank note writing nothing, the same error lines and exit statuses),
// and returns the exit status; --edit-clipboard returns the start text, line breaks as CR
// LF as the box holds them, or exit status 1 and the error line for a text too long for
// the box. No text at all (a window system that hands a program without a focused window
// no clipboard): --note-clipboard ends with a line that says so and kNoDisplay, having
// nothing to store; --edit-clipboard opens the window with an empty box, to paste into.
Start TakeClipboard(const Start& start, const std::optional<QString>& text);

// Writes `text` to standard output or error in the stream's character set; a character it
// cannot represent is written as "?". Never throws.
void WriteText(platform::OutputStream stream, const QString& text) noexcept;

// The command line's reporter: each failure as one line on standard error,
// "lexbin: エラー番号:N description".
class StderrReporter final : public errors::Reporter {
public:
    void report(const errors::Failure& failure, const QString& location) override;
};

}  // namespace cli
