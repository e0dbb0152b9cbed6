// SaveData on Windows against the floor of any durable append there: CreateFile with
// FILE_APPEND_DATA, one WriteFile, FlushFileBuffers, CloseHandle of the same bytes (the note
// in the ANSI code page). Google Benchmark is not packaged for mingw-w64: a timing loop of
// its own, the two contenders interleaved round by round so a disk that slows down hurts
// both alike; the median of the rounds' means is reported.
//   store_wine.exe FOLDER [ROUNDS]   FOLDER on a disk file system (not tmpfs under Wine)
#include <windows.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "errors/failure.h"
#include "errors/reporter.h"
#include "platform/application.h"
#include "platform/encoding.h"
#include "platform/os_parts.h"
#include "platform/qtcore/system_clock.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "platform/text_file.h"
#include "storage/data_file.h"

using namespace Qt::StringLiterals;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kStoresPerRound = 10;

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
    explicit BenchApplication(QString folder) : folder_(std::move(folder)) {}
    QString folder() const override { return folder_; }
    QString userDataFolder() const override { return folder_; }
    int majorVersion() const override { return 1; }
    int minorVersion() const override { return 2; }

private:
    QString folder_;
};

class AbortingReporter final : public errors::Reporter {
public:
    void report(const errors::Failure& failure, const QString& location) override {
        qFatal("store failed in %s: %s", qPrintable(location), qPrintable(failure.description()));
    }
};

// 100 characters, half of them Japanese: the encoding to code page 932 is part of the cost.
QString Note() {
    QString note;
    for (int i = 0; i < 25; ++i) {
        note += u"メモnote"_s;
    }
    return note.left(100);
}

void RawAppend(const std::wstring& path, const std::string& bytes) {
    HANDLE file = CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    DWORD written = 0;
    if (file == INVALID_HANDLE_VALUE ||
        !WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size() || !FlushFileBuffers(file)) {
        std::fprintf(stderr, "raw append failed: %lu\n", GetLastError());
        std::exit(1);
    }
    CloseHandle(file);
}

double MicrosecondsPerStore(Clock::time_point start) {
    return std::chrono::duration<double, std::micro>(Clock::now() - start).count() /
           kStoresPerRound;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: store_wine FOLDER [ROUNDS]\n");
        return 2;
    }
    const QString folder = QDir::toNativeSeparators(QString::fromLocal8Bit(argv[1]));
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 100;

    platform::SystemClock clock;
    BenchApplication application(folder);
    OnePathSettings settings;
    const std::unique_ptr<platform::TextFile> textFile = platform::NewTextFile();
    const std::unique_ptr<platform::Encoding> encoding = platform::NewSystemEncoding();
    AbortingReporter reporter;
    const platform::CoreServices services{.clock = clock,
                                          .application = application,
                                          .settings = settings,
                                          .textFile = *textFile,
                                          .encoding = *encoding,
                                          .reporter = reporter};
    settings.path = folder + u"\\store_wine-notes.txt"_s;
    const QString floorPath = folder + u"\\store_wine-floor.txt"_s;
    QFile::remove(settings.path);
    QFile::remove(floorPath);

    const QString note = Note();
    const std::string record = "2026/12/07,12:00,B," + encoding->encode(note) + "\r\n";
    const std::wstring floorWide = floorPath.toStdWString();

    std::vector<double> floor, store;
    for (int round = 0; round < rounds; ++round) {
        auto start = Clock::now();
        for (int i = 0; i < kStoresPerRound; ++i) {
            RawAppend(floorWide, record);
        }
        floor.push_back(MicrosecondsPerStore(start));
        start = Clock::now();
        for (int i = 0; i < kStoresPerRound; ++i) {
            mdlLexbin::SaveData(services, note, u"B"_s);
        }
        store.push_back(MicrosecondsPerStore(start));
    }
    const bool same = QFile(floorPath).size() == QFile(settings.path).size();
    QFile::remove(settings.path);
    QFile::remove(floorPath);
    const double floorMedian = Median(floor), storeMedian = Median(store);
    std::printf("store_wine: %d rounds of %d stores, median of the rounds' means\n", rounds,
                kStoresPerRound);
    std::printf("floor (CreateFile+WriteFile+FlushFileBuffers+CloseHandle): %.1f us\n",
                floorMedian);
    std::printf("SaveData: %.1f us, %.2f x the floor (target <= 1.2)%s\n", storeMedian,
                storeMedian / floorMedian, same ? "" : "; the two files differ in size");
    return same ? 0 : 1;
}
