#include "app/error_box_reporter.h"

#include "errors/error_box_text.h"
#include "errors/failure.h"
#include "platform/application.h"
#include "platform/dialogs.h"

using namespace Qt::StringLiterals;

void ErrorBoxReporter::report(const errors::Failure& failure, const QString& location) {
    platform::MessageBoxRequest box;
    box.text = errors::ErrorBoxText(failure.number(), location, failure.description(),
                                    application_.majorVersion(), application_.minorVersion());
    box.title = u"エラー - Lexbin"_s;
    box.icon = platform::MessageIcon::Critical;
    box.systemModal = true;
    dialogs_.messageBox(box);
}
