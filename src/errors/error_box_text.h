#pragma once

#include <QString>
#include <cstdint>

namespace errors {

// The five CR LF-separated lines of the error box. `location` is "form or module!procedure".
QString ErrorBoxText(std::int32_t number, const QString& location, const QString& description,
                     int majorVersion, int minorVersion);

}  // namespace errors
