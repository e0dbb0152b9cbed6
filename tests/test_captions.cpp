// Loading a form's captions from the string table, and the three ways its IDs are read.
#include <QtTest>
#include <vector>

#include "captions/load_res_setting.h"
#include "captions/resource_id.h"
#include "errors/failure.h"
#include "platform/control_enumeration.h"
#include "support/test_services.h"

using namespace Qt::StringLiterals;

namespace {

// One control of a hand-built form; loading writes straight into `caption`.
struct FakeControl {
    QString kind;
    QString tag;
    QString caption;
    QString loaded;  // the caption once loaded
    bool hasCaption = true;
};

struct FakeForm {
    QString tag = u"1000"_s;
    QString title = u"Form1"_s;
    std::vector<FakeControl> controls;

    // The setters point into this form: keep it in place while the result is used.
    platform::FormControls view() {
        platform::FormControls form{tag, [this](const QString& text) { title = text; }, {}};
        for (FakeControl& control : controls) {
            platform::ControlInfo info{
                control.kind, control.tag, [&control] { return control.caption; }, {}};
            if (control.hasCaption) {
                info.setCaption = [&control](const QString& text) {
                    control.caption = text;
                };
            }
            form.controls.push_back(info);
        }
        return form;
    }
};

const QHash<int, QString> kTexts = {
    {1000, u"Lexbin"_s},     {1100, u"ファイル(&F)"_s}, {1101, u"Lexbin(&S)"_s},
    {1103, u"終了(&X)"_s},   {1120, u"ヘルプ(&H)"_s},   {1121, u"バージョン情報(&A)"_s},
    {1200, u"超重要(&A)"_s}, {1201, u"重要(&B)"_s},     {1202, u"普通(&C)"_s},
};

FakeControl Menu(int id) {
    return {u"Menu"_s, {}, QString::number(id), kTexts[id]};
}
FakeControl Option(int id, const QString& caption) {
    return {u"OptionButton"_s, QString::number(id), caption, kTexts[id]};
}

// Like the main window: the note box, the importance options 2, 1, 0, then the menus.
FakeForm MainWindow() {
    return {u"1000"_s,
            u"Form1"_s,
            {{u"TextBox"_s, {}, {}, {}, false},
             Option(1202, u"opt2"_s),
             Option(1201, u"opt1"_s),
             Option(1200, u"opt0"_s),
             Menu(1100),
             Menu(1101),
             Menu(1103),
             Menu(1120),
             Menu(1121)}};
}

enum class Reader { Strict, Short, Leading };

std::int32_t Read(Reader reader, const QString& text) {
    switch (reader) {
        case Reader::Strict:
            return captions::StrictWholeNumber(text);
        case Reader::Short:
            return captions::StrictShortNumber(text);
        case Reader::Leading:
            return captions::LeadingWholeNumber(text);
    }
    return 0;
}

}  // namespace

Q_DECLARE_METATYPE(Reader)

class CaptionsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();

    void readsResourceIds_data();
    void readsResourceIds();

    void loadsEveryCaption();
    void controlsWithoutAPositiveTagAreLeftAlone_data();
    void controlsWithoutAPositiveTagAreLeftAlone();
    void failureStopsAtTheFailingControl_data();
    void failureStopsAtTheFailingControl();
    void badFormTagChangesNothing_data();
    void badFormTagChangesNothing();
    void secondRunFailsAtTheFirstMenuItem();

private:
    void load() { mdlLexbin::LoadResSetting(ts_->services(), form_.view()); }
    // Controls before `end` hold their loaded captions, the others their first ones.
    void verifyLoadedUpTo(std::size_t end);

    std::unique_ptr<TestServices> ts_;
    FakeForm form_;
};

void CaptionsTest::init() {
    ts_ = std::make_unique<TestServices>();
    ts_->strings.entries = kTexts;
    form_ = MainWindow();
}

void CaptionsTest::verifyLoadedUpTo(std::size_t end) {
    const FakeForm first = MainWindow();
    for (std::size_t i = 0; i < form_.controls.size(); ++i) {
        const QString expected = i < end ? form_.controls[i].loaded : first.controls[i].caption;
        QVERIFY2(form_.controls[i].caption == expected,
                 qPrintable(u"control %1: %2"_s.arg(i).arg(form_.controls[i].caption)));
    }
}

