#pragma once

#include <QString>

namespace platform {

// Whether `text` holds a UTF-16 surrogate without its partner. Such a character has no
// encoding anywhere, and Qt's converters would quietly replace it.
inline bool HasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return true;
        }
    }
    return false;
}

}  // namespace platform
