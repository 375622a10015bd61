// A small glyph rasteriser: the stand-in for the GDI calls the bitmap font
// is built with (a 32-bit DIB section, CreateFontA, GetTextExtentPoint32A,
// ExtTextOutA).  It keeps Qt out of its callers.
//
// The canvas is W x H pixels of 0x00RRGGBB, black when created.  Characters
// are drawn white on black, antialiased, with their cell's top-left corner at
// the pen (TA_TOP alignment); a cell is exactly the extent that
// measureCharacter reports.
//
// Faces: "Arial" is drawn with Liberation Sans (its metric twin), registered
// from the embedded resources ":/FONT/LiberationSans-Regular.ttf" and
// ":/FONT/LiberationSans-Bold.ttf" on first use (or, when the executable
// carries no such resource, from the system's fonts-liberation files), so
// every machine draws the same glyphs.  Other face names go to the system's
// font matching.
//
// Sizes: the pixel height given to selectFont is the character (em) height,
// the meaning of a negative height in CreateFontA; measured cell heights are
// the font's ascent plus descent, like tmHeight.
//
// Needs a running QGuiApplication (QApplication) in the process; without one
// selectFont fails and nothing is drawn.
#pragma once

#include <cstdint>
#include <memory>

namespace gfx {

struct GlyphExtent {
    int32_t cx = 0; // advance width in pixels
    int32_t cy = 0; // cell height (ascent + descent) in pixels
};

class GlyphCanvas {
public:
    // A black canvas of width x height pixels (both at least 1).
    GlyphCanvas(int32_t width, int32_t height);
    ~GlyphCanvas();
    GlyphCanvas(const GlyphCanvas&) = delete;
    GlyphCanvas& operator=(const GlyphCanvas&) = delete;

    // Picks the font later calls measure and draw with.  pixelHeight is the
    // em height in pixels (at least 1).  Returns false when no font can be
    // made (no QGuiApplication, a non-positive height): the caller's
    // "font creation failed".
    bool selectFont(const char* faceName, int32_t pixelHeight, bool bold, bool italic);

    // Extent of the one-character string {c}; (0, 0) without a font.
    GlyphExtent measureCharacter(char c) const;

    // Fills the character's cell at (x, y) with black and draws the character
    // in white over it (ExtTextOutA with ETO_OPAQUE, TA_TOP).
    void drawCharacter(int32_t x, int32_t y, char c);

    int32_t width() const;
    int32_t height() const;
    // 0x00RRGGBB at (x, y); 0 outside the canvas.
    uint32_t pixel(int32_t x, int32_t y) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl;
};

} // namespace gfx
