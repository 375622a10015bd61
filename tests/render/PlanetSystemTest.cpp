// Planets, moons and rings: level of detail, spin blur, the shade turned to
// the Sun, far-to-near order, and the passes each body is drawn with.
#include "SceneFixture.h"

#include "render/PlanetSystem.h"
#include "render/RingPass.h"

#include <cmath>

namespace {

using namespace gfx;
using scenetest::SceneFixture;

// ---------------------------------------------------------------- detail

TEST(DetailLevel, ThresholdsAtFourSixteenAndSixtyFourPixels) {
    EXPECT_EQ(render::detailLevelFor(63), 2);
    EXPECT_EQ(render::detailLevelFor(64), 3);
    EXPECT_EQ(render::detailLevelFor(16), 2);
    EXPECT_EQ(render::detailLevelFor(15), 1);
    EXPECT_EQ(render::detailLevelFor(4), 1);
    EXPECT_EQ(render::detailLevelFor(3), 0);
    EXPECT_EQ(render::detailLevelFor(0), 0);
}

TEST(DetailLevel, ApparentRadiusTruncatesBeforeTheThreshold) {
    // Diagonal 1000 (600 x 800), field of view 1 rad: s = 1000 atan(r / d).
    auto radiusFor = [](double pixels) { return std::tan(pixels / 1000.0) * 1000.0; };
    EXPECT_EQ(render::apparentRadius(600, 800, radiusFor(63.9), 1000.0, 1.0), 63);
    EXPECT_EQ(
        render::detailLevelFor(render::apparentRadius(600, 800, radiusFor(63.9), 1000.0, 1.0)), 2);
    EXPECT_EQ(render::apparentRadius(600, 800, radiusFor(64.5), 1000.0, 1.0), 64);
    EXPECT_EQ(
        render::detailLevelFor(render::apparentRadius(600, 800, radiusFor(3.99), 1000.0, 1.0)), 0);
}

// ------------------------------------------------------------------ blur

TEST(BlurFactor, RunsFromNoBlurAtOneFifthTurnToFullBlurAtTen) {
    // Earth-like period 24 h: turns per second = clockRate.
    EXPECT_EQ(render::blurTextureFactor(0.2, 24.0f, 0), 0u);
    EXPECT_EQ(render::blurTextureFactor(0.1, 24.0f, 0), 0u);
    EXPECT_EQ(render::blurTextureFactor(10.0, 24.0f, 0), 254u * 0x01010101u);
    EXPECT_EQ(render::blurTextureFactor(1000.0, 24.0f, 0), 254u * 0x01010101u);
    const uint32_t halfway = render::blurTextureFactor(5.1, 24.0f, 0);
    EXPECT_EQ(halfway, 127u * 0x01010101u);
    EXPECT_NEAR(render::blurFactor(5.1, 24.0f, 0), 0.5, 1e-8);
}

TEST(BlurFactor, RetrogradeBlursLikeProgradeAndBackwardTimeNever) {
    EXPECT_EQ(render::blurTextureFactor(3.0, -108.0f, 0),
              render::blurTextureFactor(3.0, 108.0f, 0));
    EXPECT_NE(render::blurTextureFactor(30.0, -108.0f, 0), 0u);
    EXPECT_EQ(render::blurTextureFactor(-1000.0, 24.0f, 0), 0u);
    EXPECT_EQ(render::blurTextureFactor(0.0, 24.0f, 0), 0u);
}

TEST(BlurFactor, PausedAlwaysShowsTheSharpMap) {
    EXPECT_EQ(render::blurTextureFactor(1000.0, 24.0f, 1), 0u);
    EXPECT_EQ(render::blurFactor(10.0, 24.0f, 1), 0.0);
}

// ----------------------------------------------------------------- shade

void expectOrthonormalBasis(const D3DXVECTOR3& d) {
    D3DXVECTOR3 a, b;
    render::shadeBasis(d, &a, &b);
    EXPECT_NEAR(D3DXVec3Length(&a), 1, 1e-5);
    EXPECT_NEAR(D3DXVec3Length(&b), 1, 1e-5);
    EXPECT_NEAR(D3DXVec3Dot(&a, &d), 0, 1e-5);
    EXPECT_NEAR(D3DXVec3Dot(&b, &d), 0, 1e-5);
    EXPECT_NEAR(D3DXVec3Dot(&a, &b), 0, 1e-5);
}

TEST(ShadeTransform, BasisIsOrthonormalAlsoAlongTheReferenceAxes) {
    expectOrthonormalBasis({0.6f, 0.0f, 0.8f});
    expectOrthonormalBasis({0.0f, 0.6f, 0.8f}); // d.x = 0: the y reference
    // The reference axis parallel to d: another axis is taken.
    expectOrthonormalBasis({1, 0, 0});
    expectOrthonormalBasis({-1, 0, 0});
    expectOrthonormalBasis({0, 1, 0});
    expectOrthonormalBasis({0, -1, 0});
}

TEST(ShadeTransform, CarriesTheMeshPoleOntoTheSunDirection) {
    const model::Body& saturn = model::bodyTable[54];
    const D3DXMATRIX pole = model::poleOrientation(saturn);
    for (D3DXVECTOR3 d : {D3DXVECTOR3{0.48f, 0.6f, 0.64f}, D3DXVECTOR3{1, 0, 0}}) {
        const D3DXMATRIX world = render::shadeWorld(d, pole, saturn.radius, {10, 20, 30});
        float determinant = 0;
        D3DXMATRIX inverse;
        D3DXMatrixInverse(&inverse, &determinant, &world);
        EXPECT_GT(std::fabs(determinant), 1.0f); // never degenerate
        // The mesh's north pole (0, 1, 0) lands beyond the centre along d.
        const D3DXVECTOR3 north = {0, 1, 0};
        D3DXVECTOR3 placed;
        D3DXVec3TransformCoord(&placed, &north, &world);
        const D3DXVECTOR3 out = {placed.x - 10, placed.y - 20, placed.z - 30};
        D3DXVECTOR3 unit;
        D3DXVec3Normalize(&unit, &out);
        EXPECT_GT(D3DXVec3Dot(&unit, &d), 0.95f);
    }
}

TEST(ShadeTransform, PlanetWithIdentityPoleIsTheTurnTimesTheScaledSphere) {
    const D3DXVECTOR3 d = {0, 0, 1};
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    const D3DVECTOR radius = {2, 2, 2};
    const D3DXMATRIX world = render::shadeWorld(d, identity, radius, {0, 0, 0});
    // Row 1 (the mesh's y) is d scaled by 1.003 r.
    EXPECT_NEAR(world.m[1][0], 0, 1e-6);
    EXPECT_NEAR(world.m[1][1], 0, 1e-6);
    EXPECT_NEAR(world.m[1][2], 2.006f, 1e-5);
    EXPECT_NEAR(world.m[3][3], 1, 1e-6);
}

// ----------------------------------------------------------- depth order

TEST(DepthOrder, FarthestFirstAndEqualDepthsKeepTheirOrder) {
    render::SystemEntry entries[4];
    const float depths[4] = {0, 5, -3, 9};
    for (int i = 0; i < 4; ++i) {
        entries[i].slot = i;
        entries[i].depth = depths[i];
    }
    render::orderFarToNear(entries, 4);
    EXPECT_EQ(entries[0].slot, 3);
    EXPECT_EQ(entries[1].slot, 1);
    EXPECT_EQ(entries[2].slot, 0);
    EXPECT_EQ(entries[3].slot, 2);

    render::SystemEntry pair[2];
    pair[0].slot = 0;
    pair[1].slot = 1; // the moon at the planet's depth: the planet first
    render::orderFarToNear(pair, 2);
    EXPECT_EQ(pair[0].slot, 0);
    EXPECT_EQ(pair[1].slot, 1);
}

// ------------------------------------------------------------------ rings

TEST(SaturnRing, AmbientFollowsTheSunAndIsBlackBelowTheRingAxis) {
    D3DXMATRIX identity;
    D3DXMatrixIdentity(&identity);
    EXPECT_EQ(render::saturnRingAmbient({1, 0, 0}, identity), 255u * 0x01010101u);
    EXPECT_EQ(render::saturnRingAmbient({0.2f, 0.9797959f, 0}, identity), 51u * 0x01010101u);
    EXPECT_EQ(render::saturnRingAmbient({0, 1, 0}, identity), 0u);
    // Below the axis: black, not the wrapped grey of a negative level.
    EXPECT_EQ(render::saturnRingAmbient({-0.5f, 0.8660254f, 0}, identity), 0u);
    EXPECT_EQ(render::saturnRingAmbient({-1, 0, 0}, identity), 0u);
}

TEST(RingHalf, TurnsTheHalfTowardOrAwayFromTheEye) {
    const D3DXVECTOR3 eye = {0, 500, -1000};
    const D3DXMATRIX front = render::ringHalfOrientation(eye, scene::InFrontOfPlanet);
    const D3DXMATRIX back = render::ringHalfOrientation(eye, scene::BehindPlanet);
    // The mesh's +z (the middle of the half) goes toward the eye's horizontal
    // direction (0, 0, -1) for the front half, away for the back half.
    EXPECT_FLOAT_EQ(front.m[2][2], -1);
    EXPECT_FLOAT_EQ(back.m[2][2], 1);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(front.m[1][c], 0); // flat
    EXPECT_FLOAT_EQ(front.m[3][3], 1);
}

// ---------------------------------------------------------------- passes

class PlanetSystemTest : public SceneFixture {};

TEST_F(PlanetSystemTest, PlanetIsDrawnSurfaceShadeAndGrid) {
    state.planet = 3;
    state.clockRate = 10.0; // Earth: 10 turns a second, full blur
    lookFrom({0, 0, -300}, {0, 0, 0}, {0, 1, 0});
    render::drawPlanet(state, geometry(), device);

    const auto& draws = device->draws();
    ASSERT_EQ(draws.size(), 3u);
    // Earth's 6.378 radius at 300 with a 20-degree view: 60 pixels, level 2.
    EXPECT_EQ(render::detailLevel(state), 2);
    for (const RecordedDraw& draw : draws) {
        EXPECT_EQ(draw.name, "DrawIndexedPrimitive");
        EXPECT_EQ(draw.type, D3DPT_TRIANGLELIST);
        EXPECT_EQ(draw.vertexCount, 561u);
        EXPECT_EQ(draw.primitiveCount, 1024u);
        EXPECT_EQ(draw.indicesId, RecordingDevice::idOf(state.sphereIndexBuffers[2]));
        EXPECT_EQ(draw.streamId, RecordingDevice::idOf(state.sphereVertexBuffers[2]));
    }
    const DeviceState& surface = draws[0].state;
    EXPECT_EQ(surface.renderState(D3DRS_TEXTUREFACTOR), 254u * 0x01010101u);
    EXPECT_EQ(surface.stageState(1, D3DTSS_COLOROP), D3DTOP_BLENDFACTORALPHA);
    EXPECT_EQ(surface.stageState(0, D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    EXPECT_EQ(surface.renderState(D3DRS_ALPHABLENDENABLE), 0u);

    const DeviceState& shade = draws[1].state;
    EXPECT_EQ(draws[1].textureIds[0], RecordingDevice::idOf(state.shadeTexture));
    EXPECT_EQ(draws[1].textureIds[1], 0u);
    EXPECT_EQ(shade.renderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(shade.renderState(D3DRS_SRCBLEND), D3DBLEND_ZERO);
    EXPECT_EQ(shade.renderState(D3DRS_DESTBLEND), D3DBLEND_SRCCOLOR);
    EXPECT_EQ(shade.stageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
    EXPECT_EQ(shade.stageState(0, D3DTSS_MIPFILTER), D3DTEXF_LINEAR);
    // The shade's pole points at the Sun.
    const D3DXMATRIX& shadeWorld = shade.transform(D3DTS_WORLD);
    D3DXVECTOR3 pole = {shadeWorld.m[1][0], shadeWorld.m[1][1], shadeWorld.m[1][2]};
    D3DXVec3Normalize(&pole, &pole);
    const D3DXVECTOR3 sun = towardSun();
    EXPECT_GT(D3DXVec3Dot(&pole, &sun), 0.999f);

    EXPECT_EQ(draws[2].textureIds[0], RecordingDevice::idOf(state.gridColorTexture));
    EXPECT_EQ(draws[2].state.renderState(D3DRS_SRCBLEND), D3DBLEND_INVSRCALPHA);
    // Grid and surface share the world matrix.
    EXPECT_EQ(std::memcmp(&draws[2].state.transform(D3DTS_WORLD),
                          &draws[0].state.transform(D3DTS_WORLD), sizeof(D3DMATRIX)),
              0);
}

TEST_F(PlanetSystemTest, NoGridPassWithoutTheReference) {
    state.showReference = 0;
    render::drawPlanet(state, geometry(), device);
    EXPECT_EQ(device->draws().size(), 2u);
}

TEST_F(PlanetSystemTest, MoonUsesThePlanetsLevelAndLeavesLightAndMaterial) {
    state.planet = 4; // Mars, Phobos is tiny
    lookFrom({0, 0, -100}, {0, 0, 0}, {0, 1, 0});
    render::drawMoon(state, geometry(), device, 1);
    const auto& draws = device->draws();
    ASSERT_EQ(draws.size(), 3u);
    const int32_t level = render::detailLevel(state);
    EXPECT_EQ(draws[0].primitiveCount, uint32_t(scene::sphereMeshes[level].triangleCount()));
    const DeviceState& surface = draws[0].state;
    EXPECT_EQ(surface.renderState(D3DRS_TEXTUREFACTOR), 0u);
    EXPECT_EQ(surface.renderState(D3DRS_LIGHTING), 1u);
    EXPECT_EQ(surface.renderState(D3DRS_AMBIENT), 0u);
    EXPECT_EQ(surface.lights.at(0).enabled, 1);
    EXPECT_FLOAT_EQ(surface.material.Ambient.r, 5.0f);
    // The shade sits on the moon's centre.
    const D3DXMATRIX& world = surface.transform(D3DTS_WORLD);
    const D3DXMATRIX& shadeWorld = draws[1].state.transform(D3DTS_WORLD);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(shadeWorld.m[3][c], world.m[3][c], 1e-3);
    EXPECT_EQ(draws[1].state.renderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(device->state().lights.at(0).enabled, 1);
}

// Which body each draw of a planet system belongs to, by its pass: ring
// strips are DrawPrimitive, spheres DrawIndexedPrimitive; the shade pass
// draws with the shade texture, a moon's surface with lighting on.
std::vector<std::string> passOrder(const std::vector<RecordedDraw>& draws, uint32_t shadeId) {
    std::vector<std::string> order;
    for (const RecordedDraw& draw : draws) {
        if (draw.name == "DrawPrimitive")
            order.push_back(draw.startVertex == 0 ? "ring-upper" : "ring-lower");
        else if (draw.textureIds[0] == shadeId)
            order.push_back("shade");
        else if (draw.state.renderState(D3DRS_LIGHTING) == 1)
            order.push_back("moon");
        else if (draw.state.renderState(D3DRS_ALPHABLENDENABLE) == 0)
            order.push_back("planet");
    }
    return order;
}

TEST_F(PlanetSystemTest, SaturnsRingsSurroundThePlanetAndCarryTheBodyMaterial) {
    state.planet = 6;
    state.showReference = 0;
    lookFrom({0, 300, -5000}, {0, 0, 0}, {0, 1, 0});
    render::drawPlanetSystem(state, geometry(), device);

    const std::vector<std::string> order =
        passOrder(device->draws(), RecordingDevice::idOf(state.shadeTexture));
    // Seven moons and the planet, each with its shade, and the two ring
    // halves of two strips each.
    ASSERT_EQ(order.size(), 2u * 8 + 4);
    size_t planetAt = 0;
    while (order[planetAt] != "planet")
        ++planetAt;
    ASSERT_GE(planetAt, 2u);
    EXPECT_EQ(order[planetAt - 2], "ring-upper");
    EXPECT_EQ(order[planetAt - 1], "ring-lower");
    EXPECT_EQ(order[planetAt + 1], "shade");
    EXPECT_EQ(order[planetAt + 2], "ring-upper");
    EXPECT_EQ(order[planetAt + 3], "ring-lower");

    for (const RecordedDraw& draw : device->draws()) {
        if (draw.name != "DrawPrimitive") continue;
        EXPECT_EQ(draw.type, D3DPT_TRIANGLESTRIP);
        EXPECT_EQ(draw.primitiveCount, 60u);
        EXPECT_EQ(draw.streamId, RecordingDevice::idOf(state.ringVertexBuffer));
        EXPECT_EQ(draw.state.renderState(D3DRS_LIGHTING), 1u);
        EXPECT_FLOAT_EQ(draw.state.material.Ambient.r, 5.0f);
        EXPECT_EQ(draw.state.lights.count(0) ? draw.state.lights.at(0).enabled : 0, 0);
    }
}

TEST_F(PlanetSystemTest, SaturnsRingMaterialIsSetEvenBeforeAnyMoon) {
    state.planet = 6;
    // A device whose material is not a body's: the ring must not inherit it.
    D3DMATERIAL8 dull;
    dull.Ambient = {0.1f, 0.1f, 0.1f, 1};
    device->SetMaterial(&dull);
    device->clearLog();
    render::drawRing(state, geometry(), device, scene::BehindPlanet);
    ASSERT_EQ(device->draws().size(), 2u);
    EXPECT_FLOAT_EQ(device->draws()[0].state.material.Ambient.r, 5.0f);
}

TEST_F(PlanetSystemTest, JupitersRingIsNotLitAndRocksHaveNoRing) {
    state.planet = 5;
    render::drawRing(state, geometry(), device, scene::InFrontOfPlanet);
    ASSERT_EQ(device->draws().size(), 2u);
    EXPECT_EQ(device->draws()[0].state.renderState(D3DRS_LIGHTING), 0u);
    EXPECT_EQ(device->draws()[1].startVertex, 62u);

    for (int32_t planet : {1, 2, 3, 4, 9}) {
        device->clearLog();
        state.planet = planet;
        render::drawPlanetSystem(state, geometry(), device);
        EXPECT_EQ(device->countCalls("DrawPrimitive"), 0u) << planet;
    }
}

TEST_F(PlanetSystemTest, MoonsAreDrawnFarthestFirst) {
    state.planet = 5;
    state.showReference = 0;
    lookFrom({0, 0, -5000}, {0, 0, 0}, {0, 1, 0});
    render::drawPlanetSystem(state, geometry(), device);
    // Depth of each sphere's surface draw along the view (+z here).
    std::vector<float> depths;
    for (const RecordedDraw& draw : device->draws())
        if (draw.name == "DrawIndexedPrimitive" &&
            draw.textureIds[0] != RecordingDevice::idOf(state.shadeTexture))
            depths.push_back(draw.state.transform(D3DTS_WORLD).m[3][2]);
    ASSERT_EQ(depths.size(), 5u);
    for (size_t i = 1; i < depths.size(); ++i)
        EXPECT_GE(depths[i - 1], depths[i]);
}

} // namespace
