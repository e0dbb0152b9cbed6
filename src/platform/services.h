#pragma once

namespace errors {
class Reporter;
}

namespace platform {

class Application;
class Clock;
class Dialogs;
class Encoding;
class InputMethod;
class SettingsStore;
class StringTable;
class TextFile;

// What the program's core needs from the outside world, handed to it in one piece: nothing
// here needs a window, so a command line has all of it.
struct CoreServices {
    Clock& clock;
    Application& application;
    SettingsStore& settings;
    TextFile& textFile;
    Encoding& encoding;
    errors::Reporter& reporter;
};

// The core's services and what the windows need besides. The real set lives in
// app/real_services.h; tests assemble theirs from doubles (tests/support/test_services.h).
struct Services : CoreServices {
    Dialogs& dialogs;
    StringTable& strings;
    InputMethod& inputMethod;
};

}  // namespace platform
