// A texture of the GL device: its texels in CPU memory (ImageMemory, which
// also keeps managed textures across Reset) and a GL texture that receives a
// level each time it is unlocked.
#pragma once

#include "gfx/device/DeviceResource.h"
#include "gfx/gl/GlFunctions.h"
#include "gfx/image/ImageMemory.h"

namespace gfx::gl {

class GlDevice;

// How a D3D colour format is stored and uploaded in GL.
struct GlTextureFormat {
    GLenum internalFormat = 0, format = 0, type = 0;
    bool opaque = false; // alpha reads as 1 (X8R8G8B8, R5G6B5, X1R5G5B5)
};
// False for formats GL textures do not take.
bool glTextureFormatOf(D3DFORMAT format, GlTextureFormat& out);

class GlTexture final : public DeviceResource<Texture> {
public:
    GlTexture(GlDevice& device, ResourceRegistry& registry, ImageMemory image, uint32_t usage,
              uint32_t pool);
    GLuint name() const { return texture; }
    // Makes `level` the most detailed one sampled (GL's base level), binding
    // the texture on `unit` where that changes it.
    void useBaseLevel(uint32_t unit, uint32_t level);

    uint32_t GetLevelCount() override { return memory.levelCount(); }
    HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(uint32_t level, Surface** surface) override;
    HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                     uint32_t flags) override;
    HRESULT UnlockRect(uint32_t level) override;

private:
    ~GlTexture() override;
    void upload(uint32_t level);

    GlDevice& device;
    ImageMemory memory;
    uint32_t usage;
    GLuint texture = 0;
    uint32_t baseLevel = 0;
    GlTextureFormat format;
    std::vector<uint32_t> lockFlags;
};

} // namespace gfx::gl
