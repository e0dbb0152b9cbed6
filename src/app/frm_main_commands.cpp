// The File menu: store, store and exit, exit.
#include "app/frm_main.h"
#include "app/note_edit.h"
#include "app/option_button.h"
#include "platform/services.h"
#include "storage/data_file.h"

using namespace Qt::StringLiterals;

storage::Importance frmMain::GetImportance() const {
    for (std::size_t i = 0; i < optImportance_.size(); ++i) {
        if (optImportance_[i]->isChecked()) {
            return frm_main_design::kOptionButtons[i].importance;
        }
    }
    return storage::Importance::None;
}

// The box is emptied only when the note is safe: a note whose store failed stays for the
// user to try again (the error box has told why).
void frmMain::mnuFileSave_Click() {
    if (mdlLexbin::SaveData(services_, txtMain_->noteText(), GetImportance(), storeWatch_)) {
        txtMain_->setPlainText({});
    }
}

void frmMain::mnuFileSaveexit_Click() {
    if (mdlLexbin::SaveData(services_, txtMain_->noteText(), GetImportance(), storeWatch_)) {
        close();
    }
}

void frmMain::mnuFileExit_Click() {
    close();
}

void frmMain::closeFor(CloseReason reason) {
    closeReason_ = reason;
    close();
}
