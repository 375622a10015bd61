// Memory figures of a headless run (see MemoryReport.h).
#include "MemoryReport.h"

#include <cstdio>
#include <malloc.h>
#include <unistd.h>

namespace headless {
namespace {

constexpr double megabyte = 1024.0 * 1024.0;

int64_t residentBytes() {
    // statm: total pages, resident pages, ...
    std::FILE* file = std::fopen("/proc/self/statm", "r");
    if (!file) return 0;
    long long total = 0, resident = 0;
    const bool read = std::fscanf(file, "%lld %lld", &total, &resident) == 2;
    std::fclose(file);
    return read ? int64_t(resident) * int64_t(sysconf(_SC_PAGESIZE)) : 0;
}

} // namespace

MemorySample sampleMemory(int32_t frame) {
    MemorySample sample;
    sample.frame = frame;
    sample.resident = residentBytes();
#if defined(__GLIBC__) && (__GLIBC__ > 2 || (__GLIBC__ == 2 && __GLIBC_MINOR__ >= 33))
    // uordblks: in use in the arenas; hblkhd: blocks malloc mapped on their own
    // (always in use); arena: what the arenas took from the system.
    const struct mallinfo2 info = mallinfo2();
    sample.heapInUse = int64_t(info.uordblks + info.hblkhd);
    sample.heapHeld = int64_t(info.arena + info.hblkhd);
#endif
    return sample;
}

std::string memoryLine(const MemorySample& sample) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "memory frame %d: resident %.1f MB, heap in use %.1f MB, heap held %.1f MB, "
                  "outside the heap %.1f MB\n",
                  sample.frame, double(sample.resident) / megabyte,
                  double(sample.heapInUse) / megabyte, double(sample.heapHeld) / megabyte,
                  double(sample.resident - sample.heapHeld) / megabyte);
    return text;
}

} // namespace headless
