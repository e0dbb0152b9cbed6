#include "cli/command_line.h"

#include <QCommandLineParser>
#include <algorithm>
#include <optional>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

// The options QGuiApplication, QApplication and the X11 platform take from the command line;
// a session manager restarts the program with -session.
const QStringList kWindowOptionsWithValue = {u"platform"_s,      u"platformpluginpath"_s,
                                             u"platformtheme"_s, u"plugin"_s,
                                             u"qmljsdebugger"_s, u"qwindowgeometry"_s,
                                             u"geometry"_s,      u"qwindowicon"_s,
                                             u"icon"_s,          u"qwindowtitle"_s,
                                             u"title"_s,         u"session"_s,
                                             u"display"_s,       u"name"_s,
                                             u"style"_s,         u"stylesheet"_s,
                                             u"visual"_s};
const QStringList kWindowFlags = {u"reverse"_s, u"widgetcount"_s, u"nograb"_s,
                                  u"dograb"_s,  u"sync"_s,        u"testability"_s};

QCommandLineOption Hidden(QCommandLineOption option) {
    option.setFlags(QCommandLineOption::HiddenFromHelp);
    return option;
}

CommandLine Asking(Mode mode, const QString& text = {},
                   storage::Importance importance = storage::Importance::None) {
    CommandLine command;
    command.mode = mode;
    command.text = text;
    command.importance = importance;
    return command;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    const QCommandLineOption note({u"n"_s, u"note"_s}, {}, u"text"_s);
    const QCommandLineOption importance({u"i"_s, u"importance"_s}, {}, u"code"_s);
    const QCommandLineOption edit(u"edit"_s, {}, u"text"_s);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s});
    const QCommandLineOption version(u"version"_s);
    QList<QCommandLineOption> options = {note, importance, edit, help, version};
    QList<QCommandLineOption> windowOptions;
    for (const QString& name : kWindowOptionsWithValue) {
        windowOptions.append(Hidden(QCommandLineOption(name, {}, u"value"_s)));
    }
    for (const QString& name : kWindowFlags) {
        windowOptions.append(Hidden(QCommandLineOption(name)));
    }
    options += windowOptions;

    QCommandLineParser parser;
    // "-platform offscreen", as Qt takes it, is one option and not eight letters.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.addOptions(options);
    const CommandLine bad = Asking(Mode::BadUsage);
    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        return bad;
    }
    // An option given twice, under whichever of its names.
    const QStringList given = parser.optionNames();
    for (const QCommandLineOption& option : options) {
        const QStringList names = option.names();
        const auto times = std::count_if(given.cbegin(), given.cend(),
                                         [&](const QString& name) { return names.contains(name); });
        if (times > 1) {
            return bad;
        }
    }
    if (parser.isSet(help)) {
        return Asking(Mode::Help);
    }
    if (parser.isSet(version)) {
        return Asking(Mode::Version);
    }
    if (parser.isSet(note)) {
        const bool windowOption = std::any_of(windowOptions.cbegin(), windowOptions.cend(),
                                              [&](const auto& o) { return parser.isSet(o); });
        // The code in either case: "a" is "A".
        const std::optional<storage::Importance> chosen =
            parser.isSet(importance)
                ? storage::ImportanceFromCode(parser.value(importance).toUpper())
                : storage::Importance::Normal;
        if (parser.isSet(edit) || windowOption || !chosen) {
            return bad;
        }
        return Asking(Mode::Note, parser.value(note), *chosen);
    }
    if (parser.isSet(importance)) {
        return bad;
    }
    return Asking(Mode::Window, parser.value(edit));
}

}  // namespace cli
