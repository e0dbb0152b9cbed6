#include <windows.h>

#include <QGuiApplication>
#include <QScreen>

#include "platform/os_parts.h"

using namespace Qt::StringLiterals;

namespace platform {

// Qt gives CreateWindowEx a place of its own (the screen's centre) for a window that has
// none: the system's is that of a probe window created with CW_USEDEFAULT, never shown.
std::optional<QPoint> SystemDefaultPlace(QSize frame) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (QGuiApplication::platformName() != u"windows"_s || screen == nullptr) {
        return std::nullopt;  // no Windows windows (the tests' offscreen platform)
    }
    const qreal ratio = screen->devicePixelRatio();
    const HWND probe =
        CreateWindowExW(0, L"Static", nullptr, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        qRound(frame.width() * ratio), qRound(frame.height() * ratio), nullptr,
                        nullptr, GetModuleHandleW(nullptr), nullptr);
    if (probe == nullptr) {
        return std::nullopt;
    }
    RECT place{};
    const bool known = GetWindowRect(probe, &place) != FALSE;
    DestroyWindow(probe);
    if (!known) {
        return std::nullopt;
    }
    return QPoint(qRound(place.left / ratio), qRound(place.top / ratio));
}

}  // namespace platform
