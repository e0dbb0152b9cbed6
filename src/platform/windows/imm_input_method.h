#pragma once

#include <windows.h>

#include "platform/input_method.h"

namespace platform {

// Opens the input context that `window` uses now. False when it has none: Qt takes the
// context from a window while a widget that refuses input methods has the focus.
bool OpenInputMethod(HWND window);

// Opens the IME of the focused widget's window; called each time the note box has received
// the focus.
class ImmInputMethod final : public InputMethod {
public:
    void switchOn(QWidget& focused) override;
};

}  // namespace platform
