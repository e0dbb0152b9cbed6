#pragma once

#include <cstddef>
#include <type_traits>

namespace common {

// Whether `rows` holds one row per value of an enum whose last enumerator is Count, in the
// order of the enum, each row naming its value in `Member`. For a static_assert on a table
// kept beside its enum (a missing row would otherwise be found only at run time, if at all).
template <auto Member, typename Row, std::size_t N>
constexpr bool OneRowPerValue(const Row (&rows)[N]) {
    using Enum = std::remove_cvref_t<decltype(rows[0].*Member)>;
    if (N != static_cast<std::size_t>(Enum::Count)) {
        return false;
    }
    for (std::size_t i = 0; i < N; ++i) {
        if (rows[i].*Member != static_cast<Enum>(i)) {
            return false;
        }
    }
    return true;
}

}  // namespace common
