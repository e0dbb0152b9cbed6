#pragma once

#include <QString>

namespace platform {

enum class MessageIcon { None, Critical, Exclamation, Information };

struct MessageBoxRequest {
    QString text;  // lines separated by CR LF
    QString title;
    MessageIcon icon = MessageIcon::None;
    bool systemModal = false;  // stays on top of every other window until dismissed
};

// Modal boxes with one OK button, and the one-line input box. Both return only when the
// user has closed them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    virtual void messageBox(const MessageBoxRequest& request) = 0;
    // The typed text, or the empty string for Cancel.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& prefilled) = 0;
};

}  // namespace platform
