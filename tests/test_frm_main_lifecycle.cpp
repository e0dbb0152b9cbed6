// The main window's start-up, resize rules and close, offscreen.
#include <QMenuBar>
#include <QScreen>
#include <QtTest>

#include "app/note_edit.h"
#include "app/option_button.h"
#include "platform/twips.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;
using frm_main_design::MenuItem;
using platform::TwipsToPixels;

namespace {

int MenuBarPixels(const frmMain& w) {
    return w.menuBar()->sizeHint().height();
}

}  // namespace

class FrmMainLifecycleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void metricsComeFromTheLayout();
    void firstRunKeepsTheDesign();
    void restoresFontSizeAndGeometry();
    void onlyStoredGeometryIsApplied_data();
    void onlyStoredGeometryIsApplied();
    void imeChoiceFromTheStore_data();
    void imeChoiceFromTheStore();
    void badValueStopsTheRestOfTheLoad_data();
    void badValueStopsTheRestOfTheLoad();
    void storedSizeBelowTheMinimumIsEnlarged();
    void windowLostOffScreenComesBack_data();
    void windowLostOffScreenComesBack();
    void positionOnAScreenIsKept();

    void narrowWindowSpringsBackToTheMinimumWidth();
    void lowWindowJumpsAboveTheMinimumHeight();
    void heightBetweenTheTwoLimitsIsKept();
    void textBoxFillsTheClientArea();
    void minimizedWindowIsLeftAlone();
    void repeatedSmallSizeFromTheWindowManagerIsNotFought();

    void closeInNormalStateSavesEverything();
    void closeMaximizedOrMinimizedSavesOnlyTheImeChoice_data();
    void closeMaximizedOrMinimizedSavesOnlyTheImeChoice();
    void closeThatCannotSaveStillCloses();
    void closeKeepsItsReasonAndSaves_data();
    void closeKeepsItsReasonAndSaves();
    void geometrySurvivesCloseAndReopen();
    void closeUnderWaylandKeepsTheStoredPosition();
};

void FrmMainLifecycleTest::metricsComeFromTheLayout() {
    MainWindowFixture f;
    frmMain& w = f.create();
    QCOMPARE(w.metrics().MinClientWidth, 0);  // nothing enforced before loading
    f.window->Form_Load();
    QCOMPARE(w.metrics().MinClientWidth, 4932);
    QCOMPARE(w.metrics().MinClientHeight, 972);
    QCOMPARE(w.metrics().FrameWidth, 0);
    QCOMPARE(w.metrics().FrameHeight, MenuBarPixels(w) * 15);
    QVERIFY(w.metrics().FrameHeight > 0);
}

void FrmMainLifecycleTest::firstRunKeepsTheDesign() {
    MainWindowFixture f;
    frmMain& w = f.load();
    QVERIFY(f.silent());
    QCOMPARE(w.textBoxFontSize(), 10.2f);
    QVERIFY(!w.imeChoice());
    QCOMPARE(w.clientWidth(), 7380.0f);
    QCOMPARE(w.pos(), QPoint(0, 0));
    QVERIFY(!w.testAttribute(Qt::WA_Moved));  // the window manager places it
    QCOMPARE(f.ts.inputMethod.switchedOn, 0);
}

void FrmMainLifecycleTest::restoresFontSizeAndGeometry() {
    MainWindowFixture f;
    f.ts.settings.set(u"FontSize"_s, u"12.5"_s);
    f.ts.settings.set(u"Left"_s, u"1500"_s);
    f.ts.settings.set(u"Top"_s, u"1200"_s);
    f.ts.settings.set(u"Width"_s, u"9000"_s);
    f.ts.settings.set(u"Height"_s, u"6000"_s);
    frmMain& w = f.show();
    QVERIFY(f.silent());
    QCOMPARE(w.textBoxFontSize(), 12.5f);
    QCOMPARE(w.pos(), QPoint(100, 80));
    QCOMPARE(w.size(), QSize(600, 400));
    QCOMPARE(w.txtMain()->geometry(), QRect(0, 40, 600, w.centralWidget()->height() - 40));
}

