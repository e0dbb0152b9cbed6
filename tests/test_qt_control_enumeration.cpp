// Captions loaded into real widgets, and the string table compiled into the program.
#include <QAction>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTextEdit>
#include <QtTest>
#include <algorithm>
#include <memory>

#include "captions/load_res_setting.h"
#include "errors/failure.h"
#include "platform/qtcore/resource_string_table.h"
#include "platform/widgets/qt_control_enumeration.h"
#include "support/test_services.h"

using namespace Qt::StringLiterals;

namespace {

// A control of each kind, holding `text` where it has a text of its own.
std::unique_ptr<QObject> MakeControl(const QString& className, const QString& text) {
    if (className == u"QAction") {
        return std::make_unique<QAction>(text);
    }
    if (className == u"QMenu") {
        return std::make_unique<QMenu>(text);
    }
    if (className == u"QRadioButton") {
        return std::make_unique<QRadioButton>(text);
    }
    if (className == u"QPushButton") {
        return std::make_unique<QPushButton>(text);
    }
    if (className == u"QLabel") {
        return std::make_unique<QLabel>(text);
    }
    if (className == u"QCheckBox") {
        return std::make_unique<QCheckBox>(text);
    }
    if (className == u"QLineEdit") {
        return std::make_unique<QLineEdit>(text);
    }
    if (className == u"QPlainTextEdit") {
        return std::make_unique<QPlainTextEdit>(text);
    }
    if (className == u"QTextEdit") {
        return std::make_unique<QTextEdit>(text);
    }
    if (className == u"QGroupBox") {
        return std::make_unique<QGroupBox>(text);
    }
    return std::make_unique<QSlider>();
}

}  // namespace

class QtControlEnumerationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void loadsCaptionsIntoWidgets();
    void describesEachKindOfControl_data();
    void describesEachKindOfControl();

    void stringTableHoldsEveryId();
    void stringTableTexts_data();
    void stringTableTexts();
    void missingIdIsResourceNotFound_data();
    void missingIdIsResourceNotFound();
};

