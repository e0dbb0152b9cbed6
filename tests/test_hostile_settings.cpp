// Settings files that were edited by hand or broken, read and written through the real
// QSettings store by the main window (in a temporary XDG_CONFIG_HOME).
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSettings>
#include <QtTest>
#include <memory>

#include "frm_main.h"
#include "platform/qtcore/qsettings_store.h"
#include "platform/qtcore/resource_string_table.h"
#include "support/temp_folder.h"
#include "support/test_services.h"

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

QTEST_MAIN(HostileSettingsTest)
#include "test_hostile_settings.moc"
