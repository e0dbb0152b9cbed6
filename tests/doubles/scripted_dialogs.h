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
};
