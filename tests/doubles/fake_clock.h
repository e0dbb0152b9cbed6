#pragma once

#include "platform/clock.h"

// A clock that stands still where the test puts it.
class FakeClock final : public platform::Clock {
public:
    platform::LocalTime time{2001, 4, 22, 9, 34};
    platform::DateTimeSeparators seps{QStringLiteral("/"), QStringLiteral(":")};

    platform::LocalTime now() const override { return time; }
    platform::DateTimeSeparators separators() const override { return seps; }
};
