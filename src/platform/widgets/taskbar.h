#pragma once

class QWindow;

namespace platform {

// Asks the desktop not to list `window` in its taskbar, as a dialog that belongs to the main
// window should not be. Call it each time before the window is shown: the window manager
// may drop the request when the window is hidden. Where the window system has no such
// request (only X11 has one), or the window has no native window yet, does nothing.
void KeepOffTaskbar(QWindow* window);

}  // namespace platform
