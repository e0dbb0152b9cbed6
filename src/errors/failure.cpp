#include "errors/failure.h"

using namespace Qt::StringLiterals;

namespace errors {

QString Description(ErrorNumber number) {
    switch (number) {
        case ErrorNumber::InvalidCall:
            return u"プロシージャの呼び出し、または引数が不正です。"_s;
        case ErrorNumber::Overflow:
            return u"オーバーフローしました。"_s;
        case ErrorNumber::OutOfMemory:
            return u"メモリが不足しています。"_s;
        case ErrorNumber::TypeMismatch:
            return u"型が一致しません。"_s;
        case ErrorNumber::InternalError:
            return u"内部エラーです。"_s;
        case ErrorNumber::BadFileName:
            return u"ファイル名または番号が不正です。"_s;
        case ErrorNumber::FileNotFound:
            return u"ファイルが見つかりません。"_s;
        case ErrorNumber::DeviceIO:
            return u"デバイス I/O エラーです。"_s;
        case ErrorNumber::DiskFull:
            return u"ディスクの空き容量が不足しています。"_s;
        case ErrorNumber::PermissionDenied:
            return u"書き込みできません。"_s;
        case ErrorNumber::PathFileAccess:
            return u"パス名が無効です。"_s;
        case ErrorNumber::PathNotFound:
            return u"パスが見つかりません。"_s;
        case ErrorNumber::ResourceNotFound:
            return u"指定されたリソース ID のデータが見つかりません。"_s;
        case ErrorNumber::InvalidPropertyValue:
            return u"プロパティの値が不正です。"_s;
        case ErrorNumber::PropertyNotSupported:
            return u"オブジェクトは、このプロパティまたはメソッドをサポートしていません。"_s;
        case ErrorNumber::UnrepresentableCharacter:
            return u"データファイルの文字コードで表せない文字がメモに含まれています。"_s;
        case ErrorNumber::SettingsNotWritable:
            return u"設定を保存できません。"_s;
        case ErrorNumber::SettingsNotReadable:
            return u"設定を読み込めません。"_s;  // a file on Linux, a registry key on Windows
        case ErrorNumber::UndecodableInput:
            return u"入力に、ロケールの文字コードで読めないバイト列が含まれています。"_s;
        case ErrorNumber::NoteTooLong:
            return u"メモが長すぎます（16777216 文字まで）。"_s;
        case ErrorNumber::StandardInputUnreadable:
            return u"標準入力を読み込めません。"_s;
    }
    return {};
}

Failure::Failure(ErrorNumber number)
    : Failure(static_cast<std::int32_t>(number), Description(number)) {}

Failure::Failure(ErrorNumber number, const QString& path)
    : Failure(static_cast<std::int32_t>(number),
              path.isEmpty() ? Description(number) : Description(number) + u" ("_s + path + u')') {}

Failure::Failure(std::int32_t number, const QString& description)
    : number_(number),
      description_(description),
      what_(std::to_string(number) + ' ' + description.toStdString()) {}

}  // namespace errors
