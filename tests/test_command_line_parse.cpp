// Reading the command line, in process: which mode, text and importance the arguments ask
// for, which of them are bad usage and what the fault line says, and which words go on to
// Qt; and the stand-ins for closed standard streams. What the program then does with them
// (exit statuses, streams, the store) is test_command_line's.
#include <fcntl.h>
#include <unistd.h>

#include <QtTest>

#include "cli/command_line.h"
#include "platform/standard_streams.h"

using namespace Qt::StringLiterals;

class CommandLineParseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
    void readsTheClipboardForms_data();
    void readsTheClipboardForms();
    void badUsageNamesTheWord_data();
    void badUsageNamesTheWord();
    void windowOptionsGoOnToQt_data();
    void windowOptionsGoOnToQt();
    void closedStreamGetsAStandIn_data();
    void closedStreamGetsAStandIn();
};

namespace {

cli::CommandLine Parse(const QStringList& arguments) {
    return cli::ParseCommandLine(QStringList{u"lexbin"_s} + arguments);
}

}  // namespace

void CommandLineParseTest::reads_data() {
    QTest::addColumn<QStringList>("arguments");  // after the program's name
    QTest::addColumn<cli::Mode>("mode");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");  // the importance's code; "" for none

    using cli::Mode;
    QTest::newRow("no arguments open the window")
        << QStringList{} << Mode::Window << QString() << QString();
    QTest::newRow("note without importance is normal")
        << QStringList{u"--note"_s, u"x"_s} << Mode::Note << u"x"_s << u"C"_s;
    QTest::newRow("short names, importance in either case")
        << QStringList{u"-n"_s, u"電話"_s, u"-i"_s, u"a"_s} << Mode::Note << u"電話"_s << u"A"_s;
    QTest::newRow("values after =")
        << QStringList{u"--note=x y"_s, u"--importance=b"_s} << Mode::Note << u"x y"_s << u"B"_s;
    QTest::newRow("empty value after =")
        << QStringList{u"--note="_s} << Mode::Note << QString() << u"C"_s;
    QTest::newRow("importance before note")
        << QStringList{u"-i"_s, u"C"_s, u"-n"_s, u"x"_s} << Mode::Note << u"x"_s << u"C"_s;
    QTest::newRow("long names with one dash")
        << QStringList{u"-note"_s, u"x"_s, u"-importance"_s, u"b"_s} << Mode::Note << u"x"_s
        << u"B"_s;
    QTest::newRow("standard input stays \"-\"")
        << QStringList{u"--note"_s, u"-"_s} << Mode::Note << u"-"_s << u"C"_s;
    QTest::newRow("note that looks like an option")
        << QStringList{u"--note"_s, u"--edit"_s} << Mode::Note << u"--edit"_s << u"C"_s;
    QTest::newRow("note that begins with a dash")
        << QStringList{u"--note"_s, u"-dash"_s} << Mode::Note << u"-dash"_s << u"C"_s;
    QTest::newRow("note after = that begins with a dash")
        << QStringList{u"--note=-dash"_s} << Mode::Note << u"-dash"_s << u"C"_s;
    QTest::newRow("note \"--\" is a value, not the end of the options")
        << QStringList{u"-n"_s, u"--"_s} << Mode::Note << u"--"_s << u"C"_s;
    QTest::newRow("importance that looks like an option is its value, and bad")
        << QStringList{u"-n"_s, u"x"_s, u"-i"_s, u"-n"_s} << Mode::BadUsage << QString()
        << QString();
    QTest::newRow("\"--\" with nothing after it ends the options")
        << QStringList{u"--note"_s, u"x"_s, u"--"_s} << Mode::Note << u"x"_s << u"C"_s;
    QTest::newRow("edit opens the window with its text")
        << QStringList{u"--edit"_s, u"a\nb"_s} << Mode::Window << u"a\nb"_s << QString();
    QTest::newRow("edit text that looks like a window flag")
        << QStringList{u"--edit"_s, u"-reverse"_s} << Mode::Window << u"-reverse"_s << QString();
    QTest::newRow("window options with edit")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"-session"_s, u"s"_s,
                       u"--edit"_s,    u"x"_s,         u"-reverse"_s}
        << Mode::Window << u"x"_s << QString();
    QTest::newRow("help") << QStringList{u"-h"_s} << Mode::Help << QString() << QString();
    QTest::newRow("help wins over note")
        << QStringList{u"--note"_s, u"x"_s, u"--help"_s} << Mode::Help << QString() << QString();
    QTest::newRow("version") << QStringList{u"--version"_s} << Mode::Version << QString()
                             << QString();
}

