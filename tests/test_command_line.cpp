// The command line, through the real program: stores without a window, usage, help, and the
// window's box filled at start-up.
#include <QClipboard>
#include <QSettings>
#include <QtTest>

#include "app/note_edit.h"
#include "app/option_button.h"
#include "support/compiled_locale.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// A home of its own for each run, settings pointing the data file into it; no display.
class ProgramRun {
public:
    ProgramRun() { setDataFile(dataFile()); }
    QString dataFile() const { return home_.path(u"notes.txt"_s); }
    QString path(const QString& name) const { return home_.path(name); }
    QByteArray data() const { return TempFolder::read(dataFile()); }
    void setDataFile(const QString& path) {
        QSettings conf(home_.path(u"config/Lexbin/Lexbin.conf"_s), QSettings::IniFormat);
        conf.setValue(u"Main/DataFilePath"_s, path);
    }
    void setEnvironment(const QString& name, const QString& value) { extra_.insert(name, value); }

    Outcome run(const QString& program, const QStringList& arguments,
                const QByteArray& input = {}) const {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
            environment.remove(QString::fromLatin1(name));
        }
        environment.insert(u"HOME"_s, home_.path());
        environment.insert(u"XDG_CONFIG_HOME"_s, home_.path(u"config"_s));
        environment.insert(u"XDG_DATA_HOME"_s, home_.path(u"data"_s));
        environment.insert(u"LC_ALL"_s, u"C.UTF-8"_s);
        environment.insert(extra_);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        process.write(input);
        process.closeWriteChannel();
        if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit) {
            process.kill();
            process.waitForFinished();
            return {};
        }
        return {process.exitCode(), process.readAllStandardOutput(),
                process.readAllStandardError()};
    }
    Outcome lexbin(const QStringList& arguments, const QByteArray& input = {}) const {
        return run(QString::fromUtf8(LEXBIN), arguments, input);
    }

private:
    TempFolder home_;
    QProcessEnvironment extra_;
};

// A record without its stamp ("yyyy/mm/dd,hh:nn,"): what does not depend on the clock.
QByteArray Unstamped(const QByteArray& record) {
    return record.mid(record.indexOf(',', record.indexOf(',') + 1) + 1);
}

}  // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void outcomes_data();
    void outcomes();
    void recordIsTheWindowsRecord_data();
    void recordIsTheWindowsRecord();
    void failingStoreTellsOneLine_data();
    void failingStoreTellsOneLine();
    void streamsAndWindowSystemThatFail_data();
    void streamsAndWindowSystemThatFail();
    void eucJpNoteLandsAsEucJp();
    void startTextGoesAtTheEndOfTheBox_data();
    void startTextGoesAtTheEndOfTheBox();
};

void CommandLineTest::outcomes_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("out");     // what standard output begins with
    QTest::addColumn<QByteArray>("err");     // what standard error begins with
    QTest::addColumn<QByteArray>("record");  // the data file without its stamp

    const QByteArray none;
    QTest::newRow("note stored, importance in either case")
        << QStringList{u"-n"_s, u"電話: 田中さん"_s, u"-i"_s, u"a"_s} << none << 0 << none << none
        << "A,電話: 田中さん\r\n"_ba;
    QTest::newRow("note without importance is normal")
        << QStringList{u"--note"_s, u"x"_s} << none << 0 << none << none << "C,x\r\n"_ba;
    QTest::newRow("note from standard input")
        << QStringList{u"--note"_s, u"-"_s, u"--importance"_s, u"B"_s} << "一行目\n二行目\n"_ba << 0
        << none << none << "B,一行目二行目\r\n"_ba;
    QTest::newRow("blank note writes nothing and succeeds")
        << QStringList{u"--note"_s, u"　 "_s} << none << 0 << none << none << none;
    QTest::newRow("undecodable standard input refused")
        << QStringList{u"--note"_s, u"-"_s} << "ok\xff"_ba << 1 << none
        << "lexbin: エラー番号:1004 "_ba << none;
    QTest::newRow("leading byte order mark of standard input dropped")
        << QStringList{u"--note"_s, u"-"_s} << "\xef\xbb\xbfx\xef\xbb\xbfy\n"_ba << 0 << none
        << none << "C,x\xef\xbb\xbfy\r\n"_ba;
    QTest::newRow("leading byte order mark of an argument dropped")
        << QStringList{u"--note"_s, u"\uFEFFx\uFEFFy"_s} << none << 0 << none << none
        << "C,x\xef\xbb\xbfy\r\n"_ba;
    QTest::newRow("encoded surrogate in standard input refused")
        << QStringList{u"--note"_s, u"-"_s} << "a\xed\xa0\x80"_ba << 1 << none
        << "lexbin: エラー番号:1004 "_ba << none;
    QTest::newRow("overlong form in standard input refused")
        << QStringList{u"--note"_s, u"-"_s} << "a\xc0\xaf"_ba << 1 << none
        << "lexbin: エラー番号:1004 "_ba << none;
    QTest::newRow("NUL in standard input refused")
        << QStringList{u"--note"_s, u"-"_s} << "a\0b\n"_ba << 1 << none
        << "lexbin: エラー番号:1004 "_ba << none;
    // Which arguments are bad usage is test_command_line_parse's; here what it leads to.
    QTest::newRow("bad usage: the fault, the usage text, status 2, nothing stored")
        << QStringList{u"--bogus"_s, u"--note"_s, u"x"_s} << none << 2 << none
        << "lexbin: 不明なオプションです: --bogus\n使い方: lexbin"_ba << none;
    QTest::newRow("help without a display")
        << QStringList{u"--help"_s} << none << 0 << "使い方: lexbin"_ba << none << none;
    QTest::newRow("version without a display")
        << QStringList{u"--version"_s} << none << 0 << "Lexbin 1.02\n"_ba << none << none;
    QTest::newRow("window without a display says so")
        << QStringList{} << none << 3 << none << "lexbin: 画面（ディスプレイ）に接続できない"_ba
        << none;
    QTest::newRow("edit without a display says so")
        << QStringList{u"--edit"_s, u"x"_s} << none << 3 << none
        << "lexbin: 画面（ディスプレイ）に接続できない"_ba << none;
    QTest::newRow("note from the clipboard without a display says so")
        << QStringList{u"--note-clipboard"_s, u"-i"_s, u"A"_s} << none << 3 << none
        << "lexbin: 画面（ディスプレイ）に接続できない"_ba << none;
}

