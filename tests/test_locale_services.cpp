// What the platform takes from the user's locale: date and time separators, the code page.
#include <clocale>

#include <QtTest>

#include "errors/failure.h"
#include "platform/posix/iconv_encoding.h"
#include "platform/qtcore/system_clock.h"

using namespace Qt::StringLiterals;

class LocaleServicesTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void separatorsFromFormats_data();
    void separatorsFromFormats();
    void separatorsOfTheRunningLocaleAreUsable();
    void plainAsciiLocaleCountsAsUtf8();
    void encodesIntoNamedCodeSets_data();
    void encodesIntoNamedCodeSets();
};

void LocaleServicesTest::separatorsFromFormats_data() {
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("fields");
    QTest::addColumn<QString>("expected");
    const QString date = u"dMy"_s;
    const QString time = u"hHm"_s;
    QTest::newRow("Japanese date") << u"yyyy/MM/dd"_s << date << u"/"_s;
    QTest::newRow("German date") << u"dd.MM.yy"_s << date << u"."_s;
    QTest::newRow("ISO date") << u"yyyy-MM-dd"_s << date << u"-"_s;
    QTest::newRow("blank-separated date") << u"d MMM yyyy"_s << date << u"/"_s;
    QTest::newRow("Korean date, dot and blank") << u"yy. M. d."_s << date << u"/"_s;
    QTest::newRow("comma would split the record") << u"d,M,yy"_s << date << u"/"_s;
    QTest::newRow("quoted literal skipped") << u"'day' d-M-y"_s << date << u"-"_s;
    QTest::newRow("no separator") << u"yyyyMMdd"_s << date << u"/"_s;
    QTest::newRow("empty format") << QString() << date << u"/"_s;
    QTest::newRow("24-hour time") << u"HH:mm"_s << time << u":"_s;
    QTest::newRow("Finnish time") << u"H.mm"_s << time << u"."_s;
    QTest::newRow("AM/PM before hour") << u"AP h:mm"_s << time << u":"_s;
    QTest::newRow("letter separator") << u"HHhmm"_s << time << u":"_s;
}

void LocaleServicesTest::separatorsFromFormats() {
    QFETCH(QString, format);
    QFETCH(QString, fields);
    QFETCH(QString, expected);
    QCOMPARE(platform::SeparatorFromFormat(format, fields, expected == u"/"_s ? u"/"_s : u":"_s),
             expected);
}

void LocaleServicesTest::separatorsOfTheRunningLocaleAreUsable() {
    const platform::DateTimeSeparators separators = platform::SystemClock().separators();
    for (const QString& separator : {separators.date, separators.time}) {
        QVERIFY(!separator.isEmpty());
        QVERIFY(!separator.contains(u','));
        QVERIFY(!separator.contains(u' '));
    }
}

void LocaleServicesTest::plainAsciiLocaleCountsAsUtf8() {
    const QByteArray saved = std::setlocale(LC_CTYPE, nullptr);
    std::setlocale(LC_CTYPE, "C");
    const QByteArray codeSet = platform::IconvEncoding::SystemCodeSet();
    std::setlocale(LC_CTYPE, saved.constData());
    QCOMPARE(codeSet, QByteArray("UTF-8"));
}

void LocaleServicesTest::encodesIntoNamedCodeSets_data() {
    QTest::addColumn<QByteArray>("codeSet");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("CP932 kana and kanji") << QByteArray("CP932") << u"日本語メモ"_s
                                          << QByteArray("\x93\xfa\x96\x7b\x8c\xea\x83\x81\x83\x82");
    QTest::newRow("CP932 half-width kana") << QByteArray("CP932") << u"ｱ"_s << QByteArray("\xb1");
    QTest::newRow("CP932 wave dash as Windows writes it")
        << QByteArray("CP932") << u"～"_s << QByteArray("\x81\x60");
    QTest::newRow("UTF-8 emoji") << QByteArray("UTF-8") << u"\U0001F600"_s
                                 << QByteArray("\xf0\x9f\x98\x80");
    QTest::newRow("Latin-1") << QByteArray("ISO-8859-1") << u"é"_s << QByteArray("\xe9");
}

void LocaleServicesTest::encodesIntoNamedCodeSets() {
    QFETCH(QByteArray, codeSet);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QCOMPARE(QByteArray::fromStdString(platform::IconvEncoding(codeSet).encode(text)), bytes);
}

QTEST_GUILESS_MAIN(LocaleServicesTest)
#include "test_locale_services.moc"
