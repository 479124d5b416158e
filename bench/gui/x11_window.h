// What both start-up benches ask of the X server and of their series: whose a window is, a short
// wait for the server's next word, the median of a series, and the series' report.
#pragma once

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <benchmark/benchmark.h>
#include <sys/select.h>
#include <sys/types.h>

#include <algorithm>
#include <string>
#include <vector>

// The process that made the window, as it says itself (_NET_WM_PID; 0 when it does not).
inline pid_t WindowPid(Display* display, Window window)
{
    static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long items = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    pid_t pid = 0;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &items, &after, &data) ==
            Success &&
        data != nullptr) {
        if (items == 1 && format == 32)
            pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
        XFree(data);
    }
    return pid;
}

// Waits until the X connection `fd` has something to read, or 2 ms at the most.
inline void WaitForServer(int fd)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(fd, &set);
    timeval wait{0, 2000};
    select(fd + 1, &set, nullptr, nullptr, &wait);
}

template <class T> T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? T{} : (n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2);
}

// A series already measured, reported as one iteration of manual time in milliseconds.
template <class Report> void RegisterSeries(const std::string& name, Report report)
{
    benchmark::RegisterBenchmark(name.c_str(), report)->Iterations(1)->UseManualTime()->Unit(benchmark::kMillisecond);
}

// Prints the registered series; the bench's exit status.
inline int ReportSeries()
{
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
