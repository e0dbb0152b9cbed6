#pragma once

#include <QString>
#include <utility>

#include "errors/failure.h"
#include "errors/reporter.h"

namespace errors {

// The failure of the exception being handled, whatever its type: out of memory for
// std::bad_alloc, an internal error for anything that is no Failure. Call it from a catch
// block.
Failure CurrentFailure();

// Runs `body` under an error trap: a failure skips the rest of the body and is reported with
// `location`; it never reaches the caller. Returns whether the body ran to its end.
template <typename Body>
bool Trap(Reporter& reporter, const QString& location, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        try {
            reporter.report(CurrentFailure(), location);
        } catch (...) {
            // The report itself failed; there is nobody left to tell.
        }
        return false;
    }
}

}  // namespace errors
