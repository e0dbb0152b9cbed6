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

// Everything the program's core needs from the outside world, handed to it in one piece.
// The real set lives in app/real_services.h; tests assemble theirs from doubles.
struct Services {
    Clock& clock;
    Application& application;
    SettingsStore& settings;
    TextFile& textFile;
    Encoding& encoding;
    errors::Reporter& reporter;
    Dialogs& dialogs;
    StringTable& strings;
    InputMethod& inputMethod;
};

}  // namespace platform
