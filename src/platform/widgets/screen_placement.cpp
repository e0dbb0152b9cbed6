#include "platform/widgets/screen_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace platform {

QPoint KeepTitleBarOnScreen(const QRect& frame, const QList<QRect>& availableAreas,
                            const QRect& primaryArea) {
    const QRect titleBar(frame.left(), frame.top(), std::max(frame.width(), 1), kTitleBarStrip);
    for (const QRect& area : availableAreas) {
        if (area.intersects(titleBar)) {
            return frame.topLeft();
        }
    }
    const QPoint centred = primaryArea.center() - QPoint(frame.width() / 2, frame.height() / 2);
    return {std::max(centred.x(), primaryArea.left()), std::max(centred.y(), primaryArea.top())};
}

bool WindowPositionIsKnown() {
    return !QGuiApplication::platformName().startsWith(u"wayland"_s);
}

QPoint KeepTitleBarOnScreen(const QRect& frame) {
    const QScreen* primary = QGuiApplication::primaryScreen();
    if (primary == nullptr) {
        return frame.topLeft();  // no screen at all: nothing to place the window on
    }
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) {
        areas.append(screen->availableGeometry());
    }
    return KeepTitleBarOnScreen(frame, areas, primary->availableGeometry());
}

}  // namespace platform
