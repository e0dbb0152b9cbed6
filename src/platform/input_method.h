#pragma once

class QWidget;

namespace platform {

// Switches the input method (IME) on for typing into a widget that has just received the
// focus. Does nothing where no input method can be reached.
class InputMethod {
public:
    virtual ~InputMethod() = default;
    virtual void switchOn(QWidget& focused) = 0;
};

}  // namespace platform
