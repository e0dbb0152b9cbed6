#include "win_encoding.h"

#include <windows.h>

#include "errors/failure.h"
#include "platform/lone_surrogate.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {

std::string WindowsAnsiEncoding::encode(const QString& text) const {
    if (HasLoneSurrogate(text)) {
        throw Failure(ErrorNumber::UnrepresentableCharacter);
    }
    const UINT codePage = GetACP();
    if (codePage == CP_UTF8) {  // the "use UTF-8 worldwide" option: everything fits
        return text.toStdString();
    }
    if (text.isEmpty()) {
        return {};
    }
    const auto* wide = reinterpret_cast<const wchar_t*>(text.utf16());
    const int length = static_cast<int>(text.size());
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, nullptr, 0,
                                         nullptr, &usedDefault);
    if (size <= 0) {
        throw Failure(ErrorNumber::InvalidCall);
    }
    if (usedDefault) {
        throw Failure(ErrorNumber::UnrepresentableCharacter);
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr,
                        &usedDefault);
    return bytes;
}

}  // namespace platform
