// Start-to-window time, processor time and peak memory of Windows programs under Wine: Sandrel.exe (one build or
// several) against the system's property sheet over the same dialogs and an empty dialog, started
// in turn on one display and one warm wineserver.
// A run ends when the program's first top-level window is mapped and drawn: the time of the last
// change to its pixels (XDamage) before they stay still for --quiet-ms. The map alone is also
// reported; a program could map an empty frame early and fill it later, which the map hides. The
// processor time the program has used by the end of its quiet time says what it did, however busy
// the machine is. Beside the ratio of the medians, each program's time is also set against the
// system sheet's in the same round, a moment apart, and the median of those ratios is given: on a
// machine whose speed drifts during the series, that one says more.
// Usage: bench_wine_start --folder DIR --sheet EXE --empty EXE --launcher LABEL=EXE [--launcher ...]
//        [--runs N] [--quiet-ms MS] [benchmark flags]   (wine is $WINE, else wine on PATH)
#include <X11/extensions/Xdamage.h>
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "x11_window.h"

namespace {

using Clock = std::chrono::steady_clock;

struct Program {
    std::string label;
    std::string exe;
    std::vector<double> mapped; // seconds
    std::vector<double> drawn;
    std::vector<double> cpu;
    std::vector<long> peakKiB;
};

struct Run {
    double mapped = -1;
    double drawn = -1;
    double cpu = 0;
    long peakKiB = 0;
};

std::string g_folder;
std::string g_wine = "wine";
int g_runs = 20;
int g_quietMs = 250;
int g_damageEvent = 0;

double Since(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// Windows of other processes come and go (Wine's desktop, a killed program's last windows): a
// request about one already gone is no failure of the run.
int IgnoreErrors(Display*, XErrorEvent*) { return 0; }

// Starts the program in the folder and follows it until its first top-level window has been
// mapped and then left unchanged for the quiet time.
Run StartOnce(Display* display, const std::string& exe)
{
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, True);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(g_folder.c_str()) != 0)
            _exit(127);
        execlp(g_wine.c_str(), g_wine.c_str(), exe.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Run run;
    Window target = None;
    double lastChange = 0;
    const int fd = ConnectionNumber(display);
    while (Since(start) < 20) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify && event.xcreatewindow.parent == root) {
                // Watched from its creation: a program may draw as soon as it maps, before this
                // side has even heard of the map.
                XDamageCreate(display, event.xcreatewindow.window, XDamageReportRawRectangles);
            } else if (event.type == MapNotify && target == None && !event.xmap.override_redirect &&
                       WindowPid(display, event.xmap.window) == child) {
                target = event.xmap.window;
                run.mapped = lastChange = Since(start);
            } else if (event.type == g_damageEvent + XDamageNotify && target != None &&
                       reinterpret_cast<const XDamageNotifyEvent&>(event).drawable == target) {
                lastChange = Since(start);
            }
        }
        if (target != None && Since(start) - lastChange >= g_quietMs / 1000.0)
            break;
        WaitForServer(fd);
    }
    if (target != None)
        run.drawn = lastChange;
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;
    const auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    run.cpu = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    // The server and the desktop take down what the program left; the next start should not
    // pay for this one's end.
    usleep(static_cast<useconds_t>(g_quietMs) * 1000);
    return run;
}

