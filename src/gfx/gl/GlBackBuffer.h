// The back buffer: a framebuffer object of the presentation's size, format
// and sample count, with the automatic depth buffer when one was asked for.
// A multisampled buffer is resolved into a single-sample one before it is
// shown or read.  Rows are stored top first (GL row 0 is D3D's row 0).
#pragma once

#include "gfx/device/Types.h"
#include "gfx/gl/GlFunctions.h"

#include <vector>

namespace gfx::gl {

class GlBackBuffer {
public:
    explicit GlBackBuffer(GlFunctions& gl) : gl(gl) {}
    ~GlBackBuffer() { destroy(); }

    // False (and nothing made) when GL refuses the combination.
    bool create(uint32_t width, uint32_t height, D3DFORMAT format, uint32_t samples,
                D3DFORMAT depthFormat);
    void destroy();

    GLuint drawFramebuffer() const { return framebuffer; }
    // The single-sample framebuffer holding the finished image.
    GLuint resolve();
    uint32_t width() const { return w; }
    uint32_t height() const { return h; }
    D3DFORMAT format() const { return colourFormat; }
    bool hasDepth() const { return depth != 0; }
    bool hasAlpha() const { return colourFormat == D3DFMT_A8R8G8B8; }
    // The pixels as 0xAARRGGBB, top row first (alpha 0xFF for formats without).
    void read(std::vector<uint32_t>& argb);

private:
    GlFunctions& gl;
    uint32_t w = 0, h = 0;
    D3DFORMAT colourFormat = D3DFMT_UNKNOWN;
    uint32_t sampleCount = 0;
    GLuint framebuffer = 0, colour = 0, depth = 0;
    GLuint resolveFramebuffer = 0, resolveColour = 0;
};

} // namespace gfx::gl
