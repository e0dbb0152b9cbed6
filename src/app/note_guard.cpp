#include "app/note_guard.h"

#include <QApplication>
#include <QEvent>
#include <QSessionManager>
#include <QThread>
#include <atomic>
#include <cstdlib>

#include "app/frm_main.h"
#include "app/note_edit.h"
#include "platform/dialogs.h"
#include "platform/draft_store.h"
#include "platform/os_parts.h"
#include "platform/services.h"

namespace {

// The guard whose note an end without the window's close keeps: one at a time.
std::atomic<NoteGuard*> armed{nullptr};
QtMessageHandler previousHandler = nullptr;

void KeepOnExit() {
    if (NoteGuard* guard = armed.exchange(nullptr)) {
        guard->keepOnExit();
    }
}

// A fatal message aborts the process right after its handler: no exit hooks run.
void OnMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtFatalMsg) {
        KeepOnExit();
    }
    if (previousHandler != nullptr) {
        previousHandler(type, context, message);
    }
}

void Arm(NoteGuard* guard) {
    static const bool installed = [] {
        previousHandler = qInstallMessageHandler(OnMessage);
        return std::atexit(KeepOnExit) == 0;
    }();
    Q_UNUSED(installed);
    armed = guard;
}

void Disarm(NoteGuard* guard) {
    armed.compare_exchange_strong(guard, nullptr);
}

}  // namespace

NoteGuard::NoteGuard(frmMain& window, platform::Dialogs& dialogs,
                     std::unique_ptr<platform::DraftStore> store)
    : window_(window),
      dialogs_(dialogs),
      keeper_(std::move(store), window.services().textFile, [&window] {
          return [raw = window.txtMain()->rawNote()] {
              return NoteEdit::NoteText(raw);
          };
      }) {
    platform::WatchStopSignals(*this, [this] { stop(); });
}

NoteGuard::~NoteGuard() {
    Disarm(this);
    window_.setStoreWatch(nullptr);
}

void NoteGuard::recoverDraft() {
    NoteEdit& box = *window_.txtMain();
    const drafts::Adopted adopted = keeper_.adopt(NoteEdit::kMaxCharacters);
    if (!adopted.note.isEmpty()) {
        box.setPlainText(adopted.note);
        box.moveCursor(QTextCursor::End);
    }
    connect(&box, &NoteEdit::textChanged, this, &NoteGuard::noteChanged);
    noteChanged();  // an empty or blank draft goes, as the user's own would
    connect(qApp, &QGuiApplication::applicationStateChanged, this,
            [this](Qt::ApplicationState state) {
                if (state != Qt::ApplicationActive) {
                    keeper_.writeNow();
                }
            });
    connect(qApp, &QGuiApplication::commitDataRequest, this, [this](QSessionManager&) {
        sessionEnding_ = true;
        keeper_.keepAndWait();
    });
    // The program ends while the window is open: Windows' end of the session (Qt answers
    // WM_ENDSESSION with aboutToQuit and a quit, and the system ends the process as soon as
    // that message is answered, so nothing after it runs), or any quit that is not the
    // window's close. The window closes now, as for a stop signal.
    connect(qApp, &QCoreApplication::aboutToQuit, this,
            [this] { stopFor(frmMain::CloseReason::SessionEnd); });
    window_.installEventFilter(this);
    window_.setStoreWatch(&keeper_);
    Arm(this);
}

void NoteGuard::keepOnExit() {
    if (QThread::currentThread() == thread()) {
        keeper_.keepOnExit();
    }
}

// Emptied, by a store or by hand: nothing is left to keep, at once.
void NoteGuard::noteChanged() {
    if (window_.txtMain()->document()->isEmpty()) {
        keeper_.discard();
    } else {
        keeper_.changed();
    }
}

bool NoteGuard::sessionEnding() const {
    return sessionEnding_ || qApp->isSavingSession() ||
           window_.closeReason() != frmMain::CloseReason::User;
}

bool NoteGuard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &window_) {
        if (event->type() == QEvent::Close) {
            // A close the user chose drops the note (Exit and the close box never ask); any
            // other keeps it for the next start.
            if (sessionEnding()) {
                keeper_.keepAndWait();
            } else {
                keeper_.discardAndWait();
            }
            keeper_.finish();
            closed_ = true;
            Disarm(this);
        } else if (event->type() == QEvent::WindowStateChange && window_.isMinimized()) {
            keeper_.writeNow();
        }
    }
    return QObject::eventFilter(watched, event);
}

void NoteGuard::stop() {
    stopFor(frmMain::CloseReason::Signal);
}

void NoteGuard::stopFor(frmMain::CloseReason reason) {
    if (stopping_ || closed_) {
        return;
    }
    stopping_ = true;
    sessionEnding_ = true;
    keeper_.keepAndWait();
    dialogs_.cancelAll();
    window_.closeFor(reason);
}
