#include <QApplication>

#include "app/frm_main.h"
#include "app/note_guard.h"
#include "app/real_services.h"
#include "platform/draft_store.h"
#include "platform/file_size_limit.h"
#include "platform/qtcore/qt_japanese_texts.h"
#ifndef _WIN32
#include "cli/display_check.h"
#include "cli/note_command.h"
#endif

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QString startText;
#ifndef _WIN32
    // The command line: a note stored without a window, help, bad usage; or the window.
    const cli::Start start = cli::RunCommandLine(argc, argv);
    if (start.exitStatus) {
        return *start.exitStatus;
    }
    startText = start.startText;
    cli::DisplayCheck displayCheck;
#endif

    platform::LetWritesFailAtTheFileSizeLimit();
    QApplication app(argc, argv);
#ifndef _WIN32
    displayCheck.passed();
#endif
    QGuiApplication::setDesktopFileName(u"lexbin"_s);
    const platform::QtJapaneseTexts qtTexts;  // the input box's buttons
    RealServices services;

    frmMain window(services.services());
    window.Form_Load();
    NoteGuard guard(window, services.services().dialogs, RealDraftStore());
    guard.recoverDraft();               // the note an earlier run left unstored, cursor at its end
    window.appendStartText(startText);  // after a recovered note, on a line of its own
    window.show();
    return QApplication::exec();
}
