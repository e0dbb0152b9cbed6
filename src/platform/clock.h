#pragma once

#include <QString>

namespace platform {

// A moment of local wall-clock time, down to the minute (notes carry no seconds).
struct LocalTime {
    int year = 0;
    int month = 0;
    int day = 0;
    int hour = 0;
    int minute = 0;
};

// The separators the user's regional settings put between the parts of a short date and time.
struct DateTimeSeparators {
    QString date;
    QString time;
};

class Clock {
public:
    virtual ~Clock() = default;
    virtual LocalTime now() const = 0;
    virtual DateTimeSeparators separators() const = 0;
};

}  // namespace platform
