#pragma once

#include "platform/application.h"

namespace platform {

// The per-user data folder on Linux: $XDG_DATA_HOME/Lexbin when the variable holds an absolute
// path, else ~/.local/share/Lexbin; empty without an absolute home either.
QString UserDataFolderPath(const QString& xdgDataHome, const QString& home);

// Needs a QCoreApplication.
class QtApplication final : public Application {
public:
    QString folder() const override;
    QString userDataFolder() const override;
    int majorVersion() const override;
    int minorVersion() const override;
};

}  // namespace platform
