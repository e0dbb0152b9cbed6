// The font size dialog: its start value, its validation, OK and Cancel.
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "dialogs/frm_set_font.h"
#include "platform/qtcore/resource_string_table.h"
#include "support/test_services.h"

using namespace Qt::StringLiterals;

namespace {

// A shown dialog over doubles and the real string table.
struct DialogFixture {
    TestServices ts;
    platform::ResourceStringTable strings;
    platform::Services services = ts.services({.strings = &strings});
    std::unique_ptr<frmSetFont> dialog;

    frmSetFont& open(float mainFontSize = 10.2f) {
        dialog = std::make_unique<frmSetFont>(services, mainFontSize);
        dialog->show();
        dialog->activateWindow();
        if (!QTest::qWaitForWindowActive(dialog.get())) {
            qWarning("the dialog did not become active");
        }
        return *dialog;
    }
    void type(const QString& text) {
        QLineEdit* box = dialog->txtFontSize();
        box->setFocus();
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Delete);
        box->insert(text);  // as typed; QTest cannot type full-width digits
    }
    int hints() const {
        int count = 0;
        for (const platform::MessageBoxRequest& box : ts.dialogs.shown) {
            count += box.title == u"ヒント - Lexbin"_s;
        }
        return count;
    }
};

enum class Action { ClickOk, ClickCancel, Tab, Enter, KeypadEnter, Escape };

void Perform(frmSetFont& dialog, Action action) {
    switch (action) {
        case Action::ClickOk:
            QTest::mouseClick(dialog.cmdSetFont(0), Qt::LeftButton);
            break;
        case Action::ClickCancel:
            QTest::mouseClick(dialog.cmdSetFont(1), Qt::LeftButton);
            break;
        case Action::Tab:
            QTest::keyClick(dialog.txtFontSize(), Qt::Key_Tab);
            break;
        case Action::Enter:
            QTest::keyClick(dialog.txtFontSize(), Qt::Key_Return);
            break;
        case Action::KeypadEnter:  // as Qt gets it from the keyboard's number pad
            QTest::keyClick(dialog.txtFontSize(), Qt::Key_Enter, Qt::KeypadModifier);
            break;
        case Action::Escape:
            QTest::keyClick(dialog.txtFontSize(), Qt::Key_Escape);
            break;
    }
}

}  // namespace

Q_DECLARE_METATYPE(Action)

class FrmSetFontTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void captionsComeFromTheStringTable();
    void offersTheCurrentSizeRoundedDown_data();
    void offersTheCurrentSizeRoundedDown();
    void acceptsSizesThatRoundInto9To50_data();
    void acceptsSizesThatRoundInto9To50();
    void refusesEverythingElseWithOneHint_data();
    void refusesEverythingElseWithOneHint();
    void invalidTextHoldsEveryWayOut_data();
    void invalidTextHoldsEveryWayOut();
    void keysOnAFocusedButtonPressThatButton_data();
    void keysOnAFocusedButtonPressThatButton();
    void cancelStoresNothing();
    void closeBoxStoresNothingAndNeedsNoValidText();
    void unwritableSettingsAreReportedAndTheDialogStays();
};

void FrmSetFontTest::captionsComeFromTheStringTable() {
    DialogFixture f;
    frmSetFont& d = f.open();
    QCOMPARE(d.windowTitle(), u"フォントサイズ設定"_s);
    QCOMPARE(d.lblFontSize(0)->text(), u"フォントサイズ(&S):"_s);
    QCOMPARE(d.lblFontSize(1)->text(), u"Pt"_s);
    QCOMPARE(d.cmdSetFont(0)->text(), u"OK"_s);
    QCOMPARE(d.cmdSetFont(1)->text(), u"Cancel"_s);
    QVERIFY(d.cmdSetFont(0)->isDefault());
    QCOMPARE(d.size(), QSize(238, 91));  // 3564 x 1368 twips
    QVERIFY(!d.txtFontSize()->testAttribute(Qt::WA_InputMethodEnabled));
    QVERIFY(f.ts.dialogs.shown.isEmpty());
    QVERIFY(f.ts.reporter.reports.isEmpty());
}

void FrmSetFontTest::offersTheCurrentSizeRoundedDown_data() {
    QTest::addColumn<float>("size");
    QTest::addColumn<QString>("text");
    QTest::newRow("10.2") << 10.2f << u"10"_s;
    QTest::newRow("9.75") << 9.75f << u"9"_s;
    QTest::newRow("50") << 50.0f << u"50"_s;
}

void FrmSetFontTest::offersTheCurrentSizeRoundedDown() {
    QFETCH(float, size);
    QFETCH(QString, text);
    DialogFixture f;
    frmSetFont& d = f.open(size);
    QCOMPARE(d.txtFontSize()->text(), text);
    QVERIFY(d.txtFontSize()->hasFocus());
    QCOMPARE(d.txtFontSize()->selectedText(), text);
}

void FrmSetFontTest::acceptsSizesThatRoundInto9To50_data() {
    QTest::addColumn<QString>("text");
    for (const QString& text :
         {u"9"_s, u"50"_s, u"9.5"_s, u"50.5"_s, u" 12 "_s, u"1e1"_s, u"+10"_s, u"8.6"_s}) {
        QTest::newRow(qPrintable(u'"' + text + u'"')) << text;
    }
}

