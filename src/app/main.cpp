#include <QApplication>

#include "frm_main.h"
#include "note_guard.h"
#include "platform/draft_store.h"
#include "platform/file_size_limit.h"
#include "real_services.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    platform::LetWritesFailAtTheFileSizeLimit();
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(u"lexbin"_s);
    RealServices services;

    frmMain window(services.services());
    window.Form_Load();
    NoteGuard guard(window, services.services().dialogs, RealDraftStore());
    guard.recoverDraft();  // the note an earlier run left unstored, cursor at its end
    window.show();
    return QApplication::exec();
}