void FrmMainLifecycleTest::onlyStoredGeometryIsApplied_data() {
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QRect>("geometry");  // a size of 0 stands for the layout's
    QTest::newRow("nothing stored: placed by the window manager")
        << QStringList() << false << QRect(0, 0, 0, 0);
    QTest::newRow("0,0 stored: moved there")
        << QStringList{u"Left=0"_s, u"Top=0"_s} << true << QRect(0, 0, 0, 0);
    QTest::newRow("Top alone: left kept")
        << QStringList{u"Top=150"_s} << true << QRect(0, 10, 0, 0);
    QTest::newRow("size alone: not moved")
        << QStringList{u"Width=9000"_s, u"Height=6000"_s} << false << QRect(0, 0, 600, 400);
}

void FrmMainLifecycleTest::onlyStoredGeometryIsApplied() {
    QFETCH(QStringList, stored);
    QFETCH(bool, moved);
    QFETCH(QRect, geometry);
    MainWindowFixture f;
    for (const QString& entry : stored) {
        f.ts.settings.set(entry.section(u'=', 0, 0), entry.section(u'=', 1));
    }
    frmMain& w = f.load();
    QVERIFY(f.silent());
    QCOMPARE(w.testAttribute(Qt::WA_Moved), moved);
    QCOMPARE(w.pos(), geometry.topLeft());
    if (!geometry.isEmpty()) {
        QCOMPARE(w.size(), geometry.size());
    }
}

void FrmMainLifecycleTest::imeChoiceFromTheStore_data() {
    QTest::addColumn<QString>("stored");
    QTest::addColumn<bool>("on");
    QTest::newRow("1") << u"1"_s << true;
    QTest::newRow("0") << u"0"_s << false;
    QTest::newRow("2") << u"2"_s << false;
    QTest::newRow("-1") << u"-1"_s << false;
    QTest::newRow("1.4 rounds to 1") << u"1.4"_s << true;
}

void FrmMainLifecycleTest::imeChoiceFromTheStore() {
    QFETCH(QString, stored);
    QFETCH(bool, on);
    MainWindowFixture f;
    f.ts.settings.set(u"AutoEnableIME"_s, stored);
    frmMain& w = f.show();
    QCOMPARE(w.imeChoice(), on);
    QVERIFY(w.txtMain()->hasFocus());
    // Every focus-in switches the input method on while the choice read at start is on.
    w.optImportance(0)->setFocus();
    w.txtMain()->setFocus();
    QCOMPARE(f.ts.inputMethod.switchedOn, on ? 2 : 0);
    // Changing the check mark during a run does not change the text box until next start.
    w.menuItem(MenuItem::mnuSetIMEMode)->setChecked(!on);
    w.optImportance(0)->setFocus();
    w.txtMain()->setFocus();
    QCOMPARE(f.ts.inputMethod.switchedOn, on ? 3 : 0);
}

void FrmMainLifecycleTest::badValueStopsTheRestOfTheLoad_data() {
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<int>("number");
    QTest::addColumn<bool>("imeApplied");
    QTest::newRow("FontSize empty") << u"FontSize"_s << QString() << 13 << false;
    QTest::newRow("FontSize letters") << u"FontSize"_s << u"big"_s << 13 << false;
    QTest::newRow("FontSize zero") << u"FontSize"_s << u"0"_s << 380 << false;
    QTest::newRow("AutoEnableIME letters") << u"AutoEnableIME"_s << u"abc"_s << 13 << false;
    QTest::newRow("AutoEnableIME beyond 32 bits") << u"AutoEnableIME"_s << u"1e10"_s << 6 << false;
    QTest::newRow("Left letters") << u"Left"_s << u"abc"_s << 13 << true;
    QTest::newRow("Width negative") << u"Width"_s << u"-15"_s << 380 << true;
    QTest::newRow("Height beyond single") << u"Height"_s << u"1e39"_s << 6 << true;
}

