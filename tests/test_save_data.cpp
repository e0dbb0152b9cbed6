// Storing notes into a real data file in a temporary folder.
#include <sys/stat.h>
#include <sys/xattr.h>

#include <QtTest>
#include <optional>

#include "platform/posix/iconv_encoding.h"
#include "platform/posix/posix_append_marker.h"
#include "platform/posix/posix_text_file.h"
#include "platform/qtcore/qt_application.h"
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

    void defaultPathIsInTheUserDataFolder_data();
    void defaultPathIsInTheUserDataFolder();
    void withoutADataFolderTheStoreFails();
    void userDataFolderFollowsXdgDataHome_data();
    void userDataFolderFollowsXdgDataHome();
    void storedPathIsUsedUntrimmed();
    void unwritableProgramFolderUsesTheUserDataFolder();
    void worldWritableProgramFolderUsesTheUserDataFolder();
    void madeFileAndFoldersAreTheUsersAlone_data();
    void madeFileAndFoldersAreTheUsersAlone();
    void onlyAPrivateFolderKeepsTheDefaultFile_data();
    void onlyAPrivateFolderKeepsTheDefaultFile();

private:
    QString dataFile() const { return folder_->path(u"notes.txt"_s); }
    bool store(const QString& text, const QString& code = u"B"_s) {
        return mdlLexbin::SaveData(
            ts_->core(), text,
            storage::ImportanceFromCode(code).value_or(storage::Importance::None));
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
    QTest::newRow("NUL dropped") << (u"a"_s + QChar(0) + u"b"_s) << u"B"_s << head + "B,ab\r\n";
    QTest::newRow("NUL between CR and LF leaves no line break")
        << (u"a\r"_s + QChar(0) + u"\nb"_s) << u"B"_s << head + "B,ab\r\n";
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
    QTest::addColumn<QByteArray>("head");   // in front of the killed store's record
    QTest::addColumn<int>("pages");         // the record's length, in pages
    QTest::addColumn<int>("landed");        // the file's length at the kill, in pages
    QTest::addColumn<QByteArray>("fault");  // what makes the tail not provably ours
    QTest::addColumn<bool>("onTmpfs");
    const QByteArray one = "one\r\n";
    QTest::newRow("torn record taken back") << one << 2 << 1 << QByteArray() << false;
    QTest::newRow("torn after two pages taken back") << one << 5 << 2 << QByteArray() << false;
    QTest::newRow("CR LF put in front of it stays")
        << QByteArray("by hand\r\n") << 2 << 1 << QByteArray() << false;
    QTest::newRow("torn record taken back on tmpfs") << one << 2 << 1 << QByteArray() << true;
    // The mark holds a digest for each of the record's first 368 page boundaries.
    QTest::newRow("torn at the last boundary the mark covers taken back")
        << one << 400 << 368 << QByteArray() << false;
    QTest::newRow("torn beyond the boundaries the mark covers kept")
        << one << 400 << 369 << QByteArray("beyond") << false;
    QTest::newRow("a page appended by another program a second later kept")
        << one << 5 << 2 << QByteArray("foreign page") << false;
    const QList<QByteArray> faults = {"other device",
                                      "other inode",
                                      "written to since",
                                      "mark newer",
                                      "not on a page",
                                      "line feed after start",
                                      "other bytes",
                                      "complete",
                                      "nothing landed",
                                      "ends in a line feed",
                                      "mark of an earlier version",
                                      "older mark without the file"};
    for (const QByteArray& fault : faults) {
        QTest::newRow(QByteArray(fault + " kept").constData()) << one << 2 << 1 << fault << false;
    }
}

