// Whether the window's buffers can stand for the back buffer.
#include "gfx/gl/GlWindowBuffer.h"

#include <algorithm>

namespace gfx::gl {

namespace {

GLint attachmentSize(GlFunctions& gl, GLenum attachment, GLenum property) {
    GLint type = GL_NONE;
    gl.glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, attachment,
                                             GL_FRAMEBUFFER_ATTACHMENT_OBJECT_TYPE, &type);
    if (type == GL_NONE) return 0;
    GLint size = 0;
    gl.glGetFramebufferAttachmentParameteriv(GL_DRAW_FRAMEBUFFER, attachment, property, &size);
    return size;
}

struct DepthBits {
    GLint depth = 0, stencil = 0;
    bool stencilMatters = true; // false: a format with unused (X) bits
};

bool depthBitsOf(D3DFORMAT format, DepthBits& bits) {
    switch (format) {
    case D3DFMT_D16:
        bits = {16, 0, true};
        return true;
    case D3DFMT_D24X8:
        bits = {24, 0, false};
        return true;
    case D3DFMT_D24S8:
        bits = {24, 8, true};
        return true;
    case D3DFMT_D32:
        bits = {32, 0, true};
        return true;
    default:
        return false;
    }
}

} // namespace

WindowBufferFormat queryWindowBufferFormat(GlFunctions& gl, GLuint defaultFramebuffer) {
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, defaultFramebuffer);
    // The window system's framebuffer names its attachments by buffer, an
    // object of GL's by attachment point.
    const bool windowSystem = defaultFramebuffer == 0;
    const GLenum colour = windowSystem ? GL_BACK_LEFT : GL_COLOR_ATTACHMENT0;
    const GLenum depth = windowSystem ? GL_DEPTH : GL_DEPTH_ATTACHMENT;
    const GLenum stencil = windowSystem ? GL_STENCIL : GL_STENCIL_ATTACHMENT;
    WindowBufferFormat format;
    format.red = attachmentSize(gl, colour, GL_FRAMEBUFFER_ATTACHMENT_RED_SIZE);
    format.green = attachmentSize(gl, colour, GL_FRAMEBUFFER_ATTACHMENT_GREEN_SIZE);
    format.blue = attachmentSize(gl, colour, GL_FRAMEBUFFER_ATTACHMENT_BLUE_SIZE);
    format.alpha = attachmentSize(gl, colour, GL_FRAMEBUFFER_ATTACHMENT_ALPHA_SIZE);
    format.depth = attachmentSize(gl, depth, GL_FRAMEBUFFER_ATTACHMENT_DEPTH_SIZE);
    format.stencil = attachmentSize(gl, stencil, GL_FRAMEBUFFER_ATTACHMENT_STENCIL_SIZE);
    gl.glGetIntegerv(GL_SAMPLES, &format.samples);
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    return format;
}

bool windowBufferHolds(const WindowBufferFormat& window, D3DFORMAT colour, D3DFORMAT depth,
                       uint32_t samples) {
    if (samples > 1 || window.samples > 0) return false;
    if (window.red != 8 || window.green != 8 || window.blue != 8) return false;
    if (colour == D3DFMT_A8R8G8B8) {
        if (window.alpha != 8) return false;
    } else if (colour != D3DFMT_X8R8G8B8) {
        return false; // R5G6B5 would be rounded differently in 8-bit buffers
    }
    if (depth == D3DFMT_UNKNOWN) return true; // the window's depth, if any, goes unused
    DepthBits bits;
    if (!depthBitsOf(depth, bits) || window.depth != bits.depth) return false;
    return bits.stencilMatters ? window.stencil == bits.stencil : true;
}

void readWindowBuffer(GlFunctions& gl, GLuint defaultFramebuffer, uint32_t width, uint32_t height,
                      bool keepAlpha, std::vector<uint32_t>& argb) {
    argb.assign(size_t(width) * height, 0);
    gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, defaultFramebuffer);
    gl.glReadBuffer(defaultFramebuffer == 0 ? GL_BACK : GL_COLOR_ATTACHMENT0);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    gl.glReadPixels(0, 0, GLsizei(width), GLsizei(height), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    argb.data());
    // GL gives the bottom row first.
    for (uint32_t top = 0, bottom = height; top + 1 < bottom; ++top, --bottom)
        std::swap_ranges(argb.begin() + ptrdiff_t(top) * width,
                         argb.begin() + ptrdiff_t(top + 1) * width,
                         argb.begin() + ptrdiff_t(bottom - 1) * width);
    if (!keepAlpha)
        for (uint32_t& pixel : argb)
            pixel |= 0xFF000000u;
}

} // namespace gfx::gl