void FrmMainLifecycleTest::badValueStopsTheRestOfTheLoad() {
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(int, number);
    QFETCH(bool, imeApplied);
    MainWindowFixture f;
    f.ts.settings.set(u"AutoEnableIME"_s, u"1"_s);
    f.ts.settings.set(u"Left"_s, u"1500"_s);
    f.ts.settings.set(u"Height"_s, u"6000"_s);
    f.ts.settings.set(key, value);
    frmMain& w = f.show();
    QCOMPARE(f.ts.reporter.locations(), QStringList{u"frmMain!Form_Load"_s});
    QCOMPARE(f.ts.reporter.numbers(), QList<int>{number});
    QCOMPARE(w.imeChoice(), imeApplied);
    QVERIFY(w.isVisible());
    QCOMPARE(w.windowTitle(), u"Lexbin"_s);  // what came before the failure stays done
    QCOMPARE(w.metrics().MinClientWidth, 4932);
    if (key != u"Width"_s && key != u"Height"_s) {
        QCOMPARE(w.pos(), QPoint(0, 0));  // no stored geometry applied
    }
    QVERIFY(w.height() != 400);  // Height (after the failure) never applied
}

void FrmMainLifecycleTest::storedSizeBelowTheMinimumIsEnlarged() {
    MainWindowFixture f;
    f.ts.settings.set(u"Width"_s, u"1500"_s);
    f.ts.settings.set(u"Height"_s, u"300"_s);
    frmMain& w = f.show();
    const frmMain::Metrics& m = w.metrics();
    QCOMPARE(w.width(), TwipsToPixels(m.FrameWidth + 4932));
    QCOMPARE(w.height(), TwipsToPixels(m.FrameHeight + 972 + 372));
    QVERIFY(f.silent());
}

void FrmMainLifecycleTest::windowLostOffScreenComesBack_data() {
    QTest::addColumn<QString>("height");
    QTest::addColumn<QStringList>("errors");
    QTest::newRow("every value good") << u"6000"_s << QStringList();
    QTest::newRow("a later value fails") << u"abc"_s << QStringList{u"frmMain!Form_Load"_s};
}

void FrmMainLifecycleTest::windowLostOffScreenComesBack() {
    QFETCH(QString, height);
    QFETCH(QStringList, errors);
    MainWindowFixture f;
    f.ts.settings.set(u"Left"_s, u"-300000"_s);
    f.ts.settings.set(u"Top"_s, u"-300000"_s);
    f.ts.settings.set(u"Width"_s, u"9000"_s);
    f.ts.settings.set(u"Height"_s, height);
    frmMain& w = f.load();
    QCOMPARE(f.ts.reporter.locations(), errors);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QVERIFY2(screen.contains(w.pos()), qPrintable(u"at %1,%2"_s.arg(w.x()).arg(w.y())));
    QCOMPARE(w.width(), 600);
}

void FrmMainLifecycleTest::positionOnAScreenIsKept() {
    MainWindowFixture f;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // Hanging off the right edge, title bar still reachable: applied as stored.
    const int left = screen.right() - 50;
    f.ts.settings.set(u"Left"_s, QString::number(left * 15));
    f.ts.settings.set(u"Top"_s, u"150"_s);
    frmMain& w = f.load();
    QCOMPARE(w.pos(), QPoint(left, 10));
}

void FrmMainLifecycleTest::narrowWindowSpringsBackToTheMinimumWidth() {
    MainWindowFixture f;
    frmMain& w = f.show();
    w.resize(100, w.height());
    QCOMPARE(w.width(), TwipsToPixels(w.metrics().FrameWidth + 4932));  // 329 px
    QCOMPARE(w.txtMain()->width(), w.centralWidget()->width());
    QVERIFY(f.silent());
}

