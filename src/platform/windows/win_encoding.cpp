#include "platform/windows/win_encoding.h"

#include <windows.h>

#include <optional>
#include <utility>

#include "common/utf8.h"
#include "errors/failure.h"
#include "errors/unrepresentable.h"
#include "platform/lone_surrogate.h"

using errors::ErrorNumber;
using errors::Failure;

namespace platform {
namespace {

// The index of the first character of `text` that the code page lacks: converted alone, it
// needs the default character.
qsizetype FirstUnmapped(UINT codePage, const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        char bytes[16];
        BOOL usedDefault = FALSE;
        WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS,
                            reinterpret_cast<const wchar_t*>(text.utf16() + i), length, bytes,
                            sizeof bytes, nullptr, &usedDefault);
        if (usedDefault) {
            return i;
        }
        i += length - 1;
    }
    return -1;
}

}  // namespace

std::string WindowsAnsiEncoding::encode(const QString& text) const {
    if (const qsizetype lone = FirstLoneSurrogate(text); lone >= 0) {
        throw errors::UnrepresentableCharacter(text, lone);
    }
    const UINT codePage = codePage_ == CP_ACP ? GetACP() : codePage_;
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
        throw errors::UnrepresentableCharacter(text, FirstUnmapped(codePage, text));
    }
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, bytes.data(), size, nullptr,
                        &usedDefault);
    return bytes;
}

QString WindowsAnsiEncoding::decode(const QByteArray& bytes) const {
    const UINT codePage = codePage_ == CP_ACP ? GetACP() : codePage_;
    if (codePage == CP_UTF8) {  // read as everywhere in the program
        std::optional<QString> text = common::DecodeStrictUtf8(bytes);
        if (!text) {
            throw Failure(ErrorNumber::UndecodableInput);
        }
        return *std::move(text);
    }
    if (bytes.isEmpty()) {
        return {};
    }
    // MB_ERR_INVALID_CHARS: a byte sequence the code page does not define fails, rather than
    // reading as the default character.
    const int length = static_cast<int>(bytes.size());
    const int size =
        MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.constData(), length, nullptr, 0);
    if (size <= 0) {
        throw Failure(ErrorNumber::UndecodableInput);
    }
    QString text(size, Qt::Uninitialized);
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.constData(), length,
                        reinterpret_cast<wchar_t*>(text.data()), size);
    if (text.startsWith(QChar::ByteOrderMark)) {
        text.remove(0, 1);
    }
    return text;
}

}  // namespace platform
