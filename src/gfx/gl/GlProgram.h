// One linked fixed-function program (the code of one ProgramKey) and the
// translation of a draw's D3D state into its uniforms.  Locations are looked
// up once at link time; each uniform keeps the bytes last sent, so a value
// already in the program costs one memcmp and no GL call.
#pragma once

#include "gfx/device/DeviceState.h"
#include "gfx/gl/GlFunctions.h"
#include "gfx/gl/GlProgramKey.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace gfx::gl {

// The uniforms a program may read (any of them may be absent from one).
enum class Uniform : uint8_t {
    worldView,
    projection,
    viewport,
    ambient,
    materialDiffuse,
    materialAmbient,
    materialEmissive,
    lightVector,
    lightDiffuse,
    lightAmbient,
    lightAttenuation,
    pointSize,
    pointScaleAbc,
    pointSizeRange,
    textureFactor,
    alphaRef,
    count
};

class GlProgram {
public:
    // Links the two sources; null with the compiler's or linker's log
    // appended to `log` on failure.
    static std::unique_ptr<GlProgram> create(GlFunctions& gl, const ProgramKey& key,
                                             const std::string& vertexSource,
                                             const std::string& fragmentSource, std::string& log);
    ~GlProgram();
    GlProgram(const GlProgram&) = delete;
    GlProgram& operator=(const GlProgram&) = delete;

    GLuint name() const { return programName; }
    const ProgramKey& key() const { return programKey; }
    // Sets the uniforms of a draw with `state` (the program must be in use).
    void upload(const DeviceState& state, const DrawSetup& setup);

private:
    GlProgram(GlFunctions& gl, GLuint program, const ProgramKey& key);

    // Bytes of the largest uniform: eight vec4 light values.
    static constexpr size_t largestUniform = sizeof(float) * 4 * shaderLightCount;
    struct Sent {
        uint32_t bytes = 0; // 0: nothing sent yet
        alignas(16) uint8_t data[largestUniform] = {};
    };
    // True (and the bytes kept) when `data` differs from what `uniform` holds.
    bool changed(Uniform uniform, const void* data, size_t bytes);
    GLint location(Uniform uniform) const { return locations[size_t(uniform)]; }

    void setFloat(Uniform uniform, float value);
    void setVec2(Uniform uniform, float x, float y);
    void setVec3s(Uniform uniform, const float* values, int count);
    void setVec4s(Uniform uniform, const float* values, int count);
    void setMatrix(Uniform uniform, const D3DMATRIX& matrix);

    GlFunctions& gl;
    GLuint programName;
    ProgramKey programKey;
    std::array<GLint, size_t(Uniform::count)> locations{};
    std::array<Sent, size_t(Uniform::count)> sent{};
};

} // namespace gfx::gl
