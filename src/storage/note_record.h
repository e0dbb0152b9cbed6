#pragma once

#include <QString>

#include "storage/importance.h"

namespace platform {
struct DateTimeSeparators;
struct LocalTime;
}  // namespace platform

namespace storage {

// The most characters a note holds; a line break counts one (see NoteLength).
inline constexpr qsizetype kMaxNoteCharacters = 16'777'216;

// Whether `c` breaks a line as the note text box takes text in: LF and CR (a CR LF pair is
// one break), and the separators at which Qt's text box starts a new line (U+2028, U+2029,
// and U+FDD0, U+FDD1).
bool IsLineBreak(QChar c);

// `text` with each of its line breaks as CR LF: what the note text box gives back for `text`
// pasted into it. Every way into the program goes through this, so a note's record does not
// depend on where its text came from.
QString WithCrLfBreaks(const QString& text);

// How many characters `text` takes in the note text box: a line break counts one.
qsizetype NoteLength(const QString& text);

// Removes every NUL (a text tool takes one for the end of the text, or the file for binary),
// then every CR LF pair; a lone CR or LF stays.
QString FlattenNote(const QString& text);

// Whether `text` holds nothing but spaces: the ASCII space and the ideographic space U+3000
// (tabs and other characters are content). Such a note is blank and writes nothing.
bool IsOnlySpaces(const QString& text);

// "yyyy/mm/dd,hh:nn,CODE,TEXT" with the user's separators in the date and the time; the
// line end is not included.
QString BuildRecord(const platform::LocalTime& time, const platform::DateTimeSeparators& separators,
                    Importance importance, const QString& flatText);

}  // namespace storage
