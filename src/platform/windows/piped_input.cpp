#include "platform/windows/piped_input.h"

#include <windows.h>

#include "common/utf8.h"

namespace platform {

std::optional<QString> DecodePipedInput(QByteArrayView bytes, unsigned codePage) {
    std::optional<QString> utf8 = common::DecodeStrictUtf8(bytes);
    if (utf8 || bytes.startsWith("\xEF\xBB\xBF") || codePage == CP_UTF8) {
        return utf8;
    }
    // MB_ERR_INVALID_CHARS: a sequence the code page does not define fails, rather than
    // reading as the default character.
    const int length = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0);
    if (size <= 0) {
        return std::nullopt;
    }
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length,
                        reinterpret_cast<wchar_t*>(text.data()), size);
    return text;
}

}  // namespace platform
