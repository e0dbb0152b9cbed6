// The command line of the Windows program, which is built without a console: with no
// standard streams to read a note from or to tell usage on, its arguments are left to the
// application object (Qt's -style and the like), and the window always opens.
#include "cli/display_check.h"
#include "cli/note_command.h"

namespace cli {

Start RunCommandLine(int& /*argc*/, char* /*argv*/[]) {
    return {};
}

// Windows always has the display a window opens on: nothing to watch for.
DisplayCheck::DisplayCheck() = default;
DisplayCheck::~DisplayCheck() = default;
void DisplayCheck::passed() {
    watching_ = false;
}

}  // namespace cli
