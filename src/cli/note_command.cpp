#include "cli/note_command.h"

#include <unistd.h>

#include <QCoreApplication>
#include <cerrno>
#include <clocale>
#include <functional>
#include <string>

#include "build_info.h"
#include "cli/closed_streams.h"
#include "cli/command_line.h"
#include "errors/failure.h"
#include "errors/reporter.h"
#include "errors/trap.h"
#include "platform/encoding.h"
#include "platform/file_size_limit.h"
#include "platform/os_services.h"
#include "platform/posix/posix_io.h"
#include "platform/standard_streams.h"
#include "storage/data_file.h"
#include "storage/note_record.h"

using errors::ErrorNumber;
using errors::Failure;
using namespace Qt::StringLiterals;

namespace cli {
namespace {

// No character set takes more bytes a character than this.
constexpr qsizetype kMaxBytesPerCharacter = 4;

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

std::string Encode(const QString& text, const platform::Encoding& encoding) {
    try {
        return encoding.encode(text);
    } catch (const Failure&) {
    }
    // Character by character, so that one the locale lacks costs only itself.
    std::string bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length =
            (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) ? 2
                                                                                               : 1;
        try {
            bytes += encoding.encode(text.sliced(i, length));
        } catch (const Failure&) {
            bytes += '?';
        }
        i += length - 1;
    }
    return bytes;
}

// "lexbin: エラー番号:N description" on one line: the description's line breaks (a path may
// hold some) shown as "\n".
QString ErrorLine(const Failure& failure) {
    const QString description =
        storage::WithCrLfBreaks(failure.description()).replace(u"\r\n"_s, u"\\n"_s);
    return u"lexbin: エラー番号:"_s + QString::number(failure.number()) + u' ' + description;
}

// The command line's reporter: each failure as one ErrorLine on standard error.
class StderrReporter final : public errors::Reporter {
public:
    explicit StderrReporter(const platform::Encoding& encoding) : encoding_(encoding) {}
    void report(const Failure& failure, const QString& /*location*/) override {
        // The location names a procedure inside the program: of no use to whoever reads the
        // error stream.
        WriteText(platform::OutputStream::Error, ErrorLine(failure) + u'\n', encoding_);
    }

private:
    const platform::Encoding& encoding_;
};

// --- The input ---------------------------------------------------------------------------

// The arguments after the program's name, read in the locale's character set (Qt would read
// them as UTF-8 whatever the locale). Throws errors::Failure (undecodable input).
QStringList DecodeArguments(int argc, char* argv[], const platform::Encoding& encoding) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) {
        arguments.append(encoding.decode(QByteArray(argv[i])));
    }
    return arguments;
}

// All of standard input, read in the locale's character set, less one line break at its
// end. Throws errors::Failure: undecodable input (a NUL too), a note too long for the box, a
// closed standard input or a read error (a folder, a lost terminal).
QString ReadStandardInput(const platform::Encoding& encoding, const ClosedStreams& closed) {
    if (closed.input) {
        throw Failure(ErrorNumber::StandardInputUnreadable);
    }
    // Read no further than the longest note could be, however it is encoded.
    const platform::StandardInput input =
        platform::ReadStandardInput((storage::kMaxNoteCharacters + 2) * kMaxBytesPerCharacter);
    if (!input.read) {
        throw Failure(ErrorNumber::StandardInputUnreadable);
    }
    if (input.more) {
        throw Failure(ErrorNumber::NoteTooLong);
    }
    const QByteArray& bytes = input.bytes;
    // A NUL is no text in any character set, whatever the converter lets through.
    if (bytes.contains('\0')) {
        throw Failure(ErrorNumber::UndecodableInput);
    }
    QString text = encoding.decode(bytes);
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
QString NoteText(const QString& argument, const platform::Encoding& encoding,
                 const ClosedStreams& closed) {
    return BoxText(IsStandardInput(argument) ? ReadStandardInput(encoding, closed) : argument);
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
int Show(const QString& text, const platform::Encoding& encoding, const ClosedStreams& closed,
         errors::Reporter& reporter) {
    const QString stream = u"標準出力"_s;
    const bool shown = errors::Trap(reporter, u"lexbin!Show"_s, [&] {
        if (closed.output) {
            throw Failure(ErrorNumber::DeviceIO, stream);
        }
        const std::string bytes = Encode(text, encoding);
        if (platform::WriteAll(STDOUT_FILENO, bytes) < bytes.size()) {
            const bool full = errno == ENOSPC || errno == EDQUOT || errno == EFBIG;
            throw Failure(full ? ErrorNumber::DiskFull : ErrorNumber::DeviceIO, stream);
        }
    });
    return shown ? kSuccess : kFailed;
}

// Leaves in argc and argv the program's name and Qt's window options alone: the application
// object would otherwise take "-reverse" out of "--edit -reverse" too.
void KeepWindowArguments(const CommandLine& command, int& argc, char* argv[]) {
    int kept = 1;
    for (const qsizetype index : command.windowArguments) {
        argv[kept++] = argv[index];
    }
    argv[kept] = nullptr;
    argc = kept;
}

Start Exit(int status) {
    return {status, {}};
}

}  // namespace

void WriteText(platform::OutputStream stream, const QString& text,
               const platform::Encoding& encoding) noexcept {
    try {
        platform::WriteStandardStream(stream, Encode(text, encoding));
    } catch (...) {
        // Out of memory, or an encoding that cannot even be opened: nothing to write with.
    }
}

Start RunCommandLine(int& argc, char* argv[]) {
    const ClosedStreams closed = FillClosedStandardStreams();
    // The locale's character set reads the arguments; QCoreApplication would set it too late.
    std::setlocale(LC_ALL, "");
    const platform::OsCoreServices system;
    const platform::Encoding& encoding = system.encoding();
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
            WriteText(platform::OutputStream::Error, UsageText(command.fault), encoding);
            return Exit(kBadUsage);
        case Mode::Help:
            return Exit(Show(HelpText(), encoding, closed, reporter));
        case Mode::Version:
            return Exit(Show(VersionText(), encoding, closed, reporter));
        case Mode::Note: {
            // The settings and the default path need an application object; no window
            // system, so no display is needed either.
            QCoreApplication application(argc, argv);
            platform::LetWritesFailAtTheFileSizeLimit();
            return Exit(StoreNote([&] { return NoteText(command.text, encoding, closed); },
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
                      [&] { start.startText = NoteText(command.text, encoding, closed); })) {
        return Exit(kFailed);
    }
    KeepWindowArguments(command, argc, argv);
    return start;
}

Start TakeClipboard(const Start& start, const std::optional<QString>& text) {
    const platform::OsCoreServices system;
    StderrReporter reporter(system.encoding());
    if (start.fromClipboard == FromClipboard::Note) {
        if (!text) {
            WriteText(platform::OutputStream::Error,
                      u"lexbin: このウィンドウシステム（Wayland）では、窓を開かずに"
                      u"クリップボードを読めません。-platform xcb を付けてください。\n"_s,
                      system.encoding());
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
