// A 10 MiB one-line note in the note box: how long a keystroke takes, from the key press to
// the repainted box, and how much CPU the box burns while nobody types (the cursor blinks).
// For comparison, a plain QPlainTextEdit holding 1 MiB as one paragraph, as the box did
// before it broke overlong lines. Offscreen unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTimer>
#include <memory>

#include "frm_main_design.h"
#include "note_edit.h"
#include "platform/twips.h"
#include "platform/widgets/design_font.h"

using namespace Qt::StringLiterals;

namespace {

enum Kind : int { kDigits, kJapanese };
enum Box : int { kNoteBox, kOneParagraph };

QString Note(Kind kind, qsizetype size) {
    QString text;
    text.reserve(size + 16);
    for (int i = 0; text.size() < size; ++i) {
        text += kind == kJapanese ? u"日本語のメモ、"_s
                                  : QString::number(i).rightJustified(15, u'0') + u' ';
    }
    text.truncate(size);
    return text;
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
}

void RunEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

// The box as the window shows it, holding the note: pasted into the note box, set into
// the plain one (whose paste is no different).
std::unique_ptr<QPlainTextEdit> ShownBox(Box box, Kind kind) {
    std::unique_ptr<QPlainTextEdit> edit;
    if (box == kNoteBox) {
        edit = std::make_unique<NoteEdit>();
    } else {
        edit = std::make_unique<QPlainTextEdit>();
    }
    edit->setFont(platform::DesignFont(frm_main_design::kFontPointSize));
    edit->resize(
        platform::TwipsToPixels(frm_main_design::kClientWidth),
        platform::TwipsToPixels(frm_main_design::kClientHeight - frm_main_design::kTextBox.top));
    edit->show();
    edit->activateWindow();
    edit->setFocus();
    const QString note = Note(kind, box == kNoteBox ? 10 * 1024 * 1024 : 1024 * 1024);
    if (box == kNoteBox) {
        QGuiApplication::clipboard()->setText(note);
        edit->paste();
    } else {
        edit->setPlainText(note);
    }
    QTextCursor middle = edit->textCursor();
    middle.setPosition(edit->document()->characterCount() / 2);
    edit->setTextCursor(middle);
    RunEventLoop(300);
    return edit;
}

// One typed "a", up to the repainted box.
void Type(QPlainTextEdit& edit) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, u"a"_s);
    QApplication::sendEvent(&edit, &press);
    QApplication::sendEvent(&edit, &release);
    edit.viewport()->repaint();
    QCoreApplication::processEvents();
}

void BM_Keystroke(benchmark::State& state) {
    const auto edit = ShownBox(Box(state.range(0)), Kind(state.range(1)));
    for (auto _ : state) {
        Type(*edit);
    }
}

void BM_IdleCpu(benchmark::State& state) {
    const auto edit = ShownBox(Box(state.range(0)), Kind(state.range(1)));
    Type(*edit);  // as after a paste: the cursor blinks once a key has been pressed
    double cpu = 0;
    double wall = 0;
    for (auto _ : state) {
        const double start = CpuSeconds();
        RunEventLoop(5000);
        cpu += CpuSeconds() - start;
        wall += 5.0;
    }
    state.counters["cpu_percent"] = 100 * cpu / wall;
}

}  // namespace

BENCHMARK(BM_Keystroke)
    ->ArgNames({"box", "japanese"})
    ->ArgsProduct({{kNoteBox}, {kDigits, kJapanese}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(50);
BENCHMARK(BM_Keystroke)
    ->ArgNames({"box", "japanese"})
    ->Args({kOneParagraph, kJapanese})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK(BM_IdleCpu)
    ->ArgNames({"box", "japanese"})
    ->ArgsProduct({{kNoteBox, kOneParagraph}, {kJapanese}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
