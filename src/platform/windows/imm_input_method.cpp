#include "platform/windows/imm_input_method.h"

#include "platform/os_parts.h"

#include <windows.h>
#include <QWidget>
// After windows.h, whose types it needs.
#include <imm.h>

namespace platform {

void ImmInputMethod::switchOn(QWidget& focused) {
    const HWND window = reinterpret_cast<HWND>(focused.window()->winId());
    if (const HIMC context = ImmGetContext(window)) {
        ImmSetOpenStatus(context, TRUE);
        ImmReleaseContext(window, context);
    }
}

std::unique_ptr<InputMethod> NewInputMethod() {
    return std::make_unique<ImmInputMethod>();
}

}  // namespace platform
