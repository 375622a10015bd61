// Back-buffer framebuffers, resolve and read-back.
#include "gfx/gl/GlBackBuffer.h"

namespace gfx::gl {

namespace {

GLenum colourStorage(D3DFORMAT format) {
    return format == D3DFMT_R5G6B5 ? GL_RGB565 : GL_RGBA8;
}

GLenum depthStorage(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE:
        return GL_DEPTH_COMPONENT16;
    case D3DFMT_D32:
        return GL_DEPTH_COMPONENT32;
    case D3DFMT_D24X8:
        return GL_DEPTH_COMPONENT24;
    default:
        return GL_DEPTH24_STENCIL8;
    }
}

GLuint makeRenderbuffer(GlFunctions& gl, GLenum storage, uint32_t samples, uint32_t width,
                        uint32_t height) {
    GLuint renderbuffer = 0;
    gl.glGenRenderbuffers(1, &renderbuffer);
    gl.glBindRenderbuffer(GL_RENDERBUFFER, renderbuffer);
    if (samples > 1)
        gl.glRenderbufferStorageMultisample(GL_RENDERBUFFER, GLsizei(samples), storage,
                                            GLsizei(width), GLsizei(height));
    else
        gl.glRenderbufferStorage(GL_RENDERBUFFER, storage, GLsizei(width), GLsizei(height));
    return renderbuffer;
}

} // namespace

bool GlBackBuffer::create(uint32_t width, uint32_t height, D3DFORMAT format, uint32_t samples,
                          D3DFORMAT depthFormat) {
    destroy();
    w = width;
    h = height;
    colourFormat = format;
    sampleCount = samples > 1 ? samples : 0;
    colour = makeRenderbuffer(gl, colourStorage(format), sampleCount, width, height);
    gl.glGenFramebuffers(1, &framebuffer);
    gl.glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colour);
    if (depthFormat != D3DFMT_UNKNOWN) {
        const GLenum storage = depthStorage(depthFormat);
        depth = makeRenderbuffer(gl, storage, sampleCount, width, height);
        gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER,
                                     storage == GL_DEPTH24_STENCIL8 ? GL_DEPTH_STENCIL_ATTACHMENT
                                                                    : GL_DEPTH_ATTACHMENT,
                                     GL_RENDERBUFFER, depth);
    }
    bool complete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete && sampleCount) {
        resolveColour = makeRenderbuffer(gl, colourStorage(format), 0, width, height);
        gl.glGenFramebuffers(1, &resolveFramebuffer);
        gl.glBindFramebuffer(GL_FRAMEBUFFER, resolveFramebuffer);
        gl.glFramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                     resolveColour);
        complete = gl.glCheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    }
    gl.glBindFramebuffer(GL_FRAMEBUFFER, 0);
    if (!complete) destroy();
    return complete;
}

void GlBackBuffer::destroy() {
    if (framebuffer) gl.glDeleteFramebuffers(1, &framebuffer);
    if (resolveFramebuffer) gl.glDeleteFramebuffers(1, &resolveFramebuffer);
    for (GLuint* renderbuffer : {&colour, &depth, &resolveColour})
        if (*renderbuffer) gl.glDeleteRenderbuffers(1, renderbuffer);
    framebuffer = colour = depth = resolveFramebuffer = resolveColour = 0;
}

GLuint GlBackBuffer::resolve() {
    if (!sampleCount) return framebuffer;
    gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    gl.glBindFramebuffer(GL_DRAW_FRAMEBUFFER, resolveFramebuffer);
    gl.glBlitFramebuffer(0, 0, GLint(w), GLint(h), 0, 0, GLint(w), GLint(h), GL_COLOR_BUFFER_BIT,
                         GL_NEAREST);
    return resolveFramebuffer;
}

void GlBackBuffer::read(std::vector<uint32_t>& argb) {
    const GLuint source = resolve();
    argb.assign(size_t(w) * h, 0);
    gl.glBindFramebuffer(GL_READ_FRAMEBUFFER, source);
    gl.glPixelStorei(GL_PACK_ALIGNMENT, 4);
    // Rows are stored top first already.  BGRA with the reversed 8-8-8-8
    // type is 0xAARRGGBB in a 32-bit word.
    gl.glReadPixels(0, 0, GLsizei(w), GLsizei(h), GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV,
                    argb.data());
    if (!hasAlpha())
        for (uint32_t& pixel : argb)
            pixel |= 0xFF000000u;
}

} // namespace gfx::gl
