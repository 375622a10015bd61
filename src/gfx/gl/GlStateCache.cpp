// Redundancy filter in front of the GL state calls.
#include "gfx/gl/GlStateCache.h"

namespace gfx::gl {

void GlStateCache::useProgram(GLuint program) {
    if (!known.program.differs(program)) return;
    GL_CHECK(gl, glUseProgram(program));
    known.program.set(program);
}

void GlStateCache::bindVertexArray(GLuint vertexArray) {
    if (!known.vertexArray.differs(vertexArray)) return;
    GL_CHECK(gl, glBindVertexArray(vertexArray));
    known.vertexArray.set(vertexArray);
}

void GlStateCache::bindArrayBuffer(GLuint buffer) {
    if (!known.arrayBuffer.differs(buffer)) return;
    GL_CHECK(gl, glBindBuffer(GL_ARRAY_BUFFER, buffer));
    known.arrayBuffer.set(buffer);
}

void GlStateCache::bindFramebuffer(GLuint framebuffer) {
    if (!known.framebuffer.differs(framebuffer)) return;
    GL_CHECK(gl, glBindFramebuffer(GL_FRAMEBUFFER, framebuffer));
    known.framebuffer.set(framebuffer);
}

void GlStateCache::bindTexture(GLuint unit, GLuint texture) {
    if (!known.textures[unit].differs(texture)) return;
    if (known.activeUnit != unit) {
        GL_CHECK(gl, glActiveTexture(GL_TEXTURE0 + unit));
        known.activeUnit = unit;
    }
    GL_CHECK(gl, glBindTexture(GL_TEXTURE_2D, texture));
    known.textures[unit].set(texture);
}

void GlStateCache::bindTextureForEdit(GLuint unit, GLuint texture) {
    bindTexture(unit, texture);
    if (known.activeUnit != unit) {
        GL_CHECK(gl, glActiveTexture(GL_TEXTURE0 + unit));
        known.activeUnit = unit;
    }
}

void GlStateCache::bindSampler(GLuint unit, GLuint sampler) {
    if (!known.samplers[unit].differs(sampler)) return;
    GL_CHECK(gl, glBindSampler(unit, sampler));
    known.samplers[unit].set(sampler);
}

void GlStateCache::setBlend(const BlendState& blend) {
    if (!known.blend.differs(blend)) return;
    const BlendState old = known.blend.value;
    const bool all = !known.blend.has;
    if (all || old.enable != blend.enable) {
        if (blend.enable)
            GL_CHECK(gl, glEnable(GL_BLEND));
        else
            GL_CHECK(gl, glDisable(GL_BLEND));
    }
    if (all || old.source != blend.source || old.destination != blend.destination)
        GL_CHECK(gl, glBlendFunc(blend.source, blend.destination));
    if (all || old.equation != blend.equation) GL_CHECK(gl, glBlendEquation(blend.equation));
    known.blend.set(blend);
}

void GlStateCache::setCull(bool enable, GLenum face) {
    if (known.cullEnable.differs(enable)) {
        if (enable)
            GL_CHECK(gl, glEnable(GL_CULL_FACE));
        else
            GL_CHECK(gl, glDisable(GL_CULL_FACE));
        known.cullEnable.set(enable);
    }
    if (enable && known.cullFace.differs(face)) {
        GL_CHECK(gl, glCullFace(face));
        known.cullFace.set(face);
    }
}

void GlStateCache::setPolygonMode(GLenum mode) {
    if (!known.polygonMode.differs(mode)) return;
    GL_CHECK(gl, glPolygonMode(GL_FRONT_AND_BACK, mode));
    known.polygonMode.set(mode);
}

void GlStateCache::setDepth(const DepthState& depth) {
    if (!known.depth.differs(depth)) return;
    const DepthState old = known.depth.value;
    const bool all = !known.depth.has;
    if (all || old.test != depth.test) {
        if (depth.test)
            GL_CHECK(gl, glEnable(GL_DEPTH_TEST));
        else
            GL_CHECK(gl, glDisable(GL_DEPTH_TEST));
    }
    if (all || old.function != depth.function) GL_CHECK(gl, glDepthFunc(depth.function));
    if (all || old.write != depth.write)
        GL_CHECK(gl, glDepthMask(depth.write ? GL_TRUE : GL_FALSE));
    known.depth.set(depth);
}

void GlStateCache::setDepthClamp(bool enable) {
    if (!known.depthClamp.differs(enable)) return;
    if (enable)
        GL_CHECK(gl, glEnable(GL_DEPTH_CLAMP));
    else
        GL_CHECK(gl, glDisable(GL_DEPTH_CLAMP));
    known.depthClamp.set(enable);
}

void GlStateCache::setColourMask(bool r, bool g, bool b, bool a) {
    const unsigned mask = unsigned(r) | unsigned(g) << 1 | unsigned(b) << 2 | unsigned(a) << 3;
    if (!known.colourMask.differs(mask)) return;
    GL_CHECK(gl, glColorMask(r, g, b, a));
    known.colourMask.set(mask);
}

void GlStateCache::setViewport(const Rectangle& viewport) {
    if (!known.viewport.differs(viewport)) return;
    GL_CHECK(gl, glViewport(viewport.x, viewport.y, viewport.width, viewport.height));
    known.viewport.set(viewport);
}

void GlStateCache::setScissor(const Rectangle& scissor) {
    if (!known.scissor.differs(scissor)) return;
    GL_CHECK(gl, glScissor(scissor.x, scissor.y, scissor.width, scissor.height));
    known.scissor.set(scissor);
}

void GlStateCache::setDepthRange(float nearZ, float farZ) {
    const std::array<float, 2> range{nearZ, farZ};
    if (!known.depthRange.differs(range)) return;
    GL_CHECK(gl, glDepthRange(nearZ, farZ));
    known.depthRange.set(range);
}

} // namespace gfx::gl
