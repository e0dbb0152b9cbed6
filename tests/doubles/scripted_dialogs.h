#pragma once

#include <QList>
#include <QStringList>
#include <functional>

#include "platform/dialogs.h"

// Records every box instead of showing it; the input box answers from a script.
class ScriptedDialogs final : public platform::Dialogs {
public:
    struct Input {
        QString prompt;
        QString title;
        QString prefilled;
    };
    QList<platform::MessageBoxRequest> shown;
    QList<Input> inputs;
    QStringList nextAnswers;  // taken front first; Cancel ("") once empty
    std::function<void(const platform::MessageBoxRequest&)> onMessage;  // runs while "open"
    std::function<void(QDialog&)> onDialog;  // answers a dialog (the dialog is not shown)
    int cancelAlls = 0;

    void messageBox(const platform::MessageBoxRequest& request) override {
        shown.append(request);
        if (onMessage) {
            onMessage(request);
        }
    }
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& prefilled) override {
        inputs.append({prompt, title, prefilled});
        return nextAnswers.isEmpty() ? QString() : nextAnswers.takeFirst();
    }
    void runDialog(QDialog& dialog) override {
        if (onDialog) {
            onDialog(dialog);
        }
    }
    void cancelAll() override { ++cancelAlls; }
};
