#include "platform/qtcore/system_clock.h"

#include <QLocale>
#include <ctime>

using namespace Qt::StringLiterals;

namespace platform {

QString SeparatorFromFormat(const QString& format, const QString& fieldLetters,
                            const QString& fallback) {
    const auto isLetter = [](QChar c) {
        return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    };
    qsizetype i = 0;
    while (i < format.size() && !fieldLetters.contains(format[i])) {
        if (format[i] == u'\'') {  // skip a quoted literal
            i = format.indexOf(u'\'', i + 1);
            if (i < 0) {
                return fallback;
            }
        }
        ++i;
    }
    while (i < format.size() && fieldLetters.contains(format[i])) {
        ++i;
    }
    // Format characters (the right-to-left marks of Arabic formats) are invisible, and
    // most code pages lack them: they are left out.
    QString separator;
    for (; i < format.size() && !isLetter(format[i]); ++i) {
        if (format[i].category() != QChar::Other_Format) {
            separator += format[i];
        }
    }
    if (separator.isEmpty() || i == format.size()) {
        return fallback;
    }
    for (const QChar c : separator) {
        if (c.isSpace() || c == u',' || c == u'\'' || c == u'"' || c.isLetterOrNumber()) {
            return fallback;
        }
    }
    return separator;
}

LocalTime SystemClock::now() const {
    // One conversion to local time (QDateTime would consult the time zone once per part).
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min};
}

DateTimeSeparators SystemClock::separators() const {
    const QLocale locale = QLocale::system();
    return {SeparatorFromFormat(locale.dateFormat(QLocale::ShortFormat), u"dMy"_s, u"/"_s),
            SeparatorFromFormat(locale.timeFormat(QLocale::ShortFormat), u"hHm"_s, u":"_s)};
}

}  // namespace platform
