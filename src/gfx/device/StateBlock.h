// A recorded state block: which states were set while recording, and the
// final value of each.
//
// Recording (StateTracker) writes values and flags here instead of into the
// device.  applyTo sets exactly the flagged states on a device state;
// captureFrom refreshes the flagged values from one.  Nothing else is held.
#pragma once

#include "gfx/device/DeviceState.h"

#include <bitset>
#include <set>

namespace gfx {

struct StateBlock {
    std::bitset<D3DRS_COUNT> renderStateSet;
    std::array<std::bitset<D3DTSS_COUNT>, D3DMAX_TEXTURE_STAGES> stageStateSet{};
    std::bitset<D3DMAX_TEXTURE_STAGES> textureSet;
    std::bitset<transformSlotCount> transformSet;
    std::set<uint32_t> lightSet;       // SetLight(index) recorded
    std::set<uint32_t> lightEnableSet; // LightEnable(index) recorded
    std::bitset<maxStreams> streamSet;
    bool materialSet = false;
    bool fvfSet = false;
    bool pixelShaderSet = false;
    bool indicesSet = false;
    bool viewportSet = false;

    // The recorded values; only members whose flag is set mean anything.
    DeviceState values;

    void applyTo(DeviceState& state) const;
    void captureFrom(const DeviceState& state);
    // Drops a resource that is going away from the recorded bindings.
    void forget(const Unknown* resource);
    // Number of individual states the block holds.
    size_t stateCount() const;
};

} // namespace gfx
