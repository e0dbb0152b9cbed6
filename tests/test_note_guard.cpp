// The main window's unsaved note kept in a draft: written while typing, back at the next
// start, gone when the user stores or drops it, kept when the run ends otherwise.
#include <QtTest>
#include <csignal>

#include "app/frm_main.h"
#include "app/note_edit.h"
#include "app/note_guard.h"
#include "doubles/memory_draft_store.h"
#include "platform/posix/posix_draft_store.h"
#include "support/main_window_fixture.h"

using namespace Qt::StringLiterals;

namespace {

// A draft is written within a second of a change; the bound leaves room for a loaded machine
// and the sanitizer build, and costs time only when a test fails.
constexpr int kWaitMs = 30000;

// The program's quit as Qt on Windows signals it at WM_ENDSESSION (and QCoreApplication::exec
// at its end): aboutToQuit, from inside whatever loop runs.
void QuitNow() {
    QMetaMethod::fromSignal(&QCoreApplication::aboutToQuit).invoke(qApp, Qt::DirectConnection);
}

struct GuardedWindow {
    MainWindowFixture f;
    std::unique_ptr<NoteGuard> guard;

    QString state() const { return f.folder.path(u"state"_s); }
    QString draft() const { return f.folder.path(u"state/1.txt"_s); }
    // A start: the window loaded and shown, its note guarded.
    frmMain& start(std::unique_ptr<platform::DraftStore> store = nullptr) {
        guard.reset();
        frmMain& w = f.show();
        guard = std::make_unique<NoteGuard>(
            w, f.ts.dialogs,
            store ? std::move(store) : std::make_unique<platform::PosixDraftStore>(state()));
        guard->recoverDraft();
        return w;
    }
    void type(const QString& text) { f.window->txtMain()->insertPlainText(text); }
};

}  // namespace

class NoteGuardTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void typedNoteIsBackAtTheNextStart();
    void whatTheUserDecidesLeavesNoDraft_data();
    void whatTheUserDecidesLeavesNoDraft();
    void anEndNotChosenKeepsTheNote_data();
    void anEndNotChosenKeepsTheNote();
    void blankDraftGoesAtStart();
    void garbledDraftIsSetAsideAndTheBoxStartsEmpty();
    void draftsThatCannotBeWrittenStopNothing();
};

void NoteGuardTest::typedNoteIsBackAtTheNextStart() {
    GuardedWindow g;
    g.start();
    g.type(u"メモ"_s);
    QTRY_COMPARE_WITH_TIMEOUT(TempFolder::read(g.draft()), "メモ"_ba, kWaitMs);
    g.f.window->txtMain()->appendPlainText(u"二行目"_s);
    QTRY_COMPARE_WITH_TIMEOUT(TempFolder::read(g.draft()), "メモ\r\n二行目"_ba, kWaitMs);

    frmMain& again = g.start();  // the run before ended without a close, as a kill ends it
    QCOMPARE(again.txtMain()->noteText(), u"メモ\r\n二行目"_s);
    QVERIFY(again.txtMain()->textCursor().atEnd());
    QVERIFY(g.f.silent());
}

void NoteGuardTest::whatTheUserDecidesLeavesNoDraft_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<bool>("stored");
    QTest::newRow("stored") << u"store"_s << true;
    QTest::newRow("stored and closed") << u"store and exit"_s << true;
    QTest::newRow("emptied by hand") << u"empty"_s << false;
    QTest::newRow("left with blanks only") << u"blanks"_s << false;
    QTest::newRow("closed with Exit") << u"exit"_s << false;
    QTest::newRow("closed with the close box") << u"close"_s << false;
}

void NoteGuardTest::whatTheUserDecidesLeavesNoDraft() {
    QFETCH(QString, action);
    QFETCH(bool, stored);
    GuardedWindow g;
    frmMain& w = g.start();
    g.type(u"note"_s);
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(g.draft()), kWaitMs);
    if (action == u"store"_s) {
        w.mnuFileSave_Click();
    } else if (action == u"store and exit"_s) {
        w.mnuFileSaveexit_Click();
    } else if (action == u"empty"_s || action == u"blanks"_s) {
        w.txtMain()->selectAll();
        if (action == u"blanks"_s) {
            g.type(u" \u3000 "_s);
        } else {
            QTest::keyClick(w.txtMain(), Qt::Key_Backspace);
        }
    } else if (action == u"exit"_s) {
        w.mnuFileExit_Click();
    } else {
        w.close();
    }
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(g.draft()), kWaitMs);
    // The program's quit: after the user's close it does nothing more; with the window open it
    // closes it, and an emptied box leaves no draft either.
    const bool closed = !w.isVisible();
    QuitNow();
    QVERIFY(!QFile::exists(g.draft()));
    QCOMPARE(g.f.ts.dialogs.cancelAlls, closed ? 0 : 1);
    QCOMPARE(g.f.data().contains(",note\r\n"), stored);
    QVERIFY(g.f.silent());
}

