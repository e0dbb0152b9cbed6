#pragma once

namespace cli {

// Watches the application object's start in window mode. Qt aborts the program when it
// finds no display (or no platform plugin that works); under this check that ends the
// program with one Japanese line on standard error and exit status kNoDisplay instead: the
// line names a platform plug-in asked for that does not exist, else asks to check DISPLAY.
// Qt's messages meanwhile are held back, and passed on once the display is reached.
class DisplayCheck {
public:
    DisplayCheck();
    ~DisplayCheck();
    DisplayCheck(const DisplayCheck&) = delete;
    DisplayCheck& operator=(const DisplayCheck&) = delete;

    // The application object has its display: pass on what was held back, stop watching.
    void passed();

private:
    bool watching_ = true;
};

}  // namespace cli
