// A 10 MiB one-line note in the note box: how long a keystroke takes, from the key press to
// the repainted box, and how much CPU the box burns while nobody types (the cursor blinks).
// For comparison, a plain QPlainTextEdit holding 1 MiB as one paragraph, as the box did
// before it broke overlong lines. With drafts: the same keystrokes while the note is kept in
// a draft (in a temporary folder), and the longest the window waits on a draft write.
// Offscreen unless QT_QPA_PLATFORM says otherwise.
#include <benchmark/benchmark.h>
#include <time.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <memory>

#include "app/note_edit.h"
#include "drafts/draft_keeper.h"
#include "note_box.h"
#include "platform/posix/posix_draft_store.h"
#include "platform/posix/posix_text_file.h"

using namespace Qt::StringLiterals;

namespace {

using namespace bench;

double ThreadCpuMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

double CpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) / 1e9;
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

// The note box kept in a draft as the window keeps it.
struct DraftedBox {
    QTemporaryDir folder;
    platform::PosixTextFile dataFile;
    std::unique_ptr<QPlainTextEdit> edit;
    std::unique_ptr<drafts::DraftKeeper> keeper;

    explicit DraftedBox(qsizetype size) : edit(ShownBox(kNoteBox, kJapanese, size)) {
        auto* box = static_cast<NoteEdit*>(edit.get());
        keeper = std::make_unique<drafts::DraftKeeper>(
            std::make_unique<platform::PosixDraftStore>(folder.path()), dataFile, [box] {
                return [raw = box->rawNote()] {
                    return NoteEdit::NoteText(raw);
                };
            });
        keeper->adopt(NoteEdit::kMaxCharacters);
        QObject::connect(box, &NoteEdit::textChanged, keeper.get(), &drafts::DraftKeeper::changed);
    }
};

// Keystrokes into a note of range(0) characters, with (range(1) = 1) or without drafts.
// Each lasts at least 30 ms, as typing does, so that the throttle writes as it would.
void BM_KeystrokeDrafts(benchmark::State& state) {
    const qsizetype size = state.range(0);
    std::unique_ptr<DraftedBox> drafted;
    std::unique_ptr<QPlainTextEdit> plain;
    if (state.range(1) == 1) {
        drafted = std::make_unique<DraftedBox>(size);
    } else {
        plain = ShownBox(kNoteBox, kJapanese, size);
    }
    QPlainTextEdit& edit = drafted ? *drafted->edit : *plain;
    for (auto _ : state) {
        QElapsedTimer pace;
        pace.start();
        Type(edit);
        state.PauseTiming();
        RunEventLoop(static_cast<int>(std::max<qint64>(0, 30 - pace.elapsed())));
        state.ResumeTiming();
    }
}

// The longest time the window's thread spends on one draft write of a 10 MiB note: taking
// the note and handing it to the writer (the encoding, write and sync run on the writer's
// thread), and a keystroke typed while the writer is at work.
void BM_DraftWriteStall(benchmark::State& state) {
    DraftedBox drafted(10 * 1024 * 1024);
    double longest = 0;
    double longestKey = 0;
    double longestCpu = 0;  // without the time other programs take the core away
    for (auto _ : state) {
        Type(*drafted.edit);
        QElapsedTimer timer;
        timer.start();
        const double cpu = ThreadCpuMs();
        drafted.keeper->writeNow();
        longestCpu = std::max(longestCpu, ThreadCpuMs() - cpu);
        longest = std::max(longest, timer.nsecsElapsed() / 1e6);
        timer.restart();
        Type(*drafted.edit);  // the writer is busy now
        longestKey = std::max(longestKey, timer.nsecsElapsed() / 1e6);
        state.PauseTiming();
        drafted.keeper->keepAndWait();
        state.ResumeTiming();
    }
    state.counters["longest_stall_ms"] = longest;
    state.counters["longest_stall_cpu_ms"] = longestCpu;
    state.counters["longest_key_during_write_ms"] = longestKey;
}

}  // namespace

BENCHMARK(BM_KeystrokeDrafts)
    ->ArgNames({"chars", "drafts"})
    ->ArgsProduct({{100 * 1024, 10 * 1024 * 1024}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(100);
BENCHMARK(BM_DraftWriteStall)->Unit(benchmark::kMillisecond)->Iterations(20);
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
