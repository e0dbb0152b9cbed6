// SaveData against the floor of any durable append: open O_APPEND, one write, fdatasync,
// close of the same bytes. Also SaveData into a 1 GiB data file, which must cost the same
// as into an empty one, since a store never reads the file. And the longest note, 16 MiB,
// against its floor, with what its take-back mark costs: the digests the mark holds, and
// for scale, digesting the whole record.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <memory>
#include <string>

#include "errors/failure.h"
#include "errors/reporter.h"
#include "platform/application.h"
#include "platform/encoding.h"
#include "platform/os_parts.h"
#include "platform/posix/digest64.h"
#include "platform/posix/posix_append_marker.h"
#include "platform/qtcore/system_clock.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "storage/data_file.h"

using namespace Qt::StringLiterals;

namespace {

const QString kNote = QString(100, u'n');
constexpr qsizetype kLongNote = 16 * 1024 * 1024;  // the most characters a note holds

class OnePathSettings final : public platform::SettingsStore {
public:
    QString path;
    QString get(const QString&, const QString&, const QString&, const QString&) const override {
        return path;
    }
    bool contains(const QString&, const QString&, const QString&) const override { return true; }
    void save(const QString&, const QString&, const QString&, const QString&) override {}
};

class BenchApplication final : public platform::Application {
public:
    QString folder() const override { return folder_; }
    QString userDataFolder() const override { return folder_; }
    int majorVersion() const override { return 1; }
    int minorVersion() const override { return 2; }

private:
    const QString folder_ = QDir::tempPath();
};

class AbortingReporter final : public errors::Reporter {
public:
    void report(const errors::Failure& failure, const QString& location) override {
        qFatal("store failed in %s: %s", qPrintable(location), qPrintable(failure.description()));
    }
};

struct Fixture {
    QTemporaryDir dir{QDir::currentPath() + u"/store_bench-XXXXXX"_s};  // on disk, not tmpfs
    platform::SystemClock clock;
    BenchApplication application;
    OnePathSettings settings;
    // The system's own append and encoding (UTF-8), as the tests take them.
    std::unique_ptr<platform::TextFile> textFile = platform::NewTextFile();
    std::unique_ptr<platform::Encoding> encoding = platform::NewUtf8Encoding();
    AbortingReporter reporter;
    platform::CoreServices services{.clock = clock,
                                    .application = application,
                                    .settings = settings,
                                    .textFile = *textFile,
                                    .encoding = *encoding,
                                    .reporter = reporter};

    QString freshFile(const char* name, qint64 size) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        QFile::remove(path);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || (size > 0 && !file.resize(size - 2)) ||
            (size > 0 && (!file.seek(size - 2) || file.write("\r\n", 2) != 2))) {
            qFatal("cannot prepare %s", name);
        }
        return path;
    }
};

void BM_Floor(benchmark::State& state) {
    Fixture fixture;
    const QByteArray path = QFile::encodeName(fixture.freshFile("floor.txt", 0));
    const std::string line = "2026/12/07,12:00,B," + kNote.toStdString() + "\r\n";
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
            ::fdatasync(fd) != 0) {
            state.SkipWithError("raw append failed");
        }
        ::close(fd);
    }
}

void SaveDataInto(benchmark::State& state, qint64 initialSize) {
    Fixture fixture;
    fixture.settings.path = fixture.freshFile("notes.txt", initialSize);
    for (auto _ : state) {
        mdlLexbin::SaveData(fixture.services, kNote, storage::Importance::Important);
    }
}

void BM_SaveData(benchmark::State& state) {
    SaveDataInto(state, 0);
}
void BM_SaveDataInto1GiB(benchmark::State& state) {
    SaveDataInto(state, qint64{1} << 30);
}

// Each round starts from an empty file, emptied outside the timing.
void BM_Floor16MiB(benchmark::State& state) {
    Fixture fixture;
    const QByteArray path = QFile::encodeName(fixture.freshFile("floor.txt", 0));
    const std::string line = "2026/12/07,12:00,B," + std::string(kLongNote, 'n') + "\r\n";
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
        if (fd < 0 || ::write(fd, line.data(), line.size()) != static_cast<ssize_t>(line.size()) ||
            ::fdatasync(fd) != 0) {
            state.SkipWithError("raw append failed");
        }
        ::close(fd);
        state.PauseTiming();
        [[maybe_unused]] const int ignored = ::truncate(path.constData(), 0);
        state.ResumeTiming();
    }
}

void BM_SaveData16MiB(benchmark::State& state) {
    Fixture fixture;
    fixture.settings.path = fixture.freshFile("notes.txt", 0);
    const QByteArray path = QFile::encodeName(fixture.settings.path);
    const QString note(kLongNote, u'n');
    for (auto _ : state) {
        mdlLexbin::SaveData(fixture.services, note, storage::Importance::Important);
        state.PauseTiming();
        [[maybe_unused]] const int ignored = ::truncate(path.constData(), 0);
        state.ResumeTiming();
    }
}

void BM_MarkValue16MiB(benchmark::State& state) {
    const std::string record = "2026/12/07,12:00,B," + std::string(kLongNote, 'n') + "\r\n";
    struct stat file {};
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::MarkValue(file, 0, 0, record));
    }
}

void BM_Digest16MiB(benchmark::State& state) {
    const std::string record = "2026/12/07,12:00,B," + std::string(kLongNote, 'n') + "\r\n";
    for (auto _ : state) {
        benchmark::DoNotOptimize(platform::Digest64(record, 0));
    }
}

}  // namespace

// Interleaved repetitions, so a disk that slows down mid-run hurts every contender alike.
BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_SaveData)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_SaveDataInto1GiB)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(BM_Floor16MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_SaveData16MiB)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_MarkValue16MiB)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Digest16MiB)->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