void CommandLineParseTest::reads() {
    QFETCH(QStringList, arguments);
    QFETCH(cli::Mode, mode);
    QFETCH(QString, text);
    QFETCH(QString, code);
    const cli::CommandLine command = Parse(arguments);
    QCOMPARE(command.mode, mode);
    QCOMPARE(command.text, text);
    QCOMPARE(storage::ImportanceCode(command.importance), code);
    QCOMPARE(command.fault.isEmpty(), mode != cli::Mode::BadUsage);
}

void CommandLineParseTest::readsTheClipboardForms_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<cli::Mode>("mode");
    QTest::addColumn<bool>("fromClipboard");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("code");

    using cli::Mode;
    QTest::newRow("note from the clipboard, importance in either case")
        << QStringList{u"--note-clipboard"_s, u"-i"_s, u"b"_s} << Mode::ClipboardNote << true
        << QString() << u"B"_s;
    QTest::newRow("note from the clipboard is normal by default")
        << QStringList{u"-note-clipboard"_s} << Mode::ClipboardNote << true << QString() << u"C"_s;
    QTest::newRow("edit from the clipboard opens the window")
        << QStringList{u"--edit-clipboard"_s} << Mode::Window << true << QString() << QString();
    QTest::newRow("note that names a clipboard form is text")
        << QStringList{u"--note"_s, u"--note-clipboard"_s} << Mode::Note << false
        << u"--note-clipboard"_s << u"C"_s;
    QTest::newRow("note after = that names a clipboard form is text")
        << QStringList{u"--note=--edit-clipboard"_s} << Mode::Note << false << u"--edit-clipboard"_s
        << u"C"_s;
    QTest::newRow("edit text that names a clipboard form is text")
        << QStringList{u"--edit"_s, u"--edit-clipboard"_s} << Mode::Window << false
        << u"--edit-clipboard"_s << QString();
    QTest::newRow("help wins over the clipboard") << QStringList{u"--note-clipboard"_s, u"-h"_s}
                                                  << Mode::Help << false << QString() << QString();
}

void CommandLineParseTest::readsTheClipboardForms() {
    QFETCH(QStringList, arguments);
    QFETCH(cli::Mode, mode);
    QFETCH(bool, fromClipboard);
    QFETCH(QString, text);
    QFETCH(QString, code);
    const cli::CommandLine command = Parse(arguments);
    QCOMPARE(command.mode, mode);
    QCOMPARE(command.fromClipboard, fromClipboard);
    QCOMPARE(command.text, text);
    QCOMPARE(storage::ImportanceCode(command.importance), code);
}