void CommandLineTest::outcomes() {
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, status);
    QFETCH(QByteArray, out);
    QFETCH(QByteArray, err);
    QFETCH(QByteArray, record);
    ProgramRun run;
    const Outcome outcome = run.lexbin(arguments, input);
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.out.startsWith(out), outcome.out.constData());
    QVERIFY2(outcome.err.startsWith(err), outcome.err.constData());
    if (!err.isEmpty() && status != 2) {
        QCOMPARE(outcome.err.count('\n'), 1);  // one line a failure
    }
    QCOMPARE(Unstamped(run.data()), record);
    QCOMPARE(QFileInfo::exists(run.dataFile()), !record.isEmpty());
}

void CommandLineTest::recordIsTheWindowsRecord_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("importance");  // the option button's index
    QTest::addColumn<bool>("fromInput");

    QTest::newRow("CR LF, lone CR and lone LF") << u"a\r\nb\rc\nd"_s << 0 << false;
    QTest::newRow("CR LF, lone CR and lone LF from standard input")
        << u"a\r\nb\rc\nd"_s << 0 << true;
    QTest::newRow("CR in front of CR LF") << u"a\r\r\nb"_s << 1 << false;
    QTest::newRow("Unicode line and paragraph separators") << u"a\u2028b\u2029c"_s << 2 << false;
    QTest::newRow("blanks, tab and no-break space kept") << u" \tx\u00A0y\u3000"_s << 2 << false;
    QTest::newRow("supplementary and combining characters") << u"😀e\u0301"_s << 1 << true;
    QTest::newRow("commas and quotes") << u"a,\"b\",c"_s << 0 << false;
    QTest::newRow("only line breaks and blanks write nothing") << u"\r\n \n\r"_s << 2 << false;
}

void CommandLineTest::recordIsTheWindowsRecord() {
    QFETCH(QString, text);
    QFETCH(int, importance);
    QFETCH(bool, fromInput);

    MainWindowFixture f;
    frmMain& w = f.show();
    QGuiApplication::clipboard()->setText(text);
    w.txtMain()->paste();
    w.optImportance(importance)->setChecked(true);
    w.mnuFileSave_Click();
    QVERIFY(f.silent());

    const QString code = QStringList{u"A"_s, u"B"_s, u"c"_s}.at(importance);
    ProgramRun run;
    const Outcome outcome =
        fromInput ? run.lexbin({u"--note"_s, u"-"_s, u"-i"_s, code}, text.toUtf8() + '\n')
                  : run.lexbin({u"--note"_s, text, u"-i"_s, code});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.err, QByteArray());
    QCOMPARE(Unstamped(run.data()), Unstamped(f.data()));
}

void CommandLineTest::failingStoreTellsOneLine_data() {
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("shown");  // the folder as the error line shows it

    QTest::newRow("missing folder") << u"missing"_s << "missing"_ba;
    QTest::newRow("line break in the path shown as \\n") << u"miss\ning"_s << "miss\\ning"_ba;
}

void CommandLineTest::failingStoreTellsOneLine() {
    QFETCH(QString, folder);
    QFETCH(QByteArray, shown);
    ProgramRun run;
    const QString file = run.path(folder) + u"/notes.txt"_s;
    run.setDataFile(file);
    const Outcome outcome = run.lexbin({u"--note"_s, u"lost?"_s});
    QVERIFY(outcome.status != 0);
    QVERIFY2(outcome.err.startsWith("lexbin: エラー番号:"), outcome.err.constData());
    const QByteArray path = run.path(QString()).toUtf8() + '/' + shown + "/notes.txt";
    QVERIFY2(outcome.err.endsWith(QByteArray(" (" + path + ")\n")), outcome.err.constData());
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY(!QFileInfo::exists(run.path(folder)));
}

