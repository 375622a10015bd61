// Vertex and index buffers of the GL device: the bytes in CPU memory
// (BufferMemory, kept for managed buffers across Reset and for validating
// indexed draws) and a GL buffer brought up to date lazily: Unlock only
// notes what changed, and a draw uploads the part of that it reads.  Draws
// from a buffer rewritten under D3DLOCK_DISCARD (the text's glyph quads) copy
// the vertices they read into the device's stream buffer instead, as
// user-pointer draws do; an indexed draw from one orphans its GL storage so
// the driver need not wait.  Uploads go through GL_COPY_WRITE_BUFFER, which
// no vertex array holds.
#pragma once

#include "gfx/device/BufferMemory.h"
#include "gfx/device/DeviceResource.h"
#include "gfx/device/ViewCulling.h"
#include "gfx/gl/GlFunctions.h"

namespace gfx::gl {

class GlDevice;

// The part both kinds share.
class GlBufferStorage {
public:
    GlBufferStorage(GlDevice& device, uint32_t length, uint32_t usage);
    ~GlBufferStorage();
    GLuint name() const { return buffer; }
    const BufferMemory& memory() const { return bytes; }
    HRESULT lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags);
    HRESULT unlock();
    // Whether the buffer was written whole (D3DLOCK_DISCARD) since the GL
    // buffer last had its contents.
    bool discardPending() const { return orphan; }
    // Brings bytes [begin, end) of the GL buffer up to date before a draw
    // reads them (the bound GL_COPY_WRITE_BUFFER changes when it uploads).
    void prepare(uint32_t begin, uint32_t end) {
        if (staleBegin < staleEnd && begin < staleEnd && staleBegin < end) upload(begin, end);
    }
    // Rises with every write; index buffers use it to re-validate.
    uint64_t version() const { return writes; }

private:
    GlDevice& device;
    BufferMemory bytes;
    GLuint buffer = 0;
    GLenum glUsage;
    void upload(uint32_t begin, uint32_t end);

    uint32_t dirtyBegin = ~0u, dirtyEnd = 0; // written under the current locks
    bool discard = false;
    // Bytes the GL buffer does not yet hold, and whether its storage is to
    // be orphaned before the next upload.
    uint32_t staleBegin = ~0u, staleEnd = 0;
    bool orphan = false;
    uint64_t writes = 0;
};

class GlVertexBuffer final : public DeviceResource<VertexBuffer> {
public:
    GlVertexBuffer(GlDevice& device, ResourceRegistry& registry, uint32_t length, uint32_t usage,
                   uint32_t fvf, uint32_t pool);
    GlBufferStorage& storage() { return data; }

    HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** bytes, uint32_t flags) override {
        return data.lock(offset, size, bytes, flags);
    }
    HRESULT Unlock() override { return data.unlock(); }
    HRESULT GetDesc(D3DVERTEXBUFFER_DESC* desc) override;
    // The sphere around every XYZ position in the buffer, vertices `stride`
    // bytes apart; computed once per write.
    const BoundingSphere& bounds(uint32_t stride);

private:
    GlBufferStorage data;
    uint32_t usage, fvf;
    uint64_t boundsVersion = ~0ull;
    uint32_t boundsStride = 0;
    BoundingSphere boundsFound;
};

class GlIndexBuffer final : public DeviceResource<IndexBuffer> {
public:
    GlIndexBuffer(GlDevice& device, ResourceRegistry& registry, uint32_t length, uint32_t usage,
                  D3DFORMAT format, uint32_t pool);
    GlBufferStorage& storage() { return data; }
    D3DFORMAT format() const { return indexFormat; }
    uint32_t indexSize() const { return indexFormat == D3DFMT_INDEX32 ? 4 : 2; }
    // The largest index in [first, first + count), scanned once per write.
    uint32_t maxIndex(uint32_t first, uint32_t count);

    HRESULT Lock(uint32_t offset, uint32_t size, uint8_t** bytes, uint32_t flags) override {
        return data.lock(offset, size, bytes, flags);
    }
    HRESULT Unlock() override { return data.unlock(); }
    HRESULT GetDesc(D3DINDEXBUFFER_DESC* desc) override;

private:
    GlBufferStorage data;
    uint32_t usage;
    D3DFORMAT indexFormat;
    // The last range scanned and its result.
    uint64_t scannedVersion = ~0ull;
    uint32_t scannedFirst = 0, scannedCount = 0, scannedMax = 0;
};

} // namespace gfx::gl
