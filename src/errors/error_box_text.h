#pragma once

#include <QString>
#include <cstdint>

namespace platform {
struct Services;
}

namespace mdlLexbin {

// The five CR LF-separated lines of the error box.
QString ErrorBoxText(std::int32_t number, const QString& location, const QString& description,
                     int majorVersion, int minorVersion);

// Shows the system-modal error box for the failure being handled (call it from a catch
// block; Trap() does). `location` is "form or module!procedure".
void ShowError(const platform::Services& services, const QString& location);

}  // namespace mdlLexbin
