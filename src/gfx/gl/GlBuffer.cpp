// Buffer storage, locking and upload.
#include "gfx/gl/GlBuffer.h"

#include "gfx/gl/GlDevice.h"

#include <algorithm>
#include <cstring>

namespace gfx::gl {

GlBufferStorage::GlBufferStorage(GlDevice& device, uint32_t length, uint32_t usage)
    : device(device), bytes(length),
      glUsage(usage & D3DUSAGE_DYNAMIC ? GL_DYNAMIC_DRAW : GL_STATIC_DRAW) {
    GlFunctions& gl = device.functions();
    GL_CHECK(gl, glGenBuffers(1, &buffer));
    GL_CHECK(gl, glBindBuffer(GL_COPY_WRITE_BUFFER, buffer));
    GL_CHECK(gl, glBufferData(GL_COPY_WRITE_BUFFER, GLsizeiptr(length), nullptr, glUsage));
    // The zeros of the CPU copy reach GL with the first draw that reads them.
    staleBegin = 0;
    staleEnd = length;
}

GlBufferStorage::~GlBufferStorage() {
    device.makeCurrent();
    device.forgetBuffer(buffer);
    device.functions().glDeleteBuffers(1, &buffer);
}

HRESULT GlBufferStorage::lock(uint32_t offset, uint32_t size, uint8_t** data, uint32_t flags) {
    const HRESULT hr = bytes.lock(offset, size, data);
    if (FAILED(hr)) return hr;
    if (size == 0 && offset == 0) size = bytes.length();
    if (!(flags & D3DLOCK_READONLY)) {
        dirtyBegin = std::min(dirtyBegin, offset);
        dirtyEnd = std::max(dirtyEnd, offset + size);
    }
    if (flags & D3DLOCK_DISCARD) discard = true;
    return S_OK;
}

HRESULT GlBufferStorage::unlock() {
    const HRESULT hr = bytes.unlock();
    if (FAILED(hr) || bytes.locked() || dirtyBegin >= dirtyEnd) return hr;
    if (discard) {
        // New storage at the next upload: draws still reading the old
        // contents keep theirs, and all of the new is still to be sent.
        orphan = true;
        staleBegin = 0;
        staleEnd = bytes.length();
    } else {
        staleBegin = std::min(staleBegin, dirtyBegin);
        staleEnd = std::max(staleEnd, dirtyEnd);
    }
    dirtyBegin = ~0u;
    dirtyEnd = 0;
    discard = false;
    ++writes;
    return hr;
}

void GlBufferStorage::upload(uint32_t begin, uint32_t end) {
    GlFunctions& gl = device.functions();
    const GLenum target = GL_COPY_WRITE_BUFFER;
    GL_CHECK(gl, glBindBuffer(target, buffer));
    if (orphan) {
        GL_CHECK(gl, glBufferData(target, GLsizeiptr(bytes.length()), nullptr, glUsage));
        orphan = false;
    }
    // Send the stale part of [begin, end) and keep what is still stale one
    // range: from the stale range's start when the draw's lies inside it.
    const uint32_t to = std::min(end, staleEnd);
    const uint32_t from = to == staleEnd ? std::max(begin, staleBegin) : staleBegin;
    GL_CHECK(gl,
             glBufferSubData(target, GLintptr(from), GLsizeiptr(to - from), bytes.data() + from));
    if (from == staleBegin)
        staleBegin = to;
    else
        staleEnd = from;
    if (staleBegin >= staleEnd) {
        staleBegin = ~0u;
        staleEnd = 0;
    }
}

GlVertexBuffer::GlVertexBuffer(GlDevice& device, ResourceRegistry& registry, uint32_t length,
                               uint32_t usage, uint32_t fvf, uint32_t pool)
    : DeviceResource(device, &registry, pool), data(device, length, usage), usage(usage), fvf(fvf) {
}

const BoundingSphere& GlVertexBuffer::bounds(uint32_t stride) {
    if (boundsVersion != data.version() || boundsStride != stride) {
        const BufferMemory& memory = data.memory();
        boundsFound =
            boundsOfPositions(memory.data(), stride, stride ? memory.length() / stride : 0);
        boundsVersion = data.version();
        boundsStride = stride;
    }
    return boundsFound;
}

HRESULT GlVertexBuffer::GetDesc(D3DVERTEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Usage = usage;
    desc->Pool = pool();
    desc->Size = data.memory().length();
    desc->FVF = fvf;
    return S_OK;
}

GlIndexBuffer::GlIndexBuffer(GlDevice& device, ResourceRegistry& registry, uint32_t length,
                             uint32_t usage, D3DFORMAT format, uint32_t pool)
    : DeviceResource(device, &registry, pool), data(device, length, usage), usage(usage),
      indexFormat(format) {}

uint32_t GlIndexBuffer::maxIndex(uint32_t first, uint32_t count) {
    if (scannedVersion == data.version() && scannedFirst == first && scannedCount == count)
        return scannedMax;
    uint32_t highest = 0;
    const uint8_t* at = data.memory().data() + size_t(first) * indexSize();
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t index;
        if (indexSize() == 2) {
            uint16_t small;
            std::memcpy(&small, at + size_t(i) * 2, 2);
            index = small;
        } else {
            std::memcpy(&index, at + size_t(i) * 4, 4);
        }
        highest = std::max(highest, index);
    }
    scannedVersion = data.version();
    scannedFirst = first;
    scannedCount = count;
    scannedMax = highest;
    return highest;
}

HRESULT GlIndexBuffer::GetDesc(D3DINDEXBUFFER_DESC* desc) {
    if (!desc) return D3DERR_INVALIDCALL;
    *desc = {};
    desc->Format = indexFormat;
    desc->Usage = usage;
    desc->Pool = pool();
    desc->Size = data.memory().length();
    return S_OK;
}

} // namespace gfx::gl
