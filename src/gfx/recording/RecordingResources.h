// The in-memory resources of RecordingDevice: textures, image surfaces, the
// back buffer, vertex and index buffers.  Each logs its own calls into the
// device's record as "<Kind>.<Call>".
#pragma once

#include "gfx/device/BufferMemory.h"
#include "gfx/recording/RecordingDevice.h"

namespace gfx {

// Identity of a recorded object in logs: "<kind>#<id>".
class RecordedObject {
public:
    RecordedObject(const char* kind, uint32_t id) : kind(kind), id(id) {}
    virtual ~RecordedObject() = default;
    std::string name() const { return std::string(kind) + "#" + std::to_string(id); }
    const char* kind;
    uint32_t id;
};

class RecordingTexture final : public DeviceResource<Texture>, public RecordedObject {
public:
    RecordingTexture(RecordingDevice& device, ResourceRegistry* registry, ImageMemory image,
                     uint32_t usage, uint32_t pool);
    const ImageMemory& image() const { return memory; }

    uint32_t Release() override;
    uint32_t GetLevelCount() override { return memory.levelCount(); }
    HRESULT GetLevelDesc(uint32_t level, D3DSURFACE_DESC* desc) override;
    HRESULT GetSurfaceLevel(uint32_t level, Surface** surface) override;
    HRESULT LockRect(uint32_t level, D3DLOCKED_RECT* locked, const RECT* rect,
                     uint32_t flags) override;
    HRESULT UnlockRect(uint32_t level) override;

private:
    RecordingDevice& device;
    ImageMemory memory;
    uint32_t usage;
};

// An image surface (CreateImageSurface), or the back buffer (registry null:
// owned by the device).
class RecordingSurface final : public DeviceResource<Surface>, public RecordedObject {
public:
    RecordingSurface(RecordingDevice& device, ResourceRegistry* registry, ImageMemory image,
                     uint32_t pool, uint32_t usage, const char* kind);
    const ImageMemory& image() const { return memory; }
    ImageMemory& image() { return memory; }

    uint32_t Release() override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* locked, const RECT* rect, uint32_t flags) override;
    HRESULT UnlockRect() override;

private:
    RecordingDevice& device;
    ImageMemory memory;
    uint32_t usage;
};

class RecordingVertexBuffer final : public DeviceResource<VertexBuffer>, public RecordedObject {
public:
    RecordingVertexBuffer(RecordingDevice& device, ResourceRegistry* registry, uint32_t length,
                          uint32_t usage, uint32_t fvf, uint32_t pool);
    const BufferMemory& memory() const { return bytes; }

    uint32_t Release() override;
    HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;

private:
    RecordingDevice& device;
    BufferMemory bytes;
    uint32_t usage, fvf;
};

class RecordingIndexBuffer final : public DeviceResource<IndexBuffer>, public RecordedObject {
public:
    RecordingIndexBuffer(RecordingDevice& device, ResourceRegistry* registry, uint32_t length,
                         uint32_t usage, D3DFORMAT format, uint32_t pool);
    const BufferMemory& memory() const { return bytes; }
    D3DFORMAT format() const { return indexFormat; }

    uint32_t Release() override;
    HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) override;
    HRESULT Unlock() override;
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

private:
    RecordingDevice& device;
    BufferMemory bytes;
    uint32_t usage;
    D3DFORMAT indexFormat;
};

} // namespace gfx
