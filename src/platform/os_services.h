#pragma once

#include <memory>

#include "platform/services.h"

namespace platform {

// The real core services of the operating system CMake chose, assembled in this one place:
// the clock, the application, the user's settings, the data file's append and the system's
// character set (the operating system's parts from os_parts.h). The window's services build
// on it (app/real_services.h); the command line uses it as it is. Making it touches nothing
// outside the program, so it may come before the application object; the application's
// folders need a QCoreApplication by the time they are asked for.
class OsCoreServices {
public:
    OsCoreServices();
    ~OsCoreServices();
    OsCoreServices(const OsCoreServices&) = delete;
    OsCoreServices& operator=(const OsCoreServices&) = delete;

    // The services, with failures told to `reporter`.
    CoreServices with(errors::Reporter& reporter) const;
    Application& application() const;
    Encoding& encoding() const;

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace platform
