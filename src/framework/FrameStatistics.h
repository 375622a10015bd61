// Frame statistics: the frames-per-second figure and the one-line
// description of rate, resolution, colour depth, depth buffer and
// multisampling that the overlay shows.
#pragma once

#include "gfx/device/Types.h"

#include <cstddef>

namespace framework {

// What the statistics line describes.
struct FrameCaptionFacts {
    float framesPerSecond = 0;
    uint32_t backBufferWidth = 0, backBufferHeight = 0;
    gfx::D3DFORMAT displayFormat = gfx::D3DFMT_UNKNOWN; // X8R8G8B8 reads 32, all else 16
    bool wantsDepthBuffer = false;
    gfx::D3DFORMAT depthStencilFormat = gfx::D3DFMT_UNKNOWN;
    gfx::D3DMULTISAMPLE_TYPE multisampleType = 0;
};

// "60.00 fps (640x480x32)" plus the depth and multisample suffixes, cut to
// fit `size` bytes (NUL included).
void formatFrameCaption(char* caption, size_t size, const FrameCaptionFacts& facts);

// The process-wide counter and last update time back to program start.
void resetFrameStatistics();

} // namespace framework
