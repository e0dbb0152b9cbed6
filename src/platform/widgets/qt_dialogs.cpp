#include "platform/widgets/qt_dialogs.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace platform {
namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

}  // namespace

void QtDialogs::messageBox(const MessageBoxRequest& request) {
    QString text = request.text;
    text.replace(u"\r\n"_s, u"\n"_s);
    QMessageBox box(ToQtIcon(request.icon), request.title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (request.systemModal) {
        box.setWindowModality(Qt::ApplicationModal);
        box.setWindowFlag(Qt::WindowStaysOnTopHint);
    }
    run(box);
}

QString QtDialogs::inputBox(const QString& prompt, const QString& title, const QString& prefilled) {
    QInputDialog dialog(QApplication::activeWindow());
    dialog.setWindowTitle(title);
    dialog.setLabelText(prompt);
    dialog.setTextEchoMode(QLineEdit::Normal);
    dialog.setTextValue(prefilled);
    return run(dialog) == QDialog::Accepted ? dialog.textValue() : QString();
}

void QtDialogs::runDialog(QDialog& dialog) {
    run(dialog);
}

void QtDialogs::cancelAll() {
    for (qsizetype i = open_.size() - 1; i >= 0; --i) {
        if (open_[i]) {
            open_[i]->reject();
        }
    }
}

int QtDialogs::run(QDialog& dialog) {
    open_.append(&dialog);
    const int result = dialog.exec();
    open_.removeAll(&dialog);
    return result;
}

}  // namespace platform
