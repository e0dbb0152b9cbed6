#pragma once

#include <QByteArrayView>
#include <QString>
#include <optional>

namespace common {

// `bytes` read as UTF-8, strictly: nothing when they are not UTF-8 (a stray or cut byte, an
// overlong form, an encoded surrogate), never U+FFFD in their place. A byte order mark at
// the start is dropped; one further on is a character. The one way the program reads UTF-8.
std::optional<QString> DecodeStrictUtf8(QByteArrayView bytes);

}  // namespace common
