// Sphere and ring meshes, computed in single precision from float
// constants so that every build produces the same vertices.
#include "scene/Meshes.h"

#include <cmath>

namespace scene {

namespace {

constexpr float pi = 3.1415927f;
constexpr float twoPi = 6.2831855f;
constexpr float inverseTwoPi = 0.15915494f;
constexpr float inversePi = 0.31830987f;
constexpr float ringAngleStep = 0.10471976f;    // pi / 30
constexpr float ringTextureStep = 0.033333335f; // 1 / 30
constexpr int32_t ringSteps = 31;

} // namespace

bool buildSphere(const SphereMesh& level, std::span<MeshVertex> vertices,
                 std::span<uint16_t> indices) {
    const int32_t slices = level.slices, stacks = level.stacks;
    if (slices <= 0 || stacks <= 0) return false;
    if (vertices.size() < static_cast<size_t>(level.vertexCount()) ||
        indices.size() < static_cast<size_t>(level.indexCount()))
        return false;
    // Every index must fit the 16-bit index buffer.
    if (level.vertexCount() > 65536) return false;

    const float thetaStep = pi / static_cast<float>(stacks);
    const float phiStep = twoPi / static_cast<float>(slices);

    for (int32_t j = 0; j <= stacks; ++j) {
        const float theta = static_cast<float>(j) * thetaStep;
        const float sinTheta = std::sin(theta), cosTheta = std::cos(theta);
        for (int32_t k = 0; k <= slices; ++k) {
            const float phi = static_cast<float>(k) * phiStep;
            const float x = std::sin(phi) * sinTheta;
            const float y = cosTheta;
            const float z = std::cos(phi) * sinTheta;
            vertices[j * (slices + 1) + k] =
                MeshVertex(x, y, z, -x, -y, -z, 1.0f - phi * inverseTwoPi, theta * inversePi);
        }
    }

    size_t next = 0;
    for (int32_t r = 0; r < stacks; ++r) {
        for (int32_t l = 0; l < slices; ++l) {
            const auto c = static_cast<uint16_t>(r * (slices + 1) + l);
            const auto d = static_cast<uint16_t>((r + 1) * (slices + 1) + l);
            const uint16_t quad[6] = {
                c, static_cast<uint16_t>(d + 1), static_cast<uint16_t>(c + 1), c,
                d, static_cast<uint16_t>(d + 1)};
            for (uint16_t index : quad)
                indices[next++] = index;
        }
    }
    return true;
}

bool buildRing(std::span<MeshVertex> vertices) {
    if (vertices.size() < static_cast<size_t>(ringVertexCount)) return false;
    for (int32_t j = 0; j < ringSteps; ++j) {
        const float angle = static_cast<float>(j) * ringAngleStep;
        const float tu = static_cast<float>(j) * ringTextureStep;
        const float cosA = std::cos(angle), sinA = std::sin(angle);
        const float outerX = ringOuterRadius * cosA, outerZ = ringOuterRadius * sinA;
        const float innerX = ringInnerRadius * cosA, innerZ = ringInnerRadius * sinA;

        // Upper face: clockwise seen from +y, normal toward -y.
        vertices[2 * j] = MeshVertex(outerX, 0.0f, outerZ, 0.0f, -1.0f, 0.0f, tu, 0.0f);
        vertices[2 * j + 1] = MeshVertex(innerX, 0.0f, innerZ, 0.0f, -1.0f, 0.0f, tu, 1.0f);
        // Lower face, in reverse angle order: clockwise seen from -y.
        vertices[122 - 2 * j] = MeshVertex(outerX, 0.0f, outerZ, 0.0f, 1.0f, 0.0f, tu, 0.0f);
        vertices[123 - 2 * j] = MeshVertex(innerX, 0.0f, innerZ, 0.0f, 1.0f, 0.0f, tu, 1.0f);
    }
    return true;
}

std::span<MeshVertex> MeshSet::sphereVertices(int32_t level) {
    switch (level) {
    case 0:
        return level0Vertices;
    case 1:
        return level1Vertices;
    case 2:
        return level2Vertices;
    case 3:
        return level3Vertices;
    default:
        return {};
    }
}

std::span<const MeshVertex> MeshSet::sphereVertices(int32_t level) const {
    return const_cast<MeshSet*>(this)->sphereVertices(level);
}

std::span<uint16_t> MeshSet::sphereIndices(int32_t level) {
    switch (level) {
    case 0:
        return level0Indices;
    case 1:
        return level1Indices;
    case 2:
        return level2Indices;
    case 3:
        return level3Indices;
    default:
        return {};
    }
}

std::span<const uint16_t> MeshSet::sphereIndices(int32_t level) const {
    return const_cast<MeshSet*>(this)->sphereIndices(level);
}

void buildMeshes(MeshSet& meshes) {
    for (int32_t level = 0; level < sphereLevelCount; ++level)
        buildSphere(sphereMeshes[level], meshes.sphereVertices(level), meshes.sphereIndices(level));
    buildRing(meshes.ringVertices);
}

} // namespace scene
