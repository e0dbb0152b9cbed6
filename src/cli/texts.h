#pragma once

#include <QString>

namespace cli {

// What bad usage prints on standard error: short, with the way to the help.
QString UsageText();
// What --help prints.
QString HelpText();
// What --version prints: "Lexbin 1.02".
QString VersionText();

}  // namespace cli