void FrmSetFontTest::acceptsSizesThatRoundInto9To50() {
    QFETCH(QString, text);
    DialogFixture f;
    frmSetFont& d = f.open();
    f.type(text);
    QTest::mouseClick(d.cmdSetFont(0), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(!d.isVisible());
    QCOMPARE(f.ts.settings.value(u"FontSize"_s), text);  // stored exactly as typed
    QCOMPARE(f.hints(), 0);
}

void FrmSetFontTest::refusesEverythingElseWithOneHint_data() {
    QTest::addColumn<QString>("text");
    for (const QString& text : {u"8"_s, u"51"_s, u"8.5"_s, u"50.6"_s, QString(), u"abc"_s,
                                u"10pt"_s, u"1e10"_s, u"-9"_s, u"３０"_s}) {
        QTest::newRow(qPrintable(u'"' + text + u'"')) << text;
    }
}

void FrmSetFontTest::refusesEverythingElseWithOneHint() {
    QFETCH(QString, text);
    DialogFixture f;
    frmSetFont& d = f.open();
    f.type(text);
    QTest::mouseClick(d.cmdSetFont(0), Qt::LeftButton);
    QCOMPARE(f.hints(), 1);
    const platform::MessageBoxRequest& hint = f.ts.dialogs.shown.last();
    QCOMPARE(hint.text, u"数値（9-50）を指定してください。"_s);
    QCOMPARE(hint.icon, platform::MessageIcon::Information);
    QVERIFY(!hint.systemModal);
    QVERIFY(d.isVisible());
    QVERIFY(!f.ts.settings.contains(u"FontSize"_s));
    QVERIFY(d.txtFontSize()->hasFocus());
    QCOMPARE(d.txtFontSize()->selectedText(), text);
}

void FrmSetFontTest::invalidTextHoldsEveryWayOut_data() {
    QTest::addColumn<Action>("action");
    QTest::newRow("click OK") << Action::ClickOk;
    QTest::newRow("click Cancel") << Action::ClickCancel;
    QTest::newRow("Tab") << Action::Tab;
    QTest::newRow("Enter") << Action::Enter;
    QTest::newRow("keypad Enter") << Action::KeypadEnter;
    QTest::newRow("Esc") << Action::Escape;
}

void FrmSetFontTest::invalidTextHoldsEveryWayOut() {
    QFETCH(Action, action);
    DialogFixture f;
    frmSetFont& d = f.open();
    f.type(u"8"_s);
    Perform(d, action);
    QCOMPARE(f.hints(), 1);
    QVERIFY(d.isVisible());
    QVERIFY(d.txtFontSize()->hasFocus());
    QVERIFY(!f.ts.settings.contains(u"FontSize"_s));
    // Corrected, the same way out works.
    f.type(u"20"_s);
    Perform(d, action);
    QCOMPARE(f.hints(), 1);
    if (action == Action::Tab) {
        QCOMPARE(QApplication::focusWidget(), d.cmdSetFont(0));
        QVERIFY(d.isVisible());
    } else {
        QVERIFY(!d.isVisible());
        const bool ok =
            action == Action::ClickOk || action == Action::Enter || action == Action::KeypadEnter;
        QCOMPARE(f.ts.settings.value(u"FontSize"_s), ok ? u"20"_s : QString());
    }
}

void FrmSetFontTest::keysOnAFocusedButtonPressThatButton_data() {
    QTest::addColumn<int>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("stored");
    const int keypad = Qt::KeypadModifier;
    QTest::newRow("Return on Cancel cancels") << 1 << int(Qt::Key_Return) << 0 << QString();
    QTest::newRow("keypad Enter on Cancel cancels")
        << 1 << int(Qt::Key_Enter) << keypad << QString();
    QTest::newRow("Esc on OK cancels") << 0 << int(Qt::Key_Escape) << 0 << QString();
    QTest::newRow("keypad Enter on OK stores") << 0 << int(Qt::Key_Enter) << keypad << u"20"_s;
}

void FrmSetFontTest::keysOnAFocusedButtonPressThatButton() {
    QFETCH(int, button);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, stored);
    DialogFixture f;
    frmSetFont& d = f.open();
    f.type(u"20"_s);
    for (int tab = 0; tab <= button; ++tab) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    }
    QCOMPARE(QApplication::focusWidget(), d.cmdSetFont(button));
    QTest::keyClick(d.cmdSetFont(button), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(!d.isVisible());
    QCOMPARE(f.ts.settings.value(u"FontSize"_s), stored);
    QCOMPARE(f.hints(), 0);
}

void FrmSetFontTest::cancelStoresNothing() {
    DialogFixture f;
    frmSetFont& d = f.open();
    f.type(u"12"_s);
    QTest::mouseClick(d.cmdSetFont(1), Qt::LeftButton);
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QVERIFY(!f.ts.settings.contains(u"FontSize"_s));
}

void FrmSetFontTest::closeBoxStoresNothingAndNeedsNoValidText() {
    DialogFixture f;
    frmSetFont& d = f.open();
    f.type(u"abc"_s);
    QVERIFY(d.close());
    QVERIFY(!d.isVisible());
    QCOMPARE(f.hints(), 0);
    QVERIFY(!f.ts.settings.contains(u"FontSize"_s));
}

void FrmSetFontTest::unwritableSettingsAreReportedAndTheDialogStays() {
    DialogFixture f;
    frmSetFont& d = f.open();
    f.ts.settings.failWrites = true;
    f.type(u"12"_s);
    QTest::mouseClick(d.cmdSetFont(0), Qt::LeftButton);
    QCOMPARE(f.ts.reporter.locations(), QStringList{u"frmSetFont!cmdSetFont_Click"_s});
    QCOMPARE(f.ts.reporter.numbers(), QList<int>{1002});
    QVERIFY(d.isVisible());
    f.ts.settings.failWrites = false;
    QTest::mouseClick(d.cmdSetFont(0), Qt::LeftButton);  // the next try goes through
    QCOMPARE(f.ts.settings.value(u"FontSize"_s), u"12"_s);
}

QTEST_MAIN(FrmSetFontTest)
#include "test_frm_set_font.moc"
