// The settings helpers over the platform's settings store.
#include "framework/Settings.h"

namespace framework {

gfx::HRESULT loadRegistryDword(platform::Platform& platform, platform::HKEY key,
                               const char* valueName, uint32_t* value, uint32_t defaultValue) {
    uint32_t stored = 0;
    if (key && platform.querySettingsValue(key, valueName, &stored))
        *value = stored;
    else
        *value = defaultValue;
    return gfx::S_OK;
}

gfx::HRESULT storeRegistryDword(platform::Platform& platform, platform::HKEY key,
                                const char* valueName, uint32_t value) {
    if (!key || !platform.setSettingsValue(key, valueName, value)) return gfx::E_FAIL;
    return gfx::S_OK;
}

} // namespace framework
