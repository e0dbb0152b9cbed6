#pragma once

#include "platform/clock.h"

namespace platform {

// The separator between the fields named by `fieldLetters` in a Qt date or time format
// ("yyyy/MM/dd" gives "/") without its format characters (Unicode category Cf, such as the
// right-to-left mark), or `fallback` when nothing else is left, or when the separator would
// break a comma-separated record or read badly (blanks, commas, quotes).
QString SeparatorFromFormat(const QString& format, const QString& fieldLetters,
                            const QString& fallback);

// Local time and the separators of the user's locale.
class SystemClock final : public Clock {
public:
    LocalTime now() const override;
    DateTimeSeparators separators() const override;
};

}  // namespace platform
