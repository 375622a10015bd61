// Textures from resources (see BodyTextures.h).
#include "model/BodyTextures.h"

#include "gfx/image/TextureCreation.h"
#include "gfx/services/Resources.h"
#include "model/BodyTable.h"

namespace model {

gfx::Texture* ringTexture = nullptr;

const char* ringResource(int32_t planet) {
    switch (planet) {
    case 5:
        return "IDB_DDS_JUPRING";
    case 6:
        return "IDB_DDS_SATRING";
    case 7:
        return "IDB_DDS_URARING";
    case 8:
        return "IDB_DDS_NEPRING";
    default:
        return nullptr;
    }
}

namespace {

// Bitmaps: the image's own size and format; the triangle filter mirrored in
// u, v and w for scaling and mip levels; opaque black becomes transparent.
constexpr uint32_t bitmapFilter = gfx::D3DX_FILTER_TRIANGLE | gfx::D3DX_FILTER_MIRROR_U |
                                  gfx::D3DX_FILTER_MIRROR_V | gfx::D3DX_FILTER_MIRROR_W; // 0x70004
constexpr gfx::D3DCOLOR bitmapColourKey = 0xFF000000;

gfx::HRESULT loadBitmap(gfx::Device* device, const char* name, uint32_t mipLevels,
                        gfx::Texture** slot) {
    return gfx::D3DXCreateTextureFromResourceExA(
        device, nullptr, name, gfx::D3DX_DEFAULT, gfx::D3DX_DEFAULT, mipLevels, 0,
        gfx::D3DFMT_UNKNOWN, gfx::D3DPOOL_MANAGED, bitmapFilter, bitmapFilter, bitmapColourKey,
        nullptr, nullptr, slot);
}

} // namespace

gfx::HRESULT loadTexture(gfx::Device* device, const char* name, gfx::Texture** slot) {
    return loadBitmap(device, name, 1, slot);
}

gfx::HRESULT loadTextureMipmapped(gfx::Device* device, const char* name, gfx::Texture** slot) {
    return loadBitmap(device, name, 0, slot);
}

gfx::HRESULT loadDdsTexture(gfx::Device* device, const char* name, gfx::Texture** slot) {
    const gfx::ResourceData resource = gfx::findResource(name, "DDS");
    if (resource.data && resource.size > 0) {
        const gfx::HRESULT created = gfx::D3DXCreateTextureFromFileInMemoryEx(
            device, resource.data, resource.size, gfx::D3DX_DEFAULT, gfx::D3DX_DEFAULT, 0, 0,
            gfx::D3DFMT_UNKNOWN, gfx::D3DPOOL_MANAGED, gfx::D3DX_FILTER_LINEAR,
            gfx::D3DX_FILTER_LINEAR, 0, nullptr, nullptr, slot);
        if (gfx::FAILED(created)) return created;
    }
    return *slot ? gfx::S_OK : gfx::E_FAIL;
}

void loadSystemTextures(gfx::Device* device, int32_t planet) {
    if (planet < 0 || planet >= systemCount) return;
    for (int32_t slot = 0; slot < slotsPerSystem; ++slot) {
        Body& body = bodyTable[slotsPerSystem * planet + slot];
        if (!body.present) continue;
        loadTexture(device, body.textureResource, &body.texture);
        if (body.blurTextureResource)
            loadTexture(device, body.blurTextureResource, &body.blurTexture);
    }
    if (const char* ring = ringResource(planet)) loadDdsTexture(device, ring, &ringTexture);
}

void releaseBodyTextures() {
    for (Body& body : bodyTable) {
        if (!body.present) continue;
        gfx::releaseAndNull(body.texture);
        gfx::releaseAndNull(body.blurTexture);
    }
    gfx::releaseAndNull(ringTexture);
}

} // namespace model
