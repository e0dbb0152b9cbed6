#pragma once

#include <QList>

#include "platform/control_enumeration.h"

class QObject;
class QWidget;

namespace platform {

// Describes a Qt form for caption loading. The form's tag is its dynamic property "tag";
// `controlOrder` lists its controls (widgets, QActions, QMenus) in the form's control order.
// A control's tag is its dynamic property "tag". The result refers to the objects
// themselves: use it while they live.
FormControls EnumerateControls(QWidget& form, const QList<QObject*>& controlOrder);

}  // namespace platform
