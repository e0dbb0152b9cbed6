#pragma once

#include "platform/input_method.h"

namespace platform {

// Opens the IME of the focused widget's window.
class ImmInputMethod final : public InputMethod {
public:
    void switchOn(QWidget& focused) override;
};

}  // namespace platform
