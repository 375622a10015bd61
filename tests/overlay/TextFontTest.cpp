// TextFont: the glyph texture and its cells, the recorded state blocks, and
// what drawing and measuring produce.
#include "FontFixture.h"

#include <cmath>
#include <string>

namespace {

using namespace gfx;
using namespace fonttest;
using overlay::FontVertex;
using overlay::TextFont;
using overlay::TextSize;

TEST(FontHelpers, MulDivRoundsHalvesAwayFromZero) {
    EXPECT_EQ(overlay::mulDiv(14, 96, 72), 19); // 18.67
    EXPECT_EQ(overlay::mulDiv(10, 96, 72), 13); // 13.33
    EXPECT_EQ(overlay::mulDiv(3, 1, 2), 2);
    EXPECT_EQ(overlay::mulDiv(-3, 1, 2), -2);
    EXPECT_EQ(overlay::mulDiv(28, 48, 72), 19); // a shrunk 28-point font
    EXPECT_EQ(overlay::mulDiv(1, 1, 0), -1);
}

TEST(FontHelpers, TextureSizeSteps) {
    EXPECT_EQ(overlay::glyphTextureSize(10), 256u);
    EXPECT_EQ(overlay::glyphTextureSize(20), 256u);
    EXPECT_EQ(overlay::glyphTextureSize(21), 512u);
    EXPECT_EQ(overlay::glyphTextureSize(40), 512u);
    EXPECT_EQ(overlay::glyphTextureSize(41), 1024u);
}

TEST(FontHelpers, CoverageIsTheTopNibbleOfTheBlueByte) {
    EXPECT_EQ(overlay::glyphTexel(0x00000000), 0x0000);
    EXPECT_EQ(overlay::glyphTexel(0x0000000F), 0x0000); // below one step
    EXPECT_EQ(overlay::glyphTexel(0x00FFFF0F), 0x0000); // red and green ignored
    EXPECT_EQ(overlay::glyphTexel(0x00000010), 0x1FFF);
    EXPECT_EQ(overlay::glyphTexel(0x00000080), 0x8FFF);
    EXPECT_EQ(overlay::glyphTexel(0x00FFFFFF), 0xFFFF);
}

class TextFontTest : public ::testing::Test {
protected:
    void SetUp() override { device = makeDevice(); }
    void TearDown() override {
        if (device->inScene()) device->EndScene();
        font.reset();
        device->Release();
    }

    // A drawable font on the device.
    TextFont& makeFont(uint32_t height, uint32_t flags = 0) {
        font = std::make_unique<TextFont>("Arial", height, flags);
        EXPECT_EQ(font->createDeviceResources(device), S_OK);
        EXPECT_EQ(font->createVideoResources(), S_OK);
        if (!device->inScene()) device->BeginScene();
        device->clearLog();
        return *font;
    }

    float cellWidth(char c) const {
        const float* cell = font->glyphCoords[c - 32];
        return (cell[2] - cell[0]) * float(font->textureWidth);
    }
    float rowHeight() const {
        return (font->glyphCoords[0][3] - font->glyphCoords[0][1]) * float(font->textureHeight);
    }

