#include "fcitx_input_method.h"

#include <QWidget>

#ifdef _WIN32
#include <windows.h>
// After windows.h, whose types it needs.
#include <imm.h>
#else
#include <QDBusConnection>
#include <QDBusMessage>
#endif

using namespace Qt::StringLiterals;

namespace platform {

void FcitxInputMethod::switchOn([[maybe_unused]] QWidget& focused) {
#ifdef _WIN32
    const HWND window = reinterpret_cast<HWND>(focused.window()->winId());
    if (const HIMC context = ImmGetContext(window)) {
        ImmSetOpenStatus(context, TRUE);
        ImmReleaseContext(window, context);
    }
#else
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        return;
    }
    QDBusMessage activate = QDBusMessage::createMethodCall(
        u"org.fcitx.Fcitx5"_s, u"/controller"_s, u"org.fcitx.Fcitx.Controller1"_s, u"Activate"_s);
    activate.setAutoStartService(false);  // no fcitx5 running: nothing happens
    bus.send(activate);                   // the answer, or the error, is not waited for
#endif
}

}  // namespace platform
