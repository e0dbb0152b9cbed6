#pragma once

namespace cli {

// The program's exit statuses, as --help and the README list them.
enum ExitStatus : int {
    kSuccess = 0,
    kFailed = 1,     // a failure told on standard error: nothing was stored
    kBadUsage = 2,   // the usage text on standard error
    kNoDisplay = 3,  // window mode without a display to show the window on
};

}  // namespace cli
