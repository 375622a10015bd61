// The frame pass: the lights, the clear, the scene bracket and the fixed
// order of the passes.
#include "SceneFixture.h"

#include "app/FramePass.h"
#include "render/SkyPoints.h"

#include <algorithm>

namespace {

using namespace gfx;
using scenetest::SceneFixture;

class FramePassTest : public SceneFixture {
protected:
    void SetUp() override {
        SceneFixture::SetUp();
        device->EndScene();
        device->clearLog();
    }

    // Which pass each draw belongs to, from what it draws with.
    std::vector<std::string> passes() const {
        std::vector<std::string> names;
        for (const RecordedDraw& draw : device->draws()) {
            std::string name;
            if (draw.state.fvf == 0x1C4)
                name = draw.textureIds[0] == RecordingDevice::idOf(state.cursorTexture)
                           ? "indicator"
                           : "sun";
            else if (draw.type == D3DPT_POINTLIST)
                name = "sky";
            else if (draw.type == D3DPT_LINESTRIP)
                name = draw.primitiveCount == 90 &&
                               draw.state.transform(D3DTS_WORLD).m[0][0] == 4999.0f
                           ? "planet-orbit"
                           : "moon-orbit";
            else
                name = "body";
            if (names.empty() || names.back() != name) names.push_back(name);
        }
        return names;
    }
};

TEST_F(FramePassTest, DrawsThePassesBackToFrontInsideOneScene) {
    const D3DXVECTOR3 s = towardSun();
    lookFrom({-1500 * s.x, -1500 * s.y, -1500 * s.z}, {0, 0, 0}, {0, 1, 0});
    device->CreateVertexBuffer(3 * sizeof(model::StarRecord), 0x208, 0x62, D3DPOOL_DEFAULT,
                               &state.pointBuffer);
    state.pointCount = 3;
    device->clearLog();

    const scene::FrameContext frame{device, 1.0f, "caption"};
    EXPECT_EQ(app::renderFrame(state, frame), 0);

    const std::vector<std::string> names = device->callNames();
    const auto at = [&](const char* name) {
        return std::find(names.begin(), names.end(), name) - names.begin();
    };
    EXPECT_LT(at("SetLight"), at("Clear"));
    EXPECT_LT(at("Clear"), at("BeginScene"));
    EXPECT_EQ(names.back(), "EndScene");
    EXPECT_FALSE(device->inScene());

    // The Earth's Moon's trail on both sides of the body pass.
    const std::vector<std::string> expected = {"sun",  "planet-orbit", "sky",      "moon-orbit",
                                               "body", "moon-orbit",   "indicator"};
    EXPECT_EQ(passes(), expected);
}

TEST_F(FramePassTest, LightsPointToAndFromTheSunAndStayOff) {
    const scene::FrameContext frame{device, 1.0f, ""};
    app::renderFrame(state, frame);
    const D3DXVECTOR3 s = towardSun();
    const LightSlot& toward = device->state().lights.at(0);
    const LightSlot& away = device->state().lights.at(1);
    EXPECT_EQ(toward.light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_FLOAT_EQ(toward.light.Diffuse.r, 1);
    EXPECT_FLOAT_EQ(toward.light.Diffuse.a, 0);
    EXPECT_FLOAT_EQ(toward.light.Specular.r, 0);
    EXPECT_FLOAT_EQ(toward.light.Range, 1000);
    EXPECT_NEAR(toward.light.Direction.x, s.x, 1e-6);
    EXPECT_NEAR(toward.light.Direction.y, s.y, 1e-6);
    EXPECT_NEAR(away.light.Direction.z, -s.z, 1e-6);
    // The position is the unnormalised vector to the Sun (about 1 AU).
    const float length = D3DXVec3Length(&toward.light.Position);
    EXPECT_NEAR(length, 149600, 3000);
    EXPECT_NEAR(away.light.Position.x, -toward.light.Position.x, 1e-3);
    // Light 0 ends on after the Moon's pass; the set-up switched it off.
    EXPECT_EQ(device->calls()[1].text.rfind("LightEnable(0", 0), 0u);
    EXPECT_EQ(away.enabled, 0);
}

TEST_F(FramePassTest, FailedBeginSceneLeavesOnlyTheClear) {
    device->failNext("BeginScene", D3DERR_INVALIDCALL);
    const scene::FrameContext frame{device, 1.0f, ""};
    EXPECT_EQ(app::renderFrame(state, frame), 0);
    EXPECT_TRUE(device->draws().empty());
    EXPECT_EQ(device->countCalls("Clear"), 1u);
    EXPECT_EQ(device->countCalls("EndScene"), 0u);
}

TEST_F(FramePassTest, EverythingOffStillDrawsSunPlanetPointsAndOverlay) {
    state.planet = 2; // Venus: no moons, so no trail loop at all
    state.showStars = state.showReference = state.showPlanetOrbits = state.showMoonOrbits = 0;
    const D3DXVECTOR3 s = towardSun();
    lookFrom({-1500 * s.x, -1500 * s.y, -1500 * s.z}, {0, 0, 0}, {0, 1, 0});
    device->CreateVertexBuffer(sizeof(model::StarRecord), 0x208, 0x62, D3DPOOL_DEFAULT,
                               &state.pointBuffer);
    state.pointCount = 1;
    device->clearLog();
    app::renderFrame(state, {device, 0.0f, ""});
    const std::vector<std::string> expected = {"sun", "sky", "body", "indicator"};
    EXPECT_EQ(passes(), expected);
}

TEST_F(FramePassTest, SkyPointsScaleWithTheFieldOfViewAndNeedABuffer) {
    device->BeginScene();
    render::drawSkyPoints(state, geometry(), device);
    EXPECT_TRUE(device->draws().empty()); // no buffer yet
    device->CreateVertexBuffer(4 * sizeof(model::StarRecord), 0x208, 0x62, D3DPOOL_DEFAULT,
                               &state.pointBuffer);
    state.pointCount = 0;
    render::drawSkyPoints(state, geometry(), device);
    EXPECT_TRUE(device->draws().empty()); // an empty list

    state.pointCount = 4;
    state.fieldOfView = 0.5;
    render::drawSkyPoints(state, geometry(), device);
    ASSERT_EQ(device->draws().size(), 1u);
    const RecordedDraw& draw = device->draws()[0];
    EXPECT_EQ(draw.type, D3DPT_POINTLIST);
    EXPECT_EQ(draw.primitiveCount, 4u);
    EXPECT_EQ(draw.stride, 20u);
    EXPECT_EQ(draw.state.renderState(D3DRS_POINTSCALE_B), floatBits(float(0.5 * 0.03)));
    EXPECT_EQ(draw.state.stageState(0, D3DTSS_MIPFILTER), D3DTEXF_LINEAR);
    EXPECT_EQ(draw.state.renderState(D3DRS_BLENDOP), D3DBLENDOP_MAX);
    EXPECT_FLOAT_EQ(draw.state.transform(D3DTS_WORLD).m[0][0], 4999.0f);
    EXPECT_FLOAT_EQ(draw.state.transform(D3DTS_WORLD).m[3][2], state.eye.z);
}

} // namespace
