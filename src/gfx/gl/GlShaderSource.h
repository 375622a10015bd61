// The GLSL text of the fixed-function emulation: one vertex and one
// fragment shader driven by uniforms (see GlPipeline for their meaning).
#pragma once

#include <string>

namespace gfx::gl {

// Texture stages the fragment shader evaluates (the caps report this many).
// Each is unrolled (samplers take constant indices only in GLSL 3.30), and
// llvmpipe recompiles the program for every new blend state, so the count
// is kept to what the program needs plus one.
constexpr int shaderStageCount = 4;
// Texture coordinate sets the vertex shader passes on.
constexpr int shaderTexCoordSets = 4;
constexpr int shaderLightCount = 8;

// Attribute locations.
enum VertexAttribute : unsigned {
    attributePosition = 0,
    attributeNormal = 1,
    attributePointSize = 2,
    attributeDiffuse = 3,
    attributeSpecular = 4,
    attributeTexCoord0 = 5, // .. 5 + shaderTexCoordSets - 1
};

std::string vertexShaderSource();
std::string fragmentShaderSource();

} // namespace gfx::gl
