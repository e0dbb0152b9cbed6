#include "cli/command_line.h"

#include <algorithm>
#include <initializer_list>
#include <optional>
#include <utility>

using namespace Qt::StringLiterals;

namespace cli {
namespace {

enum class Role { Note, NoteClipboard, Importance, Edit, EditClipboard, Help, Version, Window };

struct Option {
    Role role;
    QStringList names;  // without dashes
    bool takesValue;
};

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

// Lexbin's options, then Qt's.
const QList<Option>& Options() {
    static const QList<Option> options = [] {
        QList<Option> list = {
            {Role::Note, {u"note"_s, u"n"_s}, true},
            {Role::NoteClipboard, {u"note-clipboard"_s}, false},
            {Role::Importance, {u"importance"_s, u"i"_s}, true},
            {Role::Edit, {u"edit"_s}, true},
            {Role::EditClipboard, {u"edit-clipboard"_s}, false},
            {Role::Help, {u"help"_s, u"h"_s}, false},
            {Role::Version, {u"version"_s}, false},
        };
        for (const QString& name : kWindowOptionsWithValue) {
            list.append({Role::Window, {name}, true});
        }
        for (const QString& name : kWindowFlags) {
            list.append({Role::Window, {name}, false});
        }
        return list;
    }();
    return options;
}

// One option as the command line gives it.
struct Given {
    qsizetype option;  // in Options()
    qsizetype index;   // of its word in the arguments
    QString spelling;  // its word up to "=": "--note", "-n"
    QString value;     // "" for a flag
    bool valueApart;   // the value is the next word, not after "="
};

// A word as a fault shows it: on one line, and visible when empty.
QString Shown(const QString& word) {
    if (word.isEmpty()) {
        return u"\"\""_s;
    }
    QString shown = word;
    return shown.replace(u'\r', u"\\r"_s).replace(u'\n', u"\\n"_s);
}

CommandLine Fault(const QString& fault) {
    CommandLine command;
    command.mode = Mode::BadUsage;
    command.fault = fault;
    return command;
}

CommandLine Pair(const QString& fault, const Given& first, const Given& second) {
    return Fault(fault + Shown(first.spelling) + u" と "_s + Shown(second.spelling));
}

CommandLine Asking(Mode mode, const QString& text = {},
                   storage::Importance importance = storage::Importance::None) {
    CommandLine command;
    command.mode = mode;
    command.text = text;
    command.importance = importance;
    return command;
}

std::optional<qsizetype> FindOption(QStringView name) {
    const QList<Option>& options = Options();
    for (qsizetype i = 0; i < options.size(); ++i) {
        if (options[i].names.contains(name)) {
            return i;
        }
    }
    return std::nullopt;
}

}  // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    QList<Given> given;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        if (word == u"--"_s) {
            if (i + 1 < arguments.size()) {
                return Fault(u"オプション以外の引数は取りません: "_s + Shown(arguments[i + 1]));
            }
            break;
        }
        if (word.size() < 2 || !word.startsWith(u'-')) {
            return Fault(u"オプション以外の引数は取りません: "_s + Shown(word));
        }
        const qsizetype dashes = word.startsWith(u"--"_s) ? 2 : 1;
        const qsizetype equals = word.indexOf(u'=', dashes);
        const QString spelling = equals < 0 ? word : word.first(equals);
        const std::optional<qsizetype> option = FindOption(QStringView(spelling).sliced(dashes));
        if (!option) {
            return Fault(u"不明なオプションです: "_s + Shown(word));
        }
        Given g{*option, i, spelling, {}, false};
        if (equals >= 0) {
            if (!Options()[*option].takesValue) {
                return Fault(u"値を取らないオプションです: "_s + Shown(word));
            }
            g.value = word.sliced(equals + 1);
        } else if (Options()[*option].takesValue) {
            if (i + 1 == arguments.size()) {
                return Fault(u"オプションに値がありません: "_s + Shown(spelling));
            }
            g.value = arguments[++i];
            g.valueApart = true;
        }
        // An option given twice, under whichever of its names.
        for (const Given& earlier : given) {
            if (earlier.option == g.option) {
                return Pair(u"同じオプションが二度あります: "_s, earlier, g);
            }
        }
        given.append(g);
    }

    const auto first = [&](Role role) -> const Given* {
        const auto found = std::find_if(given.cbegin(), given.cend(), [&](const Given& g) {
            return Options()[g.option].role == role;
        });
        return found == given.cend() ? nullptr : &*found;
    };
    const Given* const note = first(Role::Note);
    const Given* const noteClipboard = first(Role::NoteClipboard);
    const Given* const importance = first(Role::Importance);
    const Given* const edit = first(Role::Edit);
    const Given* const editClipboard = first(Role::EditClipboard);
    const Given* const window = first(Role::Window);
    // The first of `others` given beside `one`, named with it in their order.
    const auto together =
        [](const Given* one,
           std::initializer_list<const Given*> others) -> std::optional<CommandLine> {
        for (const Given* other : others) {
            if (other) {
                const auto [a, b] =
                    one->index < other->index ? std::pair(one, other) : std::pair(other, one);
                return Pair(u"一緒に使えないオプションです: "_s, *a, *b);
            }
        }
        return std::nullopt;
    };
    // The words the application object is to see.
    const auto withWindowArguments = [&](CommandLine command) {
        for (const Given& g : given) {
            if (Options()[g.option].role == Role::Window) {
                command.windowArguments.append(g.index);
                if (g.valueApart) {
                    command.windowArguments.append(g.index + 1);
                }
            }
        }
        return command;
    };
    if (first(Role::Help)) {
        return Asking(Mode::Help);
    }
    if (first(Role::Version)) {
        return Asking(Mode::Version);
    }
    if (note || noteClipboard) {
        const std::optional<CommandLine> conflict =
            note ? together(note, {noteClipboard, edit, editClipboard, window})
                 : together(noteClipboard, {edit, editClipboard});
        if (conflict) {
            return *conflict;
        }
        // The code in either case: "a" is "A".
        const std::optional<storage::Importance> chosen =
            importance ? storage::ImportanceFromCode(importance->value.toUpper())
                       : storage::Importance::Normal;
        if (!chosen) {
            return Fault(u"重要度は A、B、C のいずれかです: "_s + Shown(importance->value));
        }
        if (note) {
            return Asking(Mode::Note, note->value, *chosen);
        }
        // The clipboard is read through a display, which Qt's window options may choose.
        CommandLine command = Asking(Mode::ClipboardNote, {}, *chosen);
        command.fromClipboard = true;
        return withWindowArguments(command);
    }
    if (importance) {
        return Fault(u"--note か --note-clipboard なしでは使えないオプションです: "_s +
                     Shown(importance->spelling));
    }
    if (edit && editClipboard) {
        return *together(edit, {editClipboard});
    }
    CommandLine command = Asking(Mode::Window, edit ? edit->value : QString());
    command.fromClipboard = editClipboard != nullptr;
    return withWindowArguments(command);
}

}  // namespace cli
