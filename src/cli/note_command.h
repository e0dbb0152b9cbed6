#pragma once

#include <QString>
#include <optional>

#include "errors/reporter.h"

namespace platform {
enum class OutputStream;
}  // namespace platform

namespace cli {

// What the command line leaves for main to do.
struct Start {
    // Set when the command line's work is done (a note stored, help shown, bad usage): exit
    // with this status and open no window.
    std::optional<int> exitStatus;
    // Otherwise the window opens; this text (lexbin --edit) goes into its box.
    QString startText;
};

// Does the command line's work, before any application object exists: readies the standard
// streams (platform/standard_streams.h), reads the arguments as typed, and then for --note reads
// standard input when asked, stores the note under a QCoreApplication of its own and tells
// failures on standard error; for --help, --version and bad usage prints their text. For the
// window it reads the start text (standard input for "--edit -"), and leaves in argc and
// argv only what the application object is to see: the program's name and Qt's window
// options.
Start RunCommandLine(int& argc, char* argv[]);

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
