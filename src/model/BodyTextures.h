// Textures drawn from the executable's resources: the two bitmap loaders
// (one mip level or a full chain), the loader for the "DDS" resource kind,
// and the pair that loads and releases one planetary system's textures.
//
// Only one system's surface, blur and ring textures are resident at a time.
// The loaders write into the slot without releasing what it holds; every
// caller releases first.  Textures live in the managed pool.
#pragma once

#include "gfx/device/Device.h"

#include <cstdint>

namespace model {

// The ring of the current system when it has one; null otherwise.
extern gfx::Texture* ringTexture;

// "DDS" resource of the ring of planet index `planet`, or null for the
// planets without a ring (Jupiter 5 to Neptune 8 have one).
const char* ringResource(int32_t planet);

// Bitmap resource `name` with one mip level; returns the creation status.
gfx::HRESULT loadTexture(gfx::Device* device, const char* name, gfx::Texture** slot);
// The same with a complete mip chain.
gfx::HRESULT loadTextureMipmapped(gfx::Device* device, const char* name, gfx::Texture** slot);
// "DDS" resource `name`: a failed creation's status; otherwise S_OK when the
// slot holds a texture afterwards and E_FAIL when it does not (a missing or
// empty resource on an empty slot).
gfx::HRESULT loadDdsTexture(gfx::Device* device, const char* name, gfx::Texture** slot);

// Loads the surface (and blur) maps of the nine records of system `planet`
// (0..9) in slot order, each record its own texture object, then the ring.
// Failed loads leave their slots null and do not stop the others.
void loadSystemTextures(gfx::Device* device, int32_t planet);

// Releases every body texture of the table and the ring texture; harmless
// when nothing is loaded.
void releaseBodyTextures();

} // namespace model
