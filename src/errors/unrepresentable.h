#pragma once

#include <QString>

#include "errors/failure.h"

namespace errors {

// How an error description names a character: the character in corner brackets and its
// code point ("「¥」U+00A5"), or the code point alone ("U+200F") for a character that would
// show nothing or break the line: controls, format characters, line and paragraph
// separators, lone surrogates, private use and unassigned code points. A combining mark
// sits on a dotted circle so the bracket does not carry it.
QString CharacterLabel(char32_t codePoint);

// The unrepresentable-character failure naming the character that starts at `index` of
// `text` (a UTF-16 index; a surrogate pair counts as one character); without a name when
// `index` lies outside the text.
Failure UnrepresentableCharacter(const QString& text, qsizetype index);

}  // namespace errors
