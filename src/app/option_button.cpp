#include "app/option_button.h"

#include <QShortcutEvent>

bool OptionButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut && !static_cast<QShortcutEvent*>(event)->isAmbiguous()) {
        setFocus(Qt::ShortcutFocusReason);
        click();
        return true;
    }
    return QRadioButton::event(event);
}
