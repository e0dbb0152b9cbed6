#include "platform/windows/imm_input_method.h"

#include <QWidget>

#include "platform/os_parts.h"
// After windows.h, whose types it needs.
#include <imm.h>

namespace platform {

bool OpenInputMethod(HWND window) {
    const HIMC context = ImmGetContext(window);
    if (context == nullptr) {
        return false;
    }
    const bool opened = ImmSetOpenStatus(context, TRUE) != FALSE;
    ImmReleaseContext(window, context);
    return opened;
}

// Alien widgets: the note box draws into its top-level window's HWND, whose context is the
// one the IME uses for it.
void ImmInputMethod::switchOn(QWidget& focused) {
    OpenInputMethod(reinterpret_cast<HWND>(focused.window()->winId()));
}

std::unique_ptr<InputMethod> NewInputMethod() {
    return std::make_unique<ImmInputMethod>();
}

}  // namespace platform
