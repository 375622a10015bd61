// Memory figures of a headless run, sampled while it runs (--memory-every):
// what the process holds in RAM and how much of that is the C heap, so that
// growth can be told apart as ours (heap) or the driver's (its JIT code and
// buffers live in mappings of their own).
#pragma once

#include <cstdint>
#include <string>

namespace headless {

struct MemorySample {
    int32_t frame = 0;
    int64_t resident = 0;  // resident set now, bytes (/proc/self/statm)
    int64_t heapInUse = 0; // bytes in malloc blocks not yet freed
    int64_t heapHeld = 0;  // bytes malloc has taken from the system (arenas and
                           // its own mappings), in use or free inside
};

// The figures now; the heap figures are zero where the allocator is not
// glibc's (a sanitized build replaces it).
MemorySample sampleMemory(int32_t frame);

// One line: "memory frame 6000: resident 212.3 MB, heap in use 41.0 MB,
// heap held 60.2 MB, outside the heap 152.1 MB".
std::string memoryLine(const MemorySample& sample);

} // namespace headless
