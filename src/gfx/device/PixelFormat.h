// Facts about the D3D formats the device layer stores: texel sizes, which
// formats a texture or image surface may have, depth formats.
#pragma once

#include "gfx/device/Types.h"

namespace gfx {

// Bytes per texel of a colour format, 0 for formats we do not store.
uint32_t bytesPerPixel(D3DFORMAT format);

// Colour formats textures, image surfaces and back buffers may have:
// A8R8G8B8, X8R8G8B8, R5G6B5, A4R4G4B4, X1R5G5B5, A1R5G5B5.
bool isColourFormat(D3DFORMAT format);

bool isDepthFormat(D3DFORMAT format);

// One texel of a colour format from / to 0xAARRGGBB (formats without alpha
// read back as opaque; fewer bits round to nearest).
void encodeTexel(uint32_t argb, D3DFORMAT format, uint8_t* texel);
uint32_t decodeTexel(const uint8_t* texel, D3DFORMAT format);

// Levels of a full mip chain down to 1 x 1.
uint32_t fullMipLevelCount(uint32_t width, uint32_t height);

} // namespace gfx
