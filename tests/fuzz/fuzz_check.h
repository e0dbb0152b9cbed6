#pragma once

#include <QString>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// What a fuzz target needs around its checks: the input as text, and a failed check that
// says what broke and shows the input before it aborts (libFuzzer then saves it as crash-*).
namespace fuzz {

// The text under test.
inline QString g_input;

inline const QString& TakeInput(const std::uint8_t* data, std::size_t size) {
    g_input = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    return g_input;
}

[[noreturn]] inline void Violated(const char* what) {
    constexpr qsizetype kShown = 160;  // the first code units; the crash file has them all
    std::fprintf(stderr, "check failed: %s\ninput (%lld UTF-16 code units):", what,
                 static_cast<long long>(g_input.size()));
    for (const QChar c : g_input.first(std::min(g_input.size(), kShown))) {
        std::fprintf(stderr, " %04x", static_cast<unsigned>(c.unicode()));
    }
    std::fprintf(stderr, "%s\n", g_input.size() > kShown ? " ..." : "");
    std::abort();
}

inline void Check(bool condition, const char* what) {
    if (!condition) {
        Violated(what);
    }
}

}  // namespace fuzz
