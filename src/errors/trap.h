#pragma once

#include <QString>
#include <utility>

#include "show_error.h"

namespace mdlLexbin {

// Runs `body` under an error trap: a failure skips the rest of the body and is reported in
// the error box with `location`; it never reaches the caller. Returns whether the body ran
// to its end.
template <typename Body>
bool Trap(const platform::Services& services, const QString& location, Body&& body) noexcept {
    try {
        std::forward<Body>(body)();
        return true;
    } catch (...) {
        try {
            ShowError(services, location);
        } catch (...) {
            // The error box itself failed; there is nobody left to tell.
        }
        return false;
    }
}

}  // namespace mdlLexbin
