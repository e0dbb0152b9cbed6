// Storing notes into a real data file in a temporary folder.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <QtTest>

#include "platform/posix/iconv_encoding.h"
#include "storage/data_file.h"
#include "support/open_descriptors.h"
#include "support/temp_folder.h"
#include "support/test_services.h"
#include "support/unprivileged.h"

using namespace Qt::StringLiterals;

class SaveDataTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void appendsOneRecord_data();
    void appendsOneRecord();
    void blankNotesWriteNothing_data();
    void blankNotesWriteNothing();
    void recordsKeepTheOrderOfStoring();
    void separatorsComeFromTheClock();
    void startsOnANewLineAfterAHandEditedLastLine();
    void takesBackARecordCutShortByAKill_data();
    void takesBackARecordCutShortByAKill();

    void encodesInTheSystemCodePage();
    void refusesCharactersTheCodePageLacks_data();
    void refusesCharactersTheCodePageLacks();

    void failureShowsOneBoxAndKeepsTheFile_data();
    void failureShowsOneBoxAndKeepsTheFile();
    void readOnlyFileIsRefused();
    void failingPathLookupShowsTwoBoxes();
    void nextStoreSucceedsOnceTheFolderExists();

    void defaultPathIsBesideTheProgram_data();
    void defaultPathIsBesideTheProgram();
    void storedPathIsUsedUntrimmed();
    void unwritableProgramFolderUsesTheUserDataFolder();

private:
    QString dataFile() const { return folder_->path(u"notes.txt"_s); }
    bool store(const QString& text, const QString& code = u"B"_s) {
        return mdlLexbin::SaveData(ts_->core(), text, code);
    }

    std::unique_ptr<TempFolder> folder_;
    std::unique_ptr<TestServices> ts_;
};

void SaveDataTest::init() {
    folder_ = std::make_unique<TempFolder>();
    ts_ = std::make_unique<TestServices>();
    ts_->application.programFolder = folder_->path();
    ts_->application.dataFolder = folder_->path(u"userdata"_s);
    ts_->settings.set(u"DataFilePath"_s, dataFile());
}

void SaveDataTest::cleanup() {
    ts_.reset();
    folder_.reset();
}

void SaveDataTest::appendsOneRecord_data() {
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("line");
    const QByteArray head = "2001/04/22,09:34,";
    QTest::newRow("plain") << u"abc"_s << u"B"_s << head + "B,abc\r\n";
    QTest::newRow("two lines joined") << u"abc\r\ndef"_s << u"A"_s << head + "A,abcdef\r\n";
    QTest::newRow("lone LF kept") << u"abc\ndef"_s << u"C"_s << head + "C,abc\ndef\r\n";
    QTest::newRow("lone CR kept") << u"abc\rdef"_s << u"C"_s << head + "C,abc\rdef\r\n";
    QTest::newRow("LF CR is no pair") << u"a\n\rb"_s << u"C"_s << head + "C,a\n\rb\r\n";
    QTest::newRow("commas and quotes unquoted")
        << u"x,y \"q\""_s << u"B"_s << head + "B,x,y \"q\"\r\n";
    QTest::newRow("empty code") << u"abc"_s << QString() << head + ",abc\r\n";
    QTest::newRow("spaces kept") << u"  abc  "_s << u"B"_s << head + "B,  abc  \r\n";
    QTest::newRow("tabs only are content") << u"\t\t"_s << u"B"_s << head + "B,\t\t\r\n";
    QTest::newRow("Japanese") << u"日本語メモ"_s << u"A"_s
                              << head + QByteArray("A,") + u"日本語メモ"_s.toUtf8() + "\r\n";
}

void SaveDataTest::appendsOneRecord() {
    QFETCH(QString, note);
    QFETCH(QString, code);
    QFETCH(QByteArray, line);
    TempFolder::write(dataFile(), "earlier\r\n");
    QVERIFY(store(note, code));
    QCOMPARE(TempFolder::read(dataFile()), "earlier\r\n" + line);
    QVERIFY(ts_->reporter.reports.isEmpty());
}

