#include "storage/note_record.h"

#include "platform/clock.h"

using namespace Qt::StringLiterals;

namespace storage {
namespace {

QString TwoDigits(int value) {
    return QString::number(value).rightJustified(2, u'0');
}

}  // namespace

bool IsLineBreak(QChar c) {
    return c == u'\n' || c == u'\r' || c == QChar::ParagraphSeparator ||
           c == QChar::LineSeparator || c == QChar(0xFDD0) || c == QChar(0xFDD1);
}

QString WithCrLfBreaks(const QString& text) {
    QString withCrLf;
    withCrLf.reserve(text.size() + text.size() / 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (!IsLineBreak(c)) {
            withCrLf += c;
            continue;
        }
        withCrLf += u"\r\n"_s;
        if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            ++i;
        }
    }
    return withCrLf;
}

qsizetype NoteLength(const QString& text) {
    return text.size() - text.count(u"\r\n"_s);
}

QString FlattenNote(const QString& text) {
    QString flat = text;
    flat.remove(QChar(0));  // first, so that a CR NUL LF cannot leave a CR LF behind
    flat.remove(u"\r\n"_s);
    return flat;
}

bool IsOnlySpaces(const QString& text) {
    for (const QChar c : text) {
        if (c != u' ' && c != QChar(0x3000)) {
            return false;
        }
    }
    return true;
}

QString BuildRecord(const platform::LocalTime& time, const platform::DateTimeSeparators& separators,
                    Importance importance, const QString& flatText) {
    const QString date = QString::number(time.year).rightJustified(4, u'0') + separators.date +
                         TwoDigits(time.month) + separators.date + TwoDigits(time.day);
    const QString clock = TwoDigits(time.hour) + separators.time + TwoDigits(time.minute);
    return date + u',' + clock + u',' + ImportanceCode(importance) + u',' + flatText;
}

}  // namespace storage
