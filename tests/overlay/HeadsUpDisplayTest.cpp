// The heads-up display on the recording device with real fonts: labels and
// their culling, the clock's blink, the indicator quads, the bottom-left
// block and its texts.
#include "FontFixture.h"

#include "gfx/math/Math.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "overlay/HeadsUpDisplay.h"
#include "scene/OrreryState.h"
#include "scene/VertexLayouts.h"

#include <algorithm>
#include <map>

namespace {

using namespace gfx;
using namespace fonttest;

constexpr uint32_t planetLabel = 0xFFAF5F00, moonLabel = 0xFFAFAF00, black = 0xFF000000,
                   shadow = 0xFF101010, green = 0xFF00AF00, orange = 0xFFFF8F00;

class HeadsUpDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        model::initBodyTable();
        device = makeDevice();
        state.backBufferWidth = 800;
        state.backBufferHeight = 600;
        state.largeFontHeight = 20;
        state.mediumFontHeight = 14;
        state.smallFontHeight = 10;
        fonts[0] = std::make_unique<overlay::TextFont>("Arial", 20, overlay::fontBold);
        fonts[1] = std::make_unique<overlay::TextFont>("Arial", 14, 0);
        fonts[2] = std::make_unique<overlay::TextFont>("Arial", 10, 0);
        for (auto& font : fonts) {
            font->createDeviceResources(device);
            font->createVideoResources();
        }
        state.largeFont = fonts[0].get();
        state.mediumFont = fonts[1].get();
        state.smallFont = fonts[2].get();
        device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &state.cursorTexture);
        device->BeginStateBlock();
        device->SetVertexShader(0x1C4);
        device->SetTexture(0, state.cursorTexture);
        device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
        device->EndStateBlock(&state.overlayStateBlock);
        // Jupiter from 5000 units with a 60-degree view: all four moons in view.
        state.planet = 5;
        state.fieldOfView = 60 * 0.017453293005625408;
        lookFrom({0, 0, -5000}, {0, 0, 0});
        device->BeginScene();
        device->clearLog();
    }
    void TearDown() override {
        device->EndScene();
        for (auto& font : fonts)
            font.reset();
        device->DeleteStateBlock(state.overlayStateBlock);
        releaseAndNull(state.cursorTexture);
        device->Release();
    }

    void lookFrom(D3DXVECTOR3 eye, D3DXVECTOR3 lookAt) {
        state.eye = eye;
        state.lookAt = lookAt;
        state.up = {0, 1, 0};
        D3DXMatrixLookAtLH(&state.viewMatrix, &eye, &lookAt, &state.up);
        D3DXMatrixPerspectiveFovLH(&state.projectionMatrix, float(state.fieldOfView), 800.0f / 600,
                                   0.1f, 9999.0f);
    }

    void draw(float appTime = 1.0f) {
        device->clearLog();
        overlay::drawOverlay(state, scene::deriveFrameGeometry(state),
                             {device, appTime, "12.3 fps"}, state.labelWorldMatrix);
    }

    // Text draws by the colour of their first vertex, each a list of
    // triangle counts.
    std::map<uint32_t, std::vector<uint32_t>> textByColour() const {
        std::map<uint32_t, std::vector<uint32_t>> byColour;
        for (const RecordedDraw& d : textDraws(*device))
            byColour[fontVertices(d).at(0).colour].push_back(d.primitiveCount);
        return byColour;
    }
    size_t textCount(uint32_t colour) const {
        const auto byColour = textByColour();
        const auto found = byColour.find(colour);
        return found == byColour.end() ? 0 : found->second.size();
    }
    // The top-left pen position of the first text draw in a colour made with
    // a font (the draw's first quad corner is half a pixel up-left).
    std::vector<std::pair<float, float>> pens(uint32_t colour) const {
        std::vector<std::pair<float, float>> at;
        for (const RecordedDraw& d : textDraws(*device)) {
            const auto v = fontVertices(d);
            if (v.at(0).colour == colour) at.push_back({v[1].x + 0.5f, v[1].y + 0.5f});
        }
        return at;
    }

    RecordingDevice* device = nullptr;
    scene::OrreryState state;
    std::unique_ptr<overlay::TextFont> fonts[3];
};

