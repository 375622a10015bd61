// The Surface view of one level of a texture (GetSurfaceLevel): it holds a
// reference to its texture and forwards locking and the description.
#pragma once

#include "gfx/device/RefCounted.h"

namespace gfx {

class TextureLevelSurface final : public RefCounted<Surface> {
public:
    TextureLevelSurface(Texture& texture, uint32_t level) : texture(texture), level(level) {
        texture.AddRef();
    }
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override { return texture.GetLevelDesc(level, desc); }
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) override {
        return texture.LockRect(level, locked, rect, flags);
    }
    HRESULT UnlockRect() override { return texture.UnlockRect(level); }
    Texture& owner() { return texture; }
    uint32_t levelIndex() const { return level; }

private:
    ~TextureLevelSurface() override { texture.Release(); }
    Texture& texture;
    uint32_t level;
};

} // namespace gfx
