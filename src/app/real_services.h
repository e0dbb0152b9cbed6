#pragma once

#include <memory>

#include "services.h"

namespace platform {

// The real platform services of this system, owned in one place for the program's run.
// Create it after the QApplication.
class RealServices {
public:
    RealServices();
    ~RealServices();
    RealServices(const RealServices&) = delete;
    RealServices& operator=(const RealServices&) = delete;

    const Services& services() const { return services_; }

private:
    struct Parts;
    std::unique_ptr<Parts> parts_;
    Services services_;
};

}  // namespace platform
