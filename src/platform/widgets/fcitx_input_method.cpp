#include "platform/widgets/fcitx_input_method.h"

#include "platform/os_parts.h"

#include <QDBusConnection>
#include <QDBusMessage>

using namespace Qt::StringLiterals;

namespace platform {

void FcitxInputMethod::switchOn(QWidget&) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage activate = QDBusMessage::createMethodCall(
        u"org.fcitx.Fcitx5"_s, u"/controller"_s, u"org.fcitx.Fcitx.Controller1"_s, u"Activate"_s);
    activate.setAutoStartService(false);  // no fcitx5 running: nothing happens
    bus.send(activate);                   // the answer, or the error, is not waited for
}

std::unique_ptr<InputMethod> NewInputMethod() {
    return std::make_unique<FcitxInputMethod>();
}

}  // namespace platform
