// What selects the code of a fixed-function program: the D3D states that
// decide which operations run, as opposed to the values they run on
// (matrices, colours, light vectors, point-size numbers), which stay
// uniforms.  Each distinct key is one GL program, so states that cannot
// change the result are normalised away (arguments of an operation that
// does not read them, lighting states while lighting is off, point states
// for primitives that are not points) to keep the set of programs small:
// every new program costs a compile in the driver.
#pragma once

#include "gfx/device/DeviceState.h"
#include "gfx/device/VertexFormat.h"

#include <cstddef>
#include <cstdint>

namespace gfx::gl {

// Texture stages a program evaluates at most (the caps report this many).
constexpr int shaderStageCount = 4;
// Texture coordinate sets the vertex shader passes on.
constexpr int shaderTexCoordSets = 4;
// Lights a program adds up at most.
constexpr int shaderLightCount = 8;

// What a draw adds to the device state.
struct DrawSetup {
    VertexLayout layout;
    bool zeroToOne = false;    // glClipControl in effect
    float maxPointSize = 1.0f; // the device's limit
    bool pointList = false;    // point sprites texture points only, as in Direct3D
};

// Where a lit material colour comes from (after D3DRS_COLORVERTEX and the
// vertex format have had their say).
enum class MaterialSource : uint8_t { material, vertexDiffuse, vertexSpecular };

struct StageKey {
    uint8_t colourOp = 0;                   // D3DTOP_*
    uint8_t colourArg1 = 0, colourArg2 = 0; // D3DTA_*, 0 where the operation ignores it
    uint8_t alphaOp = 0;                    // D3DTOP_DISABLE passes the previous alpha on
    uint8_t alphaArg1 = 0, alphaArg2 = 0;
    uint8_t texCoordIndex = 0; // the set it samples with (0 when it samples nothing)
    uint8_t readsTexture = 0;
    bool operator==(const StageKey&) const = default;
};

// Byte-sized fields only, so the key has no padding and hashes as bytes.
struct ProgramKey {
    uint8_t pretransformed = 0;
    uint8_t zeroToOne = 0;
    uint8_t lighting = 0; // D3DRS_LIGHTING on a transformed vertex
    // Without lighting: the format has a diffuse (else opaque white) and a
    // specular colour (else zero); with lighting both are 0.
    uint8_t vertexDiffuse = 0;
    uint8_t vertexSpecular = 0;
    uint8_t normalizeNormals = 0;
    MaterialSource diffuseSource = MaterialSource::material;
    MaterialSource ambientSource = MaterialSource::material;
    MaterialSource emissiveSource = MaterialSource::material;
    uint8_t lightCount = 0;        // enabled lights, in slot order, at most shaderLightCount
    uint8_t directionalLights = 0; // bit i: light i is directional (else a point light)
    uint8_t points = 0;            // points are rasterised: the program writes a point size
    uint8_t hasPointSize = 0;      // the size comes from the vertex (else D3DRS_POINTSIZE)
    uint8_t pointScale = 0;
    uint8_t pointSprite = 0;
    uint8_t flatShading = 0;
    uint8_t specularEnable = 0;
    uint8_t alphaTest = 0; // a comparison that can fail
    uint8_t alphaFunc = 0; // D3DCMP_*, 0 without the test
    uint8_t stageCount = 0;
    StageKey stages[shaderStageCount];

    bool operator==(const ProgramKey&) const = default;
};

struct ProgramKeyHash {
    size_t operator()(const ProgramKey& key) const;
};

// The key of a draw with `state` and `setup`.
ProgramKey programKeyOf(const DeviceState& state, const DrawSetup& setup);

// Whether a D3DTOP_* operation reads its first / second argument, as the
// shader evaluates it.
bool operationReadsFirst(uint32_t op);
bool operationReadsSecond(uint32_t op);

} // namespace gfx::gl
