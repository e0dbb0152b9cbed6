#include "start.h"

#include <unistd.h>

#include <QCoreApplication>
#include <clocale>

#include "command_line.h"
#include "errors/trap.h"
#include "exit_status.h"
#include "input.h"
#include "note_command.h"
#include "output.h"
#include "platform/file_size_limit.h"
#include "platform/posix/iconv_encoding.h"
#include "stderr_reporter.h"
#include "texts.h"

using namespace Qt::StringLiterals;

namespace cli {
namespace {

Start Exit(int status) {
    return {status, {}};
}

}  // namespace

Start ReadCommandLine(int argc, char* argv[]) {
    // The locale's character set reads the arguments; QCoreApplication would set it too late.
    std::setlocale(LC_ALL, "");
    platform::IconvEncoding encoding(platform::IconvEncoding::SystemCodeSet());
    StderrReporter reporter(encoding);

    QStringList arguments;
    if (!errors::Trap(reporter, u"lexbin!ReadCommandLine"_s,
                      [&] { arguments = DecodeArguments(argc, argv, encoding); })) {
        return Exit(kFailed);
    }
    arguments.prepend(u"lexbin"_s);
    const CommandLine command = ParseCommandLine(arguments);
    switch (command.mode) {
        case Mode::BadUsage:
            Write(STDERR_FILENO, UsageText(), encoding);
            return Exit(kBadUsage);
        case Mode::Help:
            Write(STDOUT_FILENO, HelpText(), encoding);
            return Exit(kSuccess);
        case Mode::Version:
            Write(STDOUT_FILENO, VersionText(), encoding);
            return Exit(kSuccess);
        case Mode::Note: {
            // The settings and the default path need an application object; no window
            // system, so no display is needed either.
            QCoreApplication application(argc, argv);
            platform::LetWritesFailAtTheFileSizeLimit();
            return Exit(StoreNote(command.text, command.importance, encoding, reporter));
        }
        case Mode::Window:
            break;
    }
    Start start;
    if (!errors::Trap(reporter, u"lexbin!ReadCommandLine"_s, [&] {
            start.startText = AsNoteText(IsStandardInput(command.text) ? ReadStandardInput(encoding)
                                                                       : command.text);
        })) {
        return Exit(kFailed);
    }
    return start;
}

}  // namespace cli