    RecordingDevice* device = nullptr;
    std::unique_ptr<TextFont> font;
};

TEST_F(TextFontTest, CellsAreLaidOutInReadingOrderWithOneTexelGaps) {
    TextFont& f = makeFont(14);
    EXPECT_EQ(f.textureWidth, 256u);
    EXPECT_EQ(f.textureHeight, 256u);
    EXPECT_EQ(f.shrinkFactor, 1.0f);
    const float texel = 1.0f / 256;
    int rows = 1;
    for (int c = 33; c <= 126; ++c) {
        const float* previous = f.glyphCoords[c - 33];
        const float* cell = f.glyphCoords[c - 32];
        EXPECT_GT(cell[2], cell[0]) << char(c);
        EXPECT_GT(cell[3], cell[1]);
        if (cell[1] == previous[1]) {
            EXPECT_NEAR(cell[0], previous[2] + texel, 1e-6) << char(c);
        } else {
            // A new row: flush left, one empty texel row below the last.
            ++rows;
            EXPECT_EQ(cell[0], 0.0f);
            EXPECT_NEAR(cell[1], previous[3] + texel, 1e-6);
        }
        EXPECT_LE(cell[2], 1.0f);
    }
    EXPECT_GT(rows, 1);
    // The space cell is as tall as every other: the line height.
    EXPECT_NEAR(rowHeight(), (f.glyphCoords['W' - 32][3] - f.glyphCoords['W' - 32][1]) * 256, 1e-3);
    // 14 points at 96 dpi: a 19-pixel em, about 22 pixels of cell height.
    EXPECT_GE(rowHeight(), 19);
    EXPECT_LE(rowHeight(), 24);
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(f.glyphCoords[95][k], 0.0f); // 127 has no cell
}

TEST_F(TextFontTest, TextureHoldsWhiteGlyphsWithFourBitCoverage) {
    TextFont& f = makeFont(14);
    D3DSURFACE_DESC desc;
    f.texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A4R4G4B4);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(f.texture->GetLevelCount(), 1u);

    D3DLOCKED_RECT locked;
    ASSERT_EQ(f.texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), S_OK);
    auto texel = [&](int x, int y) {
        return reinterpret_cast<const uint16_t*>(static_cast<const uint8_t*>(locked.pBits) +
                                                 y * locked.Pitch)[x];
    };
    auto cellCoverage = [&](char c) {
        const float* cell = f.glyphCoords[c - 32];
        int covered = 0;
        for (int y = int(cell[1] * 256); y < int(cell[3] * 256); ++y)
            for (int x = int(cell[0] * 256); x < int(cell[2] * 256); ++x) {
                const uint16_t t = texel(x, y);
                if (t != 0) {
                    ++covered;
                    EXPECT_EQ(t & 0x0FFF, 0x0FFF);
                }
            }
        return covered;
    };
    EXPECT_EQ(cellCoverage(' '), 0);
    EXPECT_GT(cellCoverage('W'), 20);
    EXPECT_GT(cellCoverage('.'), 0);
    EXPECT_GT(cellCoverage('W'), cellCoverage('.'));
    // The gap column after 'A' is empty.
    const float* a = f.glyphCoords['A' - 32];
    const int gap = int(std::lround(a[2] * 256));
    for (int y = int(a[1] * 256); y < int(a[3] * 256); ++y)
        EXPECT_EQ(texel(gap, y), 0);
    f.texture->UnlockRect(0);
}

TEST_F(TextFontTest, TextureSizeFollowsHeightAndTheDeviceLimit) {
    EXPECT_EQ(makeFont(21).textureWidth, 512u);
    EXPECT_EQ(makeFont(41).textureWidth, 1024u);
    TextFont& bold = makeFont(20, overlay::fontBold);
    EXPECT_EQ(bold.textureWidth, 256u);
    device->EndScene();
    font.reset();
    device->Release();

    device = makeDevice(512);
    TextFont& fits = makeFont(28);
    EXPECT_EQ(fits.textureWidth, 512u);
    EXPECT_EQ(fits.shrinkFactor, 1.0f);
    const float fullRow = rowHeight();
    device->EndScene();
    font.reset();
    device->Release();

    device = makeDevice(256);
    TextFont& shrunk = makeFont(28);
    EXPECT_EQ(shrunk.textureWidth, 256u);
    EXPECT_EQ(shrunk.textureHeight, 256u);
    EXPECT_EQ(shrunk.shrinkFactor, 0.5f);
    // Rasterised at half size...
    EXPECT_NEAR(rowHeight(), fullRow / 2, 2.0f);
    // ...and drawn at twice the texel size.
    ASSERT_EQ(shrunk.printText(0, 0, 0xFFFFFFFF, "W"), S_OK);
    const auto draws = textDraws(*device);
    ASSERT_EQ(draws.size(), 1u);
    const auto v = fontVertices(draws[0]);
    EXPECT_FLOAT_EQ(v[2].x - v[0].x, 2 * cellWidth('W'));
    EXPECT_FLOAT_EQ(v[0].y - v[1].y, 2 * rowHeight());
}

