// The error box: its five lines, its style, and the trap that leads to it.
#include <QtTest>
#include <stdexcept>

#include "build_info.h"
#include "doubles/test_services.h"
#include "errors/failure.h"
#include "errors/trap.h"

using namespace Qt::StringLiterals;

class ErrorBoxTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buildsFiveLinesExactly_data();
    void buildsFiveLinesExactly();
    void trapShowsTheCurrentFailureOnce();
    void trapReportsForeignExceptionsToo();
    void trapLetsASuccessfulBodyPass();
    void fileFailureDescriptionNamesThePath();
};

void ErrorBoxTest::buildsFiveLinesExactly_data() {
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("firstThreeLines");
    QTest::newRow("file not found")
        << 53 << u"ファイルが見つかりません。"_s
        << u"エラー番号:53\r\n場所:mdlLexbin!SaveData - Lexbin12\r\nファイルが見つかりません。"_s;
    QTest::newRow("empty description")
        << 5 << QString() << u"エラー番号:5\r\n場所:mdlLexbin!SaveData - Lexbin12\r\n"_s;
    QTest::newRow("negative number")
        << -2147221504 << u"x"_s
        << u"エラー番号:-2147221504\r\n場所:mdlLexbin!SaveData - Lexbin12\r\nx"_s;
}

void ErrorBoxTest::buildsFiveLinesExactly() {
    QFETCH(int, number);
    QFETCH(QString, description);
    QFETCH(QString, firstThreeLines);
    const QString contact = u"\""_s + QString::fromUtf8(build_info::kContactName) + u"\" <"_s +
                            QString::fromUtf8(build_info::kContactAddress) +
                            u"> まで連絡してください。"_s;
    const QString text =
        mdlLexbin::ErrorBoxText(number, u"mdlLexbin!SaveData"_s, description, 1, 2);
    QCOMPARE(text, firstThreeLines +
                       u"\r\n上記の説明と、エラーの発生したときの簡単な状況を書いて、\r\n"_s +
                       contact);
    QCOMPARE(text.split(u"\r\n"_s).size(), 5);
    QVERIFY(!text.endsWith(u"\r\n"_s));
}

void ErrorBoxTest::trapShowsTheCurrentFailureOnce() {
    TestServices ts;
    ts.application.major = 3;
    ts.application.minor = 10;
    bool after = false;
    const bool ran = mdlLexbin::Trap(ts.services(), u"frmMain!Form_Load"_s, [&] {
        throw errors::Failure(errors::ErrorNumber::TypeMismatch);
        after = true;
    });
    QVERIFY(!ran);
    QVERIFY(!after);
    QCOMPARE(ts.dialogs.shown.size(), 1);
    const platform::MessageBoxRequest& box = ts.dialogs.shown[0];
    QCOMPARE(box.title, u"エラー - Lexbin"_s);
    QCOMPARE(box.icon, platform::MessageIcon::Critical);
    QVERIFY(box.systemModal);
    QVERIFY(box.text.startsWith(
        u"エラー番号:13\r\n場所:frmMain!Form_Load - Lexbin310\r\n型が一致しません。\r\n"_s));
}

void ErrorBoxTest::trapReportsForeignExceptionsToo() {
    TestServices ts;
    QVERIFY(!mdlLexbin::Trap(ts.services(), u"x!y"_s, [] { throw std::runtime_error("boom"); }));
    QVERIFY(!mdlLexbin::Trap(ts.services(), u"x!y"_s, [] { throw std::bad_alloc(); }));
    QCOMPARE(ts.dialogs.shown.size(), 2);
    QVERIFY(ts.dialogs.shown[0].text.startsWith(u"エラー番号:51\r\n"_s));
    QVERIFY(ts.dialogs.shown[1].text.startsWith(u"エラー番号:7\r\n"_s));
}

void ErrorBoxTest::trapLetsASuccessfulBodyPass() {
    TestServices ts;
    int runs = 0;
    QVERIFY(mdlLexbin::Trap(ts.services(), u"x!y"_s, [&] { ++runs; }));
    QCOMPARE(runs, 1);
    QVERIFY(ts.dialogs.shown.isEmpty());
}

void ErrorBoxTest::fileFailureDescriptionNamesThePath() {
    const errors::Failure failure(errors::ErrorNumber::PathNotFound, u"/home/u/memo/x.txt"_s);
    QCOMPARE(failure.number(), 76);
    QCOMPARE(failure.description(), u"パスが見つかりません。 (/home/u/memo/x.txt)"_s);
}

QTEST_APPLESS_MAIN(ErrorBoxTest)
#include "test_error_box.moc"
