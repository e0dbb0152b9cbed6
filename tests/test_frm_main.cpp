// The main window as the user meets it: captions, importance, the File menu's commands.
#include <QAccessible>
#include <QMenuBar>
#include <QtTest>

#include "app/note_edit.h"
#include "app/option_button.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;
using frm_main_design::MenuItem;

class FrmMainTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void designCaptionsBeforeLoading();
    void captionsAfterLoading_data();
    void captionsAfterLoading();
    void menuShortcutsSurviveCaptionLoading();
    void designLayoutInTwips();

    void importanceFollowsTheSelectedButton_data();
    void importanceFollowsTheSelectedButton();
    void noSelectedButtonGivesEmptyCode();

    void saveStoresAndEmptiesTheBox();
    void saveKeepsTheImportanceSelected();
    void saveOfABlankNoteEmptiesTheBox();
    void saveThatFailsKeepsTheNote();
    void saveAndExitStoresAndCloses();
    void saveAndExitThatFailsStaysOpen();
    void exitDropsTheNoteWithoutAsking();

    void accessKeySelectsAtOnceBeforeCtrlS();
    void ctrlSInTheTextBoxStoresInsteadOfTyping();
    void typedLineBreaksReachStorageAsCrLf();
    void tabLeavesTheTextBox();
};

void FrmMainTest::designCaptionsBeforeLoading() {
    MainWindowFixture f;
    frmMain& w = f.create();
    QCOMPARE(w.windowTitle(), u"Form1"_s);
    QCOMPARE(w.optImportance(0)->text(), u"(0)"_s);
    QCOMPARE(w.optImportance(2)->text(), u"(2)"_s);
    QCOMPARE(w.menuItem(MenuItem::mnuFile)->text(), u"1100"_s);
    QCOMPARE(w.menuItem(MenuItem::mnuHelpAbout)->text(), u"1121"_s);
}

void FrmMainTest::captionsAfterLoading_data() {
    QTest::addColumn<QString>("element");
    QTest::addColumn<QString>("caption");
    const QList<QPair<QString, QString>> rows = {
        {u"mnuFile"_s, u"ファイル(&F)"_s},
        {u"mnuFileSave"_s, u"Lexbin(&S)"_s},
        {u"mnuFileSaveexit"_s, u"Lexbinして終了(&Q)"_s},
        {u"mnuFileExit"_s, u"終了(&X)"_s},
        {u"mnuSet"_s, u"設定(&O)"_s},
        {u"mnuSetPath"_s, u"Lexbin先のパス(&P)..."_s},
        {u"mnuSetFont"_s, u"フォントサイズ設定(&F)..."_s},
        {u"mnuSetIMEMode"_s, u"IMEの自動起動(&I)"_s},
        {u"mnuHelp"_s, u"ヘルプ(&H)"_s},
        {u"mnuHelpAbout"_s, u"バージョン情報(&A)"_s},
        {u"optImportance_0"_s, u"超重要(&A)"_s},
        {u"optImportance_1"_s, u"重要(&B)"_s},
        {u"optImportance_2"_s, u"普通(&C)"_s},
        {u"frmMain"_s, u"Lexbin"_s},
        {u"txtMain (its name for screen readers)"_s, u"メモ"_s},
    };
    for (const auto& [element, caption] : rows) {
        QTest::newRow(qPrintable(element)) << element << caption;
    }
}

void FrmMainTest::captionsAfterLoading() {
    QFETCH(QString, element);
    QFETCH(QString, caption);
    MainWindowFixture f;
    frmMain& w = f.load();
    QString actual;
    if (element == u"frmMain"_s) {
        actual = w.windowTitle();
    } else if (element.startsWith(u"txt"_s)) {
        actual = QAccessible::queryAccessibleInterface(w.txtMain())->text(QAccessible::Name);
    } else if (element.startsWith(u"opt"_s)) {
        actual = w.optImportance(element.back().digitValue())->text();
    } else {
        actual = w.findChild<QAction*>(element)->text();
    }
    QCOMPARE(actual, caption);
    QVERIFY(f.silent());
    QVERIFY(w.txtMain()->toPlainText().isEmpty());
}

