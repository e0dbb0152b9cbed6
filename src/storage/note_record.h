#pragma once

#include <QString>

namespace platform {
struct DateTimeSeparators;
struct LocalTime;
}  // namespace platform

namespace mdlLexbin {

// Removes every CR LF pair; a lone CR or LF stays.
QString FlattenNote(const QString& text);

// Whether `text` holds nothing but blanks: the ASCII space and the ideographic space
// U+3000 (tabs and other characters are content).
bool IsBlank(const QString& text);

// "yyyy/mm/dd,hh:nn,CODE,TEXT" with the user's separators in the date and the time; the
// line end is not included.
QString BuildRecord(const platform::LocalTime& time, const platform::DateTimeSeparators& separators,
                    const QString& importanceCode, const QString& flatText);

}  // namespace mdlLexbin