void SaveDataTest::blankNotesWriteNothing_data() {
    QTest::addColumn<QString>("note");
    QTest::newRow("empty") << QString();
    QTest::newRow("spaces") << u"   "_s;
    QTest::newRow("CR LF pairs") << u"\r\n\r\n"_s;
    QTest::newRow("spaces between line breaks") << u" \r\n  \r\n "_s;
    QTest::newRow("ideographic spaces") << u"\u3000\u3000"_s;
}

void SaveDataTest::blankNotesWriteNothing() {
    QFETCH(QString, note);
    QVERIFY(store(note));  // nothing to store is no failure
    QVERIFY(!QFile::exists(dataFile()));
    QVERIFY(ts_->reporter.reports.isEmpty());
}

void SaveDataTest::recordsKeepTheOrderOfStoring() {
    QVERIFY(store(u"first"_s, u"A"_s));
    QVERIFY(store(u"second"_s, u"C"_s));
    QCOMPARE(TempFolder::read(dataFile()),
             "2001/04/22,09:34,A,first\r\n2001/04/22,09:34,C,second\r\n");
}

void SaveDataTest::separatorsComeFromTheClock() {
    ts_->clock.time = {2026, 12, 7, 0, 5};
    ts_->clock.seps = {u"-"_s, u"."_s};
    QVERIFY(store(u"n"_s));
    QCOMPARE(TempFolder::read(dataFile()), "2026-12-07,00.05,B,n\r\n");
}

void SaveDataTest::startsOnANewLineAfterAHandEditedLastLine() {
    TempFolder::write(dataFile(), "typed by hand");
    QVERIFY(store(u"abc"_s));
    QCOMPARE(TempFolder::read(dataFile()), "typed by hand\r\n2001/04/22,09:34,B,abc\r\n");
}

void SaveDataTest::takesBackARecordCutShortByAKill_data() {
    QTest::addColumn<QByteArray>("before");  // the file as the killed store left it
    QTest::addColumn<QByteArray>("note");    // its note of the append in flight
    QTest::addColumn<QByteArray>("kept");    // what stays in front of the new record
    QTest::newRow("torn record taken back")
        << QByteArray("one\r\n2001/04/22,09") << QByteArray("5 26") << QByteArray("one\r\n");
    QTest::newRow("torn line break of a hand-edited line taken back too")
        << QByteArray("by hand\r") << QByteArray("7 20") << QByteArray("by hand\r\n");
    QTest::newRow("complete record kept")
        << QByteArray("one\r\ntwo\r\n") << QByteArray("5 5") << QByteArray("one\r\ntwo\r\n");
    QTest::newRow("nothing landed")
        << QByteArray("one\r\n") << QByteArray("5 26") << QByteArray("one\r\n");
    QTest::newRow("more written after it is not ours to cut")
        << QByteArray("one\r\ntwo\r\nthree") << QByteArray("5 3")
        << QByteArray("one\r\ntwo\r\nthree\r\n");
}

void SaveDataTest::takesBackARecordCutShortByAKill() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, note);
    QFETCH(QByteArray, kept);
    TempFolder::write(dataFile(), before);
    const QByteArray path = QFile::encodeName(dataFile());
    QCOMPARE(::setxattr(path.constData(), "user.lexbin.append", note.constData(), note.size(), 0),
             0);
    QVERIFY(store(u"abc"_s));
    QCOMPARE(TempFolder::read(dataFile()), kept + "2001/04/22,09:34,B,abc\r\n");
    if (!before.endsWith('\n')) {  // looked at: the note is forgotten
        char value[48];
        QCOMPARE(::getxattr(path.constData(), "user.lexbin.append", value, sizeof value), -1);
        QCOMPARE(errno, ENODATA);
    }
}

