#include "app/clipboard_text.h"

#include <QClipboard>
#include <QGuiApplication>

using namespace Qt::StringLiterals;

std::optional<QString> ClipboardText() {
    // Qt's Wayland plug-ins: wayland, wayland-egl, wayland-xcomposite-glx, ...
    if (QGuiApplication::platformName().startsWith(u"wayland"_s)) {
        return std::nullopt;
    }
    return QGuiApplication::clipboard()->text();
}