void CommandLineParseTest::badUsageNamesTheWord_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("fault");  // the first line on standard error, after "lexbin: "

    const auto row = [](const char* name, const QStringList& arguments, const QString& fault) {
        QTest::newRow(name) << arguments << fault;
    };
    const QString unknown = u"不明なオプションです: "_s;
    const QString operand = u"オプション以外の引数は取りません: "_s;
    const QString twice = u"同じオプションが二度あります: "_s;
    const QString together = u"一緒に使えないオプションです: "_s;
    const QString importance = u"重要度は A、B、C のいずれかです: "_s;
    const QString needsNote = u"--note か --note-clipboard なしでは使えないオプションです: "_s;
    row("unknown option", {u"--bogus"_s}, unknown + u"--bogus"_s);
    row("unknown option with a value after =", {u"--bogus=1"_s}, unknown + u"--bogus=1"_s);
    row("unknown option with one dash", {u"-x"_s}, unknown + u"-x"_s);
    row("three dashes", {u"---note"_s, u"x"_s}, unknown + u"---note"_s);
    row("letters of a short option run together", {u"-ni"_s, u"a"_s}, unknown + u"-ni"_s);
    row("unknown option before help", {u"--bogus"_s, u"--help"_s}, unknown + u"--bogus"_s);
    row("argument of its own", {u"x"_s}, operand + u"x"_s);
    row("second word for note", {u"--note"_s, u"a"_s, u"b"_s}, operand + u"b"_s);
    row("argument after --", {u"--"_s, u"x"_s}, operand + u"x"_s);
    row("option after -- is an argument", {u"--"_s, u"--help"_s}, operand + u"--help"_s);
    row("lone dash outside a value", {u"-"_s}, operand + u"-"_s);
    row("empty argument shown as \"\"", {QString()}, operand + u"\"\""_s);
    row("line break in an argument shown as \\n", {u"a\r\nb"_s}, operand + u"a\\r\\nb"_s);
    row("note without value", {u"--note"_s}, u"オプションに値がありません: --note"_s);
    row("importance without value", {u"-n"_s, u"a"_s, u"-i"_s},
        u"オプションに値がありません: -i"_s);
    row("value for a flag", {u"--version=2"_s}, u"値を取らないオプションです: --version=2"_s);
    row("note twice under both names", {u"-n"_s, u"a"_s, u"--note=b"_s}, twice + u"-n と --note"_s);
    row("edit twice", {u"--edit"_s, u"a"_s, u"--edit"_s, u"b"_s}, twice + u"--edit と --edit"_s);
    row("window option twice", {u"-style"_s, u"a"_s, u"--style"_s, u"b"_s},
        twice + u"-style と --style"_s);
    row("note with edit", {u"--note"_s, u"a"_s, u"--edit"_s, u"b"_s},
        together + u"--note と --edit"_s);
    row("edit before note", {u"--edit"_s, u"a"_s, u"-n"_s, u"b"_s}, together + u"--edit と -n"_s);
    row("window option with note", {u"-n"_s, u"a"_s, u"-platform"_s, u"offscreen"_s},
        together + u"-n と -platform"_s);
    row("window flag before note, named in their order", {u"-reverse"_s, u"--note"_s, u"a"_s},
        together + u"-reverse と --note"_s);
    row("importance X", {u"-n"_s, u"a"_s, u"-i"_s, u"X"_s}, importance + u"X"_s);
    row("importance empty", {u"-n"_s, u"a"_s, u"-i"_s, QString()}, importance + u"\"\""_s);
    row("importance AB", {u"-n"_s, u"a"_s, u"--importance=AB"_s}, importance + u"AB"_s);
    row("importance without note", {u"-i"_s, u"A"_s}, needsNote + u"-i"_s);
    row("importance with edit", {u"--edit"_s, u"a"_s, u"--importance"_s, u"A"_s},
        needsNote + u"--importance"_s);
    row("note with the note from the clipboard", {u"--note"_s, u"a"_s, u"--note-clipboard"_s},
        together + u"--note と --note-clipboard"_s);
    row("note from the clipboard before note", {u"--note-clipboard"_s, u"-n"_s, u"a"_s},
        together + u"--note-clipboard と -n"_s);
    row("note from the clipboard with edit", {u"--note-clipboard"_s, u"--edit"_s, u"a"_s},
        together + u"--note-clipboard と --edit"_s);
    row("both clipboard forms", {u"--edit-clipboard"_s, u"--note-clipboard"_s},
        together + u"--edit-clipboard と --note-clipboard"_s);
    row("edit with the edit from the clipboard", {u"--edit"_s, u"a"_s, u"--edit-clipboard"_s},
        together + u"--edit と --edit-clipboard"_s);
    row("edit from the clipboard with note", {u"--edit-clipboard"_s, u"--note"_s, u"a"_s},
        together + u"--edit-clipboard と --note"_s);
    row("value for a clipboard form", {u"--note-clipboard=x"_s},
        u"値を取らないオプションです: --note-clipboard=x"_s);
    row("clipboard form twice", {u"--edit-clipboard"_s, u"-edit-clipboard"_s},
        twice + u"--edit-clipboard と -edit-clipboard"_s);
    row("importance X from the clipboard", {u"--note-clipboard"_s, u"-i"_s, u"X"_s},
        importance + u"X"_s);
    row("importance with the edit from the clipboard", {u"--edit-clipboard"_s, u"-i"_s, u"A"_s},
        needsNote + u"-i"_s);
    row("no bare clipboard option", {u"--clipboard"_s}, unknown + u"--clipboard"_s);
}