void FrmMainLifecycleTest::lowWindowJumpsAboveTheMinimumHeight() {
    MainWindowFixture f;
    frmMain& w = f.show();
    w.resize(w.width(), MenuBarPixels(w) + 30);
    // Client height 972 + 372 = 1344 twips, to the nearest pixel; the text box the rest.
    QCOMPARE(w.height(), TwipsToPixels(w.metrics().FrameHeight + 1344));
    QCOMPARE(w.centralWidget()->height(), 90);
    QCOMPARE(w.txtMain()->height(), 50);
    QCOMPARE(w.textBoxBox().height, 750.0f);
}

void FrmMainLifecycleTest::heightBetweenTheTwoLimitsIsKept() {
    MainWindowFixture f;
    frmMain& w = f.show();
    w.resize(w.width(), MenuBarPixels(w) + 70);  // 1050 twips: above 972, below 1344
    QCOMPARE(w.centralWidget()->height(), 70);
    QCOMPARE(w.txtMain()->height(), 30);
}

void FrmMainLifecycleTest::textBoxFillsTheClientArea() {
    MainWindowFixture f;
    frmMain& w = f.show();
    w.resize(800, 500);
    QCOMPARE(w.txtMain()->geometry(),
             QRect(0, 40, w.centralWidget()->width(), w.centralWidget()->height() - 40));
    w.showMaximized();
    QTRY_COMPARE(w.txtMain()->width(), w.centralWidget()->width());
    QCOMPARE(w.txtMain()->height(), w.centralWidget()->height() - 40);
}

void FrmMainLifecycleTest::minimizedWindowIsLeftAlone() {
    MainWindowFixture f;
    frmMain& w = f.show();
    const QSize textBox = w.txtMain()->size();
    w.setWindowState(Qt::WindowMinimized);
    QVERIFY(w.isMinimized());
    w.resize(100, 40);
    QCOMPARE(w.txtMain()->size(), textBox);
    QCOMPARE(w.size(), QSize(100, 40));
    w.setWindowState(Qt::WindowNoState);
    w.resize(101, 40);  // restoring refits
    QCOMPARE(w.width(), TwipsToPixels(w.metrics().FrameWidth + 4932));
}

void FrmMainLifecycleTest::repeatedSmallSizeFromTheWindowManagerIsNotFought() {
    MainWindowFixture f;
    frmMain& w = f.show();
    const QSize small(200, w.height());
    w.resize(small);
    QCOMPARE(w.width(), 329);  // grown once
    w.resize(small);           // the same size straight back: a window manager saying no
    QCOMPARE(w.size(), small);
    QCOMPARE(w.txtMain()->width(), w.centralWidget()->width());  // still fitted
    w.resize(QSize(150, w.height()));  // any other small size is grown again
    QCOMPARE(w.width(), 329);
}

void FrmMainLifecycleTest::closeInNormalStateSavesEverything() {
    MainWindowFixture f;
    f.ts.settings.set(u"AutoEnableIME"_s, u"1"_s);
    frmMain& w = f.show();
    w.move(30, 20);
    w.resize(700, 300);
    w.close();
    QCOMPARE(f.ts.settings.value(u"AutoEnableIME"_s), u"1"_s);
    QCOMPARE(f.ts.settings.value(u"Left"_s), u"450"_s);
    QCOMPARE(f.ts.settings.value(u"Top"_s), u"300"_s);
    QCOMPARE(f.ts.settings.value(u"Width"_s), u"10500"_s);
    QCOMPARE(f.ts.settings.value(u"Height"_s), u"4500"_s);
    QVERIFY(!f.ts.settings.contains(u"FontSize"_s));  // only the font dialog writes it
}

void FrmMainLifecycleTest::closeMaximizedOrMinimizedSavesOnlyTheImeChoice_data() {
    QTest::addColumn<int>("state");
    QTest::newRow("maximized") << int(Qt::WindowMaximized);
    QTest::newRow("minimized") << int(Qt::WindowMinimized);
}

