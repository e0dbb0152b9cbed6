#pragma once

#include <QString>

class QDialog;

namespace platform {

enum class MessageIcon { None, Critical, Exclamation, Information };

struct MessageBoxRequest {
    QString text;  // lines separated by CR LF
    QString title;
    MessageIcon icon = MessageIcon::None;
    bool systemModal = false;  // stays on top of every other window until dismissed
};

// The one host of everything modal: boxes with one OK button, the one-line input box and the
// program's own dialogs. Each returns only when the user has closed it.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void messageBox(const MessageBoxRequest& request) = 0;
    // The typed text, or the empty string for Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& prefilled) = 0;
    // Shows `dialog` (frmSetFont) modally.
    virtual void runDialog(QDialog& dialog) = 0;
    // Closes every box and dialog still open here, as Cancel would, innermost first.
    virtual void cancelAll() = 0;
};

}  // namespace platform
