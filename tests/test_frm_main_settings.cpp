// The Settings and Help menus of the main window, with boxes and the font dialog answered
// through the test seams.
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "app/note_edit.h"
#include "dialogs/frm_set_font.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;
using frm_main_design::MenuItem;

namespace {

// Answers the font dialog: types `text` (unless empty) and presses OK or Cancel. Records the
// text the dialog opened with.
struct FontDialogScript {
    explicit FontDialogScript(QString typed, bool pressOk = true)
        : text(std::move(typed)), ok(pressOk) {}

    QString text;
    bool ok;
    QStringList offered;

    void operator()(QDialog& dialog) {
        auto& font = static_cast<frmSetFont&>(dialog);
        offered.append(font.txtFontSize()->text());
        if (!text.isEmpty()) {
            font.txtFontSize()->setText(text);
        }
        font.cmdSetFont_Click(ok ? 0 : 1);
    }
};

}  // namespace

class FrmMainSettingsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void pathCommandStoresTheAnswerAsTyped_data();
    void pathCommandStoresTheAnswerAsTyped();
    void pathCommandOffersTheCurrentPath();
    void pathEndingInASeparatorIsRefusedOnce_data();
    void pathEndingInASeparatorIsRefusedOnce();
    void blankPathStoredSendsNotesToTheDefault();
    void pathCommandReportsAnUnwritableStore();

    void fontSizeConfirmedIsAppliedAtOnce();
    void eachShowingStartsFromTheCurrentSize();
    void cancelReappliesTheStoredSize();
    void unusableStoredSizeLeavesTheBoxAlone_data();
    void unusableStoredSizeLeavesTheBoxAlone();

    void imeItemOnlyTogglesItsCheckMark();

    void aboutShowsNameVersionAndCopyright_data();
    void aboutShowsNameVersionAndCopyright();
};

void FrmMainSettingsTest::pathCommandStoresTheAnswerAsTyped_data() {
    QTest::addColumn<QString>("answer");
    QTest::addColumn<QString>("stored");
    QTest::newRow("Cancel or emptied field") << QString() << u"/old/notes.txt"_s;
    QTest::newRow("absolute") << u"/home/u/memo.txt"_s << u"/home/u/memo.txt"_s;
    QTest::newRow("relative name") << u"notes.txt"_s << u"notes.txt"_s;
    QTest::newRow("spaces kept") << u" /x y.txt "_s << u" /x y.txt "_s;
    QTest::newRow("three spaces") << u"   "_s << u"   "_s;
}

void FrmMainSettingsTest::pathCommandStoresTheAnswerAsTyped() {
    QFETCH(QString, answer);
    QFETCH(QString, stored);
    MainWindowFixture f;
    f.ts.settings.set(u"DataFilePath"_s, u"/old/notes.txt"_s);
    frmMain& w = f.load();
    f.ts.dialogs.nextAnswers = {answer};
    w.menuItem(MenuItem::mnuSetPath)->trigger();
    QCOMPARE(f.ts.dialogs.inputs.size(), 1);
    QCOMPARE(f.ts.settings.value(u"DataFilePath"_s), stored);
    QVERIFY(f.silent());
}

void FrmMainSettingsTest::pathCommandOffersTheCurrentPath() {
    MainWindowFixture f;
    f.ts.settings.values.clear();
    frmMain& w = f.load();
    f.ts.dialogs.nextAnswers = {QString()};
    w.mnuSetPath_Click();
    const ScriptedDialogs::Input& input = f.ts.dialogs.inputs.value(0);
    QCOMPARE(input.prompt, u"Lexbin先のパス（ファイル名を含む）を指定してください。"_s);
    QCOMPARE(input.title, u"Lexbin先のパス"_s);
    const QString defaultPath = QDir::toNativeSeparators(f.folder.path(u"userdata/LexbinDB.txt"_s));
    QCOMPARE(input.prefilled, defaultPath);
    QVERIFY(!f.ts.settings.contains(u"DataFilePath"_s));
    // OK on the unchanged default stores it.
    f.ts.dialogs.nextAnswers = {defaultPath};
    w.mnuSetPath_Click();
    QCOMPARE(f.ts.settings.value(u"DataFilePath"_s), defaultPath);
}

void FrmMainSettingsTest::pathEndingInASeparatorIsRefusedOnce_data() {
    QTest::addColumn<QString>("answer");
    QTest::newRow("backslash") << u"C:\\Data\\"_s;
    QTest::newRow("slash") << u"/home/u/memo/"_s;
}

void FrmMainSettingsTest::pathEndingInASeparatorIsRefusedOnce() {
    QFETCH(QString, answer);
    MainWindowFixture f;
    frmMain& w = f.load();
    const QString before = f.ts.settings.value(u"DataFilePath"_s);
    f.ts.dialogs.nextAnswers = {answer, u"/should/not/be/asked.txt"_s};
    w.mnuSetPath_Click();
    QCOMPARE(f.ts.dialogs.inputs.size(), 1);  // not asked again
    QCOMPARE(f.ts.dialogs.shown.size(), 1);
    const platform::MessageBoxRequest& warning = f.ts.dialogs.shown[0];
    QCOMPARE(warning.text, u"Lexbin先はフルパスで指定してください。"_s);
    QCOMPARE(warning.title, u"注意"_s);
    QCOMPARE(warning.icon, platform::MessageIcon::Exclamation);
    QVERIFY(warning.systemModal);
    QCOMPARE(f.ts.settings.value(u"DataFilePath"_s), before);
}