TEST_F(TextFontTest, VideoResourcesAreADynamicBufferAndTwoMatchingStateBlocks) {
    TextFont& f = makeFont(14);
    D3DVERTEXBUFFER_DESC desc;
    f.vertexBuffer->GetDesc(&desc);
    EXPECT_EQ(desc.Size, 8400u);
    EXPECT_EQ(desc.Usage, 0x208u);
    EXPECT_EQ(desc.Pool, D3DPOOL_DEFAULT);
    EXPECT_EQ(desc.FVF, 0u);

    ASSERT_NE(f.callerStateBlock, 0u);
    ASSERT_NE(f.fontStateBlock, 0u);
    const StateBlock* caller = device->stateBlock(f.callerStateBlock);
    const StateBlock* drawing = device->stateBlock(f.fontStateBlock);
    ASSERT_TRUE(caller && drawing);
    EXPECT_EQ(caller->stateCount(), drawing->stateCount());
    EXPECT_EQ(caller->renderStateSet, drawing->renderStateSet);
    EXPECT_EQ(drawing->renderStateSet.count(), 16u);
    EXPECT_TRUE(drawing->textureSet[0]);
    EXPECT_FALSE(drawing->fvfSet); // the vertex format is set per draw
    EXPECT_EQ(drawing->stageStateSet[0].count(), 11u);
    EXPECT_EQ(drawing->stageStateSet[1].count(), 2u);
    const DeviceState& v = drawing->values;
    EXPECT_EQ(v.renderState(D3DRS_ZENABLE), 0u);
    EXPECT_EQ(v.renderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(v.renderState(D3DRS_SRCBLEND), D3DBLEND_SRCALPHA);
    EXPECT_EQ(v.renderState(D3DRS_DESTBLEND), D3DBLEND_INVSRCALPHA);
    EXPECT_EQ(v.renderState(D3DRS_ALPHATESTENABLE), 1u);
    EXPECT_EQ(v.renderState(D3DRS_ALPHAREF), 8u);
    EXPECT_EQ(v.renderState(D3DRS_ALPHAFUNC), D3DCMP_GREATEREQUAL);
    EXPECT_EQ(v.renderState(D3DRS_CULLMODE), D3DCULL_CCW);
    EXPECT_EQ(v.renderState(D3DRS_CLIPPING), 1u);
    EXPECT_EQ(v.stageState(0, D3DTSS_COLOROP), D3DTOP_MODULATE);
    EXPECT_EQ(v.stageState(0, D3DTSS_ALPHAARG2), D3DTA_DIFFUSE);
    EXPECT_EQ(v.stageState(0, D3DTSS_MINFILTER), D3DTEXF_POINT);
    EXPECT_EQ(v.stageState(0, D3DTSS_MIPFILTER), D3DTEXF_NONE);
    EXPECT_EQ(v.stageState(1, D3DTSS_COLOROP), D3DTOP_DISABLE);
    EXPECT_EQ(v.textures[0], f.texture);

    TextFont depth("Arial", 10, overlay::fontDepthTest);
    depth.createDeviceResources(device);
    depth.createVideoResources();
    EXPECT_EQ(device->stateBlock(depth.fontStateBlock)->values.renderState(D3DRS_ZENABLE), 1u);

    const uint32_t token = f.fontStateBlock;
    f.releaseVideoResources();
    EXPECT_EQ(f.callerStateBlock, 0u);
    EXPECT_EQ(f.vertexBuffer, nullptr);
    EXPECT_EQ(device->stateBlock(token), nullptr);
}

TEST_F(TextFontTest, EmptyTextDrawsNothing) {
    TextFont& f = makeFont(14);
    EXPECT_EQ(f.printText(10, 10, 0xFFFFFFFF, ""), S_OK);
    EXPECT_EQ(device->countCalls("DrawPrimitive"), 0u);
    EXPECT_EQ(f.printText(10, 10, 0xFFFFFFFF, "   \t\r"), S_OK);
    EXPECT_EQ(device->countCalls("DrawPrimitive"), 0u);
}

TEST_F(TextFontTest, SixtyCharactersTakeTwoDrawsOfOneHundredAndTwentyTriangles) {
    TextFont& f = makeFont(14);
    const std::string text(60, 'x');
    EXPECT_EQ(f.printText(0, 0, 0xFF00FF00, text.c_str()), S_OK);
    const auto draws = textDraws(*device);
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].type, D3DPT_TRIANGLELIST);
    EXPECT_EQ(draws[0].primitiveCount, 100u);
    EXPECT_EQ(draws[1].primitiveCount, 20u);
    EXPECT_EQ(draws[0].stride, 28u);
    // The second batch starts with the 51st character.
    const float advance = cellWidth('x');
    EXPECT_NEAR(fontVertices(draws[1])[1].x, 50 * advance - 0.5f, 1e-3);
    for (const FontVertex& v : fontVertices(draws[0])) {
        EXPECT_EQ(v.colour, 0xFF00FF00u);
        EXPECT_FLOAT_EQ(v.z, 0.9f);
        EXPECT_FLOAT_EQ(v.rhw, 1.0f);
    }
}

