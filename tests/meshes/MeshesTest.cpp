// Sphere levels and the ring: sizes, layout of rows and seams, the index
// pattern, winding (what survives D3DCULL_CCW) and reversed normals.
#include "scene/Meshes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <memory>
#include <vector>

using namespace scene;

namespace {

struct Vec {
    double x, y, z;
};
Vec position(const MeshVertex& v) {
    return {v.x, v.y, v.z};
}
Vec sub(Vec a, Vec b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec cross(Vec a, Vec b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(Vec a, Vec b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

// For a triangle (a, b, c) in the left-handed frame, cross(b - a, c - a)
// points toward a viewer who sees it clockwise (the face D3DCULL_CCW keeps).
Vec frontNormal(const MeshVertex& a, const MeshVertex& b, const MeshVertex& c) {
    return cross(sub(position(b), position(a)), sub(position(c), position(a)));
}

class MeshesTest : public ::testing::Test {
protected:
    void SetUp() override {
        meshes = std::make_unique<MeshSet>();
        buildMeshes(*meshes);
    }
    std::unique_ptr<MeshSet> meshes;
};

} // namespace

TEST(VertexLayouts, SizesOffsetsAndFormats) {
    EXPECT_EQ(offsetof(MeshVertex, nx), 12u);
    EXPECT_EQ(offsetof(MeshVertex, tu), 24u);
    EXPECT_EQ(offsetof(ScreenVertex, rhw), 12u);
    EXPECT_EQ(offsetof(ScreenVertex, diffuse), 16u);
    EXPECT_EQ(offsetof(ScreenVertex, specular), 20u);
    EXPECT_EQ(offsetof(ScreenVertex, tu), 24u);
    EXPECT_EQ(offsetof(LineVertex, colour), 12u);
    const MeshVertex v(1, 2, 3, 4, 5, 6, 7, 8);
    EXPECT_EQ(v.z, 3.0f);
    EXPECT_EQ(v.nz, 6.0f);
    EXPECT_EQ(v.tv, 8.0f);
    const ScreenVertex s(1, 2, 0.5f, 1, 0xFF102030u, 0x80000000u, 0.25f, 0.75f);
    EXPECT_EQ(s.diffuse, 0xFF102030u);
    EXPECT_EQ(s.specular, 0x80000000u);
    EXPECT_EQ(s.tv, 0.75f);
}

TEST(SphereLevels, CountsAndDeviceBufferSizes) {
    const int vertexBytes[] = {1440, 4896, 17952, 68640};
    const int indexBytes[] = {384, 1536, 6144, 24576};
    const int triangles[] = {64, 256, 1024, 4096};
    for (int level = 0; level < sphereLevelCount; ++level) {
        const SphereMesh& mesh = sphereMeshes[level];
        EXPECT_EQ(mesh.vertexCount() * 32, vertexBytes[level]);
        EXPECT_EQ(mesh.indexCount() * 2, indexBytes[level]);
        EXPECT_EQ(mesh.triangleCount(), triangles[level]);
    }
    EXPECT_EQ(ringVertexCount * 32, 3968);
    MeshSet set;
    EXPECT_EQ(set.sphereVertices(3).size(), 2145u);
    EXPECT_EQ(set.sphereIndices(0).size(), 192u);
    EXPECT_TRUE(set.sphereVertices(4).empty());
    EXPECT_TRUE(set.sphereIndices(-1).empty());
}

TEST_F(MeshesTest, PolesSeamsAndTextureCoordinates) {
    for (int level = 0; level < sphereLevelCount; ++level) {
        const SphereMesh& mesh = sphereMeshes[level];
        const auto vertices = meshes->sphereVertices(level);
        const MeshVertex& north = vertices[0];
        EXPECT_EQ(north.x, 0.0f);
        EXPECT_EQ(north.y, 1.0f);
        EXPECT_EQ(north.z, 0.0f);
        EXPECT_EQ(north.ny, -1.0f);
        EXPECT_EQ(north.tu, 1.0f);
        EXPECT_EQ(north.tv, 0.0f);
        EXPECT_NEAR(vertices[mesh.vertexCount() - 1].y, -1.0f, 1e-6f);
        EXPECT_NEAR(vertices[mesh.vertexCount() - 1].tv, 1.0f, 1e-6f);

        const int row = mesh.slices + 1;
        for (int j = 0; j <= mesh.stacks; ++j) {
            const MeshVertex& first = vertices[j * row];
            const MeshVertex& last = vertices[j * row + mesh.slices];
            EXPECT_NEAR(last.x, first.x, 1e-6f);
            EXPECT_NEAR(last.y, first.y, 1e-6f);
            EXPECT_NEAR(last.z, first.z, 1e-6f);
            EXPECT_NEAR(last.tu, 0.0f, 1e-6f);
            EXPECT_EQ(first.tu, 1.0f);
            EXPECT_EQ(first.tv, last.tv);
        }
        for (const MeshVertex& v : vertices) {
            EXPECT_NEAR(v.x * v.x + v.y * v.y + v.z * v.z, 1.0f, 1e-6f);
            EXPECT_EQ(v.nx, -v.x); // normals point into the sphere
            EXPECT_EQ(v.ny, -v.y);
            EXPECT_EQ(v.nz, -v.z);
        }
    }
    // Level 0: vertex 17 closes row 1, opened by vertex 9.
    const auto level0 = meshes->sphereVertices(0);
    EXPECT_NEAR(level0[17].x, level0[9].x, 1e-6f);
    EXPECT_NEAR(level0[17].z, level0[9].z, 1e-6f);
    EXPECT_EQ(level0[9].tu, 1.0f);
    EXPECT_NEAR(level0[17].tu, 0.0f, 1e-6f);
    // phi = 0 lies on +z and grows toward +x.
    EXPECT_GT(level0[9].z, 0.5f);
    EXPECT_GT(level0[10].x, 0.0f);
}

TEST_F(MeshesTest, IndexPatternAndRange) {
    for (int level = 0; level < sphereLevelCount; ++level) {
        const SphereMesh& mesh = sphereMeshes[level];
        const auto indices = meshes->sphereIndices(level);
        const uint16_t s = static_cast<uint16_t>(mesh.slices);
        const uint16_t first[6] = {0, static_cast<uint16_t>(s + 2), 1,
                                   0, static_cast<uint16_t>(s + 1), static_cast<uint16_t>(s + 2)};
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(indices[i], first[i]) << level;
        std::vector<int> uses(mesh.vertexCount(), 0);
        for (uint16_t index : indices) {
            ASSERT_LT(index, mesh.vertexCount());
            ++uses[index];
        }
        for (int v = 0; v < mesh.vertexCount(); ++v)
            EXPECT_GT(uses[v], 0) << "vertex " << v;
    }
    const auto level3 = meshes->sphereIndices(3);
    EXPECT_EQ(level3[1], 66);
    EXPECT_EQ(level3[4], 65);
}

TEST_F(MeshesTest, OuterFacesAreClockwiseSeenFromOutside) {
    for (int level = 0; level < sphereLevelCount; ++level) {
        const auto vertices = meshes->sphereVertices(level);
        const auto indices = meshes->sphereIndices(level);
        int checked = 0;
        for (size_t i = 0; i < indices.size(); i += 3) {
            const MeshVertex& a = vertices[indices[i]];
            const MeshVertex& b = vertices[indices[i + 1]];
            const MeshVertex& c = vertices[indices[i + 2]];
            const Vec n = frontNormal(a, b, c);
            if (dot(n, n) < 1e-12) continue; // collapsed at a pole
            const Vec centre{(a.x + b.x + c.x) / 3.0, (a.y + b.y + c.y) / 3.0,
                             (a.z + b.z + c.z) / 3.0};
            EXPECT_GT(dot(n, centre), 0.0) << "level " << level << " triangle " << i / 3;
            ++checked;
        }
        EXPECT_GE(checked, sphereMeshes[level].triangleCount() - 2 * sphereMeshes[level].slices);
    }
}

TEST_F(MeshesTest, RingStripsFaceOppositeSides) {
    const MeshVertex* ring = meshes->ringVertices;
    EXPECT_EQ(ring[0].x, 2.5358f);
    EXPECT_EQ(ring[0].z, 0.0f);
    EXPECT_EQ(ring[0].tu, 0.0f);
    EXPECT_EQ(ring[0].tv, 0.0f);
    EXPECT_NEAR(ring[61].x, -1.2345f, 1e-6f);
    EXPECT_NEAR(ring[61].z, 0.0f, 1e-6f);
    EXPECT_NEAR(ring[61].tu, 1.0f, 1e-6f);
    EXPECT_EQ(ring[61].tv, 1.0f);
    EXPECT_NEAR(ring[62].x, -2.5358f, 1e-6f);
    EXPECT_EQ(ring[62].ny, 1.0f);
    EXPECT_NEAR(ring[62].tu, 1.0f, 1e-6f);
    EXPECT_EQ(ring[62].tv, 0.0f);
    EXPECT_EQ(ring[123].x, 1.2345f);
    EXPECT_EQ(ring[123].tv, 1.0f);

    for (int strip = 0; strip < 2; ++strip) {
        const MeshVertex* v = ring + strip * ringStripVertexCount;
        const double facing = strip == 0 ? 1.0 : -1.0; // clockwise seen from +y, then -y
        for (int i = 0; i < ringStripVertexCount; ++i) {
            EXPECT_EQ(v[i].y, 0.0f);
            EXPECT_EQ(v[i].ny, static_cast<float>(-facing)); // opposite the front face
        }
        for (int t = 0; t < ringStripVertexCount - 2; ++t) {
            // A strip's odd triangles are taken in swapped order.
            const MeshVertex& a = v[t % 2 ? t + 1 : t];
            const MeshVertex& b = v[t % 2 ? t : t + 1];
            const Vec n = frontNormal(a, b, v[t + 2]);
            EXPECT_GT(n.y * facing, 0.0) << "strip " << strip << " triangle " << t;
        }
    }
}

TEST(MeshBuilders, RefuseArraysThatAreTooShort) {
    std::vector<MeshVertex> vertices(44);
    std::vector<uint16_t> indices(192, 7);
    EXPECT_FALSE(buildSphere(sphereMeshes[0], vertices, indices));
    EXPECT_EQ(indices[0], 7); // nothing written
    vertices.resize(45);
    indices.resize(191);
    EXPECT_FALSE(buildSphere(sphereMeshes[0], vertices, indices));
    EXPECT_FALSE(buildSphere(SphereMesh{0, 4}, vertices, indices));
    std::vector<MeshVertex> ring(123);
    EXPECT_FALSE(buildRing(ring));
    ring.resize(124);
    EXPECT_TRUE(buildRing(ring));
}
