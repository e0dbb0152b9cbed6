// Settings files that were edited by hand or broken, read and written through the real
// QSettings store by the main window (in a temporary XDG_CONFIG_HOME).
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>
#include <chrono>
#include <future>
#include <memory>

#include "app/frm_main.h"
#include "app/note_edit.h"
#include "platform/qtcore/qsettings_store.h"
#include "platform/qtcore/resource_string_table.h"
#include "storage/data_file.h"
#include "support/temp_folder.h"
#include "support/test_services.h"
#include "support/unprivileged.h"

using namespace Qt::StringLiterals;

namespace {

// The main window over the real settings store and the program's string table.
struct RealSettingsWindow {
    TempFolder folder;
    TestServices ts;
    platform::QSettingsStore store;
    platform::ResourceStringTable strings;
    platform::Services services = ts.services({.settings = &store, .strings = &strings});
    frmMain window{services};

    RealSettingsWindow() {
        ts.application.programFolder = folder.path();
        ts.application.dataFolder = folder.path(u"userdata"_s);
    }
    frmMain& show() {
        window.Form_Load();
        window.show();
        if (!QTest::qWaitForWindowExposed(&window)) {
            qWarning("the main window was not exposed");
        }
        return window;
    }
};

// What may stand where the settings file belongs.
enum class NotAFile { Folder, Fifo, LinkToDevice, DanglingLink };

// The outcome of a settings read or write: what was read, "written", or the failure's
// number and description.
QString ReadDataFilePath() {
    try {
        return u"value: "_s +
               platform::QSettingsStore().get(u"Lexbin"_s, u"Main"_s, u"DataFilePath"_s, {});
    } catch (const errors::Failure& failure) {
        return QString::number(failure.number()) + u' ' + failure.description();
    }
}
QString SaveLeft() {
    try {
        platform::QSettingsStore().save(u"Lexbin"_s, u"Main"_s, u"Left"_s, u"1500"_s);
        return u"written"_s;
    } catch (const errors::Failure& failure) {
        return QString::number(failure.number()) + u' ' + failure.description();
    }
}

const QStringList kWrittenAtClose = {u"AutoEnableIME"_s, u"Left"_s, u"Top"_s, u"Width"_s,
                                     u"Height"_s};
const QStringList kKeptAtClose = {u"FontSize"_s, u"DataFilePath"_s};

}  // namespace

class HostileSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void windowLoadsAndCloseRewritesTheFile_data();
    void windowLoadsAndCloseRewritesTheFile();
    void keysOutsideMainAreNotRead();
    void repeatedKeyIsWrittenBackOnce();
    void notAFileIsReportedAndLeftAlone_data();
    void notAFileIsReportedAndLeftAlone();
    void fileOthersMayNotReadIsNeitherReadNorWritten();
    void handEditedDataFilePathReadsAsTheReadmeSays_data();
    void handEditedDataFilePathReadsAsTheReadmeSays();

private:
    QString configFile() const { return config_.path(u"Lexbin/Lexbin.conf"_s); }
    void writeConfig(const QByteArray& bytes) {
        QVERIFY(QDir().mkpath(config_.path(u"Lexbin"_s)));
        TempFolder::write(configFile(), bytes);
    }
    // A fresh QSettings on a copy of the file: nothing of what this process read before is
    // reused.
    std::unique_ptr<QSettings> reread() {
        const QString copy = config_.path(u"copy-%1.conf"_s.arg(++copies_));
        QFile::remove(copy);
        if (!QFile::copy(configFile(), copy)) {
            return nullptr;
        }
        auto settings = std::make_unique<QSettings>(copy, QSettings::IniFormat);
        settings->beginGroup(u"Main"_s);
        return settings;
    }

    TempFolder config_;
    int copies_ = 0;
    int stamps_ = 0;
};

void HostileSettingsTest::initTestCase() {
    // Before the first QSettings: Qt reads the location once.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(config_.path()));
}

void HostileSettingsTest::init() {
    QVERIFY(QDir(config_.path(u"Lexbin"_s)).removeRecursively());
}

