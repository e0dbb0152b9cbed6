// Start-up benchmark, run by hand under an X server (bench/startup.sh brings its own Xvfb).
// Launches Lexbin and the floor program in turn (ABAB... so drift hits both alike) and for
// each launch measures the time from fork to the first top-level window being mapped, and
// the peak RSS (VmHWM) at that moment. Compares medians against the targets:
// Lexbin <= 1.3 x floor time, Lexbin <= floor + 10 MiB peak RSS. --drafts N puts N drafts
// of unsaved notes, as runs killed earlier leave them, in each launch's fresh home.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

constexpr auto kLaunchTimeout = std::chrono::seconds(20);
constexpr auto kTermGrace = std::chrono::seconds(2);
constexpr double kTimeRatioTarget = 1.3;
constexpr double kRssExtraTargetMiB = 10.0;

struct Sample {
    double ms;
    double peakMiB;
};

// A window that vanished between the event and our query raises BadWindow; that only
// means "not ours", so X errors are ignored rather than aborting the run.
int ignoreXError(Display*, XErrorEvent*) {
    return 0;
}

// _NET_WM_PID of a window, if set. Qt sets it on every top-level before mapping it.
std::optional<unsigned long> windowPid(Display* dpy, Window w, Atom netWmPid) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<unsigned long> pid;
    if (XGetWindowProperty(dpy, w, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                           &after, &data) == Success &&
        data != nullptr && type == XA_CARDINAL && format == 32 && count == 1) {
        pid = *reinterpret_cast<unsigned long*>(data);  // format 32 arrives as long
    }
    if (data != nullptr)
        XFree(data);
    return pid;
}

// Peak resident set so far, from the kernel's high-water mark.
double peakRssMiB(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;  // kB -> MiB
    }
    return NAN;
}

// The inherited environment with fresh, empty per-launch settings and home directories,
// so no run sees what an earlier one wrote, and the same locale every time.
std::vector<std::string> childEnvironment(const fs::path& dir) {
    const std::vector<std::string> overrides = {
        "XDG_CONFIG_HOME=" + (dir / "config").string(), "HOME=" + (dir / "home").string(),
        "LC_ALL=C.UTF-8",
        "QT_QPA_PLATFORM=xcb",  // the X server is what we watch, whatever else is around
    };
    std::vector<std::string> env;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        const auto key = entry.substr(0, entry.find('=') + 1);
        if (std::none_of(overrides.begin(), overrides.end(),
                         [&](const std::string& o) { return o.rfind(key, 0) == 0; }))
            env.push_back(entry);
    }
    env.insert(env.end(), overrides.begin(), overrides.end());
    return env;
}

void stopChild(pid_t pid) {
    kill(pid, SIGTERM);
    const auto giveUp = Clock::now() + kTermGrace;
    while (waitpid(pid, nullptr, WNOHANG) == 0) {
        if (Clock::now() > giveUp) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
            return;
        }
        usleep(5000);
    }
}