void CommandLineTest::streamsAndWindowSystemThatFail_data() {
    QTest::addColumn<QString>("script");  // for sh -c, the program as "$0"
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("err");  // all of standard error, one line

    const QByteArray unreadable = "lexbin: エラー番号:1006 標準入力を読み込めません。\n";
    QTest::newRow("note from a closed standard input")
        << uR"sh(exec "$0" --note - <&-)sh"_s << 1 << unreadable;
    QTest::newRow("note from a standard input that is a folder")
        << uR"sh(exec "$0" --note - </)sh"_s << 1 << unreadable;
    QTest::newRow("edit from a closed standard input")
        << uR"sh(exec "$0" --edit - <&-)sh"_s << 1 << unreadable;
    QTest::newRow("help to a full device")
        << uR"sh(exec "$0" --help >/dev/full)sh"_s << 1
        << "lexbin: エラー番号:61 ディスクの空き容量が不足しています。 (標準出力)\n"_ba;
    QTest::newRow("version to a full device")
        << uR"sh(exec "$0" --version >/dev/full)sh"_s << 1
        << "lexbin: エラー番号:61 ディスクの空き容量が不足しています。 (標準出力)\n"_ba;
    QTest::newRow("version to a closed standard output")
        << uR"sh(exec "$0" --version >&-)sh"_s << 1
        << "lexbin: エラー番号:57 デバイス I/O エラーです。 (標準出力)\n"_ba;
    const QByteArray noPlugin =
        "lexbin: ウィンドウシステムを開始できないため、窓を開けません。"
        "プラットフォームプラグイン「nonesuch」がありません。使えるもの: ";
    QTest::newRow("platform plug-in that does not exist, as an option")
        << uR"sh(exec "$0" -platform nonesuch)sh"_s << 3 << noPlugin;
    QTest::newRow("platform plug-in that does not exist, from the environment")
        << uR"sh(QT_QPA_PLATFORM=nonesuch exec "$0" --edit x)sh"_s << 3 << noPlugin;
}

void CommandLineTest::streamsAndWindowSystemThatFail() {
    QFETCH(QString, script);
    QFETCH(int, status);
    QFETCH(QByteArray, err);
    ProgramRun run;
    const Outcome outcome = run.run(u"/bin/sh"_s, {u"-c"_s, script, QString::fromUtf8(LEXBIN)});
    QCOMPARE(outcome.status, status);
    QVERIFY2(outcome.err.startsWith(err), outcome.err.constData());
    QCOMPARE(outcome.err.count('\n'), 1);
    QCOMPARE(outcome.out, QByteArray());
    QVERIFY(!QFileInfo::exists(run.dataFile()));
}

void CommandLineTest::eucJpNoteLandsAsEucJp() {
    TempFolder locales;
    const QString name = u"ja_JP.eucJP"_s;
    if (const QString why = CompileLocale(locales.path(), name, u"ja_JP"_s, u"EUC-JP"_s);
        !why.isEmpty()) {
        QSKIP(qPrintable(why));
    }
    ProgramRun run;
    run.setEnvironment(u"LOCPATH"_s, locales.path());
    run.setEnvironment(u"LC_ALL"_s, name);
    // 日本 in EUC-JP: QProcess would pass the argument as UTF-8, the shell passes the bytes.
    const Outcome outcome =
        run.run(u"/bin/sh"_s, {u"-c"_s, uR"sh("$0" --note "$(printf '\306\374\313\334')")sh"_s,
                               QString::fromUtf8(LEXBIN)});
    QCOMPARE(outcome.err, QByteArray());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(Unstamped(run.data()), "C,\xc6\xfc\xcb\xdc\r\n"_ba);
}

void CommandLineTest::startTextGoesAtTheEndOfTheBox_data() {
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("boxText");

    QTest::newRow("empty box takes the text whole") << QString() << u"abc"_s << u"abc"_s;
    QTest::newRow("held note keeps its place, text on a new line")
        << u"draft\r\nline"_s << u"abc"_s << u"draft\r\nline\r\nabc"_s;
    QTest::newRow("empty start text leaves the box alone") << u"draft"_s << QString() << u"draft"_s;
    QTest::newRow("line breaks of the start text kept") << QString() << u"a\r\nb"_s << u"a\r\nb"_s;
}

void CommandLineTest::startTextGoesAtTheEndOfTheBox() {
    QFETCH(QString, held);
    QFETCH(QString, start);
    MainWindowFixture f;
    frmMain& w = f.load();
    w.txtMain()->setPlainText(held);
    w.appendStartText(start);
    QFETCH(QString, boxText);
    QCOMPARE(w.txtMain()->noteText(), boxText);
    if (!start.isEmpty()) {
        QVERIFY(w.txtMain()->textCursor().atEnd());
    }
}

QTEST_MAIN(CommandLineTest)
#include "test_command_line.moc"
