// Timings of a headless run (--bench): per-frame CPU time of advanceFrame and
// renderFrame, whole frames by the wall clock (Present and a GL finish
// included, so the GPU's share is in), the time from process start to the
// first presented frame and the peak resident memory.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace headless {

struct Summary {
    double median = 0, maximum = 0;
};
// Median (the mean of the middle two for an even count) and maximum; zeros
// for no values.
Summary summarize(std::vector<double> values);

// Seconds since this process started (the kernel's start time, 10 ms steps).
double secondsSinceProcessStart();
// Peak resident set size in bytes (getrusage's ru_maxrss).
int64_t peakResidentBytes();
// Seconds of a monotonic wall clock.
double wallSeconds();

struct BenchFigures {
    int32_t width = 0, height = 0;
    std::vector<double> advanceSeconds, renderSeconds, frameSeconds;
    double firstFrameSinceStart = 0; // process start to the first presented frame
    int64_t peakResident = 0;
};

// The report on standard output: a few readable lines.
std::string benchReport(const BenchFigures& figures);

} // namespace headless
