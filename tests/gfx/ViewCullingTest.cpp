// View culling: a draw is skipped only when none of its bounding sphere can
// reach the clip volume; anything touching the view, near it or unknown is
// kept.
#include "gfx/device/ViewCulling.h"
#include "gfx/math/Math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

using namespace gfx;

struct Camera {
    D3DXMATRIX view, projection;
    D3DVIEWPORT8 viewport{0, 0, 800, 600, 0, 1};
    Camera() {
        const D3DXVECTOR3 eye{0, 0, -10}, at{0, 0, 0}, up{0, 1, 0};
        D3DXMatrixLookAtLH(&view, &eye, &at, &up);
        D3DXMatrixPerspectiveFovLH(&projection, 0.8f, 4.0f / 3.0f, 1.0f, 100.0f);
    }
    bool culled(const BoundingSphere& sphere, const D3DXMATRIX& world) const {
        return outsideView(sphere, world, view, projection, viewport);
    }
    // Whether a model-space point lands in the clip volume, in doubles.
    bool inside(const D3DXMATRIX& world, double x, double y, double z) const {
        D3DXMATRIX wv, m;
        D3DXMatrixMultiply(&wv, &world, &view);
        D3DXMatrixMultiply(&m, &wv, &projection);
        double clip[4];
        for (int c = 0; c < 4; ++c)
            clip[c] = x * m.m[0][c] + y * m.m[1][c] + z * m.m[2][c] + m.m[3][c];
        return clip[0] >= -clip[3] && clip[0] <= clip[3] && clip[1] >= -clip[3] &&
               clip[1] <= clip[3] && clip[2] >= 0 && clip[2] <= clip[3];
    }
};

D3DXMATRIX placed(float x, float y, float z, float scale = 1) {
    D3DXMATRIX s, t, out;
    D3DXMatrixScaling(&s, scale, scale, scale);
    D3DXMatrixTranslation(&t, x, y, z);
    D3DXMatrixMultiply(&out, &s, &t);
    return out;
}

const BoundingSphere unit{0, 0, 0, 1};

TEST(ViewCulling, SpheresWhollyOutsideAreCulledAndTheRestKept) {
    const Camera camera;
    EXPECT_FALSE(camera.culled(unit, placed(0, 0, 0)));   // in the middle
    EXPECT_TRUE(camera.culled(unit, placed(40, 0, 0)));   // far right
    EXPECT_TRUE(camera.culled(unit, placed(0, -40, 0)));  // far below
    EXPECT_TRUE(camera.culled(unit, placed(0, 0, -20)));  // behind the eye
    EXPECT_TRUE(camera.culled(unit, placed(0, 0, 200)));  // past the far plane
    EXPECT_FALSE(camera.culled(unit, placed(0, 0, -10))); // around the eye: crosses the near plane
    // Just across the right edge at the centre's depth (the half width there
    // is 10 tan(0.4) 4/3 = 5.64): the sphere still reaches in.
    EXPECT_FALSE(camera.culled(unit, placed(6.5f, 0, 0)));
    EXPECT_TRUE(camera.culled(unit, placed(7.5f, 0, 0)));
    // The world's scale counts: a large body off to the side reaches in.
    EXPECT_FALSE(camera.culled(unit, placed(12, 0, 0, 8)));
}

TEST(ViewCulling, UnknownBoundsAndBadTransformsAreNeverCulled) {
    const Camera camera;
    EXPECT_FALSE(camera.culled(BoundingSphere{}, placed(40, 0, 0)));
    EXPECT_FALSE(camera.culled(BoundingSphere{0, 0, 0, NAN}, placed(40, 0, 0)));
    D3DXMATRIX broken = placed(40, 0, 0);
    broken.m[3][0] = NAN;
    EXPECT_FALSE(camera.culled(unit, broken));
    Camera empty;
    empty.viewport.Width = 0;
    EXPECT_FALSE(empty.culled(unit, placed(40, 0, 0)));
}

TEST(ViewCulling, NoCulledSphereHasAPointInView) {
    const Camera camera;
    std::mt19937 random(17);
    std::uniform_real_distribution<float> where(-30, 30), size(0.05f, 6);
    std::uniform_real_distribution<double> unitRange(-1, 1);
    int culled = 0;
    for (int trial = 0; trial < 3000; ++trial) {
        const D3DXMATRIX world = placed(where(random), where(random), where(random) + 20);
        const BoundingSphere sphere{0, 0, 0, size(random)};
        if (!camera.culled(sphere, world)) continue;
        ++culled;
        for (int sample = 0; sample < 200; ++sample) {
            double x = unitRange(random), y = unitRange(random), z = unitRange(random);
            const double length = std::sqrt(x * x + y * y + z * z);
            if (length == 0) continue;
            const double r = sphere.radius / length; // on the surface
            ASSERT_FALSE(camera.inside(world, x * r, y * r, z * r)) << "trial " << trial;
        }
    }
    EXPECT_GT(culled, 500); // the test saw plenty of culled spheres
}

TEST(ViewCulling, BoundsCoverEveryPositionAndRefuseNonFiniteOnes) {
    struct Vertex {
        float x, y, z;
        uint32_t colour;
    };
    const Vertex vertices[] = {{-1, 2, 3, 0}, {4, -2, 0, 0}, {0, 0, 9, 0}};
    const BoundingSphere sphere =
        boundsOfPositions(reinterpret_cast<const uint8_t*>(vertices), sizeof(Vertex), 3);
    ASSERT_GE(sphere.radius, 0);
    for (const Vertex& v : vertices) {
        const double dx = v.x - sphere.x, dy = v.y - sphere.y, dz = v.z - sphere.z;
        EXPECT_LE(std::sqrt(dx * dx + dy * dy + dz * dz), sphere.radius + 1e-9);
    }
    const Vertex bad[] = {{0, 0, 0, 0}, {INFINITY, 0, 0, 0}};
    EXPECT_LT(boundsOfPositions(reinterpret_cast<const uint8_t*>(bad), sizeof(Vertex), 2).radius,
              0);
    EXPECT_LT(boundsOfPositions(nullptr, sizeof(Vertex), 2).radius, 0);
    EXPECT_LT(
        boundsOfPositions(reinterpret_cast<const uint8_t*>(vertices), sizeof(Vertex), 0).radius, 0);
}

} // namespace
