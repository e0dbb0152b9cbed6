#pragma once

#include "platform/input_method.h"

namespace platform {

// Asks a running fcitx5 (over the session D-Bus) to activate its input method. Never waits for
// an answer and never starts fcitx5.
class FcitxInputMethod final : public InputMethod {
public:
    void switchOn(QWidget& focused) override;
};

}  // namespace platform
