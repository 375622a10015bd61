// The GL state the backend last set, so that a state already in effect
// costs no GL call.  Everything the backend changes goes through here;
// invalidate() forgets it all (after a context switch or foreign GL calls).
#pragma once

#include "gfx/gl/GlFunctions.h"

#include <array>

namespace gfx::gl {

struct BlendState {
    bool enable = false;
    GLenum source = GL_ONE, destination = GL_ZERO, equation = GL_FUNC_ADD;
    bool operator==(const BlendState&) const = default;
};

struct DepthState {
    bool test = false;
    GLenum function = GL_LEQUAL;
    bool write = true;
    bool operator==(const DepthState&) const = default;
};

struct Rectangle {
    GLint x = 0, y = 0;
    GLsizei width = 0, height = 0;
    bool operator==(const Rectangle&) const = default;
};

class GlStateCache {
public:
    explicit GlStateCache(GlFunctions& gl) : gl(gl) {}
    void invalidate() { known = Known{}; }

    void useProgram(GLuint program);
    void bindVertexArray(GLuint vertexArray);
    void bindArrayBuffer(GLuint buffer);
    void bindFramebuffer(GLuint framebuffer);
    void bindTexture(GLuint unit, GLuint texture);
    // Binds `texture` on `unit` and makes that unit active, so that glTex*
    // calls reach this texture (bindTexture alone may leave another unit active).
    void bindTextureForEdit(GLuint unit, GLuint texture);
    void bindSampler(GLuint unit, GLuint sampler);
    void setBlend(const BlendState& blend);
    void setCull(bool enable, GLenum face);
    void setPolygonMode(GLenum mode);
    void setDepth(const DepthState& depth);
    // GL_DEPTH_CLAMP: no clipping at the near and far planes.
    void setDepthClamp(bool enable);
    void setColourMask(bool r, bool g, bool b, bool a);
    void setViewport(const Rectangle& viewport);
    void setScissor(const Rectangle& scissor);
    void setDepthRange(float nearZ, float farZ);

private:
    // Values the GL context is known to hold; "has" false means unknown.
    template <class T> struct Slot {
        bool has = false;
        T value{};
        bool differs(const T& wanted) const { return !has || !(value == wanted); }
        void set(const T& wanted) {
            has = true;
            value = wanted;
        }
    };
    struct Known {
        Slot<GLuint> program, vertexArray, arrayBuffer, framebuffer;
        std::array<Slot<GLuint>, 8> textures, samplers;
        GLuint activeUnit = ~0u;
        Slot<BlendState> blend;
        Slot<bool> cullEnable;
        Slot<GLenum> cullFace, polygonMode;
        Slot<DepthState> depth;
        Slot<bool> depthClamp;
        Slot<unsigned> colourMask;
        Slot<Rectangle> viewport, scissor;
        Slot<std::array<float, 2>> depthRange;
    };

    GlFunctions& gl;
    Known known;
};

} // namespace gfx::gl
