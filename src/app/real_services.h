#pragma once

#include <memory>

#include "platform/services.h"

// The real platform services of this system, owned in one place for the program's run.
// Create it after the QApplication.
class RealServices {
public:
    RealServices();
    ~RealServices();
    RealServices(const RealServices&) = delete;
    RealServices& operator=(const RealServices&) = delete;

    const platform::Services& services() const { return services_; }

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    platform::Services services_;
};

namespace platform {
class DraftStore;
}

// The folder of drafts of this user; null where the system has none. Only the window's run
// makes one.
std::unique_ptr<platform::DraftStore> RealDraftStore();
