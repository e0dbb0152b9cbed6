#pragma once

#include "platform/dialogs.h"
#include "platform/widgets/qt_dialogs.h"

namespace platform {

// The message box style of a request: one OK button, its icon, system-modal or not (the
// critical box 0x1010, the path warning 4144, the About box 4096, the font size hint 64).
unsigned MessageBoxStyle(const MessageBoxRequest& request);

// The system's own MessageBoxW for the boxes, owned by the thread's active window, which
// stays disabled while the box is open; the input box and the program's dialogs stay Qt's.
class WindowsDialogs final : public Dialogs {
public:
    void messageBox(const MessageBoxRequest& request) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& prefilled) override;
    void runDialog(QDialog& dialog) override;
    // The thread's message boxes first (each opens over whatever else is open), then Qt's.
    void cancelAll() override;

private:
    QtDialogs qt_;
};

}  // namespace platform
