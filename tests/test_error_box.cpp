// The error box: its five lines, its style, and the trap that leads to it.
#include <QtTest>
#include <stdexcept>

#include "app/error_box_reporter.h"
#include "build_info.h"
#include "doubles/fake_application.h"
#include "doubles/recording_reporter.h"
#include "doubles/scripted_dialogs.h"
#include "errors/error_box_text.h"
#include "errors/failure.h"
#include "errors/trap.h"

using namespace Qt::StringLiterals;

class ErrorBoxTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void buildsFiveLinesExactly_data();
    void buildsFiveLinesExactly();
    void boxShowsTheFailureSystemModal();
    void trapReportsTheCurrentFailureOnce();
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
    const QString text = errors::ErrorBoxText(number, u"mdlLexbin!SaveData"_s, description, 1, 2);
    QCOMPARE(text, firstThreeLines +
                       u"\r\n上記の説明と、エラーの発生したときの簡単な状況を書いて、\r\n"_s +
                       contact);
    QCOMPARE(text.split(u"\r\n"_s).size(), 5);
    QVERIFY(!text.endsWith(u"\r\n"_s));
}

void ErrorBoxTest::boxShowsTheFailureSystemModal() {
    ScriptedDialogs dialogs;
    FakeApplication application;
    application.major = 3;
    application.minor = 10;
    ErrorBoxReporter box(dialogs, application);
    box.report(errors::Failure(errors::ErrorNumber::TypeMismatch), u"frmMain!Form_Load"_s);
    QCOMPARE(dialogs.shown.size(), 1);
    const platform::MessageBoxRequest& shown = dialogs.shown[0];
    QCOMPARE(shown.title, u"エラー - Lexbin"_s);
    QCOMPARE(shown.icon, platform::MessageIcon::Critical);
    QVERIFY(shown.systemModal);
    QVERIFY(shown.text.startsWith(
        u"エラー番号:13\r\n場所:frmMain!Form_Load - Lexbin310\r\n型が一致しません。\r\n"_s));
}

void ErrorBoxTest::trapReportsTheCurrentFailureOnce() {
    RecordingReporter reporter;
    bool after = false;
    const bool ran = errors::Trap(reporter, u"frmMain!Form_Load"_s, [&] {
        throw errors::Failure(errors::ErrorNumber::TypeMismatch);
        after = true;
    });
    QVERIFY(!ran);
    QVERIFY(!after);
    QCOMPARE(reporter.numbers(), QList<int>{13});
    QCOMPARE(reporter.locations(), QStringList{u"frmMain!Form_Load"_s});
    QCOMPARE(reporter.reports[0].description, u"型が一致しません。"_s);
}

void ErrorBoxTest::trapReportsForeignExceptionsToo() {
    RecordingReporter reporter;
    QVERIFY(!errors::Trap(reporter, u"x!y"_s, [] { throw std::runtime_error("boom"); }));
    QVERIFY(!errors::Trap(reporter, u"x!y"_s, [] { throw std::bad_alloc(); }));
    QCOMPARE(reporter.numbers(), QList<int>({51, 7}));
}

void ErrorBoxTest::trapLetsASuccessfulBodyPass() {
    RecordingReporter reporter;
    int runs = 0;
    QVERIFY(errors::Trap(reporter, u"x!y"_s, [&] { ++runs; }));
    QCOMPARE(runs, 1);
    QVERIFY(reporter.reports.isEmpty());
}

void ErrorBoxTest::fileFailureDescriptionNamesThePath() {
    const errors::Failure failure(errors::ErrorNumber::PathNotFound, u"/home/u/memo/x.txt"_s);
    QCOMPARE(failure.number(), 76);
    QCOMPARE(failure.description(), u"パスが見つかりません。 (/home/u/memo/x.txt)"_s);
}

QTEST_APPLESS_MAIN(ErrorBoxTest)
#include "test_error_box.moc"