TEST_F(HeadsUpDisplayTest, LabelModesChooseSunAndPlanetsOrMoonsOrBoth) {
    // Face the Sun so that its label (drawn twice) is on screen.
    const model::StarRecord sun = model::planetAsStar(0, 5, {0.0, 0});
    lookFrom({-5000 * sun.x, -5000 * sun.y, -5000 * sun.z}, {0, 0, 0});
    state.labelMode = 0;
    draw();
    EXPECT_EQ(textCount(planetLabel) + textCount(moonLabel), 0u);
    EXPECT_EQ(textCount(black), 0u);

    state.labelMode = 1;
    draw();
    EXPECT_GE(textCount(planetLabel), 2u);
    EXPECT_EQ(textCount(moonLabel), 0u);
    EXPECT_EQ(textCount(black), textCount(planetLabel)); // each with its shadow

    state.labelMode = 3;
    draw();
    EXPECT_EQ(textCount(planetLabel), 0u);
    EXPECT_EQ(textCount(moonLabel), 4u);

    state.labelMode = 2;
    draw();
    EXPECT_GE(textCount(planetLabel), 2u);
    EXPECT_EQ(textCount(moonLabel), 4u);
}

TEST_F(HeadsUpDisplayTest, StandingOnAMoonHidesOnlyItsOwnLabel) {
    state.labelMode = 3;
    draw();
    std::vector<uint32_t> all = textByColour()[moonLabel];
    state.viewMode = scene::ViewMode::FromMoon;
    state.moon = 1; // Io
    draw();
    std::vector<uint32_t> without = textByColour()[moonLabel];
    ASSERT_EQ(all.size(), 4u);
    ASSERT_EQ(without.size(), 3u);
    std::sort(all.begin(), all.end());
    std::sort(without.begin(), without.end());
    std::vector<uint32_t> missing;
    std::set_difference(all.begin(), all.end(), without.begin(), without.end(),
                        std::back_inserter(missing));
    EXPECT_EQ(missing, std::vector<uint32_t>{4}); // "Io": two glyphs
    // Looking at a moon keeps every label.
    state.viewMode = scene::ViewMode::AtMoon;
    draw();
    EXPECT_EQ(textCount(moonLabel), 4u);
}

TEST_F(HeadsUpDisplayTest, LabelsBehindTheViewerAreNotDrawn) {
    state.labelMode = 3;
    lookFrom({0, 0, -5000}, {0, 0, -10000}); // facing away from Jupiter
    draw();
    EXPECT_EQ(textCount(moonLabel), 0u);
}

