// Timings of a headless run (see FrameBench.h).
#include "FrameBench.h"

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <unistd.h>

namespace headless {

Summary summarize(std::vector<double> values) {
    if (values.empty()) return {};
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    Summary summary;
    summary.median = n % 2 ? values[n / 2] : 0.5 * (values[n / 2 - 1] + values[n / 2]);
    summary.maximum = values.back();
    return summary;
}

double wallSeconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double secondsSinceProcessStart() {
    // Field 22 of /proc/self/stat is the start time in clock ticks since
    // boot; the command name (field 2) may hold spaces, so count from its ')'.
    std::ifstream file("/proc/self/stat");
    std::string stat((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    for (int i = 3; i < 22 && fields >> field;)
        ++i;
    unsigned long long startTicks = 0;
    if (!(fields >> startTicks)) return 0;
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    const double now = double(boot.tv_sec) + double(boot.tv_nsec) * 1e-9;
    return now - double(startTicks) / double(sysconf(_SC_CLK_TCK));
}

int64_t peakResidentBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return int64_t(usage.ru_maxrss) * 1024; // Linux reports kilobytes
}

std::string benchReport(const BenchFigures& figures) {
    const Summary advance = summarize(figures.advanceSeconds);
    const Summary render = summarize(figures.renderSeconds);
    const Summary frame = summarize(figures.frameSeconds);
    double total = 0;
    for (double s : figures.frameSeconds)
        total += s;
    const size_t frames = figures.frameSeconds.size();

    char text[1024];
    std::snprintf(
        text, sizeof text,
        "frames %zu at %dx%d\n"
        "advanceFrame CPU: median %.1f us, max %.1f us\n"
        "renderFrame CPU: median %.1f us, max %.1f us\n"
        "frame (Present + GL finish): median %.3f ms, max %.3f ms; %.1f fps at the median, "
        "%.1f fps over the run\n"
        "process start to first presented frame: %.3f s\n"
        "peak resident memory: %.1f MB\n",
        frames, figures.width, figures.height, advance.median * 1e6, advance.maximum * 1e6,
        render.median * 1e6, render.maximum * 1e6, frame.median * 1e3, frame.maximum * 1e3,
        frame.median > 0 ? 1.0 / frame.median : 0.0, total > 0 ? double(frames) / total : 0.0,
        figures.firstFrameSinceStart, double(figures.peakResident) / (1024.0 * 1024.0));
    return text;
}

} // namespace headless