void SaveDataTest::takesBackARecordCutShortByAKill() {
    QFETCH(QByteArray, head);
    QFETCH(int, pages);
    QFETCH(int, landed);
    QFETCH(QByteArray, fault);
    QFETCH(bool, onTmpfs);
    std::optional<QTemporaryDir> tmpfs;
    if (onTmpfs) {
        tmpfs.emplace(u"/dev/shm/lexbin-XXXXXX"_s);
        QVERIFY(tmpfs->isValid());
        const QByteArray probe = QFile::encodeName(tmpfs->filePath(u"probe"_s));
        TempFolder::write(tmpfs->filePath(u"probe"_s), "x");
        if (::setxattr(probe.constData(), "user.probe", "1", 1, 0) != 0) {
            QSKIP("tmpfs here keeps no user extended attributes (before Linux 6.6)");
        }
        ts_->settings.set(u"DataFilePath"_s, tmpfs->filePath(u"notes.txt"_s));
    }
    const QString file = mdlLexbin::GetFilePath(ts_->services());
    const QByteArray path = QFile::encodeName(file);

    // The file as a store killed between two pages of its write leaves it, and what came
    // after.
    const qsizetype page = ::sysconf(_SC_PAGESIZE);
    const qsizetype end = landed * page - (fault == "not on a page");
    const QByteArray record(fault == "complete" ? end - head.size() : pages * page, 't');
    QByteArray before = head + record.left(end - head.size());
    if (fault == "line feed after start") {
        before[head.size() + 10] = '\n';
    } else if (fault == "ends in a line feed") {
        before.back() = '\n';
    } else if (fault == "other bytes") {
        before[before.size() - 100] = 'u';
    } else if (fault == "foreign page") {
        before += QByteArray(4096, 'f');
    }
    TempFolder::write(file, before);
    struct stat info {};
    QCOMPARE(::stat(path.constData(), &info), 0);
    const qint64 mtime = info.st_mtim.tv_sec * 1'000'000'000LL + info.st_mtim.tv_nsec;
    qint64 setAt = mtime - (fault == "foreign page" ? 1'000'000'000LL : 1'000'000);
    setAt += fault == "written to since" ? -10'000'000'000LL : 0;
    setAt += fault == "mark newer" ? 1'000'000'000LL : 0;
    const qint64 start = fault == "nothing landed" ? before.size() : head.size();
    struct stat named = info;
    named.st_dev += fault == "other device";
    named.st_ino += fault == "other inode";
    QByteArray mark =
        QByteArray::fromStdString(platform::MarkValue(named, setAt, start, record.toStdString()));
    if (fault == "mark of an earlier version") {
        mark.truncate(mark.indexOf('\n'));  // its numbers alone
    } else if (fault == "older mark without the file") {
        mark = QByteArray::number(start) + ' ' + QByteArray::number(record.size());
    }
    QCOMPARE(::setxattr(path.constData(), "user.lexbin.append", mark.constData(), mark.size(), 0),
             0);

    QVERIFY(store(u"abc"_s));
    const QByteArray kept = fault.isEmpty()         ? head
                            : before.endsWith('\n') ? before
                                                    : before + "\r\n";
    QCOMPARE(TempFolder::read(file), kept + "2001/04/22,09:34,B,abc\r\n");
    char value[128];
    QCOMPARE(::getxattr(path.constData(), "user.lexbin.append", value, sizeof value), -1);
    QCOMPARE(errno, ENODATA);  // a mark no store acted on is gone all the same
}

void SaveDataTest::encodesInTheSystemCodePage() {
    ts_->encoding = std::make_unique<platform::IconvEncoding>("CP932");
    QVERIFY(store(u"日本語メモ"_s, u"A"_s));
    QCOMPARE(TempFolder::read(dataFile()),
             QByteArray("2001/04/22,09:34,A,\x93\xfa\x96\x7b\x8c\xea\x83\x81\x83\x82\r\n"));
    ts_->encoding = std::make_unique<platform::IconvEncoding>(
        "EUC-JP");  // the full-width yen reads back as such
    QVERIFY(store(u"\uFFE5100"_s, u"A"_s));
    QVERIFY(TempFolder::read(dataFile())
                .endsWith(",A,\xa1\xef"
                          "100\r\n"));
}

void SaveDataTest::refusesCharactersTheCodePageLacks_data() {
    QTest::addColumn<QByteArray>("codeSet");
    QTest::addColumn<QString>("note");
    QTest::addColumn<QString>("named");  // how the description names the first such character
    QTest::newRow("emoji in CP932")
        << QByteArray("CP932") << u"memo \U0001F600"_s << u"「\U0001F600」U+1F600"_s;
    QTest::newRow("Hangul in CP932") << QByteArray("CP932") << u"한"_s << u"「한」U+D55C"_s;
    QTest::newRow("EUC-JP would turn yen into backslash")
        << QByteArray("EUC-JP") << u"\u00A5100"_s << u"「\u00A5」U+00A5"_s;
    QTest::newRow("EUC-JP would turn overline into tilde, first of two named")
        << QByteArray("EUC-JP") << u"a\u203Eb\u00A5"_s << u"「\u203E」U+203E"_s;
    QTest::newRow("combining mark on a dotted circle")
        << QByteArray("CP932") << u"e\u0301"_s << u"「\u25CC\u0301」U+0301"_s;
    QTest::newRow("invisible mark by code alone")
        << QByteArray("ISO-8859-6") << u"\u0645\u200F"_s << u"U+200F"_s;
    QTest::newRow("lone high surrogate by code alone")
        << QByteArray("UTF-8") << (u"a"_s + QChar(0xD800)) << u"U+D800"_s;
    QTest::newRow("lone low surrogate by code alone")
        << QByteArray("UTF-8") << (QChar(0xDC00) + u"a"_s) << u"U+DC00"_s;
}

void SaveDataTest::refusesCharactersTheCodePageLacks() {
    QFETCH(QByteArray, codeSet);
    QFETCH(QString, note);
    QFETCH(QString, named);
    ts_->encoding = std::make_unique<platform::IconvEncoding>(codeSet);
    TempFolder::write(dataFile(), "before\r\n");
    QVERIFY(!store(note));
    QCOMPARE(TempFolder::read(dataFile()), "before\r\n");
    QCOMPARE(ts_->reporter.numbers(), QList<int>{1001});
    QCOMPARE(ts_->reporter.locations(), QStringList{u"mdlLexbin!SaveData"_s});
    QCOMPARE(
        ts_->reporter.reports[0].description,
        u"データファイルの文字コードで表せない文字がメモに含まれています。 ("_s + named + u')');
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

void SaveDataTest::defaultPathIsInTheUserDataFolder_data() {
    QTest::addColumn<bool>("present");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("portable");  // a LexbinDB.txt lies beside the program already
    QTest::newRow("missing") << false << QString() << false;
    QTest::newRow("empty") << true << QString() << false;
    QTest::newRow("three blanks") << true << u"   "_s << false;
    QTest::newRow("ideographic blank") << true << u"\u3000"_s << false;
    QTest::newRow("an existing file in a private program folder keeps being used")
        << false << QString() << true;
}

void SaveDataTest::defaultPathIsInTheUserDataFolder() {
    QFETCH(bool, present);
    QFETCH(QString, stored);
    QFETCH(bool, portable);
    ts_->settings.values.clear();
    if (present) {
        ts_->settings.set(u"DataFilePath"_s, stored);
    }
    const QString beside = folder_->path(u"LexbinDB.txt"_s);
    if (portable) {
        TempFolder::write(beside, "earlier\r\n");
    }
    const QStringList programFolder = QDir(folder_->path()).entryList(QDir::AllEntries);
    const QString expected = portable ? beside : folder_->path(u"userdata/LexbinDB.txt"_s);
    QCOMPARE(mdlLexbin::GetFilePath(ts_->core()), expected);
    QCOMPARE(QDir(folder_->path()).entryList(QDir::AllEntries), programFolder);
    QVERIFY(store(u"abc"_s));
    const QByteArray before = portable ? "earlier\r\n" : "";
    QCOMPARE(TempFolder::read(expected), before + "2001/04/22,09:34,B,abc\r\n");
    QCOMPARE(QFile::exists(beside), portable);
}

void SaveDataTest::withoutADataFolderTheStoreFails() {
    // No absolute home: nothing may land in the working folder or the root instead.
    ts_->settings.values.clear();
    ts_->application.dataFolder.clear();
    QCOMPARE(mdlLexbin::GetFilePath(ts_->core()), QString());
    QVERIFY(!store(u"abc"_s));
    QCOMPARE(ts_->reporter.locations(), QStringList({u"mdlLexbin!SaveData"_s}));
    QVERIFY(QDir(folder_->path()).isEmpty());
}

void SaveDataTest::userDataFolderFollowsXdgDataHome_data() {
    QTest::addColumn<QString>("xdgDataHome");
    QTest::addColumn<QString>("home");
    QTest::addColumn<QString>("folder");
    QTest::newRow("absolute XDG_DATA_HOME")
        << u"/d/share/"_s << u"/home/u"_s << u"/d/share/Lexbin"_s;
    QTest::newRow("relative XDG_DATA_HOME is ignored")
        << u"share"_s << u"/home/u"_s << u"/home/u/.local/share/Lexbin"_s;
    QTest::newRow("unset") << QString() << u"/home/u"_s << u"/home/u/.local/share/Lexbin"_s;
    QTest::newRow("no home either") << QString() << QString() << QString();
}

void SaveDataTest::userDataFolderFollowsXdgDataHome() {
    QFETCH(QString, xdgDataHome);
    QFETCH(QString, home);
    QFETCH(QString, folder);
    QCOMPARE(platform::UserDataFolderPath(xdgDataHome, home), folder);
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
    TempFolder::write(program + u"/LexbinDB.txt"_s, "earlier\r\n");
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

void SaveDataTest::worldWritableProgramFolderUsesTheUserDataFolder() {
    // Another user could have put a LexbinDB.txt there beforehand, to read the notes.
    ts_->settings.values.clear();
    const QString program = folder_->path(u"program"_s);
    QVERIFY(QDir(folder_->path()).mkdir(u"program"_s));
    QCOMPARE(::chmod(QFile::encodeName(program).constData(), 0777), 0);
    TempFolder::write(program + u"/LexbinDB.txt"_s, "planted\r\n");
    ts_->application.programFolder = program;
    ts_->application.dataFolder = folder_->path(u"share/Lexbin"_s);  // both made
    QVERIFY(store(u"abc"_s));
    QCOMPARE(TempFolder::read(program + u"/LexbinDB.txt"_s), "planted\r\n");
    QCOMPARE(TempFolder::read(folder_->path(u"share/Lexbin/LexbinDB.txt"_s)),
             "2001/04/22,09:34,B,abc\r\n");
}

void SaveDataTest::madeFileAndFoldersAreTheUsersAlone_data() {
    QTest::addColumn<int>("existing");       // how many of share, share/Lexbin, the file exist
    QTest::addColumn<QList<uint>>("modes");  // theirs afterwards
    QTest::newRow("all made: folders 0700, file 0600") << 0 << QList<uint>{0700, 0700, 0600};
    QTest::newRow("existing folder keeps its mode") << 1 << QList<uint>{0755, 0700, 0600};
    QTest::newRow("existing file keeps its mode") << 3 << QList<uint>{0755, 0755, 0644};
}

void SaveDataTest::madeFileAndFoldersAreTheUsersAlone() {
    QFETCH(int, existing);
    QFETCH(QList<uint>, modes);
    ts_->settings.values.clear();
    ts_->application.programFolder = u"/usr/bin"_s;  // never the data file's folder
    ts_->application.dataFolder = folder_->path(u"share/Lexbin"_s);
    const QStringList paths = {folder_->path(u"share"_s), folder_->path(u"share/Lexbin"_s),
                               folder_->path(u"share/Lexbin/LexbinDB.txt"_s)};
    for (int i = 0; i < existing; ++i) {
        const QByteArray native = QFile::encodeName(paths[i]);
        if (i < 2) {
            QCOMPARE(::mkdir(native.constData(), 0755), 0);
        } else {
            TempFolder::write(paths[i], "earlier\r\n");
            QCOMPARE(::chmod(native.constData(), 0644), 0);
        }
    }
    const mode_t umaskBefore = ::umask(0);  // the modes are Lexbin's own, not the umask's
    const bool stored = store(u"abc"_s);
    ::umask(umaskBefore);
    QVERIFY(stored);
    for (int i = 0; i < paths.size(); ++i) {
        struct stat info {};
        QCOMPARE(::stat(QFile::encodeName(paths[i]).constData(), &info), 0);
        QCOMPARE(uint(info.st_mode & 07777), modes[i]);
    }
}

void SaveDataTest::onlyAPrivateFolderKeepsTheDefaultFile_data() {
    QTest::addColumn<QByteArray>("path");
    QTest::addColumn<uint>("owner");
    QTest::addColumn<uint>("user");
    QTest::addColumn<uint>("mode");
    QTest::addColumn<bool>("writable");
    QTest::addColumn<bool>("kept");
    QTest::newRow("own closed folder")
        << QByteArray("/home/u/bin") << 1000u << 1000u << 0755u << true << true;
    QTest::newRow("root's own folder")
        << QByteArray("/root/bin") << 0u << 0u << 0700u << true << true;
    QTest::newRow("another user's folder")
        << QByteArray("/home/v/bin") << 1001u << 1000u << 0755u << true << false;
    QTest::newRow("group may write")
        << QByteArray("/home/u/bin") << 1000u << 1000u << 0775u << true << false;
    QTest::newRow("others may write, sticky or not")
        << QByteArray("/home/u/bin") << 1000u << 1000u << 01777u << true << false;
    QTest::newRow("not writable") << QByteArray("/home/u/bin") << 1000u << 1000u << 0555u << false
                                  << false;
    QTest::newRow("/usr/bin, even for root")
        << QByteArray("/usr/bin") << 0u << 0u << 0755u << true << false;
    QTest::newRow("/usr itself") << QByteArray("/usr") << 0u << 0u << 0755u << true << false;
    QTest::newRow("/usr/local/bin")
        << QByteArray("/usr/local/bin") << 0u << 0u << 0755u << true << false;
    QTest::newRow("/bin") << QByteArray("/bin") << 0u << 0u << 0755u << true << false;
    QTest::newRow("/sbin") << QByteArray("/sbin") << 0u << 0u << 0755u << true << false;
    QTest::newRow("/opt/lexbin") << QByteArray("/opt/lexbin") << 0u << 0u << 0755u << true << false;
    QTest::newRow("the root folder") << QByteArray("/") << 0u << 0u << 0755u << true << false;
    QTest::newRow("/usrlocal is no system folder")
        << QByteArray("/usrlocal") << 1000u << 1000u << 0700u << true << true;
}

void SaveDataTest::onlyAPrivateFolderKeepsTheDefaultFile() {
    QFETCH(QByteArray, path);
    QFETCH(uint, owner);
    QFETCH(uint, user);
    QFETCH(uint, mode);
    QFETCH(bool, writable);
    QFETCH(bool, kept);
    QCOMPARE(platform::IsPrivateFolder({path, owner, S_IFDIR | mode, user, writable}), kept);
}

QTEST_GUILESS_MAIN(SaveDataTest)
#include "test_save_data.moc"
