// TextFont: glyph texture, state blocks, drawing and measuring.
//
// Index of this file:
//   - helpers (MulDiv, texture size, texel conversion)
//   - construction and destruction
//   - glyph texture (createDeviceResources)
//   - vertex buffer and state blocks (createVideoResources)
//   - release
//   - drawing (printText)
//   - extent (measureText)
#include "overlay/TextFont.h"

#include "gfx/services/FontRasterizer.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace overlay {

using namespace gfx;

namespace {

// Screen-space depth and reciprocal w of every glyph vertex.
constexpr float glyphZ = 0.9f;
constexpr float glyphRhw = 1.0f;

// Dots per inch of the screen the glyph sizes are computed for (LOGPIXELSY).
constexpr int32_t logicalPixelsPerInch = 96;

// Triangles in the buffer before a draw call is made: flush once three
// vertices per triangle would pass 294, i.e. every 100 triangles.
constexpr uint32_t flushVertexCount = 294;

// A byte that draws a glyph cell: 32 (space) .. 126.  Control bytes, 127 and
// the bytes above (negative as a signed char) have none.
bool hasGlyph(char c) {
    return c >= 32 && c < 127;
}

} // namespace

// ------------------------------------------------------------------ helpers

int32_t mulDiv(int32_t a, int32_t b, int32_t c) {
    if (c == 0) return -1;
    int64_t numerator = int64_t(a) * b;
    int64_t denominator = c;
    const bool negative = (numerator < 0) != (denominator < 0);
    numerator = std::llabs(numerator);
    denominator = std::llabs(denominator);
    const int64_t quotient = (numerator + denominator / 2) / denominator;
    return int32_t(negative ? -quotient : quotient);
}

uint32_t glyphTextureSize(uint32_t height) {
    if (height > 40) return 1024;
    if (height > 20) return 512;
    return 256;
}

uint16_t glyphTexel(uint32_t pixel) {
    const uint32_t alpha = (pixel >> 4) & 0xF;
    return alpha == 0 ? uint16_t(0) : uint16_t((alpha << 12) | 0x0FFF);
}

// ------------------------------------------------- construction, destruction

TextFont::TextFont(const char* name, uint32_t fontHeight, uint32_t fontFlags)
    : height(fontHeight), flags(fontFlags) {
    if (name) std::strncpy(faceName, name, sizeof faceName - 1);
}

TextFont::~TextFont() {
    releaseVideoResources();
    releaseDeviceResources();
}

// ------------------------------------------------------------ glyph texture

HRESULT TextFont::createDeviceResources(Device* newDevice) {
    releaseAndNull(texture); // a second build replaces the first
    device = newDevice;
    shrinkFactor = 1.0f;
    if (!device) return E_FAIL;

    textureWidth = textureHeight = glyphTextureSize(height);
    D3DCAPS8 caps;
    device->GetDeviceCaps(&caps);
    if (caps.MaxTextureWidth < textureWidth) {
        shrinkFactor = float(caps.MaxTextureWidth) / float(textureWidth);
        textureWidth = textureHeight = caps.MaxTextureWidth;
    }

    const HRESULT created = device->CreateTexture(textureWidth, textureHeight, 1, 0,
                                                  D3DFMT_A4R4G4B4, D3DPOOL_MANAGED, &texture);
    if (FAILED(created)) return created;

    GlyphCanvas canvas{int32_t(textureWidth), int32_t(textureHeight)};
    const int32_t pixelHeight =
        mulDiv(int32_t(height), int32_t(float(logicalPixelsPerInch) * shrinkFactor), 72);
    if (!canvas.selectFont(faceName, pixelHeight, flags & fontBold, flags & fontItalic))
        return E_FAIL;

    // Cells in reading order, one empty texel column between cells and one
    // empty texel row between rows.
    int32_t x = 0, y = 0;
    for (int c = 32; c <= 126; ++c) {
        const GlyphExtent extent = canvas.measureCharacter(char(c));
        if (x + extent.cx + 1 > int32_t(textureWidth)) {
            x = 0;
            y += extent.cy + 1;
        }
        canvas.drawCharacter(x, y, char(c));
        float* cell = glyphCoords[c - 32];
        cell[0] = float(x) / float(textureWidth);
        cell[1] = float(y) / float(textureHeight);
        cell[2] = float(x + extent.cx) / float(textureWidth);
        cell[3] = float(y + extent.cy) / float(textureHeight);
        x += extent.cx + 1;
    }

    D3DLOCKED_RECT locked;
    if (SUCCEEDED(texture->LockRect(0, &locked, nullptr, 0)) && locked.pBits) {
        auto* row = static_cast<uint8_t*>(locked.pBits);
        for (uint32_t ty = 0; ty < textureHeight; ++ty, row += locked.Pitch) {
            auto* texels = reinterpret_cast<uint16_t*>(row);
            for (uint32_t tx = 0; tx < textureWidth; ++tx)
                texels[tx] = glyphTexel(canvas.pixel(int32_t(tx), int32_t(ty)));
        }
        texture->UnlockRect(0);
    }
    return S_OK;
}

// -------------------------------------------- vertex buffer and state blocks

HRESULT TextFont::createVideoResources() {
    if (!device) return E_FAIL;
    const HRESULT created = device->CreateVertexBuffer(fontVertexCapacity * sizeof(FontVertex),
                                                       D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC, 0,
                                                       D3DPOOL_DEFAULT, &vertexBuffer);
    if (FAILED(created)) return created;

    // Both blocks name the same states: the first is re-captured from the
    // device before each draw (the caller's state), the second holds the
    // text-drawing values.
    for (uint32_t* block : {&callerStateBlock, &fontStateBlock}) {
        device->BeginStateBlock();
        recordDrawingState();
        device->EndStateBlock(block);
    }
    return S_OK;
}

