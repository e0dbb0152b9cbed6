#pragma once

#include <QString>
#include <QStringList>

namespace platform {
class IconvEncoding;
}

namespace cli {

// The arguments after the program's name, read in the locale's character set (Qt would read
// them as UTF-8 whatever the locale). Throws errors::Failure (undecodable input).
QStringList DecodeArguments(int argc, char* argv[], const platform::IconvEncoding& encoding);

// All of standard input, read in the locale's character set, less one line break at its
// end. Throws errors::Failure: undecodable input (a NUL too), a note too long for the box, a
// read error.
QString ReadStandardInput(const platform::IconvEncoding& encoding);

// `text` as the box would take it, line breaks as CR LF. Throws errors::Failure (a note too
// long) for text the box would refuse.
QString AsNoteText(const QString& text);

}  // namespace cli