void FrmMainLifecycleTest::closeMaximizedOrMinimizedSavesOnlyTheImeChoice() {
    QFETCH(int, state);
    MainWindowFixture f;
    f.ts.settings.set(u"Left"_s, u"1500"_s);
    frmMain& w = f.show();
    w.menuItem(MenuItem::mnuSetIMEMode)->setChecked(true);
    w.setWindowState(Qt::WindowState(state));
    w.close();
    QCOMPARE(f.ts.settings.value(u"AutoEnableIME"_s), u"1"_s);
    QCOMPARE(f.ts.settings.value(u"Left"_s), u"1500"_s);  // the earlier value stays
    QVERIFY(!f.ts.settings.contains(u"Width"_s));
}

void FrmMainLifecycleTest::closeKeepsItsReasonAndSaves_data() {
    QTest::addColumn<frmMain::CloseReason>("reason");
    QTest::newRow("session end") << frmMain::CloseReason::SessionEnd;
    QTest::newRow("signal") << frmMain::CloseReason::Signal;
}

void FrmMainLifecycleTest::closeKeepsItsReasonAndSaves() {
    QFETCH(frmMain::CloseReason, reason);
    MainWindowFixture f;
    frmMain& w = f.show();
    QCOMPARE(w.closeReason(), frmMain::CloseReason::User);
    w.closeFor(reason);
    QCOMPARE(w.closeReason(), reason);
    QVERIFY(!w.isVisible());
    QVERIFY(f.ts.settings.contains(u"Width"_s));  // the unload ran as for any close
    QVERIFY(f.silent());
}

void FrmMainLifecycleTest::closeThatCannotSaveStillCloses() {
    MainWindowFixture f;
    frmMain& w = f.show();
    f.ts.settings.failWrites = true;
    w.close();
    QCOMPARE(f.ts.reporter.locations(), QStringList{u"frmMain!Form_Unload"_s});
    QCOMPARE(f.ts.reporter.numbers(), QList<int>{1002});
    QVERIFY(!w.isVisible());
}

void FrmMainLifecycleTest::geometrySurvivesCloseAndReopen() {
    MainWindowFixture f;
    f.ts.settings.set(u"Left"_s, u"1515"_s);
    f.ts.settings.set(u"Top"_s, u"1200"_s);
    f.ts.settings.set(u"Width"_s, u"8895"_s);
    f.ts.settings.set(u"Height"_s, u"5010"_s);
    const QMap<QString, QString> before = f.ts.settings.values;
    for (int run = 0; run < 2; ++run) {
        f.show().close();
    }
    for (const QString& key : {u"Left"_s, u"Top"_s, u"Width"_s, u"Height"_s}) {
        QCOMPARE(f.ts.settings.value(key),
                 before.value(MemorySettings::Path(u"Lexbin"_s, u"Main"_s, key)));
    }
}

// Run under a Wayland compositor by the test lifecycle_wayland (tests/e2e/under_weston.sh).
void FrmMainLifecycleTest::closeUnderWaylandKeepsTheStoredPosition() {
    if (!QGuiApplication::platformName().startsWith(u"wayland"_s)) {
        QSKIP("needs a Wayland compositor: see the test lifecycle_wayland");
    }
    MainWindowFixture f;
    f.ts.settings.set(u"Left"_s, u"1500"_s);
    f.ts.settings.set(u"Top"_s, u"1200"_s);
    frmMain& w = f.load();
    w.show();  // a compositor does not hand out the activation qWaitForWindowActive awaits
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.resize(700, 300);
    QTRY_COMPARE(w.size(), QSize(700, 300));
    w.close();
    QVERIFY(f.silent());
    QCOMPARE(f.ts.settings.value(u"Left"_s), u"1500"_s);
    QCOMPARE(f.ts.settings.value(u"Top"_s), u"1200"_s);
    QCOMPARE(f.ts.settings.value(u"Width"_s), u"10500"_s);
    QCOMPARE(f.ts.settings.value(u"Height"_s), u"4500"_s);
}

QTEST_MAIN(FrmMainLifecycleTest)
#include "test_frm_main_lifecycle.moc"
