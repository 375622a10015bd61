// The common part of every resource a device creates: it holds a reference
// to its device, is counted by the device's registry (default-pool objects
// block Reset) and unbinds itself from the device's state when it goes.
// Objects the device owns itself (the back buffer) pass no registry: they
// hold no device reference and are not counted.
#pragma once

#include "gfx/device/RefCounted.h"
#include "gfx/device/StateTracker.h"

#include <cstddef>

namespace gfx {

// Live resources of one device, by pool.
class ResourceRegistry {
public:
    explicit ResourceRegistry(StateTracker& tracker) : tracker(tracker) {}
    void add(uint32_t pool) {
        ++live;
        if (pool == D3DPOOL_DEFAULT) ++defaultPool;
    }
    void remove(const Unknown* resource, uint32_t pool) {
        tracker.forget(resource);
        --live;
        if (pool == D3DPOOL_DEFAULT) --defaultPool;
    }
    size_t defaultPoolCount() const { return defaultPool; }
    size_t liveCount() const { return live; }

private:
    StateTracker& tracker;
    size_t live = 0;
    size_t defaultPool = 0;
};

template <class Interface> class DeviceResource : public RefCounted<Interface> {
public:
    uint32_t pool() const { return resourcePool; }

protected:
    DeviceResource(Device& device, ResourceRegistry* registry, uint32_t pool)
        : owner(device), registry(registry), resourcePool(pool) {
        if (!registry) return;
        owner.AddRef();
        registry->add(pool);
    }
    ~DeviceResource() override {
        if (!registry) return;
        registry->remove(this, resourcePool);
        owner.Release();
    }

    Device& owner;

private:
    ResourceRegistry* registry;
    uint32_t resourcePool;
};

} // namespace gfx
