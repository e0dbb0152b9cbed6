#include "errors/unrepresentable.h"

using namespace Qt::StringLiterals;

namespace errors {

QString CharacterLabel(char32_t codePoint) {
    const QString code = u"U+"_s + QString::number(codePoint, 16).toUpper().rightJustified(4, u'0');
    switch (QChar::category(codePoint)) {
        case QChar::Other_Control:
        case QChar::Other_Format:
        case QChar::Other_Surrogate:
        case QChar::Other_PrivateUse:
        case QChar::Other_NotAssigned:
        case QChar::Separator_Line:
        case QChar::Separator_Paragraph:
            return code;
        case QChar::Mark_NonSpacing:
        case QChar::Mark_SpacingCombining:
        case QChar::Mark_Enclosing:
            return u"「\u25CC"_s + QString::fromUcs4(&codePoint, 1) + u"」"_s + code;
        default:
            return u"「"_s + QString::fromUcs4(&codePoint, 1) + u"」"_s + code;
    }
}

Failure UnrepresentableCharacter(const QString& text, qsizetype index) {
    if (index < 0 || index >= text.size()) {
        return Failure(ErrorNumber::UnrepresentableCharacter);
    }
    char32_t codePoint = text[index].unicode();
    if (text[index].isHighSurrogate() && index + 1 < text.size() &&
        text[index + 1].isLowSurrogate()) {
        codePoint = QChar::surrogateToUcs4(text[index], text[index + 1]);
    }
    return Failure(ErrorNumber::UnrepresentableCharacter, CharacterLabel(codePoint));
}

}  // namespace errors
