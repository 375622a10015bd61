// CPU storage of a 2D image and its mip levels, with D3D-style locking.
//
// Textures and image surfaces of both backends keep their texels here (the
// GL backend uploads a level when it is unlocked); rows are tightly packed,
// so the pitch is width x bytes per texel, rounded up to 4 bytes.
#pragma once

#include "gfx/device/Types.h"

#include <vector>

namespace gfx {

struct ImageLevel {
    uint32_t width = 0, height = 0;
    int32_t pitch = 0;
    std::vector<uint8_t> bytes;
    bool locked = false;
};

class ImageMemory {
public:
    // levels 0: the full chain.  Fails (empty result) on a zero size, a
    // format we do not store or more levels than the chain has.
    static bool create(uint32_t width, uint32_t height, uint32_t levels, D3DFORMAT format,
                       ImageMemory& out);

    D3DFORMAT format() const { return pixelFormat; }
    uint32_t levelCount() const { return static_cast<uint32_t>(levels.size()); }
    const ImageLevel& level(uint32_t index) const { return levels[index]; }
    ImageLevel& level(uint32_t index) { return levels[index]; }

    // D3DERR_INVALIDCALL for a bad level, a rect outside the level or a
    // level already locked.
    HRESULT lock(uint32_t index, D3DLOCKED_RECT* locked, const RECT* rect);
    HRESULT unlock(uint32_t index);

private:
    D3DFORMAT pixelFormat = D3DFMT_UNKNOWN;
    std::vector<ImageLevel> levels;
};

} // namespace gfx