void CommandLineParseTest::badUsageNamesTheWord() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, fault);
    const cli::CommandLine command = Parse(arguments);
    QCOMPARE(command.mode, cli::Mode::BadUsage);
    QCOMPARE(command.fault, fault);
}

void CommandLineParseTest::windowOptionsGoOnToQt_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QStringList>("qt");  // the words the application object sees

    QTest::newRow("none without window options")
        << QStringList{u"--edit"_s, u"x"_s} << QStringList{};
    // The clipboard is read through a display, which the options may name.
    QTest::newRow("with the note from the clipboard")
        << QStringList{u"-display"_s, u":1"_s, u"--note-clipboard"_s, u"-i"_s, u"A"_s}
        << QStringList{u"-display"_s, u":1"_s};
    QTest::newRow("with the edit from the clipboard")
        << QStringList{u"--edit-clipboard"_s, u"-reverse"_s} << QStringList{u"-reverse"_s};
    QTest::newRow("options, values and flags, in their order")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"--edit"_s, u"x"_s,
                       u"-reverse"_s,  u"--session"_s, u"s"_s}
        << QStringList{u"-platform"_s, u"offscreen"_s, u"-reverse"_s, u"--session"_s, u"s"_s};
    QTest::newRow("edit text that looks like a window flag is not one")
        << QStringList{u"--edit"_s, u"-reverse"_s} << QStringList{};
    QTest::newRow("window option's value that looks like edit")
        << QStringList{u"-title"_s, u"--edit"_s} << QStringList{u"-title"_s, u"--edit"_s};
    QTest::newRow("value after = one word")
        << QStringList{u"-style=fusion"_s, u"--edit=-platform"_s}
        << QStringList{u"-style=fusion"_s};
}

void CommandLineParseTest::windowOptionsGoOnToQt() {
    QFETCH(QStringList, arguments);
    QFETCH(QStringList, qt);
    const QStringList all = QStringList{u"lexbin"_s} + arguments;
    const cli::CommandLine command = cli::ParseCommandLine(all);
    QCOMPARE(command.mode, arguments.contains(u"--note-clipboard"_s) ? cli::Mode::ClipboardNote
                                                                     : cli::Mode::Window);
    QStringList seen;
    for (const qsizetype index : command.windowArguments) {
        seen.append(all.at(index));
    }
    QCOMPARE(seen, qt);
}

void CommandLineParseTest::closedStreamGetsAStandIn_data() {
    QTest::addColumn<int>("fd");  // the stream closed; -1 for none

    QTest::newRow("none closed") << -1;
    QTest::newRow("standard input") << STDIN_FILENO;
    QTest::newRow("standard output") << STDOUT_FILENO;
    QTest::newRow("standard error") << STDERR_FILENO;
}

void CommandLineParseTest::closedStreamGetsAStandIn() {
    QFETCH(int, fd);
    const int saved = fd < 0 ? -1 : ::dup(fd);
    if (fd >= 0) {
        QVERIFY(saved > STDERR_FILENO);
        ::close(fd);
    }
    const platform::ClosedStreams closed = platform::FillClosedStandardStreams();
    const bool filled = fd < 0 || ::fcntl(fd, F_GETFD) != -1;
    const int next = ::open("/dev/null", O_RDONLY);
    // The test's own stream back before anything is told.
    if (fd >= 0) {
        ::dup2(saved, fd);
        ::close(saved);
    }
    ::close(next);
    QVERIFY(filled);
    QVERIFY2(next > STDERR_FILENO, "a file opened later took a standard stream's number");
    QCOMPARE(closed.input, fd == STDIN_FILENO);
    QCOMPARE(closed.output, fd == STDOUT_FILENO);
}

QTEST_APPLESS_MAIN(CommandLineParseTest)
#include "test_command_line_parse.moc"
