#include "platform/posix/iconv_encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
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

bool IsUtf8Name(const QByteArray& name) {
    const QByteArray upper = name.toUpper();
    return upper == "UTF-8" || upper == "UTF8";
}

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(::iconv_open(to, from)) {}
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    ~IconvHandle() {
        if (valid()) {
            ::iconv_close(cd_);
        }
    }
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

// Converts `in` into `out`. Returns -1 when all of it converted, else the offset of the
// first input byte that did not (`out` then holds what came before it).
qsizetype Convert(const char* to, const char* from, const QByteArray& in, std::string& out) {
    IconvHandle converter(to, from);
    if (!converter.valid()) {
        throw Failure(ErrorNumber::InvalidCall);
    }
    out.assign(static_cast<size_t>(in.size()) * 2 + 16, '\0');
    char* inPtr = const_cast<char*>(in.constData());  // iconv does not write through it
    size_t inLeft = static_cast<size_t>(in.size());
    size_t done = 0;
    bool inputDone = false;
    for (;;) {
        char* outPtr = out.data() + done;
        size_t outLeft = out.size() - done;
        // Once the input is through, a call without input ends a stateful set's shift.
        const size_t result = inputDone
                                  ? ::iconv(converter.get(), nullptr, nullptr, &outPtr, &outLeft)
                                  : ::iconv(converter.get(), &inPtr, &inLeft, &outPtr, &outLeft);
        const int error = errno;
        done = out.size() - outLeft;
        if (result != static_cast<size_t>(-1)) {
            if (inputDone) {
                break;
            }
            inputDone = true;
        } else if (error == E2BIG) {
            out.resize(out.size() * 2);
        } else {
            out.resize(done);
            return in.size() - static_cast<qsizetype>(inLeft);
        }
    }
    out.resize(done);
    return -1;
}

// The start of the first character in which `text` and `other` differ.
qsizetype FirstDifference(const QString& text, const QString& other) {
    qsizetype i = 0;
    while (i < text.size() && i < other.size() && text[i] == other[i]) {
        ++i;
    }
    if (i >= text.size()) {
        i = text.size() - 1;  // `other` has more: blame the last character
    }
    if (i > 0 && text[i].isLowSurrogate() && text[i - 1].isHighSurrogate()) {
        --i;
    }
    return i;
}

}  // namespace

QByteArray IconvEncoding::SystemCodeSet() {
    const QByteArray codeSet(::nl_langinfo(CODESET));
    if (codeSet.isEmpty() || codeSet == "ANSI_X3.4-1968" || codeSet == "ASCII" ||
        codeSet == "US-ASCII") {
        return "UTF-8";
    }
    return codeSet;
}

IconvEncoding::IconvEncoding(QByteArray codeSet)
    : codeSet_(std::move(codeSet)), isUtf8_(IsUtf8Name(codeSet_)) {}

std::string IconvEncoding::encode(const QString& text) const {
    if (const qsizetype lone = FirstLoneSurrogate(text); lone >= 0) {
        throw errors::UnrepresentableCharacter(text, lone);
    }
    const QByteArray utf8 = text.toUtf8();
    if (isUtf8_) {
        return utf8.toStdString();
    }
    std::string bytes;
    if (const qsizetype stop = Convert(codeSet_.constData(), "UTF-8", utf8, bytes); stop >= 0) {
        throw errors::UnrepresentableCharacter(text, QString::fromUtf8(utf8.left(stop)).size());
    }
    // Some converters substitute a character without an error (EUC-JP writes ¥ as \ and ‾
    // as ~), so the bytes count only if they read back as the text.
    std::string back;
    Convert("UTF-8", codeSet_.constData(), QByteArray::fromStdString(bytes), back);
    const QString readBack = QString::fromUtf8(back);
    if (readBack != text) {
        throw errors::UnrepresentableCharacter(text, FirstDifference(text, readBack));
    }
    return bytes;
}

QString IconvEncoding::decode(const QByteArray& bytes) const {
    // UTF-8 is read as everywhere in the program; another set is converted to UTF-8 first,
    // iconv refusing what is not in it.
    std::string utf8;
    if (!isUtf8_ && Convert("UTF-8", codeSet_.constData(), bytes, utf8) >= 0) {
        throw Failure(ErrorNumber::UndecodableInput);
    }
    std::optional<QString> text =
        common::DecodeStrictUtf8(isUtf8_ ? QByteArrayView(bytes) : QByteArrayView(utf8));
    if (!text) {
        throw Failure(ErrorNumber::UndecodableInput);
    }
    return *std::move(text);
}

}  // namespace platform
