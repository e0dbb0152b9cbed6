#pragma once

#include "input_method.h"

namespace platform {

// Asks a running fcitx5 (over the session D-Bus) to activate its input method, on Linux; opens
// the IME of the window on Windows. Never waits for an answer and never starts fcitx5.
class FcitxInputMethod final : public InputMethod {
public:
    void switchOn(QWidget& focused) override;
};

}  // namespace platform
