#pragma once

#include <QString>

namespace platform {

// Facts about the running program itself.
class Application {
public:
    virtual ~Application() = default;
    // The folder holding the executable, in native form, without a trailing separator
    // except at a drive root.
    virtual QString folder() const = 0;
    // The per-user folder for the program's data, where the notes go unless a portable copy
    // keeps them beside the program; it may not exist yet.
    virtual QString userDataFolder() const = 0;
    virtual int majorVersion() const = 0;
    virtual int minorVersion() const = 0;
};

}  // namespace platform
