#pragma once

#include <QList>
#include <QPointer>

#include "platform/dialogs.h"

namespace platform {

// QMessageBox and QInputDialog, over the active window.
class QtDialogs final : public Dialogs {
public:
    void messageBox(const MessageBoxRequest& request) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& prefilled) override;
    void runDialog(QDialog& dialog) override;
    void cancelAll() override;

private:
    int run(QDialog& dialog);

    QList<QPointer<QDialog>> open_;  // outermost first
};

}  // namespace platform