void SaveDataTest::encodesInTheSystemCodePage() {
    ts_->encoding = platform::IconvEncoding("CP932");
    QVERIFY(store(u"日本語メモ"_s, u"A"_s));
    QCOMPARE(TempFolder::read(dataFile()),
             QByteArray("2001/04/22,09:34,A,\x93\xfa\x96\x7b\x8c\xea\x83\x81\x83\x82\r\n"));
}

void SaveDataTest::refusesCharactersTheCodePageLacks_data() {
    QTest::addColumn<QByteArray>("codeSet");
    QTest::addColumn<QString>("note");
    QTest::newRow("emoji in CP932") << QByteArray("CP932") << u"memo \U0001F600"_s;
    QTest::newRow("Hangul in CP932") << QByteArray("CP932") << u"한"_s;
    QTest::newRow("lone high surrogate") << QByteArray("UTF-8") << (u"a"_s + QChar(0xD800));
    QTest::newRow("lone low surrogate") << QByteArray("UTF-8") << (QChar(0xDC00) + u"a"_s);
}

void SaveDataTest::refusesCharactersTheCodePageLacks() {
    QFETCH(QByteArray, codeSet);
    QFETCH(QString, note);
    ts_->encoding = platform::IconvEncoding(codeSet);
    TempFolder::write(dataFile(), "before\r\n");
    QVERIFY(!store(note));
    QCOMPARE(TempFolder::read(dataFile()), "before\r\n");
    QCOMPARE(ts_->reporter.numbers(), QList<int>{1001});
    QCOMPARE(ts_->reporter.locations(), QStringList{u"mdlLexbin!SaveData"_s});
}

void SaveDataTest::failureShowsOneBoxAndKeepsTheFile_data() {
    QTest::addColumn<QString>("path");  // relative to the test folder, or absolute
    QTest::addColumn<int>("number");
    QTest::newRow("missing folder") << u"missing/notes.txt"_s << 76;
    QTest::newRow("a file as folder") << u"plain/notes.txt"_s << 76;
    QTest::newRow("path is a folder") << u"folder"_s << 75;
    QTest::newRow("disk full") << u"/dev/full"_s << 61;
    QTest::newRow("name too long") << QString(300, u'n') << 52;
    QTest::newRow("dangling symbolic link") << u"dangling"_s << 53;
    QTest::newRow("fifo") << u"fifo"_s << 75;
}

void SaveDataTest::failureShowsOneBoxAndKeepsTheFile() {
    QFETCH(QString, path);
    QFETCH(int, number);
    QVERIFY(QDir(folder_->path()).mkdir(u"folder"_s));
    TempFolder::write(folder_->path(u"plain"_s), "x");
    QVERIFY(QFile::link(folder_->path(u"nowhere/target.txt"_s), folder_->path(u"dangling"_s)));
    QCOMPARE(::mkfifo(QFile::encodeName(folder_->path(u"fifo"_s)).constData(), 0600), 0);
    const QString target = path.startsWith(u'/') ? path : folder_->path(path);
    ts_->settings.set(u"DataFilePath"_s, target);
    const int descriptors = OpenDescriptorCount();

    QVERIFY(!store(u"abc"_s));

    QCOMPARE(ts_->reporter.numbers(), QList<int>{number});
    QCOMPARE(ts_->reporter.locations(), QStringList{u"mdlLexbin!SaveData"_s});
    const QString description = ts_->reporter.reports[0].description;
    QVERIFY2(description.endsWith(u" ("_s + target + u')'), qPrintable(description));
    QCOMPARE(OpenDescriptorCount(), descriptors);
    QCOMPARE(TempFolder::read(folder_->path(u"plain"_s)), "x");
    QVERIFY(!QFile::exists(folder_->path(u"nowhere"_s)));
}

