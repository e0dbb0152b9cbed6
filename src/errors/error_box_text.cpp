#include "show_error.h"

#include <exception>
#include <new>

#include "build_info.h"
#include "failure.h"
#include "platform/application.h"
#include "platform/dialogs.h"
#include "platform/services.h"

using namespace Qt::StringLiterals;

namespace mdlLexbin {
namespace {

struct CurrentFailure {
    std::int32_t number = 0;
    QString description;
};

// The failure of the exception being handled, whatever its type.
CurrentFailure ReadCurrentFailure() {
    const std::exception_ptr current = std::current_exception();
    if (!current) {
        return {};
    }
    try {
        std::rethrow_exception(current);
    } catch (const errors::Failure& failure) {
        return {failure.number(), failure.description()};
    } catch (const std::bad_alloc&) {
        const errors::Failure failure(errors::ErrorNumber::OutOfMemory);
        return {failure.number(), failure.description()};
    } catch (...) {
        const errors::Failure failure(errors::ErrorNumber::InternalError);
        return {failure.number(), failure.description()};
    }
}

}  // namespace

QString ErrorBoxText(std::int32_t number, const QString& location, const QString& description,
                     int majorVersion, int minorVersion) {
    const QString crlf = u"\r\n"_s;
    const QString contact = u'"' + QString::fromUtf8(build_info::kContactName) + u"\" <"_s +
                            QString::fromUtf8(build_info::kContactAddress) +
                            u"> まで連絡してください。"_s;
    return u"エラー番号:"_s + QString::number(number) + crlf +                       //
           u"場所:"_s + location + u" - Lexbin"_s + QString::number(majorVersion) +  //
           QString::number(minorVersion) + crlf +                                    //
           description + crlf +                                                      //
           u"上記の説明と、エラーの発生したときの簡単な状況を書いて、"_s + crlf +    //
           contact;
}

void ShowError(const platform::Services& services, const QString& location) {
    const CurrentFailure failure = ReadCurrentFailure();
    platform::MessageBoxRequest box;
    box.text =
        ErrorBoxText(failure.number, location, failure.description,
                     services.application.majorVersion(), services.application.minorVersion());
    box.title = u"エラー - Lexbin"_s;
    box.icon = platform::MessageIcon::Critical;
    box.systemModal = true;
    services.dialogs.messageBox(box);
}

}  // namespace mdlLexbin
