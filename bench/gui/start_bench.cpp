// Start-to-window time and peak memory of the launcher against the bare wx dialog, started in
// turn on the same display; each run ends when the program's first window is mapped.
// Usage: bench_gui_start --launcher PATH --bare PATH --folder DIR [--runs N] [benchmark flags]
#include <benchmark/benchmark.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "x11_window.h"

namespace {

std::string g_launcher;
std::string g_bare;
std::string g_folder;
int g_runs = 12;

struct Run {
    double seconds = 0;
    long peakKiB = 0;
};

// Starts the program in the folder and times it until it maps a window of its own.
Run StartOnce(Display* display, const std::string& program)
{
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        if (chdir(g_folder.c_str()) != 0)
            _exit(127);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    Run run;
    bool mapped = false;
    const int fd = ConnectionNumber(display);
    while (!mapped && std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        while (!mapped && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && !event.xmap.override_redirect &&
                WindowPid(display, event.xmap.window) == child)
                mapped = true;
        }
        if (mapped)
            break;
        WaitForServer(fd);
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    kill(child, SIGKILL);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    run.peakKiB = usage.ru_maxrss;
    if (!mapped)
        run.seconds = -1;
    return run;
}

// One benchmark iteration is the whole interleaved series: launcher, bare, launcher, bare...
void StartToWindow(benchmark::State& state)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        state.SkipWithError("no display: run it through bench/gui-bench.sh");
        return;
    }
    for (auto _ : state) {
        std::vector<double> launcher;
        std::vector<double> bare;
        std::vector<long> launcherKiB;
        std::vector<long> bareKiB;
        StartOnce(display, g_bare); // warms the file cache for both
        StartOnce(display, g_launcher);
        for (int i = 0; i < g_runs; ++i) {
            const Run a = StartOnce(display, g_launcher);
            const Run b = StartOnce(display, g_bare);
            if (a.seconds < 0 || b.seconds < 0) {
                state.SkipWithError("a program did not show its window");
                XCloseDisplay(display);
                return;
            }
            launcher.push_back(a.seconds);
            bare.push_back(b.seconds);
            launcherKiB.push_back(a.peakKiB);
            bareKiB.push_back(b.peakKiB);
        }
        const double l = Median(launcher);
        const double b = Median(bare);
        state.SetIterationTime(l);
        state.counters["launcher_ms"] = l * 1e3;
        state.counters["bare_dialog_ms"] = b * 1e3;
        state.counters["time_ratio"] = l / b;
        state.counters["launcher_peak_MiB"] = static_cast<double>(Median(launcherKiB)) / 1024.0;
        state.counters["bare_peak_MiB"] = static_cast<double>(Median(bareKiB)) / 1024.0;
        state.counters["runs_each"] = g_runs;
    }
    XCloseDisplay(display);
}

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string flag = argv[i];
        if (flag == "--launcher")
            g_launcher = argv[i + 1];
        else if (flag == "--bare")
            g_bare = argv[i + 1];
        else if (flag == "--folder")
            g_folder = argv[i + 1];
        else if (flag == "--runs")
            g_runs = std::max(10, std::atoi(argv[i + 1]));
    }
    if (g_launcher.empty() || g_bare.empty() || g_folder.empty()) {
        std::fprintf(stderr, "usage: %s --launcher PATH --bare PATH --folder DIR [--runs N]\n", argv[0]);
        return 2;
    }
    RegisterSeries("StartToWindow/launcher_vs_bare_dialog", StartToWindow);
    return ReportSeries();
}
