// The glyph rasteriser behind TextFont: extents like GetTextExtentPoint32A,
// white-on-black cells, and "Arial" drawn as Liberation Sans.
#include "gfx/services/FontRasterizer.h"

#include <gtest/gtest.h>

namespace {

using gfx::GlyphCanvas;
using gfx::GlyphExtent;

TEST(GlyphCanvas, StartsBlackAndMeasuresNothingWithoutAFont) {
    GlyphCanvas canvas(16, 8);
    EXPECT_EQ(canvas.width(), 16);
    EXPECT_EQ(canvas.height(), 8);
    EXPECT_EQ(canvas.pixel(3, 3), 0u);
    EXPECT_EQ(canvas.pixel(-1, 0), 0u);
    EXPECT_EQ(canvas.measureCharacter('W').cx, 0);
    EXPECT_FALSE(canvas.selectFont("Arial", 0, false, false));
}

TEST(GlyphCanvas, ExtentsAreAdvancesAndOneCellHeight) {
    GlyphCanvas canvas(64, 64);
    ASSERT_TRUE(canvas.selectFont("Arial", 19, false, false));
    const GlyphExtent w = canvas.measureCharacter('W'), i = canvas.measureCharacter('i');
    EXPECT_GT(w.cx, i.cx);
    EXPECT_EQ(w.cy, i.cy);
    EXPECT_GE(w.cy, 19); // ascent + descent exceed the em
    EXPECT_LE(w.cy, 24);
    // Liberation Sans is metric-compatible with Arial: 'W' advances 0.944 em.
    EXPECT_NEAR(w.cx, 0.944 * 19, 1.0);
    ASSERT_TRUE(canvas.selectFont("Arial", 19, true, false));
    EXPECT_GE(canvas.measureCharacter('W').cx, w.cx);
}

TEST(GlyphCanvas, DrawsWhiteCoverageInsideTheCell) {
    GlyphCanvas canvas(64, 64);
    ASSERT_TRUE(canvas.selectFont("Arial", 19, false, false));
    const GlyphExtent extent = canvas.measureCharacter('O');
    canvas.drawCharacter(10, 5, 'O');
    int lit = 0, grey = 0;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const uint32_t p = canvas.pixel(x, y);
            if (p == 0) continue;
            ++lit;
            // Grey-scale coverage: the three channels agree.
            EXPECT_EQ(p & 0xFF, (p >> 8) & 0xFF);
            EXPECT_EQ(p & 0xFF, (p >> 16) & 0xFF);
            grey += (p & 0xFF) != 0xFF;
            EXPECT_GE(x, 10);
            EXPECT_LT(x, 10 + extent.cx);
            EXPECT_GE(y, 5);
            EXPECT_LT(y, 5 + extent.cy);
        }
    EXPECT_GT(lit, 20);
    EXPECT_GT(grey, 0); // antialiased edges
    // The space draws an empty cell.
    GlyphCanvas blank(32, 32);
    ASSERT_TRUE(blank.selectFont("Arial", 19, false, false));
    blank.drawCharacter(0, 0, ' ');
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            EXPECT_EQ(blank.pixel(x, y), 0u);
}

} // namespace
