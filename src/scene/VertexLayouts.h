// The vertex layouts the scene, the render passes and the overlay share:
// lit mesh vertices, pre-transformed screen vertices and coloured line
// points, each with the flexible vertex format that describes it to the
// device.
#pragma once

#include "gfx/device/Types.h"

#include <cstdint>

namespace scene {

// Position, normal and texture coordinates (D3DFVF_XYZ | NORMAL | TEX1).
struct MeshVertex {
    float x = 0, y = 0, z = 0;
    float nx = 0, ny = 0, nz = 0;
    float tu = 0, tv = 0;

    MeshVertex() = default;
    MeshVertex(float x, float y, float z, float nx, float ny, float nz, float tu, float tv)
        : x(x), y(y), z(z), nx(nx), ny(ny), nz(nz), tu(tu), tv(tv) {}
};

// A pre-transformed vertex in pixels (D3DFVF_XYZRHW | DIFFUSE | SPECULAR |
// TEX1). Built, like MeshVertex, by one constructor taking the eight members
// in order; the two colours are ARGB.
struct ScreenVertex {
    float x = 0, y = 0, z = 0, rhw = 0;
    gfx::D3DCOLOR diffuse = 0, specular = 0;
    float tu = 0, tv = 0;

    ScreenVertex() = default;
    ScreenVertex(float x, float y, float z, float rhw, gfx::D3DCOLOR diffuse,
                 gfx::D3DCOLOR specular, float tu, float tv)
        : x(x), y(y), z(z), rhw(rhw), diffuse(diffuse), specular(specular), tu(tu), tv(tv) {}
};

// A coloured line point (D3DFVF_XYZ | DIFFUSE).
struct LineVertex {
    float x = 0, y = 0, z = 0;
    gfx::D3DCOLOR colour = 0;
};

static_assert(sizeof(MeshVertex) == 32, "MeshVertex must match its 32-byte vertex format");
static_assert(sizeof(ScreenVertex) == 32, "ScreenVertex must match its 32-byte vertex format");
static_assert(sizeof(LineVertex) == 16, "LineVertex must match its 16-byte vertex format");

constexpr uint32_t meshVertexFvf = gfx::D3DFVF_XYZ | gfx::D3DFVF_NORMAL | gfx::D3DFVF_TEX1;
constexpr uint32_t screenVertexFvf =
    gfx::D3DFVF_XYZRHW | gfx::D3DFVF_DIFFUSE | gfx::D3DFVF_SPECULAR | gfx::D3DFVF_TEX1;
constexpr uint32_t lineVertexFvf = gfx::D3DFVF_XYZ | gfx::D3DFVF_DIFFUSE;
static_assert(meshVertexFvf == 0x112 && screenVertexFvf == 0x1C4 && lineVertexFvf == 0x42);

} // namespace scene
