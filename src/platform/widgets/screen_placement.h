#pragma once

#include <QList>
#include <QPoint>
#include <QRect>

namespace platform {

// Height of the strip along a window's top edge that must stay reachable: where the window
// manager puts the title bar the user drags the window by.
inline constexpr int kTitleBarStrip = 24;

// Where to put a window whose frame is `frame` (position and size in pixels): unchanged when
// its title-bar strip touches the available area of some screen; otherwise centred on the
// primary screen's available area (its top-left corner kept inside it), size unchanged.
QPoint KeepTitleBarOnScreen(const QRect& frame, const QList<QRect>& availableAreas,
                            const QRect& primaryArea);

// The same, for the screens of this desktop.
QPoint KeepTitleBarOnScreen(const QRect& frame);

// Whether the window system reports where a window is. A Wayland compositor never does:
// there a window's position is only the one last asked for.
bool WindowPositionIsKnown();

}  // namespace platform