// One launch: fork+exec `program`, wait for its first top-level window to be mapped.
// Without a window manager that is a MapNotify on the root for the client window itself.
// With a reparenting window manager the client is first moved into a frame
// (ReparentNotify on the root, since the root was its old parent) and the frame is then
// mapped (MapNotify on the root); the client's own MapNotify goes to the frame, not to us.
std::optional<Sample> launch(Display* dpy, const std::string& program, int drafts) {
    const Window root = DefaultRootWindow(dpy);
    const Atom netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
    XSync(dpy, True);  // drop leftovers (unmaps, destroys) from the previous launch

    char dirTemplate[] = "/tmp/startup_bench.XXXXXX";
    if (mkdtemp(dirTemplate) == nullptr) {
        std::perror("mkdtemp");
        return std::nullopt;
    }
    const fs::path dir = dirTemplate;
    fs::create_directory(dir / "config");
    fs::create_directory(dir / "home");
    if (drafts > 0) {
        const fs::path state = dir / "home/.local/state/Lexbin";
        fs::create_directories(state);
        fs::permissions(state, fs::perms::owner_all);
        for (int n = 1; n <= drafts; ++n) {
            std::ofstream(state / (std::to_string(n) + ".txt")) << "leftover note " << n;
        }
    }
    const std::string log = (dir / "output.log").string();
    const std::vector<std::string> env = childEnvironment(dir);
    std::vector<char*> envp;
    for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
    envp.push_back(nullptr);
    char* argv[] = {const_cast<char*>(program.c_str()), nullptr};

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid < 0) {
        std::perror("fork");
        fs::remove_all(dir);
        return std::nullopt;
    }
    if (pid == 0) {
        // Keep the child's chatter out of the report but at hand if the launch fails.
        const int out = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out >= 0) {
            dup2(out, STDOUT_FILENO);
            dup2(out, STDERR_FILENO);
        }
        execve(argv[0], argv, envp.data());
        std::fprintf(stderr, "exec %s: %s\n", argv[0], std::strerror(errno));
        _exit(127);
    }

    std::set<Window> frames;  // frames our client was reparented into
    std::optional<Sample> result;
    const char* failure = nullptr;
    bool reaped = false;
    const int xfd = ConnectionNumber(dpy);
    while (!result && failure == nullptr) {
        while (!result && XPending(dpy) > 0) {
            XEvent ev;
            XNextEvent(dpy, &ev);
            if (ev.type == ReparentNotify && ev.xreparent.event == root &&
                ev.xreparent.parent != root &&
                windowPid(dpy, ev.xreparent.window, netWmPid) == static_cast<unsigned long>(pid))
                frames.insert(ev.xreparent.parent);
            if (ev.type != MapNotify || ev.xmap.event != root || ev.xmap.override_redirect)
                continue;  // popups and tooltips are not "the window"
            const Window w = ev.xmap.window;
            const auto owner = windowPid(dpy, w, netWmPid);
            // A window without _NET_WM_PID is taken as ours too: nothing else is meant to
            // map windows on this display while the benchmark runs.
            if (frames.count(w) != 0 || !owner || *owner == static_cast<unsigned long>(pid)) {
                const double ms =
                    std::chrono::duration<double, std::milli>(Clock::now() - start).count();
                result = Sample{ms, peakRssMiB(pid)};
            }
        }
        if (result)
            break;
        const auto left = kLaunchTimeout - (Clock::now() - start);
        if (left <= Clock::duration::zero()) {
            failure = "no window within 20 s";
        } else if (waitpid(pid, nullptr, WNOHANG) == pid) {
            reaped = true;
            failure = "exited before showing a window";
        } else {
            // Short slices so an early exit is noticed; an X event wakes us at once.
            const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
            pollfd p{xfd, POLLIN, 0};
            poll(&p, 1, static_cast<int>(std::min<long long>(ms, 50)));
        }
    }

    if (!reaped)
        stopChild(pid);
    if (failure != nullptr) {
        std::fprintf(stderr, "FAILED: %s: %s\n", program.c_str(), failure);
        std::ifstream out(log);
        for (std::string line; std::getline(out, line);)
            std::fprintf(stderr, "  | %s\n", line.c_str());
    }
    fs::remove_all(dir);
    return result;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    return n % 2 == 1 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2.0;
}

double mean(const std::vector<double>& v) {
    return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
}

double stddev(const std::vector<double>& v) {
    const double m = mean(v);
    double sum = 0;
    for (double x : v) sum += (x - m) * (x - m);
    return v.size() > 1 ? std::sqrt(sum / static_cast<double>(v.size() - 1)) : 0.0;
}

struct Summary {
    double medianMs, meanMs, minMs, maxMs, sdMs, medianMiB;
};