void QtControlEnumerationTest::loadsCaptionsIntoWidgets() {
    QMainWindow window;
    window.setProperty("tag", u"1000"_s);
    QMenu* file = window.menuBar()->addMenu(u"1100"_s);
    QAction* save = file->addAction(u"1101"_s);
    save->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    QAction* quit = file->addAction(u"1103"_s);
    QMenu* help = window.menuBar()->addMenu(u"1120"_s);
    QAction* about = help->addAction(u"1121"_s);
    auto* central = new QWidget(&window);
    window.setCentralWidget(central);
    auto* note = new QPlainTextEdit(u"typed note"_s, central);
    QList<QRadioButton*> options;
    for (int i = 0; i < 3; ++i) {
        options.append(new QRadioButton(u"Option1"_s, central));
        options[i]->setProperty("tag", QString::number(1200 + i));
    }
    auto* label = new QLabel(u"label"_s, central);
    label->setProperty("tag", u"0"_s);

    TestServices ts;
    platform::ResourceStringTable strings;
    const platform::Services services = ts.services({.strings = &strings});
    const QList<QObject*> order = {note, options[2], options[1], options[0], label,
                                   file, save,       quit,       help,       about};
    mdlLexbin::LoadResSetting(services, platform::EnumerateControls(window, order));

    QVERIFY(ts.reporter.reports.isEmpty());
    QCOMPARE(window.windowTitle(), u"Lexbin"_s);
    QCOMPARE(file->title(), u"ファイル(&F)"_s);
    QCOMPARE(save->text(), u"Lexbin(&S)"_s);
    QCOMPARE(save->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(quit->text(), u"終了(&X)"_s);
    QCOMPARE(help->menuAction()->text(), u"ヘルプ(&H)"_s);
    QCOMPARE(about->text(), u"バージョン情報(&A)"_s);
    QCOMPARE(options[0]->text(), u"超重要(&A)"_s);
    QCOMPARE(options[1]->text(), u"重要(&B)"_s);
    QCOMPARE(options[2]->text(), u"普通(&C)"_s);
    QCOMPARE(note->toPlainText(), u"typed note"_s);
    QCOMPARE(label->text(), u"label"_s);
}

void QtControlEnumerationTest::describesEachKindOfControl_data() {
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("tag");  // empty: no "tag" property
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("caption");  // as read before loading
    QTest::addColumn<bool>("settable");

    QTest::newRow("menu item") << u"QAction"_s << QString() << u"Menu"_s << u"t"_s << true;
    QTest::newRow("menu") << u"QMenu"_s << QString() << u"Menu"_s << u"t"_s << true;
    QTest::newRow("option") << u"QRadioButton"_s << u"12"_s << u"OptionButton"_s << u"t"_s << true;
    QTest::newRow("command") << u"QPushButton"_s << QString() << u"CommandButton"_s << u"t"_s
                             << true;
    QTest::newRow("label") << u"QLabel"_s << u"x"_s << u"Label"_s << u"t"_s << true;
    QTest::newRow("other with text") << u"QCheckBox"_s << u"5"_s << u"CheckBox"_s << u"t"_s << true;
    QTest::newRow("line edit") << u"QLineEdit"_s << u"7"_s << u"TextBox"_s << QString() << false;
    QTest::newRow("plain text edit")
        << u"QPlainTextEdit"_s << QString() << u"TextBox"_s << QString() << false;
    QTest::newRow("rich text edit")
        << u"QTextEdit"_s << QString() << u"TextBox"_s << QString() << false;
    QTest::newRow("other without text")
        << u"QGroupBox"_s << u"3"_s << u"GroupBox"_s << QString() << false;
    QTest::newRow("slider") << u"QSlider"_s << QString() << u"Slider"_s << QString() << false;
}

void QtControlEnumerationTest::describesEachKindOfControl() {
    QFETCH(QString, className);
    QFETCH(QString, tag);
    QFETCH(QString, kind);
    QFETCH(QString, caption);
    QFETCH(bool, settable);
    QWidget form;
    form.setProperty("tag", u"1000"_s);
    const std::unique_ptr<QObject> control = MakeControl(className, u"t"_s);
    if (!tag.isEmpty()) {
        control->setProperty("tag", tag);
    }

    const platform::FormControls controls = platform::EnumerateControls(form, {control.get()});

    QCOMPARE(controls.tag, u"1000"_s);
    controls.setTitle(u"title"_s);
    QCOMPARE(form.windowTitle(), u"title"_s);
    QCOMPARE(controls.controls.size(), std::size_t{1});
    const platform::ControlInfo& info = controls.controls[0];
    QCOMPARE(info.kind, kind);
    QCOMPARE(info.tag, tag);
    QCOMPARE(info.caption(), caption);
    QCOMPARE(bool(info.setCaption), settable);
    if (settable) {
        info.setCaption(u"loaded"_s);
        QCOMPARE(info.caption(), u"loaded"_s);
        // The text reached the control itself, not a copy.
        QCOMPARE(platform::EnumerateControls(form, {control.get()}).controls[0].caption(),
                 u"loaded"_s);
    }
}

void QtControlEnumerationTest::stringTableHoldsEveryId() {
    const QList<int> ids = {1000,  1010,  1011,  1100,  1101,  1102,  1103,  1110, 1111,
                            1112,  1113,  1120,  1121,  1200,  1201,  1202,  1300, 3000,
                            3100,  3101,  3102,  3103,  4000,  4101,  4102,  5000, 5100,
                            11000, 11100, 11101, 11200, 11201, 12000, 12001, 12002};
    QFile file(u":/lexbin/strings.txt"_s);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QList<int> stored =
        platform::ResourceStringTable::Parse(QString::fromUtf8(file.readAll())).keys();
    std::sort(stored.begin(), stored.end());
    QCOMPARE(stored, ids);
    const platform::ResourceStringTable table;
    for (const int id : ids) {
        QVERIFY2(!table.text(id).isEmpty(), qPrintable(QString::number(id)));
    }
}

void QtControlEnumerationTest::stringTableTexts_data() {
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("text");
    QTest::newRow("title") << 1000 << u"Lexbin"_s;
    QTest::newRow("font name") << 1010 << u"ＭＳＰゴシック"_s;
    QTest::newRow("menu item") << 1101 << u"Lexbin(&S)"_s;
    QTest::newRow("blanks kept") << 3101 << u" Version "_s;
    QTest::newRow("backslashes kept") << 4102 << u"例; C:\\Data\\Lexbin.txt"_s;
    QTest::newRow("full-width parentheses") << 12000 << u"数値（9-50）を指定してください。"_s;
    QTest::newRow("hint title") << 12001 << u"ヒント - Lexbin"_s;
    QTest::newRow("last entry") << 12002 << u"メモが長すぎます（16777216 文字まで）。"_s;
}

void QtControlEnumerationTest::stringTableTexts() {
    QFETCH(int, id);
    QFETCH(QString, text);
    QCOMPARE(platform::ResourceStringTable().text(id), text);
}

void QtControlEnumerationTest::missingIdIsResourceNotFound_data() {
    QTest::addColumn<int>("id");
    QTest::newRow("zero") << 0;
    QTest::newRow("between entries") << 1001;
    QTest::newRow("negative") << -1000;
    QTest::newRow("beyond the last") << 12003;
}

void QtControlEnumerationTest::missingIdIsResourceNotFound() {
    QFETCH(int, id);
    try {
        platform::ResourceStringTable().text(id);
        QFAIL("no failure");
    } catch (const errors::Failure& failure) {
        QCOMPARE(failure.number(), 326);
    }
}

QTEST_MAIN(QtControlEnumerationTest)
#include "test_qt_control_enumeration.moc"
