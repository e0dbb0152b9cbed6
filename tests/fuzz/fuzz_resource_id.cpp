// libFuzzer target: the three readers of string table numbers. Any bytes, read as UTF-8, go
// through StrictWholeNumber, StrictShortNumber and LeadingWholeNumber; each may only return or
// throw errors::Failure, and their answers must agree with one another.
#include <QLocale>
#include <QString>
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "captions/resource_id.h"
#include "errors/failure.h"
#include "fuzz_check.h"

using errors::ErrorNumber;
using errors::Failure;

namespace {

using fuzz::Check;
using fuzz::g_input;
using fuzz::Violated;

constexpr std::int32_t kTypeMismatch = static_cast<std::int32_t>(ErrorNumber::TypeMismatch);
constexpr std::int32_t kOverflow = static_cast<std::int32_t>(ErrorNumber::Overflow);

// One reader's answer: a value, or the number of the failure it threw.
struct Outcome {
    std::optional<std::int32_t> value;
    std::int32_t failure = 0;
};

template <typename Reader>
Outcome Read(Reader reader, const QString& text, const char* name) {
    Outcome outcome;
    try {
        outcome.value = reader(text);
    } catch (const Failure& failure) {
        outcome.failure = failure.number();
        if (outcome.failure != kTypeMismatch && outcome.failure != kOverflow) {
            std::fprintf(stderr, "%s threw failure %d\n", name, outcome.failure);
            Violated("a reader threw a failure other than TypeMismatch or Overflow");
        }
    }
    return outcome;
}

bool IsBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool IsDigit(QChar c) {
    return c >= u'0' && c <= u'9';
}

// The number a text begins with, as the rule for a control's tag reads it, taken out on its
// own: after blanks, an optional sign, digits, "." and digits, and an exponent only when it
// has digits. Sets `hasDigits` when the digits before the exponent are not all missing.
QString LeadingPart(const QString& text, bool& hasDigits) {
    qsizetype i = 0;
    while (i < text.size() && IsBlank(text[i])) ++i;
    const qsizetype begin = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i) ++digits;
    if (i < text.size() && text[i] == u'.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) ++digits;
    }
    hasDigits = digits > 0;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        const qsizetype firstExponentDigit = j;
        while (j < text.size() && IsDigit(text[j])) ++j;
        if (j > firstExponentDigit)
            i = j;
    }
    return text.mid(begin, i - begin);
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The strict readers follow the default number format; "." makes it the same point the
    // leading reader always uses.
    QLocale::setDefault(QLocale::c());
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::TakeInput(data, size);
    const Outcome whole = Read(captions::StrictWholeNumber, g_input, "StrictWholeNumber");
    const Outcome shortNumber = Read(captions::StrictShortNumber, g_input, "StrictShortNumber");
    const Outcome leading = Read(captions::LeadingWholeNumber, g_input, "LeadingWholeNumber");

    // The short reader: the whole reader's value within -32768..32767, Overflow outside it.
    if (shortNumber.value) {
        Check(*shortNumber.value >= -32768 && *shortNumber.value <= 32767,
              "StrictShortNumber returned a value outside 16 bits");
        Check(whole.value == shortNumber.value, "StrictShortNumber differs from StrictWholeNumber");
    } else if (shortNumber.failure == kTypeMismatch) {
        Check(whole.failure == kTypeMismatch,
              "StrictShortNumber threw TypeMismatch where StrictWholeNumber did not");
    } else {
        Check(whole.failure == kOverflow ||
                  (whole.value && (*whole.value < -32768 || *whole.value > 32767)),
              "StrictShortNumber threw Overflow for a number within 16 bits");
    }

    // The leading reader never refuses a text; it only overflows.
    Check(leading.value || leading.failure == kOverflow,
          "LeadingWholeNumber threw a failure other than Overflow");

    // A whole text the strict reader accepts begins with that same number.
    if (whole.value) {
        Check(leading.value == whole.value,
              "StrictWholeNumber accepted the text, LeadingWholeNumber read another value");
    }

    // The leading reader reads what the strict reader reads of the leading part alone; a text
    // that begins with no digits is 0.
    bool hasDigits = false;
    const QString part = LeadingPart(g_input, hasDigits);
    if (!hasDigits) {
        Check(leading.value == 0, "LeadingWholeNumber of a text without leading digits is not 0");
    } else {
        const Outcome ofPart = Read(captions::StrictWholeNumber, part, "StrictWholeNumber(part)");
        Check(ofPart.failure != kTypeMismatch, "the leading part is not a number");
        Check(leading.value == ofPart.value && leading.failure == ofPart.failure,
              "LeadingWholeNumber differs from StrictWholeNumber of the leading part");
    }
    return 0;
}