TEST_F(HeadsUpDisplayTest, LowScreensDropLabelShadowsButDoubleOtherTexts) {
    state.labelMode = 3;
    state.backBufferHeight = 299;
    draw();
    EXPECT_EQ(textCount(moonLabel), 4u);
    EXPECT_EQ(textCount(black), 0u);
    // The other shadows are drawn with no offset, under their texts.
    const auto shadows = pens(shadow), texts = pens(green);
    ASSERT_EQ(shadows.size(), texts.size());
    for (size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(shadows[i], texts[i]);
}

TEST_F(HeadsUpDisplayTest, StoppedClockBlinksButItsIndicatorStays) {
    state.labelMode = 0;
    state.paused = 1;
    draw(3.5f);
    const size_t shown = textCount(orange), shownShadows = textCount(shadow);
    EXPECT_EQ(device->countCalls("DrawPrimitiveUP"), 2u);
    draw(3.7f);
    EXPECT_EQ(textCount(orange), shown - 1);
    EXPECT_EQ(textCount(shadow), shownShadows - 1);
    EXPECT_EQ(device->countCalls("DrawPrimitiveUP"), 2u);
    // The indicator is orange.
    const auto& quads = device->draws();
    const RecordedDraw& main = *std::find_if(quads.begin(), quads.end(), [](const auto& d) {
        return d.name == "DrawPrimitiveUP" && d.vertices.size() == 128 &&
               reinterpret_cast<const scene::ScreenVertex*>(d.vertices.data())->diffuse == orange;
    });
    EXPECT_EQ(main.state.textures[0], state.cursorTexture);
}

TEST_F(HeadsUpDisplayTest, IndicatorQuadsSitLeftOfTheRightEdgeAboveTheClock) {
    state.labelMode = 0;
    draw();
    overlay::TextSize clock;
    state.mediumFont->measureText("0000 000 00:00", &clock);
    const float cw = 1.05f * float(clock.cx);
    std::vector<const RecordedDraw*> strips;
    for (const RecordedDraw& d : device->draws())
        if (d.name == "DrawPrimitiveUP") strips.push_back(&d);
    ASSERT_EQ(strips.size(), 2u);
    const auto* shadowStrip =
        reinterpret_cast<const scene::ScreenVertex*>(strips[0]->vertices.data());
    const auto* mainStrip =
        reinterpret_cast<const scene::ScreenVertex*>(strips[1]->vertices.data());
    EXPECT_EQ(strips[1]->type, D3DPT_TRIANGLESTRIP);
    EXPECT_EQ(strips[1]->primitiveCount, 2u);
    EXPECT_EQ(strips[1]->stride, 32u);
    EXPECT_EQ(shadowStrip[0].diffuse, shadow);
    EXPECT_EQ(mainStrip[0].diffuse, green);
    EXPECT_FLOAT_EQ(mainStrip[0].x, 0.99f * 800 - cw);
    EXPECT_FLOAT_EQ(mainStrip[0].y, 600 - 1.7f * 14);
    EXPECT_FLOAT_EQ(mainStrip[1].y, 600 - 1.7f * 14 - 0.6666667f * cw);
    EXPECT_FLOAT_EQ(mainStrip[2].x, 0.99f * 800);
    EXPECT_FLOAT_EQ(mainStrip[2].tu, 1);
    EXPECT_FLOAT_EQ(mainStrip[2].tv, 1);
    EXPECT_FLOAT_EQ(mainStrip[3].tv, 0);
    EXPECT_FLOAT_EQ(mainStrip[0].rhw, 0.5f);
    EXPECT_FLOAT_EQ(shadowStrip[0].x, mainStrip[0].x + 1); // 600 high: shadow offset 1
    EXPECT_FLOAT_EQ(shadowStrip[0].y, mainStrip[0].y + 1);
}

TEST_F(HeadsUpDisplayTest, BottomLeftBlockStacksUpAndMakesRoomForTheTutorial) {
    state.labelMode = 0;
    draw();
    auto lines = pens(green);
    // Clock first (right), then the field of view, distance, two captions
    // and the target name, bottom up.
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_FLOAT_EQ(lines[0].second, 600 - 1.5f * 14);
    const float fov = 600 - 2 * 14.0f, distance = fov - 1.5f * 14, orientation = distance - 15,
                viewpoint = orientation - 15, target = viewpoint - 1.5f * 20;
    const float expected[5] = {fov, distance, orientation, viewpoint, target};
    for (int i = 0; i < 5; ++i)
        EXPECT_FLOAT_EQ(lines[i + 1].second, expected[i]);
    // At x = 10 (the other lines begin with spaces).
    EXPECT_FLOAT_EQ(lines[4].first, 10);
    EXPECT_FLOAT_EQ(lines[5].first, 10);
    // With the tutorial on and no tutorial text in this executable, nothing
    // more is drawn but the block moves up by 18 small lines.
    state.tutorial = 1;
    draw();
    lines = pens(green);
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_FLOAT_EQ(lines[5].second, target - 180);
    EXPECT_EQ(textCount(0xFF40AF40), 0u);
}

TEST_F(HeadsUpDisplayTest, DiagnosticBlockShowsThePointCountAndFrameStatistics) {
    state.labelMode = 0;
    state.showPointCount = 1;
    state.pointCount = 1234;
    draw();
    const auto lines = pens(0xFFFFFF00);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_FLOAT_EQ(lines[0].first, 2);
    EXPECT_FLOAT_EQ(lines[0].second, 2);
    EXPECT_FLOAT_EQ(lines[1].second, 1.5f * 14 + 2);
    // "1234 stars": nine glyphs.
    EXPECT_EQ(textByColour()[0xFFFFFF00][0], 18u);
}

TEST(ViewpointTexts, NameTargetAndViewpointByMode) {
    model::initBodyTable();
    scene::OrreryState state;
    state.planet = 5;
    state.moon = 3;
    state.viewMode = scene::ViewMode::FixedSidereal;
    overlay::ViewpointTexts t = overlay::viewpointTexts(state);
    EXPECT_EQ(t.target, "Jupiter");
    EXPECT_EQ(t.viewpoint, "as seen from fixed star viewpoint");
    EXPECT_EQ(t.orientation, "     horizontal equator");
    state.viewMode = scene::ViewMode::FixedSolar;
    t = overlay::viewpointTexts(state);
    EXPECT_EQ(t.viewpoint, "as seen from relative solar viewpoint");
    EXPECT_EQ(t.orientation, "     horizontal ecliptic");
    state.viewMode = scene::ViewMode::AtMoon;
    t = overlay::viewpointTexts(state);
    EXPECT_EQ(t.target, "Ganymede");
    EXPECT_EQ(t.viewpoint, "as seen from Jupiter");
    EXPECT_EQ(t.orientation, "     north at top");
    state.viewMode = scene::ViewMode::FromMoon;
    t = overlay::viewpointTexts(state);
    EXPECT_EQ(t.target, "Jupiter");
    EXPECT_EQ(t.viewpoint, "as seen from Ganymede");
}

TEST(ViewpointTexts, DistanceInKilometresAndFieldOfViewInDegrees) {
    scene::OrreryState state;
    state.eye = {0, 300, -400};
    state.lookAt = {0, 0, 0};
    EXPECT_EQ(overlay::distanceText(state), "  500000 km");
    EXPECT_EQ(overlay::fieldOfViewText(20 * 0.017453293005625408), " 20.00 deg FOV");
    EXPECT_EQ(overlay::fieldOfViewText(2 * 0.017453293005625408), " 2.00 deg FOV");
}

} // namespace
