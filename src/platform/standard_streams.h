#pragma once

#include <QString>
#include <QStringList>

// The process's arguments and standard streams as text, for the command line. Each system
// reads and writes them in its own way: the locale's character set on Linux; on Windows the
// wide command line, a console in UTF-16, and a pipe or file in UTF-8 or the ANSI code page.
namespace platform {

// Which of the standard streams the program was started without.
struct ClosedStreams {
    bool input = false;
    bool output = false;
};

// Readies the streams, before anything else opens a file. On Linux it opens /dev/null on each
// closed standard stream (input, output, error): otherwise the next file opened takes the
// stream's number, and "--note -" reads whatever that is (Qt's event notifier, as it
// happens), or an error line lands in the data file; and it takes the locale from the
// environment, whose character set the arguments and streams are read and written in
// (QCoreApplication would set it too late). Returns which were closed, so that reading
// standard input or writing standard output still fails as it would have. On Windows a
// missing standard output is not closed: its text goes into a message box (below). Never
// throws.
ClosedStreams FillClosedStandardStreams() noexcept;

// The arguments after the program's name, as the user typed them: argv read in the locale's
// character set on Linux (Qt would read them as UTF-8 whatever the locale), the wide command
// line on Windows (argc and argv unused). Throws errors::Failure (undecodable input).
QStringList CommandLineArguments(int argc, char* argv[]);

enum class OutputStream { Output, Error };

enum class WriteOutcome {
    Written,
    Full,    // the disk or the file-size limit
    Failed,  // any other failure: a closed pipe, a device error
};

// Writes `text` to standard output or error: in the locale's character set on Linux; on
// Windows through the console's own UTF-16 to a console, in the ANSI code page to a pipe or
// file, and into the system's message box where the program has no such stream (the window
// program started from the Start menu). A character the character set lacks is written as
// "?". Never throws.
WriteOutcome WriteStandardText(OutputStream stream, const QString& text) noexcept;

// All of standard input as text, reading no more than `maxCharacters` characters' worth (a
// character set takes at most 4 bytes a character). On Linux in the locale's character set;
// on Windows a console through its own UTF-16 (up to a Ctrl+Z), a pipe or file as
// DecodePipedInput reads it. Throws errors::Failure: StandardInputUnreadable (a read error:
// a folder, a lost terminal), NoteTooLong (more than that), UndecodableInput.
QString ReadStandardInputText(qsizetype maxCharacters);

}  // namespace platform