void FrmMainSettingsTest::blankPathStoredSendsNotesToTheDefault() {
    MainWindowFixture f;
    frmMain& w = f.load();
    f.ts.dialogs.nextAnswers = {u"   "_s};
    w.mnuSetPath_Click();
    w.txtMain()->setPlainText(u"n"_s);
    w.mnuFileSave_Click();
    QCOMPARE(TempFolder::read(f.folder.path(u"userdata/LexbinDB.txt"_s)),
             "2001/04/22,09:34,C,n\r\n");
    QVERIFY(!QFile::exists(f.folder.path(u"LexbinDB.txt"_s)));
}

void FrmMainSettingsTest::pathCommandReportsAnUnwritableStore() {
    MainWindowFixture f;
    frmMain& w = f.load();
    const QString before = f.ts.settings.value(u"DataFilePath"_s);
    f.ts.settings.failWrites = true;
    f.ts.dialogs.nextAnswers = {u"/new/notes.txt"_s};
    w.mnuSetPath_Click();
    QCOMPARE(f.ts.reporter.locations(), QStringList{u"frmMain!mnuSetPath_Click"_s});
    QCOMPARE(f.ts.settings.value(u"DataFilePath"_s), before);
}

void FrmMainSettingsTest::fontSizeConfirmedIsAppliedAtOnce() {
    MainWindowFixture f;
    frmMain& w = f.load();
    FontDialogScript script(u"12"_s);
    f.ts.dialogs.onDialog = std::ref(script);
    w.menuItem(MenuItem::mnuSetFont)->trigger();
    QCOMPARE(script.offered, QStringList{u"10"_s});
    QCOMPARE(f.ts.settings.value(u"FontSize"_s), u"12"_s);
    QCOMPARE(w.textBoxFontSize(), 12.0f);
    QCOMPARE(w.txtMain()->font().pointSizeF(), 12.0);
}

void FrmMainSettingsTest::eachShowingStartsFromTheCurrentSize() {
    MainWindowFixture f;
    frmMain& w = f.load();
    FontDialogScript script(u"20.5"_s);
    f.ts.dialogs.onDialog = std::ref(script);
    w.mnuSetFont_Click();
    script.text = u"30"_s;
    w.mnuSetFont_Click();
    QCOMPARE(script.offered, QStringList({u"10"_s, u"20"_s}));
    QCOMPARE(w.textBoxFontSize(), 30.0f);
}

void FrmMainSettingsTest::cancelReappliesTheStoredSize() {
    MainWindowFixture f;
    frmMain& w = f.load();
    FontDialogScript script(u"40"_s, false);
    f.ts.dialogs.onDialog = std::ref(script);
    w.mnuSetFont_Click();
    QCOMPARE(w.textBoxFontSize(), 10.2f);  // nothing ever stored: the current size again
    QVERIFY(!f.ts.settings.contains(u"FontSize"_s));
    f.ts.settings.set(u"FontSize"_s, u"15"_s);  // stored meanwhile by another copy
    w.mnuSetFont_Click();
    QCOMPARE(w.textBoxFontSize(), 15.0f);
}

void FrmMainSettingsTest::unusableStoredSizeLeavesTheBoxAlone_data() {
    QTest::addColumn<QString>("stored");
    for (const QString& stored : {u"abc"_s, QString(), u"0"_s, u"-5"_s, u"1e39"_s, u"5000"_s}) {
        QTest::newRow(qPrintable(u'"' + stored + u'"')) << stored;
    }
}

void FrmMainSettingsTest::unusableStoredSizeLeavesTheBoxAlone() {
    QFETCH(QString, stored);
    MainWindowFixture f;
    frmMain& w = f.load();
    f.ts.settings.set(u"FontSize"_s, stored);  // edited from outside while running
    FontDialogScript script({}, false);
    f.ts.dialogs.onDialog = std::ref(script);
    w.mnuSetFont_Click();
    QCOMPARE(w.textBoxFontSize(), 10.2f);
    QVERIFY(w.isEnabled());
}

void FrmMainSettingsTest::imeItemOnlyTogglesItsCheckMark() {
    MainWindowFixture f;
    frmMain& w = f.show();
    QAction* ime = w.menuItem(MenuItem::mnuSetIMEMode);
    const QMap<QString, QString> before = f.ts.settings.values;
    ime->trigger();
    QVERIFY(ime->isChecked());
    ime->trigger();
    QVERIFY(!ime->isChecked());
    QCOMPARE(f.ts.settings.values, before);
    QCOMPARE(f.ts.inputMethod.switchedOn, 0);
}

void FrmMainSettingsTest::aboutShowsNameVersionAndCopyright_data() {
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("version");
    QTest::newRow("1.2") << 1 << 2 << u"1.02"_s;
    QTest::newRow("minor 10") << 1 << 10 << u"1.10"_s;
    QTest::newRow("major 10") << 10 << 2 << u"10.02"_s;
}

void FrmMainSettingsTest::aboutShowsNameVersionAndCopyright() {
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, version);
    MainWindowFixture f;
    f.ts.application.major = major;
    f.ts.application.minor = minor;
    frmMain& w = f.load();
    w.menuItem(MenuItem::mnuHelpAbout)->trigger();
    QCOMPARE(f.ts.dialogs.shown.size(), 1);
    const platform::MessageBoxRequest& about = f.ts.dialogs.shown[0];
    QCOMPARE(about.text,
             u"Lexbin Version "_s + version + u"\r\n\r\nCopyright (C) 2026 Lexbin Project"_s);
    QCOMPARE(about.title, u"バージョン情報"_s);
    QCOMPARE(about.icon, platform::MessageIcon::None);
    QVERIFY(about.systemModal);
}

QTEST_MAIN(FrmMainSettingsTest)
#include "test_frm_main_settings.moc"
