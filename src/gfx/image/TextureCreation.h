// Texture creation from images: the two D3DX entry points the program uses,
// over our own BMP and DDS decoders (Decoders.h).
//
// Both return a negative status and leave *texture untouched on failure.
#pragma once

#include "gfx/device/Device.h"

#include <cstddef>

namespace gfx {

// A bitmap resource of the executable, looked up by name as kind "BITMAP"
// first and as raw data (kind "RCDATA") second.  module must be null.
HRESULT D3DXCreateTextureFromResourceExA(Device* device, const void* module, const char* resource,
                                         uint32_t width, uint32_t height, uint32_t mipLevels,
                                         uint32_t usage, D3DFORMAT format, uint32_t pool,
                                         uint32_t filter, uint32_t mipFilter, D3DCOLOR colourKey,
                                         void* sourceInfo, void* palette, Texture** texture);

// An image file held in memory (BMP or DDS).
HRESULT D3DXCreateTextureFromFileInMemoryEx(Device* device, const void* data, size_t size,
                                            uint32_t width, uint32_t height, uint32_t mipLevels,
                                            uint32_t usage, D3DFORMAT format, uint32_t pool,
                                            uint32_t filter, uint32_t mipFilter, D3DCOLOR colourKey,
                                            void* sourceInfo, void* palette, Texture** texture);

} // namespace gfx