void CaptionsTest::readsResourceIds_data() {
    QTest::addColumn<Reader>("reader");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("failure");  // 0: no failure

    const auto strict = Reader::Strict;
    QTest::newRow("strict plain") << strict << u"1000"_s << 1000 << 0;
    QTest::newRow("strict blanks and sign") << strict << u" \t+1000 "_s << 1000 << 0;
    QTest::newRow("strict half to even down") << strict << u"12.5"_s << 12 << 0;
    QTest::newRow("strict half to even up") << strict << u"13.5"_s << 14 << 0;
    QTest::newRow("strict exponent") << strict << u"1.1e3"_s << 1100 << 0;
    QTest::newRow("strict negative") << strict << u"-7"_s << -7 << 0;
    QTest::newRow("strict 32-bit edge") << strict << u"2147483647"_s << 2147483647 << 0;
    QTest::newRow("strict empty") << strict << QString() << 0 << 13;
    QTest::newRow("strict letters") << strict << u"abc"_s << 0 << 13;
    QTest::newRow("strict trailing letters") << strict << u"1000a"_s << 0 << 13;
    QTest::newRow("strict beyond 32 bits") << strict << u"1e10"_s << 0 << 6;
    QTest::newRow("strict just beyond") << strict << u"2147483648"_s << 0 << 6;

    const auto menu = Reader::Short;
    QTest::newRow("short blanks around") << menu << u" 1101 "_s << 1101 << 0;
    QTest::newRow("short top") << menu << u"32767"_s << 32767 << 0;
    QTest::newRow("short bottom") << menu << u"-32768"_s << -32768 << 0;
    QTest::newRow("short rounds into range") << menu << u"32767.4"_s << 32767 << 0;
    QTest::newRow("short above") << menu << u"32768"_s << 0 << 6;
    QTest::newRow("short below") << menu << u"-32769"_s << 0 << 6;
    QTest::newRow("short far above") << menu << u"40000"_s << 0 << 6;
    QTest::newRow("short text") << menu << u"abc"_s << 0 << 13;
    QTest::newRow("short loaded caption") << menu << u"ファイル(&F)"_s << 0 << 13;

    const auto leading = Reader::Leading;
    QTest::newRow("leading plain") << leading << u"1200"_s << 1200 << 0;
    QTest::newRow("leading blanks then text") << leading << u" \t 1201abc"_s << 1201 << 0;
    QTest::newRow("leading half to even down") << leading << u"12.5"_s << 12 << 0;
    QTest::newRow("leading half to even up") << leading << u"13.5"_s << 14 << 0;
    QTest::newRow("leading negative") << leading << u"-5"_s << -5 << 0;
    QTest::newRow("leading plus") << leading << u"+6"_s << 6 << 0;
    QTest::newRow("leading empty") << leading << QString() << 0 << 0;
    QTest::newRow("leading letter first") << leading << u"x1"_s << 0 << 0;
    QTest::newRow("leading sign only") << leading << u"-"_s << 0 << 0;
    QTest::newRow("leading point only") << leading << u"."_s << 0 << 0;
    QTest::newRow("leading exponent") << leading << u"1e3"_s << 1000 << 0;
    QTest::newRow("leading signed exponent") << leading << u"15E-1x"_s << 2 << 0;
    QTest::newRow("leading bare exponent") << leading << u"1e"_s << 1 << 0;
    QTest::newRow("leading exponent sign only") << leading << u"1e+"_s << 1 << 0;
    QTest::newRow("leading fraction only") << leading << u".6"_s << 1 << 0;
    QTest::newRow("leading point then exponent") << leading << u"2.e1"_s << 20 << 0;
    QTest::newRow("leading comma stops") << leading << u"1,9"_s << 1 << 0;
    QTest::newRow("leading inner blank stops") << leading << u"1 2"_s << 1 << 0;
    QTest::newRow("leading full-width digits") << leading << u"１２"_s << 0 << 0;
    QTest::newRow("leading tiny") << leading << u"5e-400"_s << 0 << 0;
    QTest::newRow("leading 32-bit edge") << leading << u"-2147483648"_s << (-2147483647 - 1) << 0;
    QTest::newRow("leading beyond 32 bits") << leading << u"2147483648"_s << 0 << 6;
    QTest::newRow("leading far beyond") << leading << u"1e10"_s << 0 << 6;
    QTest::newRow("leading beyond double") << leading << u"1e400"_s << 0 << 6;
    QTest::newRow("leading long digits, small exponent")
        << leading << (u"1"_s + QString(400, u'0') + u"e-1"_s) << 0 << 6;
}

void CaptionsTest::readsResourceIds() {
    QFETCH(Reader, reader);
    QFETCH(QString, text);
    QFETCH(int, value);
    QFETCH(int, failure);
    try {
        const std::int32_t read = Read(reader, text);
        QCOMPARE(failure, 0);
        QCOMPARE(read, value);
    } catch (const errors::Failure& caught) {
        QCOMPARE(caught.number(), failure);
    }
}