Summary summarize(const std::vector<Sample>& samples) {
    std::vector<double> ms, mib;
    for (const auto& s : samples) {
        ms.push_back(s.ms);
        mib.push_back(s.peakMiB);
    }
    return {median(ms),
            mean(ms),
            *std::min_element(ms.begin(), ms.end()),
            *std::max_element(ms.begin(), ms.end()),
            stddev(ms),
            median(mib)};
}

void usage(const char* self) {
    std::fprintf(stderr, "usage: %s [--rounds N] [--drafts N] [--lexbin PATH] [--floor PATH]\n",
                 self);
}

}  // namespace

int main(int argc, char* argv[]) {
    int rounds = 20;
    int drafts = 0;
    std::string programs[2] = {STARTUP_LEXBIN_PATH, STARTUP_FLOOR_PATH};
    const char* names[2] = {"lexbin", "floor"};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--rounds" && i + 1 < argc) {
            rounds = std::atoi(argv[++i]);
        } else if (arg == "--drafts" && i + 1 < argc) {
            drafts = std::atoi(argv[++i]);
        } else if (arg == "--lexbin" && i + 1 < argc) {
            programs[0] = argv[++i];
        } else if (arg == "--floor" && i + 1 < argc) {
            programs[1] = argv[++i];
        } else {
            usage(argv[0]);
            return 1;
        }
    }
    if (rounds < 1) {
        usage(argv[0]);
        return 1;
    }

    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        std::fprintf(stderr,
                     "startup_bench: DISPLAY is not set; run it through bench/startup.sh\n");
        return 1;
    }
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        std::fprintf(stderr, "startup_bench: cannot open display %s\n", display);
        return 1;
    }
    fcntl(ConnectionNumber(dpy), F_SETFD, FD_CLOEXEC);  // the children open their own
    XSetErrorHandler(ignoreXError);
    // Selected before any fork, so no map can slip past.
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);

    // One untimed launch each first, so neither side pays alone for cold disk caches.
    for (const auto& program : programs) {
        if (!launch(dpy, program, drafts))
            return 1;
    }

    std::printf("%d rounds, lexbin/floor alternating, on display %s\n", rounds, display);
    std::vector<Sample> samples[2];
    for (int r = 0; r < rounds; ++r) {
        for (int p = 0; p < 2; ++p) {
            const auto s = launch(dpy, programs[p], drafts);
            if (!s)
                return 1;
            samples[p].push_back(*s);
            std::printf("round %2d  %-6s  %8.1f ms  %6.1f MiB\n", r + 1, names[p], s->ms,
                        s->peakMiB);
        }
    }
    XCloseDisplay(dpy);

    const Summary lex = summarize(samples[0]);
    const Summary floor = summarize(samples[1]);
    std::printf("\n%-7s %10s %9s %9s %9s %9s %11s\n", "", "median ms", "mean ms", "min ms",
                "max ms", "stdev ms", "median MiB");
    for (int p = 0; p < 2; ++p) {
        const Summary& s = p == 0 ? lex : floor;
        std::printf("%-7s %10.1f %9.1f %9.1f %9.1f %9.1f %11.1f\n", names[p], s.medianMs, s.meanMs,
                    s.minMs, s.maxMs, s.sdMs, s.medianMiB);
    }
    const double ratio = lex.medianMs / floor.medianMs;
    const double extra = lex.medianMiB - floor.medianMiB;
    const bool timeOk = ratio <= kTimeRatioTarget;
    const bool rssOk = extra <= kRssExtraTargetMiB;
    std::printf("\ntime  lexbin/floor = %.2f   (target <= %.1f)      %s\n", ratio, kTimeRatioTarget,
                timeOk ? "PASS" : "FAIL");
    std::printf("RSS   lexbin - floor = %+.1f MiB (target <= +%.0f MiB) %s\n", extra,
                kRssExtraTargetMiB, rssOk ? "PASS" : "FAIL");
    return timeOk && rssOk ? 0 : 2;
}
