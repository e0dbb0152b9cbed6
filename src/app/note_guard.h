#pragma once

#include <QObject>
#include <memory>

#include "app/frm_main.h"
#include "drafts/draft_keeper.h"

namespace platform {
class Dialogs;
class DraftStore;
}  // namespace platform

// Keeps the main window's unsaved note safe from an end the user did not choose: in a draft
// that the next start brings back, through an orderly end on a stop signal, and written on
// the spot when the process ends without the window's close (exit() after the display went
// away, a fatal Qt message). What the user decides still holds: a stored or emptied note and
// a close by the user leave no draft, and a stored note never comes back as one.
class NoteGuard final : public QObject {
    Q_OBJECT

public:
    // `store` may be null: no drafts on this system.
    NoteGuard(frmMain& window, platform::Dialogs& dialogs,
              std::unique_ptr<platform::DraftStore> store);
    ~NoteGuard() override;

    // Once, after Form_Load and before the window is shown: puts the note an earlier run
    // left unstored in the box, cursor at its end, and from then on keeps the box's note.
    void recoverDraft();

    // SIGTERM, SIGHUP, SIGINT: the note is kept, open boxes are cancelled, the window closes
    // (saving its settings) and the program ends with status 0. Once, and not after the
    // window's own close. The program's quit with the window open (the end of a Windows
    // session) does the same.
    void stop();

    // What runs when the process ends without the window's close: the box's note goes to the
    // draft now, on this thread (the main one; from another nothing is done). Once.
    void keepOnExit();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void noteChanged();
    bool sessionEnding() const;
    void stopFor(frmMain::CloseReason reason);

    frmMain& window_;
    platform::Dialogs& dialogs_;
    drafts::DraftKeeper keeper_;
    bool sessionEnding_ = false;  // a commit request or a stop signal came
    bool stopping_ = false;
    bool closed_ = false;  // the window's close settled the note
};
