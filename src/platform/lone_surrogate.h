#pragma once

#include <QString>

namespace platform {

// The index of the first UTF-16 surrogate in `text` without its partner, or -1. Such a
// character has no encoding anywhere, and Qt's converters would quietly replace it.
inline qsizetype FirstLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            ++i;
        } else if (c.isSurrogate()) {
            return i;
        }
    }
    return -1;
}

}  // namespace platform