// Runs every program once per round, each round starting one program further on, so that none
// always follows the same one; the first round only warms Wine and the file cache.
bool RunSeries(Display* display, std::vector<Program>& programs)
{
    const std::size_t n = programs.size();
    for (int round = -1; round < g_runs; ++round) {
        for (std::size_t k = 0; k < n; ++k) {
            Program& program = programs[(static_cast<std::size_t>(round + 1) + k) % n];
            const Run run = StartOnce(display, program.exe);
            if (run.drawn < 0) {
                std::fprintf(stderr, "bench_wine_start: %s showed no window\n", program.exe.c_str());
                return false;
            }
            if (round < 0)
                continue;
            program.mapped.push_back(run.mapped);
            program.drawn.push_back(run.drawn);
            program.cpu.push_back(run.cpu);
            program.peakKiB.push_back(run.peakKiB);
        }
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<char*> args(argv, argv + argc);
    char tabular[] = "--benchmark_counters_tabular=true";
    args.insert(args.begin() + 1, tabular);
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());
    std::vector<Program> programs;
    std::string sheet;
    std::string empty;
    for (int i = 1; i + 1 < count; i += 2) {
        const std::string flag = args[static_cast<std::size_t>(i)];
        const std::string value = args[static_cast<std::size_t>(i) + 1];
        if (flag == "--folder")
            g_folder = value;
        else if (flag == "--sheet")
            sheet = value;
        else if (flag == "--empty")
            empty = value;
        else if (flag == "--runs")
            g_runs = std::max(10, std::atoi(value.c_str()));
        else if (flag == "--quiet-ms")
            g_quietMs = std::max(50, std::atoi(value.c_str()));
        else if (flag == "--launcher" && value.find('=') != std::string::npos)
            programs.push_back({value.substr(0, value.find('=')), value.substr(value.find('=') + 1), {}, {}, {}, {}});
    }
    if (g_folder.empty() || sheet.empty() || empty.empty() || programs.empty()) {
        std::fprintf(stderr,
                     "usage: %s --folder DIR --sheet EXE --empty EXE --launcher LABEL=EXE [--launcher ...] [--runs N] "
                     "[--quiet-ms MS]\n",
                     argv[0]);
        return 2;
    }
    if (const char* wine = std::getenv("WINE"); wine != nullptr && *wine != '\0')
        g_wine = wine;
    programs.push_back({"system_sheet", sheet, {}, {}, {}, {}});
    programs.push_back({"empty_dialog", empty, {}, {}, {}, {}});

    Display* display = XOpenDisplay(nullptr);
    int damageError = 0;
    if (display == nullptr || !XDamageQueryExtension(display, &g_damageEvent, &damageError)) {
        std::fprintf(stderr, "bench_wine_start: no display with XDamage: run it through bench/win-gui-bench.sh\n");
        return 1;
    }
    XSetErrorHandler(IgnoreErrors);
    // The pointer waits in the screen's corner, over none of the windows: one that opened under
    // it would have to follow it (hit tests, the cursor, hot controls) where another would not.
    const Screen* screen = DefaultScreenOfDisplay(display);
    XWarpPointer(display, None, DefaultRootWindow(display), 0, 0, 0, 0, screen->width - 1, screen->height - 1);
    XSync(display, False);
    const bool complete = RunSeries(display, programs);
    XCloseDisplay(display);
    if (!complete)
        return 1;

    const Program& system = programs[programs.size() - 2];
    const double sheetDrawn = Median(system.drawn);
    const double emptyDrawn = Median(programs.back().drawn);
    for (const Program& program : programs) {
        const double drawn = Median(program.drawn);
        std::vector<double> ratios; // each round adds one run of every program
        for (std::size_t r = 0; r < program.drawn.size(); ++r)
            ratios.push_back(program.drawn[r] / system.drawn[r]);
        const double paired = Median(ratios);
        const double mapped = Median(program.mapped);
        const double cpu = Median(program.cpu);
        const double peak = static_cast<double>(Median(program.peakKiB)) / 1024.0;
        RegisterSeries("StartToWindow/" + program.label, [=](benchmark::State& state) {
            for (auto _ : state)
                state.SetIterationTime(drawn);
            state.counters["drawn_ms"] = drawn * 1e3;
            state.counters["mapped_ms"] = mapped * 1e3;
            state.counters["cpu_ms"] = cpu * 1e3;
            state.counters["to_sheet"] = drawn / sheetDrawn;
            state.counters["paired_sheet"] = paired;
            state.counters["to_empty"] = drawn / emptyDrawn;
            state.counters["peak_MiB"] = peak;
            state.counters["runs"] = g_runs;
        });
    }
    return ReportSeries();
}