void HostileSettingsTest::windowLoadsAndCloseRewritesTheFile_data() {
    QTest::addColumn<QByteArray>("file");  // null: no file at all
    QTest::addColumn<int>("number");       // the load's error box; 0: none

    QTest::newRow("missing") << QByteArray() << 0;
    QTest::newRow("empty") << QByteArray("") << 0;
    QByteArray garbage(4096, '\0');
    QRandomGenerator bytes(20240607);
    bytes.fillRange(reinterpret_cast<quint32*>(garbage.data()), garbage.size() / 4);
    QTest::newRow("binary garbage") << garbage << 0;
    QTest::newRow("10 MiB DataFilePath")
        << "[Main]\nDataFilePath=/" + QByteArray(10 * 1024 * 1024, 'p') + "\n"
        << 0;

    // Every number key with values a hand edit may leave. " 12 " is quoted so that the
    // blanks reach the program (QSettings trims unquoted values).
    struct Value {
        const char* tag;
        QByteArray text;
        int number;  // for every key but FontSize
        int fontSizeNumber;
    };
    const Value values[] = {
        {"1e309", "1e309", 6, 6},    // beyond double precision
        {"3.5e38", "3.5e38", 6, 6},  // beyond single precision; AutoEnableIME beyond 32 bits
        {"-0", "-0", 0, 380},        // no font has size 0
        {"nan", "nan", 13, 13},     {"inf", "inf", 13, 13}, {"blanks around 12", "\" 12 \"", 0, 0},
        {"0x10", "0x10", 13, 13},
    };
    const char* const keys[] = {"FontSize", "AutoEnableIME", "Left", "Top", "Width", "Height"};
    for (const char* key : keys) {
        for (const Value& value : values) {
            const bool fontSize = qstrcmp(key, "FontSize") == 0;
            QTest::addRow("%s %s", key, value.tag)
                << "[Main]\n" + QByteArray(key) + '=' + value.text + '\n'
                << (fontSize ? value.fontSizeNumber : value.number);
        }
    }
}

void HostileSettingsTest::windowLoadsAndCloseRewritesTheFile() {
    QFETCH(QByteArray, file);
    QFETCH(int, number);
    if (!file.isNull()) {
        writeConfig(file);
    }
    QHash<QString, QVariant> kept;
    if (const auto before = reread()) {
        for (const QString& key : kKeptAtClose) {
            kept.insert(key, before->value(key));
        }
    }

    RealSettingsWindow f;
    frmMain& w = f.show();
    QVERIFY(w.isVisible());
    if (number == 0) {
        QCOMPARE(f.ts.reporter.reports.size(), 0);
    } else {
        QCOMPARE(f.ts.reporter.locations(), QStringList{u"frmMain!Form_Load"_s});
        QCOMPARE(f.ts.reporter.numbers(), QList<int>{number});
    }
    const qsizetype reports = f.ts.reporter.reports.size();

    w.close();
    QCOMPARE(f.ts.reporter.reports.size(), reports);  // the close wrote without complaint
    const auto after = reread();
    QVERIFY(after);
    QCOMPARE(after->status(), QSettings::NoError);
    const QRegularExpression numberText(u"^-?\\d+(\\.\\d+)?(E[-+]?\\d+)?$"_s);
    for (const QString& key : kWrittenAtClose) {
        const QString value = after->value(key).toString();
        QVERIFY2(numberText.match(value).hasMatch(), qPrintable(key + u'=' + value));
    }
    for (auto it = kept.cbegin(); it != kept.cend(); ++it) {
        QVERIFY2(after->value(it.key()) == it.value(), qPrintable(it.key()));
    }
}

void HostileSettingsTest::keysOutsideMainAreNotRead() {
    writeConfig(
        "[Other]\nFontSize=20\nLeft=1500\nTop=1200\nWidth=9000\nHeight=6000\n"
        "[General]\nWidth=9000\n");
    RealSettingsWindow f;
    frmMain& w = f.show();
    QVERIFY(f.ts.reporter.reports.isEmpty() && f.ts.dialogs.shown.isEmpty());
    QCOMPARE(w.textBoxFontSize(), 10.2f);  // the design's
    QVERIFY(w.size() != QSize(600, 400));
    w.close();
    const auto after = reread();
    QVERIFY(after);
    QCOMPARE(after->status(), QSettings::NoError);
    for (const QString& key : kWrittenAtClose) {
        QVERIFY2(after->contains(key), qPrintable(key));
    }
    after->endGroup();
    QCOMPARE(after->value(u"Other/Width"_s).toString(), u"9000"_s);  // left alone
}

