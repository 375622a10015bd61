// The meshes built once at start-up: four latitude/longitude unit spheres
// (the levels of detail) and one flat half-annulus for planetary rings.
//
// The meshes are unit-sized (radii in units of the body's radius); each draw
// scales them through its world matrix. Normals on spheres and rings point
// to the side opposite the front face (inward on the spheres), so that the
// sun light, which points from the planet toward the Sun, lights the
// sun-facing side.
#pragma once

#include "scene/VertexLayouts.h"

#include <cstdint>
#include <span>

namespace scene {

// One level of detail: slices columns around the polar axis, stacks rows
// from pole to pole, drawn as an indexed triangle list with 16-bit indices.
struct SphereMesh {
    int32_t slices = 0;
    int32_t stacks = 0;

    constexpr int32_t vertexCount() const { return (stacks + 1) * (slices + 1); }
    constexpr int32_t indexCount() const { return 6 * slices * stacks; }
    constexpr int32_t triangleCount() const { return 2 * slices * stacks; }
};

constexpr int32_t sphereLevelCount = 4;
constexpr SphereMesh sphereMeshes[sphereLevelCount] = {{8, 4}, {16, 8}, {32, 16}, {64, 32}};

// The ring: two triangle strips of 62 vertices (60 triangles each), the
// upper face first, then the lower face.
constexpr int32_t ringVertexCount = 124;
constexpr int32_t ringStripVertexCount = 62;
constexpr float ringOuterRadius = 2.5358f; // planet radii
constexpr float ringInnerRadius = 1.2345f;

// Fills one sphere level: vertex (j, k) of row j (0 = north pole, y = +1)
// and column k (0 on +z, growing toward +x; the last column repeats the
// first for the texture seam) at j * (slices + 1) + k, then six indices per
// quad, clockwise seen from outside. False, and nothing written, when a
// span is shorter than the level's vertex or index count.
bool buildSphere(const SphereMesh& level, std::span<MeshVertex> vertices,
                 std::span<uint16_t> indices);

// Fills the ring's 124 vertices in the y = 0 plane, spanning angles 0 to pi;
// tv runs from the outer edge (0) to the inner edge (1). False, and nothing
// written, when the span is shorter.
bool buildRing(std::span<MeshVertex> vertices);

// Every mesh the application keeps, in its order: each level's vertex array
// then its index array, levels 0 to 3, then the ring.
struct MeshSet {
    MeshVertex level0Vertices[sphereMeshes[0].vertexCount()];
    uint16_t level0Indices[sphereMeshes[0].indexCount()] = {};
    MeshVertex level1Vertices[sphereMeshes[1].vertexCount()];
    uint16_t level1Indices[sphereMeshes[1].indexCount()] = {};
    MeshVertex level2Vertices[sphereMeshes[2].vertexCount()];
    uint16_t level2Indices[sphereMeshes[2].indexCount()] = {};
    MeshVertex level3Vertices[sphereMeshes[3].vertexCount()];
    uint16_t level3Indices[sphereMeshes[3].indexCount()] = {};
    MeshVertex ringVertices[ringVertexCount];

    // The arrays of level 0..3 (empty spans for any other level).
    std::span<MeshVertex> sphereVertices(int32_t level);
    std::span<const MeshVertex> sphereVertices(int32_t level) const;
    std::span<uint16_t> sphereIndices(int32_t level);
    std::span<const uint16_t> sphereIndices(int32_t level) const;
};

// Fills all four sphere levels and the ring. Written once, before any device
// exists; the device buffers are copied from these arrays.
void buildMeshes(MeshSet& meshes);

} // namespace scene
