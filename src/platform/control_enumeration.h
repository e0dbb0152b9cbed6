#pragma once

#include <QString>
#include <functional>
#include <vector>

namespace platform {

// One control or menu item of a form, as caption loading sees it.
struct ControlInfo {
    QString kind;  // "Menu" for menus and menu items
    QString tag;   // empty when the control has none
    std::function<QString()> caption;
    // Empty for a control that has no caption (a text box).
    std::function<void(const QString&)> setCaption;
};

// A form's tag, its title setter and every control in the form's control order (each
// element of a control array on its own, menus directly followed by their items).
struct FormControls {
    QString tag;
    std::function<void(const QString&)> setTitle;
    std::vector<ControlInfo> controls;
};

}  // namespace platform
