#include "settings/number_text.h"

#include <QLocale>
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>
#include <utility>

#include "errors/failure.h"

using errors::ErrorNumber;
using errors::Failure;
using namespace Qt::StringLiterals;

namespace settings {
namespace {

bool IsSpaceOrTab(QChar c) {
    return c == u' ' || c == u'\t';
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// Whether a number in the "C" form of ReadDecimalPrefix is below one in size: its first
// significant digit stands after the point once the exponent is applied. Tells a value too
// small for a double from one too large, whatever the exponent's sign ("0.000...1" has none,
// "1000...0e-1" a negative one).
bool BelowOne(const std::string& plain) {
    const auto e = plain.find('e');
    long long exponent = 0;
    if (e != std::string::npos) {
        for (auto i = e + 1; i < plain.size(); ++i) {
            if (plain[i] >= '0' && plain[i] <= '9') {
                // Held far beyond any text's length, so the sum below stays exact.
                exponent = std::min(exponent * 10 + (plain[i] - '0'), 1'000'000'000'000'000LL);
            }
        }
        if (plain[e + 1] == '-') {
            exponent = -exponent;
        }
    }
    const std::string mantissa = plain.substr(0, e);
    const auto point = std::min(mantissa.find('.'), mantissa.size());
    const auto first = mantissa.find_first_of("123456789");
    if (first == std::string::npos) {
        return true;  // zero
    }
    // The first significant digit's place: 1 for units, 0 for tenths, -1 for hundredths...
    const long long place = first < point ? static_cast<long long>(point - first)
                                          : -static_cast<long long>(first - point - 1);
    return place + exponent <= 0;
}

}  // namespace

QString SingleToText(float value) {
    return SingleToText(value, QLocale());
}

QString SingleToText(float value, const QLocale& locale) {
    if (value == 0.0f) {
        return u"0"_s;  // no "-0"
    }
    std::array<char, 64> buffer{};
    const auto result = std::to_chars(buffer.data(), buffer.data() + buffer.size(), value);
    QString text = QString::fromLatin1(buffer.data(), result.ptr - buffer.data());
    text.replace(u'.', locale.decimalPoint());
    text.replace(u'e', u'E');
    return text;
}

float TextToSingle(const QString& text) {
    return TextToSingle(text, QLocale());
}

float TextToSingle(const QString& text, const QLocale& locale) {
    const double value = TextToDouble(text, locale);
    // Beyond single precision means rounding to infinity: from half a unit above the largest
    // single on (2^128 - 2^103, which rounds to even, up). Up to there the value rounds down
    // to the largest single, as "3.4028235E38", the text SingleToText writes for it, does.
    const double limit = std::ldexp(2.0 - std::ldexp(1.0, -std::numeric_limits<float>::digits),
                                    std::numeric_limits<float>::max_exponent - 1);
    if (std::fabs(value) >= limit) {
        throw Failure(ErrorNumber::Overflow);
    }
    return static_cast<float>(value);
}

DecimalPrefix ReadDecimalPrefix(const QString& text, qsizetype from, QChar decimalPoint) {
    DecimalPrefix number{{}, from};
    std::string plain;
    qsizetype i = from;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        if (text[i] == u'-') {
            plain += '-';
        }
        ++i;
    }
    bool digits = false;
    bool seenPoint = false;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (IsDigit(c)) {
            plain += static_cast<char>(c.unicode());
            digits = true;
        } else if (!seenPoint && (c == u'.' || c == decimalPoint)) {
            plain += '.';
            seenPoint = true;
        } else {
            break;
        }
    }
    if (!digits) {
        return number;
    }
    // An exponent counts only with digits: "1e" and "1e+" end before the "e".
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            exponent += static_cast<char>(text[j++].unicode());
        }
        const qsizetype firstDigit = j;
        for (; j < text.size() && IsDigit(text[j]); ++j) {
            exponent += static_cast<char>(text[j].unicode());
        }
        if (j > firstDigit) {
            plain += exponent;
            i = j;
        }
    }
    return {std::move(plain), i};
}

double PlainDecimalToDouble(const std::string& plain) {
    double value = 0.0;
    const auto result = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large overflows; too small is as good as zero.
        if (!BelowOne(plain)) {
            throw Failure(ErrorNumber::Overflow);
        }
        return plain.front() == '-' ? -0.0 : 0.0;
    }
    if (result.ec != std::errc() || result.ptr != plain.data() + plain.size()) {
        throw Failure(ErrorNumber::TypeMismatch);
    }
    return value;
}

double TextToDouble(const QString& text, const QLocale& locale) {
    const QString point = locale.decimalPoint();
    qsizetype i = 0;
    while (i < text.size() && IsSpaceOrTab(text[i])) {
        ++i;
    }
    const DecimalPrefix number =
        ReadDecimalPrefix(text, i, point.size() == 1 ? point[0] : QChar(u'.'));
    i = number.end;
    while (i < text.size() && IsSpaceOrTab(text[i])) {
        ++i;
    }
    if (number.plain.empty() || i != text.size()) {
        throw Failure(ErrorNumber::TypeMismatch);  // the whole text must be the number
    }
    return PlainDecimalToDouble(number.plain);
}

std::int32_t RoundToLong(double value) {
    if (!std::isfinite(value)) {
        throw Failure(ErrorNumber::Overflow);
    }
    const double rounded = std::nearbyint(value);  // the default mode rounds half to even
    if (rounded < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        throw Failure(ErrorNumber::Overflow);
    }
    return static_cast<std::int32_t>(rounded);
}

}  // namespace settings
