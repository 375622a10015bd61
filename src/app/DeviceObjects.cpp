// The device-dependent objects: textures and mesh buffers (created with the
// device, released before it goes), and fonts, device-wide states and the
// seven recorded state blocks (created after every reset, released before).
// The renderer and the overlay only apply and read these objects.
#include "app/OrreryApplication.h"
#include "model/BodyTextures.h"
#include "model/StarCatalogue.h"
#include "overlay/TextFont.h"
#include "scene/Meshes.h"

#include <cmath>
#include <cstring>

namespace app {

using namespace gfx;

namespace {

constexpr uint32_t meshUsage = D3DUSAGE_WRITEONLY | D3DUSAGE_NPATCHES; // 0x108
constexpr uint32_t meshVertexFormat = scene::meshVertexFvf;            // 0x112
constexpr uint32_t screenVertexFormat = scene::screenVertexFvf;        // 0x1C4
constexpr uint32_t lineVertexFormat = scene::lineVertexFvf;            // 0x42
constexpr uint32_t pointVertexFormat = model::starRecordFvf;           // 0x62

// Fills a freshly created buffer (vertex or index) with `size` bytes.
template <class Buffer> HRESULT fillBuffer(Buffer* buffer, const void* source, uint32_t size) {
    uint8_t* data = nullptr;
    const HRESULT locked = buffer->Lock(0, size, &data, 0);
    if (FAILED(locked)) return locked;
    std::memcpy(data, source, size);
    return buffer->Unlock();
}

HRESULT createFilledVertexBuffer(Device* device, const void* source, uint32_t size,
                                 VertexBuffer** buffer) {
    const HRESULT created =
        device->CreateVertexBuffer(size, meshUsage, meshVertexFormat, D3DPOOL_MANAGED, buffer);
    if (FAILED(created)) return created;
    return fillBuffer(*buffer, source, size);
}

HRESULT createFilledIndexBuffer(Device* device, const void* source, uint32_t size,
                                IndexBuffer** buffer) {
    const HRESULT created =
        device->CreateIndexBuffer(size, meshUsage, D3DFMT_INDEX16, D3DPOOL_MANAGED, buffer);
    if (FAILED(created)) return created;
    return fillBuffer(*buffer, source, size);
}

// Records into the open state block; reads like the state-block table.
struct Recorder {
    Device* device;

