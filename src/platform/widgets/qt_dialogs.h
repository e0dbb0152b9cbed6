#pragma once

#include "platform/dialogs.h"

namespace platform {

// QMessageBox and QInputDialog, over the active window.
class QtDialogs final : public Dialogs {
public:
    void messageBox(const MessageBoxRequest& request) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& prefilled) override;
};

}  // namespace platform
