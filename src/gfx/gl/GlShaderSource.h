// The GLSL text of the fixed-function emulation, written for one program
// key: straight-line code holding only the operations that key selects
// (see GlProgram for the uniforms it reads).
#pragma once

#include "gfx/gl/GlProgramKey.h"

#include <string>

namespace gfx::gl {

// Attribute locations.
enum VertexAttribute : unsigned {
    attributePosition = 0,
    attributeNormal = 1,
    attributePointSize = 2,
    attributeDiffuse = 3,
    attributeSpecular = 4,
    attributeTexCoord0 = 5, // .. 5 + shaderTexCoordSets - 1
};

std::string vertexShaderSource(const ProgramKey& key);
std::string fragmentShaderSource(const ProgramKey& key);

} // namespace gfx::gl