    void state(D3DRENDERSTATETYPE type, uint32_t value) { device->SetRenderState(type, value); }
    void stage(uint32_t index, D3DTEXTURESTAGESTATETYPE type, uint32_t value) {
        device->SetTextureStageState(index, type, value);
    }
    void filters(uint32_t index, uint32_t mag, uint32_t min, uint32_t mip) {
        stage(index, D3DTSS_MAGFILTER, mag);
        stage(index, D3DTSS_MINFILTER, min);
        stage(index, D3DTSS_MIPFILTER, mip);
    }
    // Stages 1 and 2 end the cascade after stage 0.
    void disableUpperStages() {
        for (uint32_t index = 1; index <= 2; ++index) {
            stage(index, D3DTSS_COLOROP, D3DTOP_DISABLE);
            stage(index, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
        }
    }
    void blending(uint32_t enable, uint32_t op, uint32_t source, uint32_t destination) {
        state(D3DRS_ALPHABLENDENABLE, enable);
        state(D3DRS_BLENDOP, op);
        state(D3DRS_SRCBLEND, source);
        state(D3DRS_DESTBLEND, destination);
    }
};

// Font sizes follow the back-buffer height (600 pixels give the minimums).
int32_t fontHeight(int32_t minimum, int32_t backBufferHeight) {
    const int32_t scaled = minimum * backBufferHeight / 600;
    return scaled < minimum ? minimum : scaled;
}

} // namespace

// ------------------------------------------------------ with the device

HRESULT OrreryApplication::createDeviceResources() {
    model::loadSystemTextures(device, planet);
    model::loadTexture(device, "IDB_BMP_CURSORS", &cursorTexture);
    loadSpriteTextures();
    model::loadDdsTexture(device, "IDB_DDS_GRIDCOLOR", &gridColorTexture);
    // The renderer draws every mesh from these buffers: without them the
    // device cannot be used, and the framework gives it up.
    return createMeshBuffers();
}

// The shade, starlight and sunlight sprites are mip-mapped when the setting
// asks for it and the device can; mipFilter follows for the state blocks.
void OrreryApplication::loadSpriteTextures() {
    const bool mipmapped = mipMapping && (deviceCaps.TextureCaps & D3DPTEXTURECAPS_MIPMAP);
    mipFilter = mipmapped ? int32_t(D3DTEXF_LINEAR) : int32_t(D3DTEXF_NONE);
    const auto load = mipmapped ? model::loadTextureMipmapped : model::loadTexture;
    load(device, "IDB_BMP_SHADE", &shadeTexture);
    load(device, "IDB_BMP_STARLIGHT", &starlightTexture);
    load(device, "IDB_BMP_SUNLIGHT_GLOW", &sunGlowTexture);
    load(device, "IDB_BMP_SUNLIGHT_DISC", &sunDiscTexture);
}

void OrreryApplication::releaseSpriteTextures() {
    releaseAndNull(shadeTexture);
    releaseAndNull(starlightTexture);
    releaseAndNull(sunGlowTexture);
    releaseAndNull(sunDiscTexture);
}

HRESULT OrreryApplication::createMeshBuffers() {
    for (int32_t level = 0; level < scene::sphereLevelCount; ++level) {
        const auto vertices = meshes.sphereVertices(level);
        const HRESULT made = createFilledVertexBuffer(
            device, vertices.data(), uint32_t(vertices.size_bytes()), &sphereVertexBuffers[level]);
        if (FAILED(made)) return made;
    }
    for (int32_t level = 0; level < scene::sphereLevelCount; ++level) {
        const auto indices = meshes.sphereIndices(level);
        const HRESULT made = createFilledIndexBuffer(
            device, indices.data(), uint32_t(indices.size_bytes()), &sphereIndexBuffers[level]);
        if (FAILED(made)) return made;
    }
    return createFilledVertexBuffer(device, meshes.ringVertices, sizeof meshes.ringVertices,
                                    &ringVertexBuffer);
}

HRESULT OrreryApplication::releaseDeviceResources() {
    model::releaseBodyTextures();
    releaseAndNull(cursorTexture);
    releaseSpriteTextures();
    releaseAndNull(gridColorTexture);
    releaseAndNull(ringVertexBuffer);
    for (int level = 0; level < 4; ++level) {
        releaseAndNull(sphereIndexBuffers[level]);
        releaseAndNull(sphereVertexBuffers[level]);
    }
    releaseAndNull(pointBuffer);
    return S_OK;
}

// ------------------------------------------------------ after every reset

HRESULT OrreryApplication::createVideoResources() {
    const int32_t width = int32_t(presentParameters.BackBufferWidth);
    const int32_t height = int32_t(presentParameters.BackBufferHeight);
    backBufferWidth = width;
    backBufferHeight = height;
    backBufferDiagonal = int32_t(std::sqrt(double(width) * width + double(height) * height));
    if (height > 0) aspectRatio = double(width) / double(height);

    largeFontHeight = fontHeight(20, height);
    mediumFontHeight = fontHeight(14, height);
    smallFontHeight = fontHeight(10, height);
    largeFont = new overlay::TextFont("Arial", uint32_t(largeFontHeight), overlay::fontBold);
    mediumFont = new overlay::TextFont("Arial", uint32_t(mediumFontHeight), 0);
    smallFont = new overlay::TextFont("Arial", uint32_t(smallFontHeight), 0);
    // A font that cannot be made draws nothing; the program goes on.
    for (overlay::TextFont* font : {largeFont, mediumFont, smallFont})
        font->createDeviceResources(device);
    for (overlay::TextFont* font : {largeFont, mediumFont, smallFont})
        font->createVideoResources();

    setDeviceStates();
    recordStateBlocks();
    return S_OK;
}

// States every pass relies on; not recorded.  Fill mode is solid after every
// restore, whatever the wireframe toggle holds.
void OrreryApplication::setDeviceStates() {
    Recorder set{device};
    set.state(D3DRS_NORMALIZENORMALS, 1);
    set.state(D3DRS_ZENABLE, D3DZB_FALSE);
    set.state(D3DRS_DITHERENABLE, 0);
    set.state(D3DRS_FILLMODE, D3DFILL_SOLID);
    set.state(D3DRS_CULLMODE, D3DCULL_CCW);
    set.state(D3DRS_AMBIENT, 0xFF060404);
    set.state(D3DRS_SHADEMODE, D3DSHADE_GOURAUD);
    set.state(D3DRS_ALPHAFUNC, D3DCMP_ALWAYS);
    for (uint32_t index = 0; index <= 2; ++index) {
        set.stage(index, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
        set.stage(index, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    }
}

void OrreryApplication::recordStateBlocks() {
    Recorder r{device};
    const uint32_t mip = uint32_t(mipFilter);

    // Overlay quads and the cursor sprite: screen-space, alpha-blended.
    device->BeginStateBlock();
    device->SetVertexShader(screenVertexFormat);
    device->SetTexture(0, cursorTexture);
    r.filters(0, D3DTEXF_POINT, D3DTEXF_POINT, mip);
    r.stage(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    r.stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    r.stage(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    r.disableUpperStages();
    r.blending(1, D3DBLENDOP_ADD, D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA);
    r.state(D3DRS_LIGHTING, 0);
    r.state(D3DRS_ALPHATESTENABLE, 1);
    r.state(D3DRS_ALPHAREF, 8);
    device->EndStateBlock(&overlayStateBlock);

    // Orbit lines: untextured, added over the sky.
    device->BeginStateBlock();
    device->SetVertexShader(lineVertexFormat);
    device->SetTexture(0, nullptr);
    r.stage(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    r.stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    r.disableUpperStages();
    r.blending(1, D3DBLENDOP_ADD, D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE);
    r.state(D3DRS_LIGHTING, 0);
    device->EndStateBlock(&lineStateBlock);

    // Planets and moons: surface map, blur blended by the texture factor;
    // the textures are set per body.
    device->BeginStateBlock();
    device->SetVertexShader(meshVertexFormat);
    r.filters(0, D3DTEXF_FLATCUBIC, D3DTEXF_LINEAR, mip);
    r.stage(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    r.stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(0, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    r.filters(1, D3DTEXF_FLATCUBIC, D3DTEXF_LINEAR, mip);
    r.stage(1, D3DTSS_COLOROP, D3DTOP_BLENDFACTORALPHA);
    r.stage(1, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(1, D3DTSS_COLORARG2, D3DTA_CURRENT);
    r.stage(1, D3DTSS_ALPHAOP, D3DTOP_BLENDFACTORALPHA);
    r.filters(2, D3DTEXF_FLATCUBIC, D3DTEXF_LINEAR, mip);
    r.stage(2, D3DTSS_COLOROP, D3DTOP_DISABLE);
    r.stage(2, D3DTSS_COLORARG1, D3DTA_DIFFUSE);
    r.stage(2, D3DTSS_COLORARG2, D3DTA_CURRENT);
    r.stage(2, D3DTSS_ALPHAOP, D3DTOP_DISABLE);
    r.state(D3DRS_ALPHABLENDENABLE, 0);
    r.state(D3DRS_BLENDOP, D3DBLENDOP_ADD);
    r.state(D3DRS_LIGHTING, 0);
    device->EndStateBlock(&planetStateBlock);

    // Reference grid over a planet; the vertex format stays the planet's.
    device->BeginStateBlock();
    device->SetTexture(0, gridColorTexture);
    r.filters(0, D3DTEXF_LINEAR, D3DTEXF_LINEAR, mip);
    r.stage(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    r.stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    r.stage(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    r.disableUpperStages();
    r.blending(1, D3DBLENDOP_ADD, D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA);
    r.state(D3DRS_LIGHTING, 0);
    device->EndStateBlock(&gridStateBlock);

    // Rings: lit colour times the strip, alpha as transmission; the texture
    // is set per ring.
    device->BeginStateBlock();
    device->SetVertexShader(meshVertexFormat);
    r.stage(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    r.stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    r.stage(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG1);
    r.stage(0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE);
    r.disableUpperStages();
    r.blending(1, D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_SRCALPHA);
    r.state(D3DRS_LIGHTING, 0);
    device->SetStreamSource(0, ringVertexBuffer, sizeof(scene::MeshVertex));
    device->EndStateBlock(&ringStateBlock);

    // The Sun's glow and disc: blending off until the pass turns it on.
    device->BeginStateBlock();
    device->SetVertexShader(screenVertexFormat);
    device->SetTexture(0, sunGlowTexture);
    r.stage(0, D3DTSS_MAGFILTER, D3DTEXF_FLATCUBIC);
    r.stage(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    r.stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    r.disableUpperStages();
    r.blending(0, D3DBLENDOP_ADD, D3DBLEND_ONE, D3DBLEND_ONE);
    r.state(D3DRS_LIGHTING, 0);
    device->EndStateBlock(&sunStateBlock);

    // Sky points: point sprites, brightest wins; the largest sprite is a
    // tenth of the back-buffer height.
    device->BeginStateBlock();
    device->SetVertexShader(pointVertexFormat);
    device->SetTexture(0, starlightTexture);
    r.stage(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    r.stage(0, D3DTSS_MIPFILTER, D3DTEXF_NONE);
    r.stage(0, D3DTSS_COLOROP, D3DTOP_MODULATE);
    r.stage(0, D3DTSS_COLORARG1, D3DTA_TEXTURE);
    r.stage(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE);
    r.disableUpperStages();
    r.blending(1, D3DBLENDOP_MAX, D3DBLEND_INVDESTCOLOR, D3DBLEND_ONE);
    r.state(D3DRS_LIGHTING, 0);
    r.state(D3DRS_NORMALIZENORMALS, 1);
    r.state(D3DRS_ZENABLE, D3DZB_FALSE);
    r.state(D3DRS_POINTSPRITEENABLE, 1);
    r.state(D3DRS_POINTSCALEENABLE, 1);
    r.state(D3DRS_POINTSCALE_A, floatBits(0.0f));
    r.state(D3DRS_POINTSCALE_B, floatBits(0.0f));
    r.state(D3DRS_POINTSCALE_C, floatBits(0.0f));
    r.state(D3DRS_POINTSIZE_MIN, floatBits(0.0f));
    r.state(D3DRS_POINTSIZE_MAX, floatBits(0.1f * float(backBufferHeight)));
    device->EndStateBlock(&starStateBlock);
}

HRESULT OrreryApplication::releaseVideoResources() {
    overlay::TextFont** fonts[] = {&largeFont, &mediumFont, &smallFont};
    for (overlay::TextFont** font : fonts)
        if (*font) (*font)->releaseVideoResources();
    for (overlay::TextFont** font : fonts)
        if (*font) (*font)->releaseDeviceResources();
    for (overlay::TextFont** font : fonts) {
        delete *font;
        *font = nullptr;
    }

    uint32_t* blocks[] = {&overlayStateBlock, &lineStateBlock, &planetStateBlock, &gridStateBlock,
                          &ringStateBlock,    &starStateBlock, &sunStateBlock};
    for (uint32_t* block : blocks) {
        if (device && *block) device->DeleteStateBlock(*block);
        *block = 0;
    }
    return S_OK;
}

} // namespace app
