#include "resource_id.h"

#include <QLocale>
#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

#include "errors/failure.h"
#include "settings/number_text.h"

namespace captions {
namespace {

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The number a text begins with, taken apart.
struct LeadingNumber {
    std::string sign;      // "-" or empty
    std::string whole;     // the digits before the point
    std::string fraction;  // the digits after it
    std::string exponent;  // the optionally signed digits after E, or empty
};

// Appends the ASCII digits starting at `i` to `out`; returns the index after them.
qsizetype TakeDigits(const QString& text, qsizetype i, std::string& out) {
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        out += static_cast<char>(text[i].unicode());
    }
    return i;
}

LeadingNumber ReadLeadingNumber(const QString& text) {
    LeadingNumber number;
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i])) {
        ++i;
    }
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        number.sign = text[i] == u'-' ? "-" : "";
        ++i;
    }
    i = TakeDigits(text, i, number.whole);
    if (i < text.size() && text[i] == u'.') {
        i = TakeDigits(text, i + 1, number.fraction);
    }
    // An exponent counts only with digits: "1e" and "1e+" read as 1.
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponent += static_cast<char>(text[j].unicode());
            ++j;
        }
        if (TakeDigits(text, j, exponent) > j) {
            number.exponent = exponent;
        }
    }
    return number;
}

// The exponent's value, held within +-10^15: far beyond any text's length, so that the
// magnitude below stays exact whatever the count of digits it is added to (a text of a
// million zeros and "e-1000000" is still a small number).
long long ExponentValue(const std::string& exponent) {
    const bool negative = !exponent.empty() && exponent.front() == '-';
    long long value = 0;
    for (const char c : exponent) {
        if (c >= '0' && c <= '9') {
            value = std::min(value * 10 + (c - '0'), 1'000'000'000'000'000LL);
        }
    }
    return negative ? -value : value;
}

// The power of ten just above the number's size: 10^(m-1) <= |value| < 10^m. Lets a huge or
// tiny value be judged before it is converted, so the conversion never leaves double range.
long long Magnitude(const LeadingNumber& number) {
    const auto significant = number.whole.find_first_not_of('0');
    long long position = 0;
    if (significant != std::string::npos) {
        position = static_cast<long long>(number.whole.size() - significant);
    } else {
        position = -static_cast<long long>(number.fraction.find_first_not_of('0'));
    }
    return position + ExponentValue(number.exponent);
}

}  // namespace

std::int32_t StrictWholeNumber(const QString& text) {
    return settings::RoundToLong(settings::TextToDouble(text, QLocale()));
}

std::int16_t StrictShortNumber(const QString& text) {
    const std::int32_t value = StrictWholeNumber(text);
    if (value < std::numeric_limits<std::int16_t>::min() ||
        value > std::numeric_limits<std::int16_t>::max()) {
        throw errors::Failure(errors::ErrorNumber::Overflow);
    }
    return static_cast<std::int16_t>(value);
}

std::int32_t LeadingWholeNumber(const QString& text) {
    const LeadingNumber number = ReadLeadingNumber(text);
    const bool allZero = number.whole.find_first_not_of('0') == std::string::npos &&
                         number.fraction.find_first_not_of('0') == std::string::npos;
    if (allZero) {
        return 0;  // no digits at all, or only zeros
    }
    const long long magnitude = Magnitude(number);
    if (magnitude > 10) {
        throw errors::Failure(errors::ErrorNumber::Overflow);  // at least 10^10
    }
    if (magnitude < 0) {
        return 0;  // below 0.1
    }
    // Spelt out in full ("0.5", not ".5") so that from_chars needs no leniency of its own.
    std::string plain = number.sign + (number.whole.empty() ? "0" : number.whole);
    if (!number.fraction.empty()) {
        plain += '.' + number.fraction;
    }
    if (!number.exponent.empty()) {
        plain += 'e' + number.exponent;
    }
    double value = 0.0;
    std::from_chars(plain.data(), plain.data() + plain.size(), value);
    return settings::RoundToLong(value);
}

}  // namespace captions
