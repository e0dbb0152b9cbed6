// libFuzzer target: the number reader. Any bytes, read as UTF-8, go through TextToDouble,
// TextToSingle and RoundToLong in several number formats; each may only return or throw
// errors::Failure, and what it returns must agree with an independent reading of the rule.
#include <QByteArray>
#include <QLocale>
#include <QString>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include "errors/failure.h"
#include "fuzz_check.h"
#include "settings/number_text.h"

using errors::ErrorNumber;
using errors::Failure;

namespace {

using fuzz::Check;
using fuzz::g_input;
using fuzz::Violated;

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The rule, read independently of the program: blanks, an optional sign, digits with at most
// one decimal point ("." or the locale's one-character separator) and at least one digit,
// an optional exponent (E or e, an optional sign, at least one digit), blanks. On success,
// `plain` is the same number in the "C" form (no blanks, "." as the point).
bool WellFormed(const QString& text, const QString& localePoint, std::string& plain) {
    plain.clear();
    const QChar point = localePoint.size() == 1 ? localePoint[0] : QChar(u'.');
    qsizetype i = 0;
    qsizetype end = text.size();
    while (i < end && IsBlank(text[i])) ++i;
    while (end > i && IsBlank(text[end - 1])) --end;
    if (i < end && (text[i] == u'+' || text[i] == u'-')) {
        plain += static_cast<char>(text[i].unicode());
        ++i;
    }
    int digits = 0;
    int points = 0;
    for (; i < end; ++i) {
        if (IsDigit(text[i])) {
            plain += static_cast<char>(text[i].unicode());
            ++digits;
        } else if (points == 0 && (text[i] == u'.' || text[i] == point)) {
            plain += '.';
            ++points;
        } else {
            break;
        }
    }
    if (digits == 0)
        return false;
    if (i < end && (text[i] == u'e' || text[i] == u'E')) {
        plain += 'e';
        ++i;
        if (i < end && (text[i] == u'+' || text[i] == u'-')) {
            plain += static_cast<char>(text[i].unicode());
            ++i;
        }
        int exponentDigits = 0;
        for (; i < end && IsDigit(text[i]); ++i) {
            plain += static_cast<char>(text[i].unicode());
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    return i == end;
}

// Only these characters may appear in a text the reader accepts.
bool OnlyAllowedCharacters(const QString& text, const QString& localePoint) {
    for (const QChar c : text) {
        const bool allowed = IsDigit(c) || IsBlank(c) || c == u'+' || c == u'-' || c == u'.' ||
                             c == u'e' || c == u'E' ||
                             (localePoint.size() == 1 && c == localePoint[0]);
        if (!allowed)
            return false;
    }
    return true;
}

bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// What RoundToLong must do with `value`: the nearest whole number, exactly half going to the
// even one; false when that lies outside 32 bits (or the value is not finite).
bool ExpectedRounding(double value, std::int32_t& expected) {
    if (!std::isfinite(value))
        return false;
    // Half to even is symmetric about zero: round the magnitude, where the fraction below is
    // exact (Sterbenz), then put the sign back.
    const double magnitude = std::fabs(value);
    const double below = std::floor(magnitude);
    const double rest = magnitude - below;
    double nearest = below;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0.0))
        nearest = below + 1.0;
    if (std::signbit(value))
        nearest = -nearest;
    if (nearest < -2147483648.0 || nearest > 2147483647.0)
        return false;
    expected = static_cast<std::int32_t>(nearest);
    return true;
}

void CheckRounding(double value) {
    std::int32_t expected = 0;
    const bool fits = ExpectedRounding(value, expected);
    try {
        const std::int32_t rounded = settings::RoundToLong(value);
        Check(fits, "RoundToLong returned a value for a number outside 32 bits");
        Check(rounded == expected, "RoundToLong did not round to nearest, half to even");
    } catch (const Failure& failure) {
        Check(failure.number() == static_cast<std::int32_t>(ErrorNumber::Overflow),
              "RoundToLong threw a failure other than Overflow");
        Check(!fits, "RoundToLong threw Overflow for a number within 32 bits");
    }
}

void CheckSingleRoundTrip(float value, const QLocale& locale) {
    const QString text = settings::SingleToText(value, locale);
    std::string plain;
    Check(WellFormed(text, locale.decimalPoint(), plain), "SingleToText wrote a malformed number");
    Check(!text.startsWith(u' ') && !text.startsWith(u'+'), "SingleToText wrote a blank or a +");
    float back = 0.0f;
    try {
        back = settings::TextToSingle(text, locale);
    } catch (const Failure&) {
        Violated("TextToSingle refused what SingleToText wrote");
    }
    Check(back == value, "SingleToText / TextToSingle did not round-trip");
}

void CheckText(const QString& text, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    std::string plain;
    const bool wellFormed = WellFormed(text, point, plain);

    // The reference value: glibc's strtod on the "C" form (correctly rounded).
    double reference = 0.0;
    bool referenceOverflows = false;
    bool referenceTiny = false;
    if (wellFormed) {
        errno = 0;
        reference = std::strtod(plain.c_str(), nullptr);
        referenceOverflows = std::isinf(reference);
        referenceTiny = std::fabs(reference) < std::numeric_limits<double>::min();
    }

    double value = 0.0;
    bool accepted = false;
    try {
        value = settings::TextToDouble(text, locale);
        accepted = true;
    } catch (const Failure& failure) {
        const auto number = failure.number();
        if (number == static_cast<std::int32_t>(ErrorNumber::TypeMismatch)) {
            Check(!wellFormed, "TextToDouble refused a well-formed number as TypeMismatch");
        } else if (number == static_cast<std::int32_t>(ErrorNumber::Overflow)) {
            Check(wellFormed, "TextToDouble threw Overflow for a malformed text");
            Check(referenceOverflows, "TextToDouble threw Overflow for a number within double");
        } else {
            Violated("TextToDouble threw a failure other than TypeMismatch or Overflow");
        }
    }
    if (accepted) {
        Check(wellFormed, "TextToDouble accepted a malformed text");
        Check(OnlyAllowedCharacters(text, point), "accepted text holds a foreign character");
        Check(std::isfinite(value), "TextToDouble returned a value that is not finite");
        Check(!referenceOverflows, "TextToDouble accepted a number beyond double");
        if (referenceTiny) {
            // Below the normal range: the exact subnormal, or zero ("as good as zero").
            Check(SameBits(value, reference) || value == 0.0, "TextToDouble misread a tiny number");
        } else {
            Check(SameBits(value, reference), "TextToDouble read a different value than strtod");
        }
        CheckRounding(value);
    }

    // Single precision: the same rule; Overflow beyond single precision.
    try {
        const float single = settings::TextToSingle(text, locale);
        Check(accepted, "TextToSingle accepted what TextToDouble refused");
        Check(!std::isinf(static_cast<float>(value)),
              "TextToSingle accepted a number beyond single precision");
        Check(single == static_cast<float>(value), "TextToSingle differs from TextToDouble");
        CheckSingleRoundTrip(single, locale);
    } catch (const Failure& failure) {
        const auto number = failure.number();
        if (number == static_cast<std::int32_t>(ErrorNumber::TypeMismatch)) {
            Check(!accepted, "TextToSingle refused as TypeMismatch what TextToDouble accepted");
        } else if (number == static_cast<std::int32_t>(ErrorNumber::Overflow)) {
            // Beyond single precision: the value rounds to infinity in single precision.
            Check(!accepted || std::isinf(static_cast<float>(value)),
                  "TextToSingle threw Overflow for a number within single precision");
        } else {
            Violated("TextToSingle threw a failure other than TypeMismatch or Overflow");
        }
    }
}

const std::array<QLocale, 4>& Locales() {
    // ".", "," (German), "," with a space group (French), and Arabic's own separator.
    static const std::array<QLocale, 4> locales{QLocale::c(), QLocale(QLocale::German),
                                                QLocale(QLocale::French),
                                                QLocale(QLocale::Arabic, QLocale::Egypt)};
    return locales;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::TakeInput(data, size);
    for (const QLocale& locale : Locales()) {
        CheckText(g_input, locale);
    }
    // The one-argument reader follows the default format (set to "C" above).
    try {
        const float withDefault = settings::TextToSingle(g_input);
        Check(withDefault == settings::TextToSingle(g_input, QLocale::c()),
              "TextToSingle(text) differs from TextToSingle(text, C)");
    } catch (const Failure&) {
    }
    // The raw bytes as doubles too: NaN, infinities and every binade reach RoundToLong.
    for (std::size_t at = 0; at + sizeof(double) <= size; at += sizeof(double)) {
        double value = 0.0;
        std::memcpy(&value, data + at, sizeof value);
        CheckRounding(value);
    }
    return 0;
}
