// 32-bit settings in the program's settings store (the registry key of the
// original design), read with a default and written back.
#pragma once

#include "gfx/device/Types.h"
#include "platform/Platform.h"

namespace framework {

// value = the stored number, or defaultValue when the key is not open, the
// value is missing or it is not an unsigned 32-bit number.  Always 0.
gfx::HRESULT loadRegistryDword(platform::Platform& platform, platform::HKEY key,
                               const char* valueName, uint32_t* value, uint32_t defaultValue);

// 0, or E_FAIL when the key is not open or the write fails.
gfx::HRESULT storeRegistryDword(platform::Platform& platform, platform::HKEY key,
                                const char* valueName, uint32_t value);

} // namespace framework
