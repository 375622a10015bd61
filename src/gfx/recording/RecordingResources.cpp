// In-memory resources of the recording device, logging their calls.
#include "gfx/recording/RecordingResources.h"

#include "gfx/device/PixelFormat.h"
#include "gfx/device/TextureLevelSurface.h"

#include <cstdio>

namespace gfx {

namespace {

std::string hexText(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%X", value);
    return text;
}

std::string rectText(const RECT* rect) {
    if (!rect) return "null";
    return "{" + std::to_string(rect->left) + ", " + std::to_string(rect->top) + ", " +
           std::to_string(rect->right) + ", " + std::to_string(rect->bottom) + "}";
}

D3DSURFACE_DESC levelDesc(const ImageMemory& memory, uint32_t level, uint32_t usage,
                          uint32_t pool) {
    D3DSURFACE_DESC desc;
    const ImageLevel& image = memory.level(level);
    desc.Format = memory.format();
    desc.Type = D3DRTYPE_SURFACE;
    desc.Usage = usage;
    desc.Pool = pool;
    desc.Size = static_cast<uint32_t>(image.bytes.size());
    desc.Width = image.width;
    desc.Height = image.height;
    return desc;
}

} // namespace

// ------------------------------------------------------------------ texture
RecordingTexture::RecordingTexture(RecordingDevice& device, ResourceRegistry* registry,
                                   ImageMemory image, uint32_t usage, uint32_t pool)
    : DeviceResource(device, registry, pool), RecordedObject("Texture", device.nextId()),
      device(device), memory(std::move(image)), usage(usage) {}

uint32_t RecordingTexture::Release() {
    device.record("Texture.Release", {id}, name() + ".Release()", S_OK);
    return DeviceResource::Release();
}

HRESULT RecordingTexture::GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) {
    if (!desc || level >= memory.levelCount()) return D3DERR_INVALIDCALL;
    *desc = levelDesc(memory, level, usage, pool());
    desc->Type = D3DRTYPE_TEXTURE;
    return S_OK;
}

HRESULT RecordingTexture::GetSurfaceLevel(uint32_t level, Surface** surface) {
    if (!surface || level >= memory.levelCount()) return D3DERR_INVALIDCALL;
    *surface = new TextureLevelSurface(*this, level);
    return S_OK;
}

HRESULT RecordingTexture::LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                                   uint32_t flags) {
    HRESULT hr;
    if (!device.consumeFailure("Texture.LockRect", hr)) hr = memory.lock(level, locked, rect);
    device.record("Texture.LockRect", {id, level, flags},
                  name() + ".LockRect(" + std::to_string(level) + ", " + rectText(rect) + ", " +
                      hexText(flags) + ")",
                  hr);
    return hr;
}

HRESULT RecordingTexture::UnlockRect(uint32_t level) {
    const HRESULT hr = memory.unlock(level);
    device.record("Texture.UnlockRect", {id, level},
                  name() + ".UnlockRect(" + std::to_string(level) + ")", hr);
    return hr;
}

// ------------------------------------------------------------------ surface
RecordingSurface::RecordingSurface(RecordingDevice& device, ResourceRegistry* registry,
                                   ImageMemory image, uint32_t pool, uint32_t usage,
                                   const char* kind)
    : DeviceResource(device, registry, pool), RecordedObject(kind, device.nextId()), device(device),
      memory(std::move(image)), usage(usage) {}

uint32_t RecordingSurface::Release() {
    device.record("Surface.Release", {id}, name() + ".Release()", S_OK);
    return DeviceResource::Release();
}

HRESULT RecordingSurface::GetDesc(D3DSURFACE_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = levelDesc(memory, 0, usage, pool());
    return S_OK;
}

HRESULT RecordingSurface::LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) {
    HRESULT hr;
    if (!device.consumeFailure("Surface.LockRect", hr)) hr = memory.lock(0, locked, rect);
    device.record("Surface.LockRect", {id, flags},
                  name() + ".LockRect(" + rectText(rect) + ", " + hexText(flags) + ")", hr);
    return hr;
}

HRESULT RecordingSurface::UnlockRect() {
    const HRESULT hr = memory.unlock(0);
    device.record("Surface.UnlockRect", {id}, name() + ".UnlockRect()", hr);
    return hr;
}

// ------------------------------------------------------------ vertex buffer
RecordingVertexBuffer::RecordingVertexBuffer(RecordingDevice& device, ResourceRegistry* registry,
                                             uint32_t length, uint32_t usage, uint32_t fvf,
                                             uint32_t pool)
    : DeviceResource(device, registry, pool), RecordedObject("VertexBuffer", device.nextId()),
      device(device), bytes(length), usage(usage), fvf(fvf) {}

uint32_t RecordingVertexBuffer::Release() {
    device.record("VertexBuffer.Release", {id}, name() + ".Release()", S_OK);
    return DeviceResource::Release();
}

HRESULT RecordingVertexBuffer::Lock(uint32_t offset, uint32_t size, uint8_t** data,
                                    uint32_t flags) {
    HRESULT hr;
    if (!device.consumeFailure("VertexBuffer.Lock", hr)) hr = bytes.lock(offset, size, data);
    device.record("VertexBuffer.Lock", {id, offset, size, flags},
                  name() + ".Lock(" + std::to_string(offset) + ", " + std::to_string(size) + ", " +
                      hexText(flags) + ")",
                  hr);
    return hr;
}

HRESULT RecordingVertexBuffer::Unlock() {
    const HRESULT hr = bytes.unlock();
    device.record("VertexBuffer.Unlock", {id}, name() + ".Unlock()", hr);
    return hr;
}

HRESULT RecordingVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Usage = usage;
    desc->Pool = pool();
    desc->Size = bytes.length();
    desc->FVF = fvf;
    return S_OK;
}

// ------------------------------------------------------------- index buffer
RecordingIndexBuffer::RecordingIndexBuffer(RecordingDevice& device, ResourceRegistry* registry,
                                           uint32_t length, uint32_t usage, D3DFORMAT format,
                                           uint32_t pool)
    : DeviceResource(device, registry, pool), RecordedObject("IndexBuffer", device.nextId()),
      device(device), bytes(length), usage(usage), indexFormat(format) {}

uint32_t RecordingIndexBuffer::Release() {
    device.record("IndexBuffer.Release", {id}, name() + ".Release()", S_OK);
    return DeviceResource::Release();
}

HRESULT RecordingIndexBuffer::Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) {
    HRESULT hr;
    if (!device.consumeFailure("IndexBuffer.Lock", hr)) hr = bytes.lock(offset, size, data);
    device.record("IndexBuffer.Lock", {id, offset, size, flags},
                  name() + ".Lock(" + std::to_string(offset) + ", " + std::to_string(size) + ", " +
                      hexText(flags) + ")",
                  hr);
    return hr;
}

HRESULT RecordingIndexBuffer::Unlock() {
    const HRESULT hr = bytes.unlock();
    device.record("IndexBuffer.Unlock", {id}, name() + ".Unlock()", hr);
    return hr;
}

HRESULT RecordingIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Format = indexFormat;
    desc->Usage = usage;
    desc->Pool = pool();
    desc->Size = bytes.length();
    return S_OK;
}

} // namespace gfx