TEST_F(TextFontTest, QuadCornersSitHalfAPixelUpLeftWithTheCellsCoordinates) {
    TextFont& f = makeFont(14);
    f.printText(100, 50, 0xFFFFFFFF, "A");
    const auto v = fontVertices(textDraws(*device).at(0));
    ASSERT_EQ(v.size(), 6u);
    const float* cell = f.glyphCoords['A' - 32];
    const float w = cellWidth('A'), h = rowHeight();
    EXPECT_FLOAT_EQ(v[0].x, 99.5f);
    EXPECT_FLOAT_EQ(v[0].y, 50 + h - 0.5f);
    EXPECT_FLOAT_EQ(v[0].u, cell[0]);
    EXPECT_FLOAT_EQ(v[0].v, cell[3]);
    EXPECT_FLOAT_EQ(v[1].y, 49.5f);
    EXPECT_FLOAT_EQ(v[1].v, cell[1]);
    EXPECT_FLOAT_EQ(v[3].x, 100 + w - 0.5f);
    EXPECT_FLOAT_EQ(v[3].u, cell[2]);
    EXPECT_FLOAT_EQ(v[4].x, v[2].x);
    EXPECT_FLOAT_EQ(v[5].y, v[1].y);
}

TEST_F(TextFontTest, NewlineReturnsToTheStartOneSpaceCellLower) {
    TextFont& f = makeFont(14);
    f.printText(20, 30, 0xFFFFFFFF, "a\nb");
    const auto v = fontVertices(textDraws(*device).at(0));
    ASSERT_EQ(v.size(), 12u);
    EXPECT_FLOAT_EQ(v[7].x, 19.5f); // b's top-left corner
    EXPECT_FLOAT_EQ(v[7].y, 30 + rowHeight() - 0.5f);
}

TEST_F(TextFontTest, SpacesAdvanceWhileTabsAndReturnsAreSkipped) {
    TextFont& f = makeFont(14);
    f.printText(0, 0, 0xFFFFFFFF, "a b");
    f.printText(0, 0, 0xFFFFFFFF, "a\t\rb");
    const auto draws = textDraws(*device);
    ASSERT_EQ(draws.size(), 2u);
    const auto spaced = fontVertices(draws[0]), skipped = fontVertices(draws[1]);
    ASSERT_EQ(spaced.size(), 12u); // the space adds no vertices
    ASSERT_EQ(skipped.size(), 12u);
    EXPECT_FLOAT_EQ(spaced[7].x, cellWidth('a') + cellWidth(' ') - 0.5f);
    EXPECT_FLOAT_EQ(skipped[7].x, cellWidth('a') - 0.5f);
    // Bytes above 127 and 127 itself draw nothing either.
    device->clearLog();
    f.printText(0, 0, 0xFFFFFFFF, "\x7F\xE9");
    EXPECT_TRUE(textDraws(*device).empty());
}

