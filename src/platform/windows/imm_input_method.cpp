#include "platform/windows/imm_input_method.h"

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

}  // namespace platform