void TextFont::recordDrawingState() {
    device->SetTexture(0, texture);

    device->SetRenderState(D3DRS_ZENABLE, (flags & fontDepthTest) ? 1 : 0);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, 1);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetRenderState(D3DRS_ALPHATESTENABLE, 1);
    device->SetRenderState(D3DRS_ALPHAREF, 0x08);
    device->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL);
    device->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_CCW);
    device->SetRenderState(D3DRS_STENCILENABLE, 0);
    device->SetRenderState(D3DRS_CLIPPING, 1);
    device->SetRenderState(D3DRS_EDGEANTIALIAS, 0);
    device->SetRenderState(D3DRS_CLIPPLANEENABLE, 0);
    device->SetRenderState(D3DRS_VERTEXBLEND, D3DVBF_DISABLE);
    device->SetRenderState(D3DRS_INDEXEDVERTEXBLENDENABLE, 0);
    device->SetRenderState(D3DRS_FOGENABLE, 0);

    device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_POINT);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    device->SetTextureStageState(0, D3DTSS_TEXCOORDINDEX, 0);
    device->SetTextureStageState(0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE);

    device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE);
    device->SetTextureStageState(1, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
}

// ------------------------------------------------------------------ release

HRESULT TextFont::releaseVideoResources() {
    releaseAndNull(vertexBuffer);
    if (device) {
        if (callerStateBlock) device->DeleteStateBlock(callerStateBlock);
        if (fontStateBlock) device->DeleteStateBlock(fontStateBlock);
    }
    callerStateBlock = 0;
    fontStateBlock = 0;
    return S_OK;
}

HRESULT TextFont::releaseDeviceResources() {
    releaseAndNull(texture);
    device = nullptr;
    return S_OK;
}

// ------------------------------------------------------------------ drawing

HRESULT TextFont::printText(float x, float y, uint32_t colour, const char* text,
                            uint32_t drawFlags) {
    if (!device || !vertexBuffer || !text) return E_FAIL;

    device->CaptureStateBlock(callerStateBlock);
    device->ApplyStateBlock(fontStateBlock);
    device->SetVertexShader(fontVertexFormat);
    device->SetPixelShader(0);
    device->SetStreamSource(0, vertexBuffer, sizeof(FontVertex));
    if (drawFlags & drawFiltered) {
        device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
        device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    }

    const float startX = x;
    // Line advance: the space cell's height in texels, not shrunk.
    const float lineHeight = (glyphCoords[0][3] - glyphCoords[0][1]) * float(textureHeight);

    FontVertex* vertices = nullptr;
    auto lock = [&] {
        uint8_t* data = nullptr;
        const HRESULT locked = vertexBuffer->Lock(0, 0, &data, D3DLOCK_DISCARD);
        vertices = SUCCEEDED(locked) ? reinterpret_cast<FontVertex*>(data) : nullptr;
        return vertices ? S_OK : (FAILED(locked) ? locked : E_FAIL);
    };

    HRESULT status = lock();
    uint32_t triangles = 0;
    for (const char* p = text; SUCCEEDED(status) && *p; ++p) {
        const char c = *p;
        if (c == '\n') {
            x = startX;
            y += lineHeight;
            continue;
        }
        if (!hasGlyph(c)) continue;
        const float* cell = glyphCoords[c - 32];
        const float uL = cell[0], vT = cell[1], uR = cell[2], vB = cell[3];
        const float w = (uR - uL) * float(textureWidth) / shrinkFactor;
        const float h = (vB - vT) * float(textureHeight) / shrinkFactor;
        if (c != ' ') {
            // Texel centres on pixel centres: every corner half a pixel up-left.
            const float left = x - 0.5f, top = y - 0.5f;
            const float right = x + w - 0.5f, bottom = y + h - 0.5f;
            FontVertex* v = vertices + 3 * triangles;
            v[0] = {left, bottom, glyphZ, glyphRhw, colour, uL, vB};
            v[1] = {left, top, glyphZ, glyphRhw, colour, uL, vT};
            v[2] = {right, bottom, glyphZ, glyphRhw, colour, uR, vB};
            v[3] = {right, top, glyphZ, glyphRhw, colour, uR, vT};
            v[4] = {right, bottom, glyphZ, glyphRhw, colour, uR, vB};
            v[5] = {left, top, glyphZ, glyphRhw, colour, uL, vT};
            triangles += 2;
            if (3 * triangles > flushVertexCount) {
                vertexBuffer->Unlock();
                device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
                triangles = 0;
                status = lock();
            }
        }
        x += w;
    }
    if (SUCCEEDED(status)) {
        vertexBuffer->Unlock();
        if (triangles != 0) device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, triangles);
    }

    device->ApplyStateBlock(callerStateBlock);
    return status;
}

// ------------------------------------------------------------------- extent

HRESULT TextFont::measureText(const char* text, TextSize* size) const {
    if (!text || !size) return E_FAIL;
    const float rowHeight = (glyphCoords[0][3] - glyphCoords[0][1]) * float(textureHeight);
    float width = 0, totalHeight = rowHeight, rowWidth = 0;
    for (const char* p = text; *p; ++p) {
        const char c = *p;
        if (c == '\n') {
            rowWidth = 0;
            totalHeight += rowHeight;
            continue;
        }
        if (!hasGlyph(c)) continue;
        const float* cell = glyphCoords[c - 32];
        rowWidth += (cell[2] - cell[0]) * float(textureWidth);
        width = std::max(width, rowWidth);
    }
    size->cx = int32_t(width);
    size->cy = int32_t(totalHeight);
    return S_OK;
}

} // namespace overlay
