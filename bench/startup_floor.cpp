// The startup floor: the same kind of window Lexbin opens (menu bar, three radio buttons,
// a plain text edit, Japanese captions) and nothing else. startup_bench launches it next to
// Lexbin; whatever Lexbin takes beyond this is the cost of its own start-up work.
#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>
#include <QWidget>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);

    QMainWindow window;
    window.setWindowTitle(u"Floor"_s);

    // Japanese captions on purpose: they pull in the same CJK font fallback Lexbin needs,
    // so font loading is not counted as Lexbin's own cost.
    QMenu* file = window.menuBar()->addMenu(u"ファイル(&F)"_s);
    file->addAction(u"開く(&O)..."_s);
    file->addAction(u"保存(&S)"_s);
    file->addAction(u"終了(&X)"_s);
    QMenu* settings = window.menuBar()->addMenu(u"設定(&S)"_s);
    settings->addAction(u"フォント(&F)..."_s);
    settings->addAction(u"文字コード(&E)..."_s);
    settings->addAction(u"入力方式(&I)..."_s);
    QMenu* help = window.menuBar()->addMenu(u"ヘルプ(&H)"_s);
    help->addAction(u"バージョン情報(&A)..."_s);

    auto* central = new QWidget;
    auto* column = new QVBoxLayout(central);
    auto* row = new QHBoxLayout;
    auto* first = new QRadioButton(u"ひらがな"_s);
    first->setChecked(true);
    row->addWidget(first);
    row->addWidget(new QRadioButton(u"カタカナ"_s));
    row->addWidget(new QRadioButton(u"英数"_s));
    column->addLayout(row);
    column->addWidget(new QPlainTextEdit);
    window.setCentralWidget(central);

#ifdef Q_OS_WIN
    // Lexbin names its Japanese Gothic faces (platform::DesignFont); under Wine the default
    // face has no Japanese glyphs, and the fallback search for them made the floor start
    // slower than Lexbin itself (Lexbin at 0.61 to 0.87 x). The same named faces here.
    QFont font;
    font.setFamilies(
        {u"ＭＳ Ｐゴシック"_s, u"MS PGothic"_s, u"IPAPGothic"_s, u"Noto Sans CJK JP"_s});
    font.setPointSizeF(10.2);
    window.setFont(font);
#endif
    window.resize(492, 270);
    window.show();
    return QApplication::exec();
}
