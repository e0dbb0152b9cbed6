#include "cli/display_check.h"

#include <QByteArray>
#include <QList>
#include <QtGlobal>
#include <cstdlib>
#include <mutex>

#include "cli/command_line.h"
#include "cli/note_command.h"
#include "platform/encoding.h"
#include "platform/os_parts.h"
#include "platform/standard_streams.h"

using namespace Qt::StringLiterals;

namespace cli {
namespace {

struct HeldMessage {
    QtMsgType type;
    QByteArray file;
    int line;
    QByteArray function;
    QByteArray category;
    QString text;
};

QtMessageHandler previousHandler = nullptr;
// A platform plug-in may log from a thread of its own while the application object starts,
// so the list is guarded, and a message that comes in after the check passed (the handler
// was still in use) goes where it would have gone without the check.
std::mutex heldMutex;
bool holding = false;
QList<HeldMessage> held;

void HoldOrExit(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtFatalMsg) {
        // The one way out from here: once the handler returns from a fatal message, Qt aborts
        // the program, and this one comes from inside the QApplication constructor, which
        // has no failure to return or throw. So the line is written and the process ends at
        // once (std::_Exit: no exit handlers either), without running destructors of a
        // half-built application object.
        WriteText(platform::OutputStream::Error,
                  u"lexbin: 画面（ディスプレイ）に接続できないため、窓を開けません。"
                  u"DISPLAY または WAYLAND_DISPLAY を確かめてください。\n"_s,
                  *platform::NewSystemEncoding());
        std::_Exit(kNoDisplay);
    }
    {
        const std::lock_guard lock(heldMutex);
        if (holding) {
            held.append(
                {type, context.file, context.line, context.function, context.category, text});
            return;
        }
    }
    qt_message_output(type, context, text);
}

}  // namespace

DisplayCheck::DisplayCheck() {
    {
        const std::lock_guard lock(heldMutex);
        holding = true;
    }
    previousHandler = qInstallMessageHandler(HoldOrExit);
}

DisplayCheck::~DisplayCheck() {
    passed();
}

void DisplayCheck::passed() {
    if (!watching_) {
        return;
    }
    watching_ = false;
    qInstallMessageHandler(previousHandler);
    QList<HeldMessage> messages;
    {
        const std::lock_guard lock(heldMutex);
        holding = false;
        messages.swap(held);
    }
    for (const HeldMessage& message : messages) {
        const QMessageLogContext context(message.file.constData(), message.line,
                                         message.function.constData(),
                                         message.category.constData());
        qt_message_output(message.type, context, message.text);
    }
}

}  // namespace cli
