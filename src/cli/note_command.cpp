#include "cli/note_command.h"

#include <QCoreApplication>
#include <functional>

#include "build_info.h"
#include "cli/command_line.h"
#include "errors/failure.h"
#include "errors/reporter.h"
#include "errors/trap.h"
#include "platform/file_size_limit.h"
#include "platform/os_services.h"
#include "platform/standard_streams.h"
#include "storage/data_file.h"
#include "storage/note_record.h"

using errors::ErrorNumber;
using errors::Failure;
using platform::ClosedStreams;
using namespace Qt::StringLiterals;

namespace cli {
namespace {

// --- The texts ---------------------------------------------------------------------------

// What bad usage prints on standard error: the fault, then the usage, short, with the way to
// the help.
QString UsageText(const QString& fault) {
    return u"lexbin: "_s + fault +
           u"\n"
           u"使い方: lexbin [--edit テキスト | --edit-clipboard]\n"
           u"        lexbin --note テキスト [--importance A|B|C]\n"
           u"        lexbin --note-clipboard [--importance A|B|C]\n"
           u"詳しくは lexbin --help を実行してください。\n"_s;
}

QString HelpText() {
    return u"使い方: lexbin [--edit テキスト | --edit-clipboard]\n"
           u"        lexbin --note テキスト [--importance A|B|C]\n"
           u"        lexbin --note-clipboard [--importance A|B|C]\n"
           u"\n"
           u"引数なしでメモの窓を開きます。\n"
           u"\n"
           u"  -n, --note テキスト      窓を開かずに、テキストをメモとしてデータファイルに\n"
           u"                           保存します（Ctrl+S と同じ記録）。\n"
           u"      --note-clipboard     窓を開かずに、クリップボードのテキストをメモとして\n"
           u"                           保存します（クリップボードを読む画面が必要です）。\n"
           u"  -i, --importance A|B|C   --note と --note-clipboard のメモの重要度:\n"
           u"                           A 超重要、B 重要、C 普通（小文字も可。省略時は C）。\n"
           u"      --edit テキスト      テキストを入れた状態で窓を開きます。\n"
           u"      --edit-clipboard     クリップボードのテキストを入れて窓を開きます。\n"
           u"  -h, --help               この説明を表示します。\n"
           u"      --version            バージョンを表示します。\n"
           u"\n"
           u"テキストに「-」を指定すると、標準入力から読みます（最後の改行 1 つは除きます）。\n"
           u"\n"
           u"終了ステータス:\n"
           u"  0  成功（空白だけのメモは何も書かずに成功します）\n"
           u"  1  保存できなかった、入力を読めなかった、または出力を書けなかった\n"
           u"     （理由は標準エラー出力に）\n"
           u"  2  引数が正しくない\n"
           u"  3  窓を開く、またはクリップボードを読む画面（ディスプレイ）に接続\n"
           u"     できなかった、またはウィンドウシステムを開始できなかった\n"_s;
}

// "Lexbin 1.02".
QString VersionText() {
    return u"Lexbin "_s + QString::number(build_info::kVersionMajor) + u'.' +
           QString::number(build_info::kVersionMinor).rightJustified(2, u'0') + u'\n';
}

// --- The error stream --------------------------------------------------------------------

// "lexbin: エラー番号:N description" on one line: the description's line breaks (a path may
// hold some) shown as "\n".
QString ErrorLine(const Failure& failure) {
    const QString description =
        storage::WithCrLfBreaks(failure.description()).replace(u"\r\n"_s, u"\\n"_s);
    return u"lexbin: エラー番号:"_s + QString::number(failure.number()) + u' ' + description;
}

// --- The input ---------------------------------------------------------------------------

// All of standard input as text, less one line break at its end. Throws errors::Failure:
// undecodable input (a NUL too), a note too long for the box, a closed standard input or a
// read error (a folder, a lost terminal).
QString ReadStandardInput(const ClosedStreams& closed) {
    if (closed.input) {
        throw Failure(ErrorNumber::StandardInputUnreadable);
    }
    // Read no further than the longest note could be.
    QString text = platform::ReadStandardInputText(storage::kMaxNoteCharacters + 2);
    // A NUL is no text in any character set, whatever the converter lets through.
    if (text.contains(QChar(u'\0'))) {
        throw Failure(ErrorNumber::UndecodableInput);
    }
    if (text.endsWith(u"\r\n"_s)) {
        text.chop(2);
    } else if (text.endsWith(u'\n') || text.endsWith(u'\r')) {
        text.chop(1);
    }
    return text;
}

// `text` as the box would take it, line breaks as CR LF. Throws errors::Failure for a note
// too long, which the box would refuse.
QString BoxText(const QString& text) {
    const QString note = storage::WithCrLfBreaks(text);
    if (storage::NoteLength(note) > storage::kMaxNoteCharacters) {
        throw Failure(ErrorNumber::NoteTooLong);
    }
    return note;
}

// The text of --note or --edit as the box would take it: from standard input for "-".
// Throws errors::Failure as ReadStandardInput and BoxText do.
QString NoteText(const QString& argument, const ClosedStreams& closed) {
    return BoxText(IsStandardInput(argument) ? ReadStandardInput(closed) : argument);
}

// --- The store ---------------------------------------------------------------------------

// lexbin --note and --note-clipboard: stores the note that `note` gives through the
// program's own store, exactly as the window's Ctrl+S would, and returns the exit status.
// Needs a QCoreApplication.
int StoreNote(const std::function<QString()>& note, storage::Importance importance,
              const platform::OsCoreServices& system, errors::Reporter& reporter) {
    bool stored = false;
    errors::Trap(reporter, u"lexbin!StoreNote"_s,
                 [&] { stored = mdlLexbin::SaveData(system.with(reporter), note(), importance); });
    return stored ? kSuccess : kFailed;
}

// --- The output --------------------------------------------------------------------------

// --help and --version: `text` on standard output, or the failure to write it on standard
// error (61 when the disk is full, 57 otherwise). Returns the exit status.
int Show(const QString& text, const ClosedStreams& closed, errors::Reporter& reporter) {
    const QString stream = u"標準出力"_s;
    const bool shown = errors::Trap(reporter, u"lexbin!Show"_s, [&] {
        if (closed.output) {
            throw Failure(ErrorNumber::DeviceIO, stream);
        }
        switch (platform::WriteStandardText(platform::OutputStream::Output, text)) {
            case platform::WriteOutcome::Written:
                return;
            case platform::WriteOutcome::Full:
                throw Failure(ErrorNumber::DiskFull, stream);
            case platform::WriteOutcome::Failed:
                throw Failure(ErrorNumber::DeviceIO, stream);
        }
    });
    return shown ? kSuccess : kFailed;
}

// Leaves in argc and argv the program's name and Qt's window options alone: the application
// object would otherwise take "-reverse" out of "--edit -reverse" too. (On Windows the words
// were read from the wide command line, which the C run-time may split otherwise in odd
// cases: an index past its argv is left out.)
void KeepWindowArguments(const CommandLine& command, int& argc, char* argv[]) {
    int kept = 1;
    for (const qsizetype index : command.windowArguments) {
        if (index < argc) {
            argv[kept++] = argv[index];
        }
    }
    argv[kept] = nullptr;
    argc = kept;
}

Start Exit(int status) {
    return {status, {}};
}

}  // namespace

void StderrReporter::report(const Failure& failure, const QString& /*location*/) {
    // The location names a procedure inside the program: of no use to whoever reads the
    // error stream.
    WriteText(platform::OutputStream::Error, ErrorLine(failure) + u'\n');
}

void WriteText(platform::OutputStream stream, const QString& text) noexcept {
    // There is nowhere left to tell of a failure to write.
    platform::WriteStandardText(stream, text);
}

Start RunCommandLine(int& argc, char* argv[]) {
    const ClosedStreams closed = platform::FillClosedStandardStreams();
    const platform::OsCoreServices system;
    StderrReporter reporter;

    QStringList arguments;
    if (!errors::Trap(reporter, u"lexbin!ReadCommandLine"_s,
                      [&] { arguments = platform::CommandLineArguments(argc, argv); })) {
        return Exit(kFailed);
    }
    arguments.prepend(u"lexbin"_s);
    const CommandLine command = ParseCommandLine(arguments);
    switch (command.mode) {
        case Mode::BadUsage:
            WriteText(platform::OutputStream::Error, UsageText(command.fault));
            return Exit(kBadUsage);
        case Mode::Help:
            return Exit(Show(HelpText(), closed, reporter));
        case Mode::Version:
            return Exit(Show(VersionText(), closed, reporter));
        case Mode::Note: {
            // The settings and the default path need an application object; no window
            // system, so no display is needed either.
            QCoreApplication application(argc, argv);
            platform::LetWritesFailAtTheFileSizeLimit();
            return Exit(StoreNote([&] { return NoteText(command.text, closed); },
                                  command.importance, system, reporter));
        }
        case Mode::ClipboardNote:
        case Mode::Window:
            break;
    }
    Start start;
    if (command.fromClipboard) {
        start.fromClipboard =
            command.mode == Mode::ClipboardNote ? FromClipboard::Note : FromClipboard::Edit;
        start.importance = command.importance;
        KeepWindowArguments(command, argc, argv);
        return start;
    }
    if (!errors::Trap(reporter, u"lexbin!ReadCommandLine"_s,
                      [&] { start.startText = NoteText(command.text, closed); })) {
        return Exit(kFailed);
    }
    KeepWindowArguments(command, argc, argv);
    return start;
}

Start TakeClipboard(const Start& start, const std::optional<QString>& text) {
    const platform::OsCoreServices system;
    StderrReporter reporter;
    if (start.fromClipboard == FromClipboard::Note) {
        if (!text) {
            WriteText(platform::OutputStream::Error,
                      u"lexbin: このウィンドウシステム（Wayland）では、窓を開かずに"
                      u"クリップボードを読めません。-platform xcb を付けてください。\n"_s);
            return Exit(kNoDisplay);
        }
        return Exit(StoreNote([&] { return BoxText(*text); }, start.importance, system, reporter));
    }
    Start filled;
    if (!errors::Trap(reporter, u"lexbin!TakeClipboard"_s,
                      [&] { filled.startText = BoxText(text.value_or(QString())); })) {
        return Exit(kFailed);
    }
    return filled;
}

}  // namespace cli
