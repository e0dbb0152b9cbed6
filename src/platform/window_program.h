#pragma once

#include <QString>
#include <optional>

namespace platform {

// The console launcher's part (lexbin.com, Windows only): starts the window program beside
// it (lexbin.exe) with the launcher's own wide command line and standard output and error,
// and its standard input, or `input` through a pipe where given (the text of "--edit -",
// which the launcher has read: UTF-8 with a byte order mark, which lexbin.exe reads back as
// it reads any pipe). Waits for it to end and returns its exit status. Meanwhile Ctrl+C,
// Ctrl+Break and the console's close ask it to end, as SIGINT does on Linux (its stop
// event). Throws errors::Failure when it cannot be started.
int RunWindowProgram(const std::optional<QString>& input);

}  // namespace platform
