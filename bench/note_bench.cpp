// `lexbin --note x` end to end, process start included, against two floors run the same way
// in the same run: a Qt program that only appends the record (note_floor_qt) and a plain C
// one (note_floor_c). Each process appends one record to its own data file in a temporary
// home; run with --benchmark_enable_random_interleaving=true to interleave them.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

QTemporaryDir* home = nullptr;

std::string InHome(const char* name) {
    return QString(home->path() + QLatin1Char('/') + QLatin1String(name)).toStdString();
}

// Runs `arguments` (the program first) with `environment`, waits for it; false on failure.
bool Run(const std::vector<std::string>& arguments, const std::vector<std::string>& environment) {
    std::vector<char*> argv;
    for (const std::string& a : arguments) {
        argv.push_back(const_cast<char*>(a.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (const std::string& e : environment) {
        envp.push_back(const_cast<char*>(e.c_str()));
    }
    envp.push_back(nullptr);
    pid_t pid = 0;
    if (::posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), envp.data()) != 0) {
        return false;
    }
    int status = 0;
    return ::waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> Environment() {
    return {"HOME=" + InHome("home"), "XDG_CONFIG_HOME=" + InHome("config"),
            "XDG_DATA_HOME=" + InHome("data"), "LC_ALL=C.UTF-8", "PATH=/usr/bin:/bin"};
}

void BM_LexbinNote(benchmark::State& state) {
    const std::vector<std::string> arguments = {NOTE_LEXBIN_PATH, "--note", "x"};
    for (auto _ : state) {
        if (!Run(arguments, Environment())) {
            state.SkipWithError("lexbin --note failed");
            return;
        }
    }
}

void Floor(benchmark::State& state, const char* program, const char* file) {
    const std::vector<std::string> arguments = {program, InHome(file)};
    for (auto _ : state) {
        if (!Run(arguments, Environment())) {
            state.SkipWithError("the floor failed");
            return;
        }
    }
}
void BM_QtFloor(benchmark::State& state) {
    Floor(state, NOTE_FLOOR_QT_PATH, "qt-floor.txt");
}
void BM_CFloor(benchmark::State& state) {
    Floor(state, NOTE_FLOOR_C_PATH, "c-floor.txt");
}

BENCHMARK(BM_LexbinNote)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_QtFloor)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CFloor)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir;
    home = &dir;
    QDir(dir.path()).mkpath(QStringLiteral("config/Lexbin"));
    QFile conf(dir.path() + QStringLiteral("/config/Lexbin/Lexbin.conf"));
    if (!conf.open(QIODevice::WriteOnly)) {
        return 1;
    }
    conf.write("[Main]\nDataFilePath=" + dir.path().toUtf8() + "/lexbin.txt\n");
    conf.close();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
