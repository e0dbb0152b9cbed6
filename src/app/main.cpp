#include <QApplication>

#include "app/clipboard_text.h"
#include "app/frm_main.h"
#include "app/note_guard.h"
#include "app/real_services.h"
#include "cli/display_check.h"
#include "cli/note_command.h"
#include "platform/draft_store.h"
#include "platform/file_size_limit.h"
#include "platform/qtcore/qt_japanese_texts.h"

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    // The command line: a note stored without a window, help, bad usage; or the window.
    cli::Start start = cli::RunCommandLine(argc, argv);
    if (start.exitStatus) {
        return *start.exitStatus;
    }
    cli::DisplayCheck displayCheck;

    platform::LetWritesFailAtTheFileSizeLimit();
    QApplication app(argc, argv);
    displayCheck.passed();
    if (start.fromClipboard != cli::FromClipboard::No) {
        // --note-clipboard stores and ends here; --edit-clipboard has its start text.
        start = cli::TakeClipboard(start, ClipboardText());
        if (start.exitStatus) {
            return *start.exitStatus;
        }
    }
    QGuiApplication::setDesktopFileName(u"lexbin"_s);
    const platform::QtJapaneseTexts qtTexts;  // the input box's buttons
    RealServices services;

    frmMain window(services.services());
    window.Form_Load();
    NoteGuard guard(window, services.services().dialogs, RealDraftStore());
    guard.recoverDraft();  // the note an earlier run left unstored, cursor at its end
    window.appendStartText(start.startText);  // after a recovered note, on a line of its own
    window.show();
    return QApplication::exec();
}
