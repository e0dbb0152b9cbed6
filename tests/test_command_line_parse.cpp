// Reading the command line, in process: which mode, text and importance the arguments ask
// for, and which of them are bad usage. What the program then does with them (exit
// statuses, streams, the store) is test_command_line's.
#include <QtTest>

#include "cli/command_line.h"

using namespace Qt::StringLiterals;

class CommandLineParseTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void reads_data();
    void reads();
};

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
    QTest::newRow("importance before note")
        << QStringList{u"-i"_s, u"C"_s, u"-n"_s, u"x"_s} << Mode::Note << u"x"_s << u"C"_s;
    QTest::newRow("standard input stays \"-\"")
        << QStringList{u"--note"_s, u"-"_s} << Mode::Note << u"-"_s << u"C"_s;
    QTest::newRow("note that looks like an option")
        << QStringList{u"--note"_s, u"--edit"_s} << Mode::Note << u"--edit"_s << u"C"_s;
    QTest::newRow("edit opens the window with its text")
        << QStringList{u"--edit"_s, u"a\nb"_s} << Mode::Window << u"a\nb"_s << QString();
    QTest::newRow("window options with edit")
        << QStringList{u"-platform"_s, u"offscreen"_s, u"-session"_s, u"s"_s,
                       u"--edit"_s,    u"x"_s,         u"-reverse"_s}
        << Mode::Window << u"x"_s << QString();
    QTest::newRow("help") << QStringList{u"-h"_s} << Mode::Help << QString() << QString();
    QTest::newRow("help wins over note")
        << QStringList{u"--note"_s, u"x"_s, u"--help"_s} << Mode::Help << QString() << QString();
    QTest::newRow("version") << QStringList{u"--version"_s} << Mode::Version << QString()
                             << QString();

    const QList<std::pair<const char*, QStringList>> badUsage = {
        {"positional argument", {u"x"_s}},
        {"note twice under both names", {u"-n"_s, u"a"_s, u"--note"_s, u"b"_s}},
        {"edit twice", {u"--edit"_s, u"a"_s, u"--edit"_s, u"b"_s}},
        {"importance X", {u"-n"_s, u"a"_s, u"-i"_s, u"X"_s}},
        {"importance empty", {u"-n"_s, u"a"_s, u"-i"_s, QString()}},
        {"importance AB", {u"-n"_s, u"a"_s, u"--importance=AB"_s}},
        {"importance without note", {u"-i"_s, u"A"_s}},
        {"importance with edit", {u"--edit"_s, u"a"_s, u"-i"_s, u"A"_s}},
        {"note without value", {u"--note"_s}},
        {"note with edit", {u"--note"_s, u"a"_s, u"--edit"_s, u"b"_s}},
        {"window option with note", {u"-n"_s, u"a"_s, u"-platform"_s, u"offscreen"_s}},
        {"window flag with note", {u"-n"_s, u"a"_s, u"-reverse"_s}},
        {"window option twice", {u"-style"_s, u"a"_s, u"-style"_s, u"b"_s}},
        {"letters of a short option run together", {u"-ni"_s, u"a"_s}},
    };
    for (const auto& [name, arguments] : badUsage) {
        QTest::newRow((u"bad usage: "_s + QString::fromUtf8(name)).toUtf8().constData())
            << arguments << Mode::BadUsage << QString() << QString();
    }
}

void CommandLineParseTest::reads() {
    QFETCH(QStringList, arguments);
    QFETCH(cli::Mode, mode);
    QFETCH(QString, text);
    QFETCH(QString, code);
    const cli::CommandLine command = cli::ParseCommandLine(QStringList{u"lexbin"_s} + arguments);
    QCOMPARE(command.mode, mode);
    QCOMPARE(command.text, text);
    QCOMPARE(storage::ImportanceCode(command.importance), code);
}

QTEST_APPLESS_MAIN(CommandLineParseTest)
#include "test_command_line_parse.moc"
