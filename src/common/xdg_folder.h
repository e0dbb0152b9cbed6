#pragma once

#include <QString>

namespace common {

// The program's folder "Lexbin" under an XDG base folder: below `xdgValue` (the variable,
// XDG_DATA_HOME say) when it holds an absolute path, else below `home`/`homeRelative`
// (".local/share"), else empty. The XDG rule: a relative value is to be ignored (Qt's own
// lookup would take it as it is, against the working folder).
QString XdgProgramFolder(const QString& xdgValue, const QString& home, const QString& homeRelative);

}  // namespace common
