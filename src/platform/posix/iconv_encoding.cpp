#include "iconv_encoding.h"

#include <iconv.h>
#include <langinfo.h>

#include <cerrno>
#include <utility>

#include "errors/failure.h"
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
    if (HasLoneSurrogate(text)) {
        throw Failure(ErrorNumber::UnrepresentableCharacter);
    }
    QByteArray utf8 = text.toUtf8();
    if (isUtf8_) {
        return utf8.toStdString();
    }
    IconvHandle converter(codeSet_.constData(), "UTF-8");
    if (!converter.valid()) {
        throw Failure(ErrorNumber::InvalidCall);
    }
    // No multibyte set takes more than 4 bytes per UTF-8 byte; stateful sets add a shift.
    std::string out(static_cast<size_t>(utf8.size()) * 4 + 16, '\0');
    char* in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    char* outPtr = out.data();
    size_t outLeft = out.size();
    if (::iconv(converter.get(), &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) ||
        ::iconv(converter.get(), nullptr, nullptr, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
        throw Failure(errno == E2BIG ? ErrorNumber::InvalidCall
                                     : ErrorNumber::UnrepresentableCharacter);
    }
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace platform
