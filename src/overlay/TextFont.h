// TextFont: ASCII text drawn from one glyph texture.
//
// createDeviceResources rasterises the printable characters 32..126 of one
// font into a single A4R4G4B4 texture (white, coverage in alpha) and keeps
// where each glyph cell lies; printText then draws two screen-space
// triangles per visible character from a dynamic vertex buffer, with the
// device state saved before and restored after; measureText gives a
// string's extent in texels.
//
// Lifecycle per device: construct -> createDeviceResources (textured; can
// measure) -> createVideoResources (drawable) -> releaseVideoResources (back
// to textured, e.g. around a device reset) -> releaseDeviceResources
// (unloaded) -> destroy.  The device is borrowed, never owned.
//
// Character 127 has no glyph cell: it is skipped like the control bytes,
// neither drawn nor measured.
#pragma once

#include "gfx/device/Device.h"

#include <cstdint>

namespace overlay {

// Creation flags.
constexpr uint32_t fontBold = 0x1;
constexpr uint32_t fontItalic = 0x2;
constexpr uint32_t fontDepthTest = 0x4; // D3DRS_ZENABLE on while drawing

// Draw flags of printText.
constexpr uint32_t drawFiltered = 0x4; // bilinear glyph filtering

struct TextSize {
    int32_t cx = 0;
    int32_t cy = 0;
};

// One glyph quad corner: XYZRHW | DIFFUSE | TEX1.
struct FontVertex {
    float x = 0, y = 0, z = 0, rhw = 0; // screen pixels
    uint32_t colour = 0;                // ARGB
    float u = 0, v = 0;
};
static_assert(sizeof(FontVertex) == 28);

constexpr uint32_t fontVertexFormat = 0x144;
constexpr uint32_t fontVertexCapacity = 300; // 50 characters per draw call

class TextFont {
public:
    // Copies at most 79 characters of faceName.
    TextFont(const char* faceName, uint32_t height, uint32_t flags = 0);
    ~TextFont();
    TextFont(const TextFont&) = delete;
    TextFont& operator=(const TextFont&) = delete;

    // Builds the glyph texture.  A texture creation failure is returned as
    // is; a font that cannot be made gives E_FAIL and keeps the texture.
    gfx::HRESULT createDeviceResources(gfx::Device* device);
    // Creates the vertex buffer (its failure is returned, no state blocks
    // then) and records the caller and font state blocks.
    gfx::HRESULT createVideoResources();
    gfx::HRESULT releaseVideoResources();
    gfx::HRESULT releaseDeviceResources();

    // Extent of text in texels (not divided by shrinkFactor): the widest
    // line and one row height per line.  E_FAIL when text or size is null.
    gfx::HRESULT measureText(const char* text, TextSize* size) const;

    // Draws text with its top-left corner at (x, y) pixels.  E_FAIL without
    // a device, before createVideoResources or for a null text; a vertex buffer that cannot be
    // locked ends the draw with that lock's status, the caller's states restored.
    gfx::HRESULT printText(float x, float y, uint32_t colour, const char* text,
                           uint32_t drawFlags = 0);

    // ---- fields, in the documented order
    char faceName[80] = {};
    uint32_t height = 0; // points
    uint32_t flags = 0;
    gfx::Device* device = nullptr;
    gfx::Texture* texture = nullptr;
    gfx::VertexBuffer* vertexBuffer = nullptr;
    uint32_t textureWidth = 0;  // texels
    uint32_t textureHeight = 0; // texels
    float shrinkFactor = 1.0f;
    // For code c (32..126) at c - 32: left u, top v, right u, bottom v of its
    // cell as fractions of the texture size.  Entry 95 (code 127) stays zero.
    float glyphCoords[96][4] = {};
    uint32_t callerStateBlock = 0;
    uint32_t fontStateBlock = 0;

private:
    void recordDrawingState();
};

// MulDiv(a, b, c): a * b / c rounded to the nearest integer, halves away
// from zero, in 64-bit arithmetic; -1 when c is 0.
int32_t mulDiv(int32_t a, int32_t b, int32_t c);

// The glyph texture's edge for a font height in points, before any shrink:
// above 40 -> 1024, 21..40 -> 512, up to 20 -> 256.
uint32_t glyphTextureSize(uint32_t height);

// One A4R4G4B4 texel from a rasterised 0x00RRGGBB pixel: coverage = the top
// four bits of the blue byte; 0 when that is 0, else white with that alpha.
uint16_t glyphTexel(uint32_t pixel);

} // namespace overlay
