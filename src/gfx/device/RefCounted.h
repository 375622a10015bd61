// Reference counting shared by every object behind the device seam.
//
// Creation hands out one reference; AddRef/Release return the new count and
// the object deletes itself when the count reaches 0 (Unknown's destructor is
// virtual, so the most derived destructor runs).
#pragma once

#include "gfx/device/Device.h"

namespace gfx {

template <class Interface> class RefCounted : public Interface {
public:
    uint32_t AddRef() override { return ++references; }
    uint32_t Release() override {
        const uint32_t left = --references;
        if (left == 0) delete this;
        return left;
    }
    uint32_t referenceCount() const { return references; }

protected:
    RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

private:
    uint32_t references = 1;
};

} // namespace gfx
