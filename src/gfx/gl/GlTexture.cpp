// Texture storage and upload: D3D's little-endian texel layouts map onto
// GL's BGRA "_REV" types unchanged, so no conversion is needed.
#include "gfx/gl/GlTexture.h"

#include "gfx/device/TextureLevelSurface.h"
#include "gfx/gl/GlDevice.h"

namespace gfx::gl {

bool glTextureFormatOf(D3DFORMAT format, GlTextureFormat& out) {
    switch (format) {
    case D3DFMT_A8R8G8B8:
        out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, false};
        return true;
    case D3DFMT_X8R8G8B8:
        out = {GL_RGBA8, GL_BGRA, GL_UNSIGNED_INT_8_8_8_8_REV, true};
        return true;
    case D3DFMT_R5G6B5:
        out = {GL_RGB565, GL_RGB, GL_UNSIGNED_SHORT_5_6_5, true};
        return true;
    case D3DFMT_A4R4G4B4:
        out = {GL_RGBA4, GL_BGRA, GL_UNSIGNED_SHORT_4_4_4_4_REV, false};
        return true;
    case D3DFMT_A1R5G5B5:
        out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, false};
        return true;
    case D3DFMT_X1R5G5B5:
        out = {GL_RGB5_A1, GL_BGRA, GL_UNSIGNED_SHORT_1_5_5_5_REV, true};
        return true;
    default:
        return false;
    }
}

GlTexture::GlTexture(GlDevice& device, ResourceRegistry& registry, ImageMemory image,
                     uint32_t usage, uint32_t pool)
    : DeviceResource(device, &registry, pool), device(device), memory(std::move(image)),
      usage(usage), lockFlags(memory.levelCount(), 0) {
    glTextureFormatOf(memory.format(), format);
    GlFunctions& gl = device.functions();
    GL_CHECK(gl, glGenTextures(1, &texture));
    device.stateCache().bindTextureForEdit(0, texture);
    // Every level exists from the start; MAX_LEVEL keeps a short chain complete.
    GL_CHECK(gl,
             glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, GLint(memory.levelCount() - 1)));
    if (format.opaque) GL_CHECK(gl, glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE));
    GL_CHECK(gl, glPixelStorei(GL_UNPACK_ALIGNMENT, 4));
    for (uint32_t level = 0; level < memory.levelCount(); ++level) {
        const ImageLevel& image = memory.level(level);
        GL_CHECK(gl, glTexImage2D(GL_TEXTURE_2D, GLint(level), GLint(format.internalFormat),
                                  GLsizei(image.width), GLsizei(image.height), 0, format.format,
                                  format.type, image.bytes.data()));
    }
}

GlTexture::~GlTexture() {
    device.makeCurrent();
    device.forgetTexture(texture);
    device.functions().glDeleteTextures(1, &texture);
}

HRESULT GlTexture::GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= memory.levelCount()) return D3DERR_INVALIDCALL;
    const ImageLevel& image = memory.level(level);
    *desc = {};
    desc->Format = memory.format();
    desc->Type = D3DRTYPE_TEXTURE;
    desc->Usage = usage;
    desc->Pool = pool();
    desc->Size = uint32_t(image.bytes.size());
    desc->Width = image.width;
    desc->Height = image.height;
    return S_OK;
}

HRESULT GlTexture::GetSurfaceLevel(uint32_t level, Surface** surface) {
    if (!surface || level >= memory.levelCount()) return D3DERR_INVALIDCALL;
    *surface = new TextureLevelSurface(*this, level);
    return S_OK;
}

HRESULT GlTexture::LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                            uint32_t flags) {
    const HRESULT hr = memory.lock(level, locked, rect);
    if (SUCCEEDED(hr)) lockFlags[level] = flags;
    return hr;
}

HRESULT GlTexture::UnlockRect(uint32_t level) {
    const HRESULT hr = memory.unlock(level);
    if (SUCCEEDED(hr) && !(lockFlags[level] & D3DLOCK_READONLY)) upload(level);
    return hr;
}

void GlTexture::useBaseLevel(uint32_t unit, uint32_t level) {
    if (level == baseLevel) return;
    GlFunctions& gl = device.functions();
    device.stateCache().bindTextureForEdit(unit, texture);
    GL_CHECK(gl, glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_BASE_LEVEL, GLint(level)));
    baseLevel = level;
}

void GlTexture::upload(uint32_t level) {
    GlFunctions& gl = device.functions();
    device.makeCurrent();
    device.stateCache().bindTextureForEdit(0, texture);
    const ImageLevel& image = memory.level(level);
    GL_CHECK(gl, glPixelStorei(GL_UNPACK_ALIGNMENT, 4));
    GL_CHECK(gl, glTexSubImage2D(GL_TEXTURE_2D, GLint(level), 0, 0, GLsizei(image.width),
                                 GLsizei(image.height), format.format, format.type,
                                 image.bytes.data()));
}

} // namespace gfx::gl
