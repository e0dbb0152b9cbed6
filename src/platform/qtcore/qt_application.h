#pragma once

#include "platform/application.h"

namespace platform {

// Needs a QCoreApplication.
class QtApplication final : public Application {
public:
    QString folder() const override;
    QString userDataFolder() const override;
    int majorVersion() const override;
    int minorVersion() const override;
};

}  // namespace platform
