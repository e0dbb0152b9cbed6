#pragma once

#include <QString>
#include <QStringList>

#include "storage/importance.h"

namespace cli {

// The program's exit statuses, as --help and the README list them.
enum ExitStatus : int {
    kSuccess = 0,
    kFailed = 1,     // a failure told on standard error: nothing was stored
    kBadUsage = 2,   // the usage text on standard error
    kNoDisplay = 3,  // window mode without a display to show the window on
};

// What the command line asks for.
enum class Mode {
    Window,    // no arguments, or --edit: the note window
    Note,      // --note: store a note, no window
    Help,      // --help
    Version,   // --version
    BadUsage,  // anything else: the usage text, exit status 2
};

struct CommandLine {
    Mode mode = Mode::Window;
    // The argument of --note or --edit as given ("-" for standard input); empty without one.
    QString text;
    // The importance of --note (Normal unless given); None in every other mode.
    storage::Importance importance = storage::Importance::None;
};

// The argument that stands for standard input.
inline bool IsStandardInput(const QString& text) {
    return text == u"-";
}

// Reads the program's arguments (its name first), and nothing else: no file, stream or
// application object. Qt's own window options (-platform, -display, -session, -style, ...)
// are allowed in window mode only, and left to the application object.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace cli
