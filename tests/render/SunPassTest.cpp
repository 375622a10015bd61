// The Sun's three quads: sizes, screen clipping with texture cuts, and the
// rejection of a Sun behind the viewer.
#include "SceneFixture.h"

#include "render/SunPass.h"

#include <cmath>

namespace {

using namespace gfx;
using render::ClippedQuad;
using render::clipSunQuad;
using scene::ScreenVertex;
using scenetest::SceneFixture;

TEST(SunQuadClip, HalfOffTheLeftEdgeKeepsTheRightHalfOfTheTexture) {
    ClippedQuad q;
    ASSERT_TRUE(clipSunQuad(0, 300, 100, 800, 600, &q));
    EXPECT_FLOAT_EQ(q.x0, 0);
    EXPECT_FLOAT_EQ(q.tu0, 0.5f);
    EXPECT_FLOAT_EQ(q.x1, 100);
    EXPECT_FLOAT_EQ(q.tu1, 1);
    EXPECT_FLOAT_EQ(q.y0, 200);
    EXPECT_FLOAT_EQ(q.tv0, 0);
    EXPECT_FLOAT_EQ(q.y1, 400);
    EXPECT_FLOAT_EQ(q.tv1, 1);
}

TEST(SunQuadClip, CutsEveryEdgeOfAQuadLargerThanTheScreen) {
    // 1000 half-size about (400, 300): 2000 x 2000 from (-600, -700).
    ClippedQuad q;
    ASSERT_TRUE(clipSunQuad(400, 300, 1000, 800, 600, &q));
    EXPECT_FLOAT_EQ(q.x0, 0);
    EXPECT_FLOAT_EQ(q.y0, 0);
    EXPECT_FLOAT_EQ(q.x1, 800);
    EXPECT_FLOAT_EQ(q.y1, 600);
    EXPECT_FLOAT_EQ(q.tu0, 0.3f);
    EXPECT_FLOAT_EQ(q.tv0, 0.35f);
    EXPECT_FLOAT_EQ(q.tu1, 0.7f);
    EXPECT_FLOAT_EQ(q.tv1, 0.65f);
}

TEST(SunQuadClip, SkipsAQuadWhollyOffScreen) {
    ClippedQuad q;
    EXPECT_FALSE(clipSunQuad(-100, 300, 100, 800, 600, &q)); // right edge on 0
    EXPECT_FALSE(clipSunQuad(900, 300, 100, 800, 600, &q));  // left edge on 800
    EXPECT_FALSE(clipSunQuad(400, -50, 50, 800, 600, &q));
    EXPECT_FALSE(clipSunQuad(400, 650, 50, 800, 600, &q));
    EXPECT_TRUE(clipSunQuad(-99, 300, 100, 800, 600, &q));
}

TEST(SunQuadSizes, FollowDistanceAndFieldOfViewUpToTheGlowLimit) {
    model::initBodyTable(); // the disc's size is the Sun's radius
    const render::SunQuadSizes wide = render::sunQuadSizes(800, 600, 0.4, 149600.0f);
    const render::SunQuadSizes narrow = render::sunQuadSizes(800, 600, 0.2, 149600.0f);
    EXPECT_NEAR(wide.innerGlow, 600 * 50000.0 / (0.4 * 149600.0), 1e-3);
    EXPECT_NEAR(wide.disc, 600 * 695.0 / (0.4 * 149600.0), 1e-4);
    EXPECT_FLOAT_EQ(narrow.innerGlow, 2 * wide.innerGlow);
    EXPECT_FLOAT_EQ(narrow.disc, 2 * wide.disc);
    // 600e6 / (0.4 x 149600) = 10027 pixels: beyond twice the 1000-pixel
    // diagonal, so held at 2000 whatever the field of view.
    EXPECT_FLOAT_EQ(wide.outerGlow, 2000.0f);
    EXPECT_FLOAT_EQ(narrow.outerGlow, 2000.0f);
    // From Pluto's distance the glow is below the limit and scales.
    const render::SunQuadSizes far = render::sunQuadSizes(800, 600, 0.4, 5913520.0f);
    EXPECT_NEAR(far.outerGlow, 600e6 / (0.4 * 5913520.0), 1e-2);
}

class SunPassTest : public SceneFixture {};

TEST_F(SunPassTest, SunAheadDrawsGlowGlowAndDiscAboutItsProjection) {
    const D3DXVECTOR3 s = towardSun();
    lookFrom({-1500 * s.x, -1500 * s.y, -1500 * s.z}, {0, 0, 0}, {0, 1, 0});
    render::drawSun(state, geometry(), device);

    const auto& draws = device->draws();
    ASSERT_EQ(draws.size(), 3u);
    const uint32_t colours[3] = {0xFFFFDFBF, 0xFFFFDFBF, 0xFFFFCF5F};
    const uint32_t blending[3] = {0, 1, 1};
    const uint32_t textures[3] = {RecordingDevice::idOf(state.sunGlowTexture),
                                  RecordingDevice::idOf(state.sunGlowTexture),
                                  RecordingDevice::idOf(state.sunDiscTexture)};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(draws[i].name, "DrawPrimitiveUP");
        EXPECT_EQ(draws[i].type, D3DPT_TRIANGLESTRIP);
        EXPECT_EQ(draws[i].primitiveCount, 2u);
        EXPECT_EQ(draws[i].stride, 32u);
        EXPECT_EQ(draws[i].state.renderState(D3DRS_ALPHABLENDENABLE), blending[i]);
        EXPECT_EQ(draws[i].textureIds[0], textures[i]);
        for (const ScreenVertex& v : verticesOf<ScreenVertex>(draws[i])) {
            EXPECT_EQ(v.diffuse, colours[i]);
            EXPECT_EQ(v.specular, 0u);
            EXPECT_FLOAT_EQ(v.z, 0.99f);
            EXPECT_FLOAT_EQ(v.rhw, 0.99f);
        }
    }
    // The disc is centred on the screen (the view looks straight at the Sun)
    // and small enough to need no clipping.
    const auto disc = verticesOf<ScreenVertex>(draws[2]);
    ASSERT_EQ(disc.size(), 4u);
    EXPECT_NEAR((disc[0].x + disc[3].x) / 2, 400, 0.01);
    EXPECT_NEAR((disc[0].y + disc[3].y) / 2, 300, 0.01);
    const D3DXVECTOR3 p =
        model::orbitalPosition(model::bodyTable[27], state.dayFraction, state.dayNumber);
    const double len = std::sqrt(double(p.x) * p.x + double(p.y) * p.y + double(p.z) * p.z);
    EXPECT_NEAR(disc[3].x - disc[0].x, 2 * 600 * 695 / (state.fieldOfView * len), 1e-3);
    EXPECT_FLOAT_EQ(disc[0].tu, 0);
    EXPECT_FLOAT_EQ(disc[3].tv, 1);
    // The outer glow covers the whole screen with its texture cut to match.
    const auto glow = verticesOf<ScreenVertex>(draws[0]);
    EXPECT_FLOAT_EQ(glow[0].x, 0);
    EXPECT_FLOAT_EQ(glow[3].x, 800);
    EXPECT_GT(glow[0].tu, 0);
    EXPECT_LT(glow[3].tu, 1);
}

TEST_F(SunPassTest, SunBehindTheViewerDrawsNothing) {
    // Looking away from the Sun: the outer glow would reach into the screen
    // if drawn at the mirrored place, but nothing is drawn at all.
    const D3DXVECTOR3 s = towardSun();
    lookFrom({1500 * s.x, 1500 * s.y, 1500 * s.z}, {0, 0, 0}, {0, 1, 0});
    render::drawSun(state, geometry(), device);
    EXPECT_TRUE(device->draws().empty());
    EXPECT_EQ(device->countCalls("ApplyStateBlock"), 0u);
    // The sky transform is still set for what follows.
    EXPECT_EQ(device->countCalls("SetTransform"), 1u);
}

} // namespace