TEST_F(TextFontTest, DrawingRestoresTheCallersStates) {
    TextFont& f = makeFont(14);
    Texture* other = nullptr;
    device->CreateTexture(4, 4, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &other);
    device->SetTexture(0, other);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 0);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);

    f.printText(0, 0, 0xFFFFFFFF, "Hello", overlay::drawFiltered);
    const auto draws = textDraws(*device);
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].state.textures[0], f.texture);
    EXPECT_EQ(draws[0].state.renderState(D3DRS_ALPHABLENDENABLE), 1u);
    EXPECT_EQ(draws[0].state.stageState(0, D3DTSS_MAGFILTER), D3DTEXF_LINEAR);

    const DeviceState& after = device->state();
    EXPECT_EQ(after.textures[0], other);
    EXPECT_EQ(after.renderState(D3DRS_ALPHABLENDENABLE), 0u);
    EXPECT_EQ(after.renderState(D3DRS_SRCBLEND), D3DBLEND_ONE);
    EXPECT_EQ(after.stageState(0, D3DTSS_COLOROP), D3DTOP_SELECTARG1);
    EXPECT_EQ(after.stageState(1, D3DTSS_COLOROP), D3DTOP_BLENDFACTORALPHA);
    device->SetTexture(0, nullptr);
    other->Release();
}

TEST_F(TextFontTest, MeasuresInTexelsLineByLine) {
    TextFont& f = makeFont(14);
    TextSize size;
    ASSERT_EQ(f.measureText("0000 000 00:00", &size), S_OK);
    const float expected = 11 * cellWidth('0') + 2 * cellWidth(' ') + cellWidth(':');
    EXPECT_EQ(size.cx, int32_t(expected));
    EXPECT_EQ(size.cy, int32_t(rowHeight()));
    ASSERT_EQ(f.measureText("ab\nabcd\n", &size), S_OK);
    EXPECT_EQ(size.cx, int32_t(cellWidth('a') + cellWidth('b') + cellWidth('c') + cellWidth('d')));
    EXPECT_EQ(size.cy, int32_t(3 * rowHeight()));
    EXPECT_EQ(f.measureText(nullptr, &size), E_FAIL);
    EXPECT_EQ(f.measureText("x", nullptr), E_FAIL);
}

TEST_F(TextFontTest, MeasuringNeedsOnlyTheTextureAndDrawingTheDevice) {
    TextFont textured("Arial", 14, 0);
    ASSERT_EQ(textured.createDeviceResources(device), S_OK);
    TextSize size;
    EXPECT_EQ(textured.measureText("Io", &size), S_OK);
    EXPECT_GT(size.cx, 0);
    EXPECT_EQ(textured.printText(0, 0, 0xFFFFFFFF, "Io"), E_FAIL); // not drawable yet
    TextFont unloaded("Arial", 14, 0);
    EXPECT_EQ(unloaded.printText(0, 0, 0xFFFFFFFF, "Io"), E_FAIL);
    EXPECT_EQ(device->countCalls("DrawPrimitive"), 0u);
}

TEST_F(TextFontTest, FailuresAreReturnedAndLeaveWhatTheyShould) {
    TextFont f("Arial", 14, 0);
    device->failNext("CreateTexture", E_OUTOFMEMORY);
    EXPECT_EQ(f.createDeviceResources(device), E_OUTOFMEMORY);
    EXPECT_EQ(f.texture, nullptr);
    ASSERT_EQ(f.createDeviceResources(device), S_OK);
    device->failNext("CreateVertexBuffer", D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(f.createVideoResources(), D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(f.callerStateBlock, 0u);
    EXPECT_EQ(f.fontStateBlock, 0u);
    EXPECT_EQ(device->stateBlockCount(), 0u);
}

TEST_F(TextFontTest, ReleaseReturnsToUnloadedAndFreesEverything) {
    TextFont& f = makeFont(14);
    const size_t before = device->liveResourceCount();
    f.releaseVideoResources();
    EXPECT_EQ(device->defaultPoolResourceCount(), 0u);
    EXPECT_EQ(device->stateBlockCount(), 0u);
    f.releaseDeviceResources();
    EXPECT_EQ(f.device, nullptr);
    EXPECT_EQ(f.texture, nullptr);
    EXPECT_EQ(device->liveResourceCount(), before - 2);
}

} // namespace
