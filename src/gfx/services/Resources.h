// Resources embedded in the executable, found by name and kind as the
// program names them: ("IDB_BMP_EARTH", "BITMAP"), ("IDB_DDS_SATRING",
// "DDS"), ("TUT_3", "TEXT").  They live at ":/<KIND>/<NAME>" in the Qt
// resource system; this header keeps Qt out of its callers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace gfx {

struct ResourceData {
    const uint8_t* data = nullptr; // valid for the whole run; null when absent
    size_t size = 0;
};

// FindResource + LoadResource + LockResource + SizeofResource in one call.
ResourceData findResource(const char* name, const char* kind);

} // namespace gfx
