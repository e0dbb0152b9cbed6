#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace platform {

// Standard input from a pipe or a file, as text: UTF-8 when it starts with a UTF-8 byte order
// mark (dropped; what follows must then be UTF-8) or reads as strict UTF-8 throughout
// (PowerShell 7 pipes UTF-8; Japanese in code page 932 almost never reads as UTF-8), else
// the ANSI code page `codePage`, strictly (a byte sequence it does not define is no text).
// Nothing when it reads as neither.
std::optional<QString> DecodePipedInput(QByteArrayView bytes, unsigned codePage);

}  // namespace platform
