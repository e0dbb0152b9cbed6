#pragma once

#include <QString>

#include "errors/failure.h"

namespace platform {

// The failure for an operating-system file error (errno on POSIX, GetLastError on Windows)
// on `path`.
errors::Failure FileFailure(int systemError, const QString& path);

}  // namespace platform
