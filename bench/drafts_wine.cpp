// A keystroke into a 10 MiB note in the note box, with its draft kept as the window keeps it
// (in a folder of drafts on the disk) against the same box without drafts, on Windows. Google
// Benchmark is not packaged for mingw-w64: a timing loop of its own, the two boxes typed into
// in turn, round by round, each keystroke paced to 30 ms as typing is (so the throttle writes
// a draft every second); the median keystroke of each is reported, the key press up to the
// repainted box, and the longest of each.
//   drafts_wine.exe FOLDER [ROUNDS]   FOLDER on a disk file system (not tmpfs under Wine)
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/note_edit.h"
#include "drafts/draft_keeper.h"
#include "note_box.h"
#include "platform/os_parts.h"
#include "platform/text_file.h"
#include "platform/windows/win_draft_store.h"

using namespace Qt::StringLiterals;

namespace {

constexpr qsizetype kNoteSize = 10 * 1024 * 1024;
constexpr int kKeysPerRound = 20;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Keystrokes into `edit`, each one's milliseconds appended to `times`.
void TypeRound(QPlainTextEdit& edit, std::vector<double>& times) {
    for (int i = 0; i < kKeysPerRound; ++i) {
        QElapsedTimer timer;
        timer.start();
        bench::Type(edit);
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        bench::RunEventLoop(static_cast<int>(std::max<qint64>(0, 30 - timer.elapsed())));
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() < 2) {
        std::fprintf(stderr, "usage: drafts_wine.exe FOLDER [ROUNDS]\n");
        return 2;
    }
    const QString folder = args[1] + u"/drafts"_s;
    const int rounds = args.size() > 2 ? args[2].toInt() : 20;
    const std::unique_ptr<platform::TextFile> dataFile = platform::NewTextFile();

    const auto kept = bench::ShownBox(bench::kNoteBox, bench::kJapanese, kNoteSize);
    auto* box = static_cast<NoteEdit*>(kept.get());
    drafts::DraftKeeper keeper(std::make_unique<platform::WindowsDraftStore>(folder), *dataFile,
                               [box] {
                                   return [raw = box->rawNote()] {
                                       return NoteEdit::NoteText(raw);
                                   };
                               });
    if (!keeper.adopt(NoteEdit::kMaxCharacters).held) {
        std::fprintf(stderr, "no draft slot in %s\n", qPrintable(folder));
        return 1;
    }
    QObject::connect(box, &NoteEdit::textChanged, &keeper, &drafts::DraftKeeper::changed);
    const auto plain = bench::ShownBox(bench::kNoteBox, bench::kJapanese, kNoteSize);

    std::vector<double> with;
    std::vector<double> without;
    for (int round = 0; round < rounds; ++round) {
        kept->activateWindow();
        kept->setFocus();
        TypeRound(*kept, with);
        plain->activateWindow();
        plain->setFocus();
        TypeRound(*plain, without);
    }
    keeper.keepAndWait();
    // The draft the throttle kept writing: the whole note, in UTF-8.
    const qint64 draft = QFileInfo(folder + u"/1.txt"_s).size();
    keeper.discardAndWait();
    const double on = Median(with);
    const double off = Median(without);
    std::printf(
        "keystroke, 10 MiB note, median of %d: drafts on %.2f ms, off %.2f ms, %.3fx"
        " (draft %lld bytes); longest %.1f ms and %.1f ms\n",
        rounds * kKeysPerRound, on, off, on / off, static_cast<long long>(draft),
        *std::max_element(with.begin(), with.end()),
        *std::max_element(without.begin(), without.end()));
    return 0;
}