void CaptionsTest::loadsEveryCaption() {
    load();
    QVERIFY(ts_->reporter.reports.isEmpty());
    QCOMPARE(form_.title, u"Lexbin"_s);
    verifyLoadedUpTo(form_.controls.size());
    QCOMPARE(form_.controls[1].caption, u"普通(&C)"_s);  // option 2 comes first
    QCOMPARE(form_.controls[5].caption, u"Lexbin(&S)"_s);
}

void CaptionsTest::controlsWithoutAPositiveTagAreLeftAlone_data() {
    QTest::addColumn<QString>("tag");
    QTest::newRow("zero") << u"0"_s;
    QTest::newRow("negative") << u"-3"_s;
    QTest::newRow("rounds to zero") << u"0.5"_s;
    QTest::newRow("text") << u"abc"_s;
}

void CaptionsTest::controlsWithoutAPositiveTagAreLeftAlone() {
    QFETCH(QString, tag);
    // The table has no entry for these IDs: a lookup would end in an error box.
    form_.controls[2].tag = tag;
    form_.controls[2].loaded = form_.controls[2].caption;
    load();
    QVERIFY(ts_->reporter.reports.isEmpty());
    QCOMPARE(form_.title, u"Lexbin"_s);
    verifyLoadedUpTo(form_.controls.size());
}

void CaptionsTest::failureStopsAtTheFailingControl_data() {
    QTest::addColumn<int>("control");
    QTest::addColumn<QString>("tag");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<int>("failure");  // 0: no failure

    QTest::newRow("option ID missing") << 2 << u"1299"_s << u"opt1"_s << 326;
    QTest::newRow("option ID beyond 32 bits") << 2 << u"1e10"_s << u"opt1"_s << 6;
    QTest::newRow("option ID with trailing text") << 2 << u"1201abc"_s << u"opt1"_s << 0;
    QTest::newRow("text box with an ID") << 0 << u"1200"_s << QString() << 438;
    QTest::newRow("text box ID looked up first") << 0 << u"1299"_s << QString() << 326;
    QTest::newRow("menu ID beyond 16 bits") << 5 << QString() << u"40000"_s << 6;
    QTest::newRow("menu caption not a number") << 5 << QString() << u"abc"_s << 13;
    QTest::newRow("menu caption empty") << 5 << QString() << QString() << 13;
    QTest::newRow("menu ID missing") << 5 << QString() << u"1102"_s << 326;
    QTest::newRow("menu ID with blanks") << 5 << QString() << u" 1101 "_s << 0;
}

void CaptionsTest::failureStopsAtTheFailingControl() {
    QFETCH(int, control);
    QFETCH(QString, tag);
    QFETCH(QString, caption);
    QFETCH(int, failure);
    const auto index = static_cast<std::size_t>(control);
    form_.controls[index].tag = tag;
    form_.controls[index].caption = caption;
    load();

    QCOMPARE(form_.title, u"Lexbin"_s);
    if (failure == 0) {
        QVERIFY(ts_->reporter.reports.isEmpty());
        verifyLoadedUpTo(form_.controls.size());
        return;
    }
    QCOMPARE(ts_->reporter.locations(), QStringList{u"mdlLexbin!LoadResSetting"_s});
    QCOMPARE(ts_->reporter.numbers(), QList<int>{failure});
    QCOMPARE(form_.controls[index].caption, caption);
    form_.controls[index].caption = MainWindow().controls[index].caption;
    verifyLoadedUpTo(index);
}

void CaptionsTest::badFormTagChangesNothing_data() {
    QTest::addColumn<QString>("tag");
    QTest::addColumn<int>("failure");
    QTest::newRow("empty") << QString() << 13;
    QTest::newRow("letters") << u"abc"_s << 13;
    QTest::newRow("beyond 32 bits") << u"1e10"_s << 6;
    QTest::newRow("missing from the table") << u"999"_s << 326;
}

void CaptionsTest::badFormTagChangesNothing() {
    QFETCH(QString, tag);
    QFETCH(int, failure);
    form_.tag = tag;
    load();
    QCOMPARE(ts_->reporter.locations(), QStringList{u"mdlLexbin!LoadResSetting"_s});
    QCOMPARE(ts_->reporter.numbers(), QList<int>{failure});
    QCOMPARE(form_.title, u"Form1"_s);
    verifyLoadedUpTo(0);
}

void CaptionsTest::secondRunFailsAtTheFirstMenuItem() {
    load();
    QVERIFY(ts_->reporter.reports.isEmpty());
    load();
    QCOMPARE(ts_->reporter.locations(), QStringList{u"mdlLexbin!LoadResSetting"_s});
    QCOMPARE(ts_->reporter.numbers(), QList<int>{13});
    QCOMPARE(form_.title, u"Lexbin"_s);
    verifyLoadedUpTo(form_.controls.size());
}

QTEST_GUILESS_MAIN(CaptionsTest)
#include "test_captions.moc"
