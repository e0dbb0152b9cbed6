#pragma once

#include <QString>
#include <optional>

namespace cli {

// What the command line leaves for main to do.
struct Start {
    // Set when the command line's work is done (a note stored, help shown, bad usage): exit
    // with this status and open no window.
    std::optional<int> exitStatus;
    // Otherwise the window opens; this text (lexbin --edit) goes into its box.
    QString startText;
};

// Reads the raw command line before any application object exists, and does the work of
// every mode but the window's. Sets the locale from the environment.
Start ReadCommandLine(int argc, char* argv[]);

}  // namespace cli
