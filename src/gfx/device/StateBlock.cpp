// Applying and capturing recorded state blocks.
#include "gfx/device/StateBlock.h"

namespace gfx {

namespace {

// Calls visit(i) for every set bit of bits, in increasing order.  The text
// and the planet passes apply and capture blocks many times a frame, and a
// block names a few of the hundreds of states a device has: this walks the
// set bits a machine word at a time instead of testing each.
template <size_t N, class Visit> void forEachSet(const std::bitset<N>& bits, Visit visit) {
    for (size_t i = bits._Find_first(); i < N; i = bits._Find_next(i))
        visit(i);
}

} // namespace

void StateBlock::applyTo(DeviceState& state) const {
    forEachSet(renderStateSet,
               [&](size_t rs) { state.renderStates[rs] = values.renderStates[rs]; });
    for (uint32_t stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        forEachSet(stageStateSet[stage], [&](size_t type) {
            state.stageStates[stage][type] = values.stageStates[stage][type];
        });
        if (textureSet[stage]) state.textures[stage] = values.textures[stage];
    }
    forEachSet(transformSet,
               [&](size_t slot) { state.transforms[slot] = values.transforms[slot]; });
    for (uint32_t index : lightSet)
        state.lights[index].light = values.lights.at(index).light;
    for (uint32_t index : lightEnableSet)
        state.lights[index].enabled = values.lights.at(index).enabled;
    for (uint32_t stream = 0; stream < maxStreams; ++stream)
        if (streamSet[stream]) state.streams[stream] = values.streams[stream];
    if (materialSet) state.material = values.material;
    if (fvfSet) state.fvf = values.fvf;
    if (pixelShaderSet) state.pixelShader = values.pixelShader;
    if (indicesSet) {
        state.indices = values.indices;
        state.baseVertexIndex = values.baseVertexIndex;
    }
    if (viewportSet) state.viewport = values.viewport;
}

void StateBlock::captureFrom(const DeviceState& state) {
    forEachSet(renderStateSet,
               [&](size_t rs) { values.renderStates[rs] = state.renderStates[rs]; });
    for (uint32_t stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        forEachSet(stageStateSet[stage], [&](size_t type) {
            values.stageStates[stage][type] = state.stageStates[stage][type];
        });
        if (textureSet[stage]) values.textures[stage] = state.textures[stage];
    }
    forEachSet(transformSet,
               [&](size_t slot) { values.transforms[slot] = state.transforms[slot]; });
    // A light the device no longer has (never set there) keeps D3D's default.
    auto deviceLight = [&](uint32_t index) {
        auto found = state.lights.find(index);
        return found != state.lights.end() ? found->second : LightSlot{};
    };
    for (uint32_t index : lightSet)
        values.lights[index].light = deviceLight(index).light;
    for (uint32_t index : lightEnableSet)
        values.lights[index].enabled = deviceLight(index).enabled;
    for (uint32_t stream = 0; stream < maxStreams; ++stream)
        if (streamSet[stream]) values.streams[stream] = state.streams[stream];
    if (materialSet) values.material = state.material;
    if (fvfSet) values.fvf = state.fvf;
    if (pixelShaderSet) values.pixelShader = state.pixelShader;
    if (indicesSet) {
        values.indices = state.indices;
        values.baseVertexIndex = state.baseVertexIndex;
    }
    if (viewportSet) values.viewport = state.viewport;
}

void StateBlock::forget(const Unknown* resource) {
    for (Texture*& texture : values.textures)
        if (texture == resource) texture = nullptr;
    for (StreamSource& stream : values.streams)
        if (stream.buffer == resource) stream = {};
    if (values.indices == resource) values.indices = nullptr;
}

size_t StateBlock::stateCount() const {
    size_t count = renderStateSet.count() + textureSet.count() + transformSet.count() +
                   lightSet.size() + lightEnableSet.size() + streamSet.count();
    for (const auto& stage : stageStateSet)
        count += stage.count();
    count += materialSet + fvfSet + pixelShaderSet + indicesSet + viewportSet;
    return count;
}

} // namespace gfx
