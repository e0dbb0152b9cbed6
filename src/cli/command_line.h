#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include "storage/importance.h"

namespace cli {

// The program's exit statuses, as --help and the README list them.
enum ExitStatus : int {
    kSuccess = 0,
    kFailed = 1,     // a failure told on standard error: nothing was stored
    kBadUsage = 2,   // the fault and the usage text on standard error
    kNoDisplay = 3,  // window mode: no display, or a window system Qt cannot start
};

// What the command line asks for.
enum class Mode {
    Window,         // no arguments, --edit or --edit-clipboard: the note window
    Note,           // --note: store a note, no window
    ClipboardNote,  // --note-clipboard: store the clipboard's text, no window (a display, though)
    Help,           // --help
    Version,        // --version
    BadUsage,       // anything else: the fault, the usage text, exit status 2
};

struct CommandLine {
    Mode mode = Mode::Window;
    // The argument of --note or --edit as given ("-" for standard input); empty without one.
    QString text;
    // --edit-clipboard, --note-clipboard: the text is the clipboard's, which only the
    // application object can read (text stays empty).
    bool fromClipboard = false;
    // The importance of --note and --note-clipboard (Normal unless given); None in every
    // other mode.
    storage::Importance importance = storage::Importance::None;
    // Bad usage: what is wrong, naming the word at fault as given ("不明なオプションです:
    // --bogus"); empty in every other mode.
    QString fault;
    // Window mode and --note-clipboard: the indexes in the arguments of Qt's window options
    // and their values, the words the application object is to see; empty in every other
    // mode.
    QList<qsizetype> windowArguments;
};

// The argument that stands for standard input.
inline bool IsStandardInput(const QString& text) {
    return text == u"-";
}

// Reads the program's arguments (its name first), and nothing else: no file, stream or
// application object. As getopt and QCommandLineParser do, the word after an option that
// takes a value is that value whatever it looks like ("--note -x" stores "-x"), a value may
// also follow "=" ("--note=-x"), and "--" ends the options; Lexbin takes no other arguments.
// Every option has its long name with one dash or two ("-note", "--platform"), as Qt's own
// do. Qt's window options (-platform, -display, -session, -style, ...) are allowed where an
// application object opens a display (window mode, --note-clipboard), and left to it. The
// clipboard forms are flags, so no text given to --note or --edit is ever read as one.
CommandLine ParseCommandLine(const QStringList& arguments);

}  // namespace cli
