#pragma once

#include <QString>
#include <QStringList>

namespace cli {

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
    // The importance code of --note: "A", "B" or "C".
    QString importance;
};

// The argument that stands for standard input.
inline bool IsStandardInput(const QString& text) {
    return text == u"-";
}

// Reads the program's arguments (its name first). Qt's own window options (-platform,
// -display, -session, -style, ...) are allowed in window mode only, and left to the
// application object.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace cli
