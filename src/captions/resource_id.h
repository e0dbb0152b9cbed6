#pragma once

#include <QString>
#include <cstdint>

namespace captions {

// The three ways a form's texts name a string table entry. Each throws errors::Failure.

// A form's tag: the whole text is a decimal number (settings::TextToDouble in the user's
// number format), rounded half to even. TypeMismatch for anything else, the empty text
// included; Overflow outside 32 bits.
std::int32_t StrictWholeNumber(const QString& text);

// A menu caption: as StrictWholeNumber, but Overflow outside -32768..32767.
std::int16_t StrictShortNumber(const QString& text);

// A control's tag: the number the text begins with, after leading blanks (spaces, tabs).
// Reading stops at the first character that does not fit; a text without leading digits is
// 0. Always '.' as the decimal point, whatever the locale. Rounded half to even; Overflow
// outside 32 bits.
std::int32_t LeadingWholeNumber(const QString& text);

}  // namespace captions
