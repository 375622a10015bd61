// The window's own buffers as the device's back buffer.  A frame whose back
// buffer has the window's size and a format the window's buffers hold
// exactly is drawn straight into the window's back buffer, and Present only
// swaps: no copy of the frame through a second framebuffer.  Any other frame
// (a back buffer the window has outgrown before Reset, multisampling, a
// depth format the window lacks, no window) is drawn into the device's own
// framebuffer and shown by the scaling copy as before.
//
// The window's rows count from the bottom where the device's framebuffer
// keeps D3D's top row first.  Drawing into the window turns clip space
// upside down (glClipControl's upper-left origin) and counts viewport and
// scissor rows from the bottom; the driver's own flip of window rows then
// cancels both, so the rasteriser sees exactly the coordinates it sees in
// the framebuffer, and the pixels are the same.
#pragma once

#include "gfx/device/Types.h"
#include "gfx/gl/GlFunctions.h"

#include <cstdint>
#include <vector>

namespace gfx::gl {

// The bits of the window's buffers, as GL reports them.
struct WindowBufferFormat {
    GLint red = 0, green = 0, blue = 0, alpha = 0;
    GLint depth = 0, stencil = 0;
    GLint samples = 0;
};

// Read from the window's framebuffer, which must be bound as the context's
// default framebuffer (the window's context current).
WindowBufferFormat queryWindowBufferFormat(GlFunctions& gl, GLuint defaultFramebuffer);

// Whether a back buffer of these formats draws into the window's buffers
// with the same results as into the device's framebuffer: 8-bit colour
// (alpha too where the format keeps it), the same depth and stencil bits,
// and no multisampling on either side.
bool windowBufferHolds(const WindowBufferFormat& window, D3DFORMAT colour, D3DFORMAT depth,
                       uint32_t samples);

// The window's back buffer as 0xAARRGGBB, top row first (alpha 0xFF where
// the format has none), as GlBackBuffer::read gives the device's own.
void readWindowBuffer(GlFunctions& gl, GLuint defaultFramebuffer, uint32_t width, uint32_t height,
                      bool keepAlpha, std::vector<uint32_t>& argb);

} // namespace gfx::gl
