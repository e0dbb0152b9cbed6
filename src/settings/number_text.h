#pragma once

#include <QString>
#include <cstdint>
#include <string>

class QLocale;

namespace settings {

// Numbers kept as text (settings values, the font size typed in the dialog) are written and
// read by this one pair, in the user's number format (the default QLocale).

// The shortest text that reads back as the same single-precision value: no leading blank,
// no digit grouping, "-" for negatives, the locale's decimal separator.
QString SingleToText(float value);
QString SingleToText(float value, const QLocale& locale);

// Reads a decimal number: blanks around it, an optional sign, digits with an optional
// decimal point (the locale's separator or "."), an optional exponent (E or e, optionally
// signed digits). Throws errors::Failure: TypeMismatch for anything else (the empty text
// included), Overflow for a value beyond single precision.
float TextToSingle(const QString& text);
float TextToSingle(const QString& text, const QLocale& locale);
// The same rule, kept in double precision (Overflow only beyond double precision).
double TextToDouble(const QString& text, const QLocale& locale);

// The decimal number that starts at `from` (no blanks skipped): an optional sign, digits with
// an optional point (`decimalPoint` or "."), and an exponent only when digits follow it.
// `plain` is its "C" form, empty when there are no digits; `end` the index after it.
struct DecimalPrefix {
    std::string plain;
    qsizetype end;
};
DecimalPrefix ReadDecimalPrefix(const QString& text, qsizetype from, QChar decimalPoint);
// The value of such a "C" form: Overflow beyond double precision, zero below it.
double PlainDecimalToDouble(const std::string& plain);

// Rounds to the nearest whole number, exactly half going to the even neighbour. Throws
// errors::Failure (Overflow) outside the 32-bit range.
std::int32_t RoundToLong(double value);

}  // namespace settings
