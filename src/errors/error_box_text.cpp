#include "errors/error_box_text.h"

#include "build_info.h"

using namespace Qt::StringLiterals;

namespace errors {

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

}  // namespace errors