void SaveDataTest::readOnlyFileIsRefused() {
    TempFolder::write(dataFile(), "kept\r\n");
    QVERIFY(QFile::setPermissions(dataFile(), QFile::ReadOwner | QFile::ReadOther));
    QVERIFY(QFile::setPermissions(folder_->path(), QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ExeOwner | QFile::ReadOther |
                                                       QFile::ExeOther));
    const int status = RunUnprivileged([&] {
        const bool stored = store(u"abc"_s);
        return !stored && ts_->reporter.numbers() == QList<int>{70} ? 0 : 1;
    });
    QCOMPARE(status, 0);
    QCOMPARE(TempFolder::read(dataFile()), "kept\r\n");
}

void SaveDataTest::failingPathLookupShowsTwoBoxes() {
    ts_->settings.failReads = true;
    QVERIFY(!store(u"abc"_s));
    QCOMPARE(ts_->reporter.locations(),
             QStringList({u"mdlLexbin!GetFilePath"_s, u"mdlLexbin!SaveData"_s}));
    QCOMPARE(ts_->reporter.numbers()[1], 52);
    QVERIFY(!QFile::exists(dataFile()));
}

void SaveDataTest::nextStoreSucceedsOnceTheFolderExists() {
    ts_->settings.set(u"DataFilePath"_s, folder_->path(u"later/notes.txt"_s));
    QVERIFY(!store(u"lost"_s));
    QVERIFY(QDir(folder_->path()).mkdir(u"later"_s));
    QVERIFY(store(u"kept"_s));
    QCOMPARE(TempFolder::read(folder_->path(u"later/notes.txt"_s)), "2001/04/22,09:34,B,kept\r\n");
    QCOMPARE(ts_->reporter.reports.size(), 1);
}

void SaveDataTest::defaultPathIsBesideTheProgram_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("stored");
    QTest::newRow("missing") << false << QString();
    QTest::newRow("empty") << true << QString();
    QTest::newRow("three blanks") << true << u"   "_s;
    QTest::newRow("ideographic blank") << true << u"\u3000"_s;
}

void SaveDataTest::defaultPathIsBesideTheProgram() {
    QFETCH(bool, present);
    QFETCH(QString, stored);
    ts_->settings.values.clear();
    if (present) {
        ts_->settings.set(u"DataFilePath"_s, stored);
    }
    const QString expected = folder_->path(u"LexbinDB.txt"_s);
    QCOMPARE(mdlLexbin::GetFilePath(ts_->core()), expected);
    QVERIFY(store(u"abc"_s));
    QCOMPARE(TempFolder::read(expected), "2001/04/22,09:34,B,abc\r\n");
}

void SaveDataTest::storedPathIsUsedUntrimmed() {
    const QString spaced = folder_->path(u" notes.txt "_s);
    ts_->settings.set(u"DataFilePath"_s, spaced);
    QCOMPARE(mdlLexbin::GetFilePath(ts_->core()), spaced);
    QVERIFY(store(u"abc"_s));
    QVERIFY(QFile::exists(spaced));
}

void SaveDataTest::unwritableProgramFolderUsesTheUserDataFolder() {
    ts_->settings.values.clear();
    const QString program = folder_->path(u"program"_s);
    QVERIFY(QDir(folder_->path()).mkdir(u"program"_s));
    const auto readAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther |
                              QFile::ExeOther | QFile::ReadGroup | QFile::ExeGroup;
    QVERIFY(QFile::setPermissions(program, readAndEnter));
    QVERIFY(QFile::setPermissions(
        folder_->path(), readAndEnter | QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther));
    ts_->application.programFolder = program;
    const QString expected = folder_->path(u"userdata/LexbinDB.txt"_s);

    const int status = RunUnprivileged([&] {
        if (mdlLexbin::GetFilePath(ts_->core()) != expected) {
            return 1;
        }
        if (QFile::exists(folder_->path(u"userdata"_s))) {
            return 2;  // asking for the path must create nothing
        }
        return store(u"abc"_s) ? 0 : 3;
    });
    QCOMPARE(status, 0);
    QCOMPARE(TempFolder::read(expected), "2001/04/22,09:34,B,abc\r\n");
}

QTEST_GUILESS_MAIN(SaveDataTest)
#include "test_save_data.moc"