void NoteGuardTest::anEndNotChosenKeepsTheNote_data() {
    QTest::addColumn<QString>("end");
    QTest::newRow("SIGTERM") << u"SIGTERM"_s;
    QTest::newRow("SIGHUP while a box is open") << u"SIGHUP"_s;
    QTest::newRow("a close while the session ends") << u"session end"_s;
    // Qt on Windows: WM_ENDSESSION gives aboutToQuit with the window open, and the system
    // ends the process once it is answered.
    QTest::newRow("a quit while a box is open") << u"quit"_s;
}

void NoteGuardTest::anEndNotChosenKeepsTheNote() {
    QFETCH(QString, end);
    GuardedWindow g;
    frmMain& w = g.start();
    g.type(u"keep me"_s);  // no pause: the end writes what the throttle has not yet
    if (end == u"session end"_s) {
        w.closeFor(frmMain::CloseReason::SessionEnd);
    } else if (end == u"SIGTERM"_s) {
        ::raise(SIGTERM);
        QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kWaitMs);
    } else if (end == u"quit"_s) {
        g.f.ts.dialogs.onMessage = [&](const platform::MessageBoxRequest&) {
            QuitNow();
            QVERIFY(!w.isVisible());  // closed before the quit returns
            QuitNow();                // once
        };
        w.mnuHelpAbout_Click();
    } else {
        g.f.ts.dialogs.onMessage = [&](const platform::MessageBoxRequest&) {
            ::raise(SIGHUP);
            QTRY_VERIFY_WITH_TIMEOUT(!w.isVisible(), kWaitMs);  // while the box is open
        };
        w.mnuHelpAbout_Click();
    }
    if (end != u"session end"_s) {
        QCOMPARE(g.f.ts.dialogs.cancelAlls, 1);
        QCOMPARE(w.closeReason(), end == u"quit"_s ? frmMain::CloseReason::SessionEnd
                                                   : frmMain::CloseReason::Signal);
    }
    QVERIFY(!w.isVisible());
    QCOMPARE(TempFolder::read(g.draft()), "keep me"_ba);
    QVERIFY(g.f.ts.settings.contains(u"Width"_s));  // the unload ran
    QVERIFY(g.f.ts.reporter.reports.isEmpty());
    QCOMPARE(g.f.ts.dialogs.shown.size(), end == u"SIGHUP"_s || end == u"quit"_s ? 1 : 0);
}

void NoteGuardTest::blankDraftGoesAtStart() {
    GuardedWindow g;
    QVERIFY(QDir().mkpath(g.state()));
    TempFolder::write(g.draft(), " \xe3\x80\x80");
    g.start();
    QTRY_VERIFY_WITH_TIMEOUT(!QFile::exists(g.draft()), kWaitMs);
}

void NoteGuardTest::garbledDraftIsSetAsideAndTheBoxStartsEmpty() {
    GuardedWindow g;
    QVERIFY(QDir().mkpath(g.state()));
    TempFolder::write(g.draft(), "\x81\xff not a note");
    frmMain& w = g.start();
    QVERIFY(w.txtMain()->noteText().isEmpty());
    const QStringList aside = QDir(g.state()).entryList({u"unreadable-1-*.txt"_s});
    QCOMPARE(aside.size(), 1);
    QCOMPARE(TempFolder::read(g.state() + u'/' + aside[0]), "\x81\xff not a note"_ba);
    QVERIFY(g.f.silent());
}

void NoteGuardTest::draftsThatCannotBeWrittenStopNothing() {
    GuardedWindow g;
    auto owned = std::make_unique<MemoryDraftStore>();
    MemoryDraftStore& store = *owned;
    store.writesWork = false;
    frmMain& w = g.start(std::move(owned));
    g.type(u"full disk"_s);
    QTRY_VERIFY_WITH_TIMEOUT(store.writes > 0, kWaitMs);
    w.mnuFileSave_Click();
    QVERIFY(g.f.data().endsWith(",full disk\r\n"));
    QVERIFY(w.txtMain()->noteText().isEmpty());
    QVERIFY(g.f.silent());
}

QTEST_MAIN(NoteGuardTest)
#include "test_note_guard.moc"
