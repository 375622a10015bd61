// CPU storage of a vertex or index buffer with D3D-style locking.
//
// Lock(0, 0) covers the whole buffer; a range past the end is refused.
// Locks nest (each Lock needs its Unlock), as Direct3D allows for buffers.
#pragma once

#include "gfx/device/Types.h"

#include <vector>

namespace gfx {

class BufferMemory {
public:
    explicit BufferMemory(uint32_t length) : bytes(length, 0) {}

    uint32_t length() const { return static_cast<uint32_t>(bytes.size()); }
    const uint8_t* data() const { return bytes.data(); }
    bool locked() const { return lockCount > 0; }

    HRESULT lock(uint32_t offset, uint32_t size, uint8_t** data) {
        if (!data) return D3DERR_INVALIDCALL;
        if (size == 0 && offset == 0) size = length();
        if (uint64_t{offset} + size > bytes.size()) return D3DERR_INVALIDCALL;
        *data = bytes.data() + offset;
        ++lockCount;
        return S_OK;
    }
    HRESULT unlock() {
        if (lockCount == 0) return D3DERR_INVALIDCALL;
        --lockCount;
        return S_OK;
    }

private:
    std::vector<uint8_t> bytes;
    uint32_t lockCount = 0;
};

} // namespace gfx