void FrmMainTest::menuShortcutsSurviveCaptionLoading() {
    MainWindowFixture f;
    frmMain& w = f.load();
    QCOMPARE(w.menuItem(MenuItem::mnuFileSave)->shortcut(), QKeySequence(u"Ctrl+S"_s));
    QCOMPARE(w.menuItem(MenuItem::mnuFileSaveexit)->shortcut(), QKeySequence(u"Ctrl+Q"_s));
    QVERIFY(w.menuItem(MenuItem::mnuFileExit)->shortcut().isEmpty());
    QVERIFY(!w.menuItem(MenuItem::mnuSetIMEMode)->isChecked());
    QCOMPARE(w.menuBar()->actions().size(), 3);
}

void FrmMainTest::designLayoutInTwips() {
    MainWindowFixture f;
    frmMain& w = f.create();
    QCOMPARE(w.clientWidth(), 7380.0f);
    QCOMPARE(w.clientHeight(), 4050.0f);  // 4044 twips, to the nearest pixel
    QCOMPARE(w.optImportance(2)->geometry(), QRect(232, 8, 97, 25));
    QCOMPARE(w.txtMain()->geometry().topLeft(), QPoint(0, 40));
    QVERIFY(w.optImportance(2)->isChecked());
    QVERIFY(!w.optImportance(0)->isChecked() && !w.optImportance(1)->isChecked());
    QCOMPARE(w.txtMain()->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    QCOMPARE(w.txtMain()->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
}

void FrmMainTest::importanceFollowsTheSelectedButton_data() {
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("code");
    QTest::newRow("very important") << 0 << u"A"_s;
    QTest::newRow("important") << 1 << u"B"_s;
    QTest::newRow("normal") << 2 << u"C"_s;
}

void FrmMainTest::importanceFollowsTheSelectedButton() {
    QFETCH(int, index);
    QFETCH(QString, code);
    MainWindowFixture f;
    frmMain& w = f.load();
    w.optImportance(index)->click();
    QCOMPARE(storage::ImportanceCode(w.GetImportance()), code);
}

void FrmMainTest::noSelectedButtonGivesEmptyCode() {
    MainWindowFixture f;
    frmMain& w = f.load();
    w.optImportance(2)->setAutoExclusive(false);
    w.optImportance(2)->setChecked(false);
    QVERIFY(w.GetImportance() == storage::Importance::None);
    w.txtMain()->setPlainText(u"abc"_s);
    w.mnuFileSave_Click();
    QCOMPARE(f.data(), "2001/04/22,09:34,,abc\r\n");
}

void FrmMainTest::saveStoresAndEmptiesTheBox() {
    MainWindowFixture f;
    frmMain& w = f.load();
    w.optImportance(1)->click();
    w.txtMain()->setPlainText(u"abc"_s);
    w.menuItem(MenuItem::mnuFileSave)->trigger();
    QCOMPARE(f.data(), "2001/04/22,09:34,B,abc\r\n");
    QVERIFY(w.txtMain()->toPlainText().isEmpty());
}

void FrmMainTest::saveKeepsTheImportanceSelected() {
    MainWindowFixture f;
    frmMain& w = f.load();
    w.optImportance(0)->click();
    w.txtMain()->setPlainText(u"one"_s);
    w.mnuFileSave_Click();
    w.txtMain()->setPlainText(u"two"_s);
    w.mnuFileSave_Click();
    QVERIFY(w.optImportance(0)->isChecked());
    QCOMPARE(f.data(), "2001/04/22,09:34,A,one\r\n2001/04/22,09:34,A,two\r\n");
}

void FrmMainTest::saveOfABlankNoteEmptiesTheBox() {
    MainWindowFixture f;
    frmMain& w = f.load();
    w.txtMain()->setPlainText(u"  \n \n"_s);
    w.mnuFileSave_Click();
    QVERIFY(w.txtMain()->toPlainText().isEmpty());
    QVERIFY(!QFile::exists(f.dataFile()));
    w.mnuFileSave_Click();  // twice in a row: the second sees an empty box
    QVERIFY(!QFile::exists(f.dataFile()));
    QVERIFY(f.silent());
}

void FrmMainTest::saveThatFailsKeepsTheNote() {
    MainWindowFixture f;
    f.ts.settings.set(u"DataFilePath"_s, f.folder.path(u"missing/notes.txt"_s));
    frmMain& w = f.show();
    w.txtMain()->setPlainText(u"precious"_s);
    w.mnuFileSave_Click();
    QCOMPARE(f.ts.reporter.locations(), QStringList{u"mdlLexbin!SaveData"_s});
    QCOMPARE(w.txtMain()->toPlainText(), u"precious"_s);
    QVERIFY(w.isVisible());
}

void FrmMainTest::saveAndExitStoresAndCloses() {
    MainWindowFixture f;
    frmMain& w = f.show();
    w.txtMain()->setPlainText(u"last"_s);
    w.menuItem(MenuItem::mnuFileSaveexit)->trigger();
    QCOMPARE(f.data(), "2001/04/22,09:34,C,last\r\n");
    QVERIFY(!w.isVisible());
    QVERIFY(f.ts.settings.contains(u"Width"_s));  // the close ran the unload sequence
}

void FrmMainTest::saveAndExitThatFailsStaysOpen() {
    MainWindowFixture f;
    f.ts.settings.set(u"DataFilePath"_s, f.folder.path(u"missing/notes.txt"_s));
    frmMain& w = f.show();
    w.txtMain()->setPlainText(u"precious"_s);
    w.mnuFileSaveexit_Click();
    QCOMPARE(f.ts.reporter.reports.size(), 1);
    QVERIFY(w.isVisible());
    QCOMPARE(w.txtMain()->toPlainText(), u"precious"_s);
    QVERIFY(!f.ts.settings.contains(u"AutoEnableIME"_s));  // no unload happened
}

void FrmMainTest::exitDropsTheNoteWithoutAsking() {
    MainWindowFixture f;
    frmMain& w = f.show();
    w.txtMain()->setPlainText(u"dropped"_s);
    w.menuItem(MenuItem::mnuFileExit)->trigger();
    QVERIFY(!w.isVisible());
    QVERIFY(!QFile::exists(f.dataFile()));
    QVERIFY(f.silent());
}

void FrmMainTest::accessKeySelectsAtOnceBeforeCtrlS() {
    MainWindowFixture f;
    frmMain& w = f.show();
    QTest::keyClicks(w.txtMain(), u"note"_s);
    QTest::keyClick(&w, Qt::Key_B, Qt::AltModifier);
    QVERIFY(w.optImportance(1)->isChecked());  // no waiting for an animation
    QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.data(), "2001/04/22,09:34,B,note\r\n");
    QTest::keyClick(&w, Qt::Key_A, Qt::AltModifier);
    QVERIFY(w.optImportance(0)->isChecked());
}

void FrmMainTest::ctrlSInTheTextBoxStoresInsteadOfTyping() {
    MainWindowFixture f;
    frmMain& w = f.show();
    QVERIFY(w.txtMain()->hasFocus());
    QTest::keyClicks(w.txtMain(), u"abc"_s);
    QTest::keyClick(w.txtMain(), Qt::Key_S, Qt::ControlModifier);
    QCOMPARE(f.data(), "2001/04/22,09:34,C,abc\r\n");
    QVERIFY(w.txtMain()->toPlainText().isEmpty());
    QTest::keyClicks(w.txtMain(), u"bye"_s);
    QTest::keyClick(w.txtMain(), Qt::Key_Q, Qt::ControlModifier);
    QCOMPARE(f.data(), "2001/04/22,09:34,C,abc\r\n2001/04/22,09:34,C,bye\r\n");
    QVERIFY(!w.isVisible());
}

void FrmMainTest::typedLineBreaksReachStorageAsCrLf() {
    MainWindowFixture f;
    frmMain& w = f.show();
    QTest::keyClicks(w.txtMain(), u"line1"_s);
    QTest::keyClick(w.txtMain(), Qt::Key_Return);
    QTest::keyClicks(w.txtMain(), u"line2"_s);
    QTest::keyClick(w.txtMain(), Qt::Key_Return, Qt::ShiftModifier);  // a line separator
    QTest::keyClicks(w.txtMain(), u"line3\u00a0x"_s);
    QCOMPARE(w.txtMain()->noteText(), u"line1\r\nline2\r\nline3\u00a0x"_s);
    w.mnuFileSave_Click();
    QCOMPARE(f.data(), "2001/04/22,09:34,C,line1line2line3\xc2\xa0x\r\n");
}

void FrmMainTest::tabLeavesTheTextBox() {
    MainWindowFixture f;
    frmMain& w = f.show();
    QTest::keyClick(w.txtMain(), Qt::Key_Tab);
    QVERIFY(w.txtMain()->toPlainText().isEmpty());
    QVERIFY(qobject_cast<OptionButton*>(QApplication::focusWidget()) != nullptr);
}

QTEST_MAIN(FrmMainTest)
#include "test_frm_main.moc"