void HostileSettingsTest::repeatedKeyIsWrittenBackOnce() {
    writeConfig("[Main]\nLeft=1500\nWidth=9000\nLeft=3000\n");
    RealSettingsWindow f;
    frmMain& w = f.show();
    QVERIFY(f.ts.reporter.reports.isEmpty() && f.ts.dialogs.shown.isEmpty());
    QVERIFY2(w.x() == 100 || w.x() == 200, qPrintable(QString::number(w.x())));
    QCOMPARE(w.width(), 600);
    w.move(50, w.y());
    w.close();
    const QByteArray text = TempFolder::read(configFile());
    QCOMPARE(text.count("Left="), 1);
    QVERIFY2(text.contains("\nLeft=750\n"), text.constData());
}

void HostileSettingsTest::notAFileIsReportedAndLeftAlone_data() {
    QTest::addColumn<NotAFile>("kind");
    QTest::newRow("folder") << NotAFile::Folder;
    QTest::newRow("FIFO") << NotAFile::Fifo;
    QTest::newRow("link to a device") << NotAFile::LinkToDevice;
    QTest::newRow("dangling link") << NotAFile::DanglingLink;
}

void HostileSettingsTest::notAFileIsReportedAndLeftAlone() {
    QFETCH(NotAFile, kind);
    QVERIFY(QDir().mkpath(config_.path(u"Lexbin"_s)));
    const QByteArray file = QFile::encodeName(configFile());
    TempFolder elsewhere;
    const QByteArray device = QFile::encodeName(elsewhere.path(u"null"_s));
    const QByteArray missing = QFile::encodeName(elsewhere.path(u"missing.conf"_s));
    switch (kind) {
        case NotAFile::Folder:
            QCOMPARE(::mkdir(file.constData(), 0700), 0);
            break;
        case NotAFile::Fifo:
            QCOMPARE(::mkfifo(file.constData(), 0600), 0);
            break;
        case NotAFile::LinkToDevice:  // the numbers of /dev/null, in a folder of our own
            if (::mknod(device.constData(), S_IFCHR | 0600, ::makedev(1, 3)) != 0) {
                QSKIP("making a device node needs root");
            }
            QCOMPARE(::symlink(device.constData(), file.constData()), 0);
            break;
        case NotAFile::DanglingLink:
            QCOMPARE(::symlink(missing.constData(), file.constData()), 0);
            break;
    }
    struct stat before {};
    QCOMPARE(::lstat(file.constData(), &before), 0);

    // Bounded in time: opening a FIFO waits for a writer.
    for (const auto attempt : {ReadDataFilePath, SaveLeft}) {
        auto outcome = std::async(std::launch::async, attempt);
        if (outcome.wait_for(std::chrono::seconds(10)) != std::future_status::ready) {
            ::close(::open(file.constData(), O_WRONLY | O_NONBLOCK));  // lets the open go on
            outcome.wait();
            QFAIL("the settings store waited for a writer");
        }
        QCOMPARE(outcome.get(), attempt == ReadDataFilePath
                                    ? u"1003 設定を読み込めません。 ("_s + configFile() + u')'
                                    : u"1002 設定を保存できません。"_s);
    }

    RealSettingsWindow f;
    frmMain& w = f.show();
    QCOMPARE(f.ts.reporter.locations(), QStringList{u"frmMain!Form_Load"_s});
    QCOMPARE(f.ts.reporter.numbers(), QList<int>{1003});
    // No note goes to the default file instead of the one the settings may name.
    w.txtMain()->setPlainText(u"abc"_s);
    w.mnuFileSave_Click();
    QCOMPARE(
        f.ts.reporter.locations(),
        QStringList({u"frmMain!Form_Load"_s, u"mdlLexbin!GetFilePath"_s, u"mdlLexbin!SaveData"_s}));
    QCOMPARE(f.ts.reporter.numbers()[1], 1003);
    QCOMPARE(w.txtMain()->toPlainText(), u"abc"_s);
    QCOMPARE(QDir(f.folder.path()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries),
             QStringList());
    // Nor is anything written through it.
    w.close();
    QCOMPARE(f.ts.reporter.locations().last(), u"frmMain!Form_Unload"_s);
    QCOMPARE(f.ts.reporter.numbers().last(), 1002);
    struct stat after {};
    QCOMPARE(::lstat(file.constData(), &after), 0);
    QCOMPARE(after.st_mode, before.st_mode);
    QCOMPARE(after.st_ino, before.st_ino);
    QVERIFY(!QFile::exists(elsewhere.path(u"missing.conf"_s)));
    if (kind == NotAFile::LinkToDevice) {
        QCOMPARE(::lstat(device.constData(), &after), 0);
        QVERIFY(S_ISCHR(after.st_mode));
    }
}

