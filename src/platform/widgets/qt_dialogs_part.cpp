#include "platform/os_parts.h"
#include "platform/widgets/qt_dialogs.h"

namespace platform {

// Linux: Qt's own boxes.
std::unique_ptr<Dialogs> NewDialogs() {
    return std::make_unique<QtDialogs>();
}

}  // namespace platform
