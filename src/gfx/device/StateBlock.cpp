// Applying and capturing recorded state blocks.
#include "gfx/device/StateBlock.h"

namespace gfx {

void StateBlock::applyTo(DeviceState& state) const {
    for (uint32_t rs = 0; rs < D3DRS_COUNT; ++rs)
        if (renderStateSet[rs]) state.renderStates[rs] = values.renderStates[rs];
    for (uint32_t stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        for (uint32_t type = 0; type < D3DTSS_COUNT; ++type)
            if (stageStateSet[stage][type])
                state.stageStates[stage][type] = values.stageStates[stage][type];
        if (textureSet[stage]) state.textures[stage] = values.textures[stage];
    }
    for (uint32_t slot = 0; slot < transformSlotCount; ++slot)
        if (transformSet[slot]) state.transforms[slot] = values.transforms[slot];
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
    for (uint32_t rs = 0; rs < D3DRS_COUNT; ++rs)
        if (renderStateSet[rs]) values.renderStates[rs] = state.renderStates[rs];
    for (uint32_t stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage) {
        for (uint32_t type = 0; type < D3DTSS_COUNT; ++type)
            if (stageStateSet[stage][type])
                values.stageStates[stage][type] = state.stageStates[stage][type];
        if (textureSet[stage]) values.textures[stage] = state.textures[stage];
    }
    for (uint32_t slot = 0; slot < transformSlotCount; ++slot)
        if (transformSet[slot]) values.transforms[slot] = state.transforms[slot];
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
