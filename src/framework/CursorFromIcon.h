// setCursorFromIcon: turns the window icon into the device's hardware cursor
// for full-screen mode, optionally stamped with a small grey mark.
#pragma once

#include "gfx/device/Device.h"
#include "platform/Platform.h"

namespace framework {

// The cursor image is the icon's size (half the mask height for a monochrome
// icon), A8R8G8B8, transparent where the AND mask is set; the hot spot is the
// icon's.  E_FAIL for an icon whose rows do not match its size, else the
// device's failure, else the result of SetCursorProperties.
gfx::HRESULT setCursorFromIcon(gfx::Device* device, const platform::IconImage& icon, bool addMark);

} // namespace framework
