// lexbin.com, the console launcher beside lexbin.exe: cmd.exe and PowerShell try ".COM" before
// ".EXE" in each folder, so `lexbin` typed in a console runs this console program, which the
// shell waits for and whose standard error and exit status it sees. It does the work that
// needs no window itself (QtCore only): --note, --help, --version and bad usage, with the
// Linux program's statuses. Every other mode (the window, --edit, and any the window program
// knows and this one does not) goes on to lexbin.exe with the same command line, waited for.
#include <optional>

#include "cli/command_line.h"
#include "cli/note_command.h"
#include "errors/trap.h"
#include "platform/standard_streams.h"
#include "platform/window_program.h"

using namespace Qt::StringLiterals;

namespace {

// The modes this program does the whole work of.
bool DoneHere(cli::Mode mode) {
    return mode == cli::Mode::Note || mode == cli::Mode::Help || mode == cli::Mode::Version ||
           mode == cli::Mode::BadUsage;
}

}  // namespace

int main(int argc, char* argv[]) {
    cli::StderrReporter reporter;
    QStringList arguments;
    if (!errors::Trap(reporter, u"lexbin!ReadCommandLine"_s,
                      [&] { arguments = platform::CommandLineArguments(argc, argv); })) {
        return cli::kFailed;
    }
    const cli::CommandLine command = cli::ParseCommandLine(QStringList{u"lexbin"_s} + arguments);
    if (DoneHere(command.mode)) {
        return cli::RunCommandLine(argc, argv).exitStatus.value_or(cli::kFailed);
    }
    // "--edit -": standard input is read here, where it is the console's or the shell's pipe,
    // and a failure to read it is told as the Linux program tells it; the window program
    // reads the text from a pipe of its own.
    std::optional<QString> input;
    if (command.mode == cli::Mode::Window && cli::IsStandardInput(command.text)) {
        const cli::Start start = cli::RunCommandLine(argc, argv);
        if (start.exitStatus) {
            return *start.exitStatus;
        }
        input = start.startText;
    }
    int status = cli::kFailed;
    errors::Trap(reporter, u"lexbin!RunWindowProgram"_s,
                 [&] { status = platform::RunWindowProgram(input); });
    return status;
}
