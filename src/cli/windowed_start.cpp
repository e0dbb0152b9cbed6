// The command line of the Windows program, which is built without a console: with no
// standard streams to read a note from or to tell usage on, its arguments are left to the
// application object (Qt's -style and the like), and the window always opens; only the
// clipboard forms, which need neither stream, are read as on Linux (note_command.cpp).
#include "cli/command_line.h"
#include "cli/display_check.h"
#include "cli/note_command.h"
#include "errors/failure.h"
#include "errors/reporter.h"
#include "errors/trap.h"
#include "platform/os_services.h"
#include "storage/data_file.h"
#include "storage/note_record.h"

using namespace Qt::StringLiterals;

namespace cli {
namespace {

// No standard error to tell a failure on: the exit status alone says it.
class UntoldReporter final : public errors::Reporter {
public:
    void report(const errors::Failure& /*failure*/, const QString& /*location*/) override {}
};

}  // namespace

Start RunCommandLine(int& argc, char* argv[]) {
    QStringList arguments{u"lexbin"_s};
    for (int i = 1; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    const CommandLine command = ParseCommandLine(arguments);
    if (!command.fromClipboard) {
        return {};
    }
    Start start;
    start.fromClipboard =
        command.mode == Mode::ClipboardNote ? FromClipboard::Note : FromClipboard::Edit;
    start.importance = command.importance;
    int kept = 1;
    for (const qsizetype index : command.windowArguments) {
        argv[kept++] = argv[index];
    }
    argv[kept] = nullptr;
    argc = kept;
    return start;
}

// Windows hands every program the clipboard: `text` is always there.
Start TakeClipboard(const Start& start, const std::optional<QString>& text) {
    const platform::OsCoreServices system;
    UntoldReporter reporter;
    Start filled;
    bool stored = false;
    const bool taken = errors::Trap(reporter, u"lexbin!TakeClipboard"_s, [&] {
        filled.startText = storage::WithCrLfBreaks(text.value_or(QString()));
        if (storage::NoteLength(filled.startText) > storage::kMaxNoteCharacters) {
            throw errors::Failure(errors::ErrorNumber::NoteTooLong);
        }
        if (start.fromClipboard == FromClipboard::Note) {
            stored = mdlLexbin::SaveData(system.with(reporter), filled.startText, start.importance);
        }
    });
    if (start.fromClipboard == FromClipboard::Note || !taken) {
        filled.exitStatus = stored ? kSuccess : kFailed;
    }
    return filled;
}

// Windows always has the display a window opens on: nothing to watch for.
DisplayCheck::DisplayCheck() = default;
DisplayCheck::~DisplayCheck() = default;
void DisplayCheck::passed() {
    watching_ = false;
}

}  // namespace cli
