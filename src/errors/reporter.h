#pragma once

#include <QString>

namespace errors {

class Failure;

// Where a trapped failure is told: the error box for the window, the error stream for the
// command line, a record in the tests.
class Reporter {
public:
    virtual ~Reporter() = default;
    // `location` is "form or module!procedure".
    virtual void report(const Failure& failure, const QString& location) = 0;
};

}  // namespace errors
