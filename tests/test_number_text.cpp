// The one rule by which numbers become settings text and back.
#include <QLocale>
#include <QtTest>
#include <limits>

#include "errors/failure.h"
#include "settings/number_text.h"

using namespace Qt::StringLiterals;

class NumberTextTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void readsNumbers_data();
    void readsNumbers();
    void refusesText_data();
    void refusesText();
    void writesShortestText_data();
    void writesShortestText();
    void roundTripsEveryWrittenValue();
    void followsTheLocaleDecimalSeparator();
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void roundingOverflowsBeyond32Bits();
};

void NumberTextTest::readsNumbers_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<float>("expected");
    QTest::newRow("whole") << u"1200"_s << 1200.0f;
    QTest::newRow("negative") << u"-60"_s << -60.0f;
    QTest::newRow("fraction") << u"10.5"_s << 10.5f;
    QTest::newRow("exponent") << u"1e3"_s << 1000.0f;
    QTest::newRow("capital exponent, signed") << u"25E-1"_s << 2.5f;
    QTest::newRow("blanks around") << u" 12 "_s << 12.0f;
    QTest::newRow("tab before") << u"\t7"_s << 7.0f;
    QTest::newRow("plus sign") << u"+9"_s << 9.0f;
    QTest::newRow("leading point") << u".5"_s << 0.5f;
    QTest::newRow("trailing point") << u"5."_s << 5.0f;
    QTest::newRow("minus zero") << u"-0"_s << 0.0f;
    QTest::newRow("tiny is zero") << u"1e-400"_s << 0.0f;
    QTest::newRow("largest single") << u"3.4028234e38"_s << std::numeric_limits<float>::max();
    QTest::newRow("largest single as written back")
        << u"3.4028235E38"_s << std::numeric_limits<float>::max();
    QTest::newRow("tiny without exponent") << (u"0."_s + QString(330, u'0') + u"1"_s) << 0.0f;
    QTest::newRow("long digits, exponent brings it down")
        << (u"1"_s + QString(40, u'0') + u"e-39"_s) << 10.0f;
}

void NumberTextTest::readsNumbers() {
    QFETCH(QString, text);
    QFETCH(float, expected);
    QCOMPARE(settings::TextToSingle(text, QLocale::c()), expected);
}

void NumberTextTest::refusesText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("number");
    QTest::newRow("empty") << QString() << 13;
    QTest::newRow("blanks only") << u"   "_s << 13;
    QTest::newRow("letters") << u"abc"_s << 13;
    QTest::newRow("unit after number") << u"10pt"_s << 13;
    QTest::newRow("hexadecimal") << u"0x10"_s << 13;
    QTest::newRow("nan") << u"nan"_s << 13;
    QTest::newRow("inf") << u"inf"_s << 13;
    QTest::newRow("two points") << u"1.2.3"_s << 13;
    QTest::newRow("exponent without digits") << u"1e"_s << 13;
    QTest::newRow("sign only") << u"-"_s << 13;
    QTest::newRow("inner blank") << u"1 2"_s << 13;
    QTest::newRow("digit grouping") << u"1,200"_s << 13;
    QTest::newRow("full-width digits") << u"１２"_s << 13;
    QTest::newRow("beyond single") << u"1e39"_s << 6;
    QTest::newRow("beyond double") << u"1e309"_s << 6;
    QTest::newRow("negative beyond single") << u"-4e38"_s << 6;
    QTest::newRow("huge despite a negative exponent")
        << (u"1"_s + QString(400, u'0') + u"e-1"_s) << 6;
}

void NumberTextTest::refusesText() {
    QFETCH(QString, text);
    QFETCH(int, number);
    try {
        settings::TextToSingle(text, QLocale::c());
        QFAIL("accepted text that is not a single-precision number");
    } catch (const errors::Failure& failure) {
        QCOMPARE(failure.number(), number);
    }
}

void NumberTextTest::writesShortestText_data() {
    QTest::addColumn<float>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("twips") << 1200.0f << u"1200"_s;
    QTest::newRow("negative twips") << -60.0f << u"-60"_s;
    QTest::newRow("font size") << 10.5f << u"10.5"_s;
    QTest::newRow("single 10.2, not its double expansion") << 10.2f << u"10.2"_s;
    QTest::newRow("zero") << 0.0f << u"0"_s;
    QTest::newRow("negative zero has no sign") << -0.0f << u"0"_s;
}

void NumberTextTest::writesShortestText() {
    QFETCH(float, value);
    QFETCH(QString, expected);
    QCOMPARE(settings::SingleToText(value, QLocale::c()), expected);
}

void NumberTextTest::roundTripsEveryWrittenValue() {
    const QLocale german(QLocale::German, QLocale::Germany);
    for (const float value : {1.0f / 3.0f, 9.75f, 123456.78f, -1e-5f, 3e20f, 7e-30f}) {
        for (const QLocale& locale : {QLocale::c(), german}) {
            const QString text = settings::SingleToText(value, locale);
            QCOMPARE(settings::TextToSingle(text, locale), value);
        }
    }
}

void NumberTextTest::followsTheLocaleDecimalSeparator() {
    const QLocale german(QLocale::German, QLocale::Germany);
    QCOMPARE(settings::SingleToText(10.5f, german), u"10,5"_s);
    QCOMPARE(settings::TextToSingle(u"10,5"_s, german), 10.5f);
    QCOMPARE(settings::TextToSingle(u"10.5"_s, german), 10.5f);  // "." is always understood
    QVERIFY_THROWS_EXCEPTION(errors::Failure, settings::TextToSingle(u"10,5"_s, QLocale::c()));
}

void NumberTextTest::roundsHalfToEven_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("0.5 down to 0") << 0.5 << 0;
    QTest::newRow("1.5 up to 2") << 1.5 << 2;
    QTest::newRow("2.5 down to 2") << 2.5 << 2;
    QTest::newRow("8.5 down to 8") << 8.5 << 8;
    QTest::newRow("9.5 up to 10") << 9.5 << 10;
    QTest::newRow("50.5 down to 50") << 50.5 << 50;
    QTest::newRow("50.6 up to 51") << 50.6 << 51;
    QTest::newRow("-2.5 to -2") << -2.5 << -2;
    QTest::newRow("largest") << 2147483647.0 << 2147483647;
    QTest::newRow("smallest") << -2147483648.0 << -2147483647 - 1;
}

void NumberTextTest::roundsHalfToEven() {
    QFETCH(double, value);
    QFETCH(int, expected);
    QCOMPARE(settings::RoundToLong(value), expected);
}

void NumberTextTest::roundingOverflowsBeyond32Bits() {
    for (const double value :
         {2147483647.5, -2147483649.0, 1e10, -1e10, std::numeric_limits<double>::infinity()}) {
        try {
            settings::RoundToLong(value);
            QFAIL(qPrintable(u"no overflow for "_s + QString::number(value)));
        } catch (const errors::Failure& failure) {
            QCOMPARE(failure.number(), 6);
        }
    }
}

QTEST_APPLESS_MAIN(NumberTextTest)
#include "test_number_text.moc"