void HostileSettingsTest::fileOthersMayNotReadIsNeitherReadNorWritten() {
    // As left by a run through sudo: the file is root's. The folders let anyone in, so only
    // the file itself stands in the way.
    const QByteArray text = "[Main]\nDataFilePath=/srv/notes.txt\n";
    writeConfig(text);
    QVERIFY(QFile::setPermissions(configFile(), QFile::Permissions()));
    const auto open = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                      QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    QVERIFY(QFile::setPermissions(config_.path(), open));
    QVERIFY(QFile::setPermissions(config_.path(u"Lexbin"_s),
                                  open | QFile::WriteGroup | QFile::WriteOther));
    const int status = RunUnprivileged([] {
        if (!ReadDataFilePath().startsWith(u"1003 "_s)) {
            return 1;
        }
        return SaveLeft().startsWith(u"1002 "_s) ? 0 : 2;
    });
    QCOMPARE(status, 0);  // 1: read; 2: written
    QVERIFY(QFile::setPermissions(configFile(), QFile::ReadOwner | QFile::WriteOwner));
    QCOMPARE(TempFolder::read(configFile()), text);
}

void HostileSettingsTest::handEditedDataFilePathReadsAsTheReadmeSays_data() {
    QTest::addColumn<QByteArray>("line");  // after "DataFilePath="
    QTest::addColumn<QString>("path");
    QTest::newRow("plain path as is") << "/home/u/メモ 1.txt"_ba << u"/home/u/メモ 1.txt"_s;
    QTest::newRow("blanks around trimmed") << "  /x.txt  "_ba << u"/x.txt"_s;
    QTest::newRow("blank after a comma lost") << "/u/a, b.txt"_ba << u"/u/a,b.txt"_s;
    QTest::newRow("semicolon starts a comment") << "/u/a;b.txt"_ba << u"/u/a"_s;
    QTest::newRow("backslash starts an escape") << "/u/back\\slash"_ba << u"/u/backlash"_s;
    QTest::newRow("quotes vanish") << "/u/\"q\".txt"_ba << u"/u/q.txt"_s;
    QTest::newRow("quoted: blanks, comma and semicolon kept")
        << "\" /u/a, b;c.txt \""_ba << u" /u/a, b;c.txt "_s;
    QTest::newRow("quoted: escaped backslash and quote kept")
        << "\"/u/back\\\\slash \\\"q\\\".txt\""_ba << u"/u/back\\slash \"q\".txt"_s;
    QTest::newRow("unmatched quote runs on into the next lines")
        << "/u/\"q.txt"_ba << u"/u/q.txt\nLeft=1500\n"_s;
    QTest::newRow("leading at sign doubled") << "@@x.txt"_ba << u"@x.txt"_s;
    QTest::newRow("quoted: leading at sign doubled too") << "\"@@a, b\""_ba << u"@a, b"_s;
    QTest::newRow("equals and hash as is") << "/u/a=b#c.txt"_ba << u"/u/a=b#c.txt"_s;
}

void HostileSettingsTest::handEditedDataFilePathReadsAsTheReadmeSays() {
    QFETCH(QByteArray, line);
    QFETCH(QString, path);
    writeConfig("[Main]\nDataFilePath=" + line + "\nLeft=1500\n");
    // QSettings reuses what it read of a file of the same size and time: each row its own.
    QFile file(configFile());
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::fromSecsSinceEpoch(1'000'000'000 + ++stamps_),
                             QFileDevice::FileModificationTime));
    file.close();

    RealSettingsWindow f;
    QCOMPARE(mdlLexbin::GetFilePath(f.services), path);
    // What the program writes for the value reads back the same.
    f.store.save(u"Lexbin"_s, u"Main"_s, u"DataFilePath"_s, path);
    QCOMPARE(mdlLexbin::GetFilePath(f.services), path);
    QVERIFY(f.ts.reporter.reports.isEmpty());
}

QTEST_MAIN(HostileSettingsTest)
#include "test_hostile_settings.moc"
