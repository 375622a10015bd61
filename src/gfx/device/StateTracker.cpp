// Set/Get validation and state-block bookkeeping shared by both backends.
#include "gfx/device/StateTracker.h"

namespace gfx {

StateTracker::StateTracker(uint32_t width, uint32_t height, bool hasDepthBuffer)
    : state(DeviceState::defaults(width, height, hasDepthBuffer)), targetWidth(width),
      targetHeight(height) {}

const StateBlock* StateTracker::stateBlock(uint32_t token) const {
    auto found = blocks.find(token);
    return found != blocks.end() ? found->second.get() : nullptr;
}

void StateTracker::reset(uint32_t width, uint32_t height, bool hasDepthBuffer) {
    state = DeviceState::defaults(width, height, hasDepthBuffer);
    targetWidth = width;
    targetHeight = height;
    recordingBlock.reset();
}

HRESULT StateTracker::setRenderState(D3DRENDERSTATETYPE type, uint32_t value) {
    if (type >= D3DRS_COUNT) return D3DERR_INVALIDCALL;
    target().renderStates[type] = value;
    if (recordingBlock) recordingBlock->renderStateSet.set(type);
    return S_OK;
}

HRESULT StateTracker::getRenderState(D3DRENDERSTATETYPE type, uint32_t* value) const {
    if (type >= D3DRS_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state.renderStates[type];
    return S_OK;
}

HRESULT StateTracker::setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                           uint32_t value) {
    if (stage >= D3DMAX_TEXTURE_STAGES || type >= D3DTSS_COUNT) return D3DERR_INVALIDCALL;
    target().stageStates[stage][type] = value;
    if (recordingBlock) recordingBlock->stageStateSet[stage].set(type);
    return S_OK;
}

HRESULT StateTracker::getTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                           uint32_t* value) const {
    if (stage >= D3DMAX_TEXTURE_STAGES || type >= D3DTSS_COUNT || !value) return D3DERR_INVALIDCALL;
    *value = state.stageStates[stage][type];
    return S_OK;
}

HRESULT StateTracker::setTexture(uint32_t stage, Texture* texture) {
    if (stage >= D3DMAX_TEXTURE_STAGES) return D3DERR_INVALIDCALL;
    target().textures[stage] = texture;
    if (recordingBlock) recordingBlock->textureSet.set(stage);
    return S_OK;
}

HRESULT StateTracker::getTexture(uint32_t stage, Texture** texture) const {
    if (stage >= D3DMAX_TEXTURE_STAGES || !texture) return D3DERR_INVALIDCALL;
    *texture = state.textures[stage];
    if (*texture) (*texture)->AddRef();
    return S_OK;
}

HRESULT StateTracker::setTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix) {
    const int slot = transformSlot(type);
    if (slot < 0 || !matrix) return D3DERR_INVALIDCALL;
    target().transforms[static_cast<size_t>(slot)] = *matrix;
    if (recordingBlock) recordingBlock->transformSet.set(static_cast<size_t>(slot));
    return S_OK;
}

HRESULT StateTracker::getTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) const {
    const int slot = transformSlot(type);
    if (slot < 0 || !matrix) return D3DERR_INVALIDCALL;
    *matrix = state.transforms[static_cast<size_t>(slot)];
    return S_OK;
}

HRESULT StateTracker::setLight(uint32_t index, const D3DLIGHT8* light) {
    if (!light) return D3DERR_INVALIDCALL;
    if (light->Type < D3DLIGHT_POINT || light->Type > D3DLIGHT_DIRECTIONAL)
        return D3DERR_INVALIDCALL;
    target().lights[index].light = *light;
    if (recordingBlock) recordingBlock->lightSet.insert(index);
    return S_OK;
}

HRESULT StateTracker::getLight(uint32_t index, D3DLIGHT8* light) const {
    auto found = state.lights.find(index);
    if (!light || found == state.lights.end()) return D3DERR_INVALIDCALL;
    *light = found->second.light;
    return S_OK;
}

HRESULT StateTracker::lightEnable(uint32_t index, int32_t enable) {
    target().lights[index].enabled = enable ? 1 : 0;
    if (recordingBlock) recordingBlock->lightEnableSet.insert(index);
    return S_OK;
}

HRESULT StateTracker::getLightEnable(uint32_t index, int32_t* enable) const {
    auto found = state.lights.find(index);
    if (!enable || found == state.lights.end()) return D3DERR_INVALIDCALL;
    *enable = found->second.enabled;
    return S_OK;
}

HRESULT StateTracker::setMaterial(const D3DMATERIAL8* material) {
    if (!material) return D3DERR_INVALIDCALL;
    target().material = *material;
    if (recordingBlock) recordingBlock->materialSet = true;
    return S_OK;
}

HRESULT StateTracker::getMaterial(D3DMATERIAL8* material) const {
    if (!material) return D3DERR_INVALIDCALL;
    *material = state.material;
    return S_OK;
}

HRESULT StateTracker::setViewport(const D3DVIEWPORT8* viewport) {
    if (!viewport || viewport->Width == 0 || viewport->Height == 0) return D3DERR_INVALIDCALL;
    if (uint64_t{viewport->X} + viewport->Width > targetWidth ||
        uint64_t{viewport->Y} + viewport->Height > targetHeight)
        return D3DERR_INVALIDCALL;
    target().viewport = *viewport;
    if (recordingBlock) recordingBlock->viewportSet = true;
    return S_OK;
}

HRESULT StateTracker::getViewport(D3DVIEWPORT8* viewport) const {
    if (!viewport) return D3DERR_INVALIDCALL;
    *viewport = state.viewport;
    return S_OK;
}

HRESULT StateTracker::setVertexShader(uint32_t fvf) {
    target().fvf = fvf;
    if (recordingBlock) recordingBlock->fvfSet = true;
    return S_OK;
}

HRESULT StateTracker::getVertexShader(uint32_t* fvf) const {
    if (!fvf) return D3DERR_INVALIDCALL;
    *fvf = state.fvf;
    return S_OK;
}

HRESULT StateTracker::setPixelShader(uint32_t handle) {
    // Only the fixed-function pipeline exists: handle 0.
    if (handle != 0) return D3DERR_INVALIDCALL;
    target().pixelShader = handle;
    if (recordingBlock) recordingBlock->pixelShaderSet = true;
    return S_OK;
}

HRESULT StateTracker::setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride) {
    if (stream >= maxStreams) return D3DERR_INVALIDCALL;
    target().streams[stream] = {buffer, stride};
    if (recordingBlock) recordingBlock->streamSet.set(stream);
    return S_OK;
}

HRESULT StateTracker::setIndices(IndexBuffer* buffer, uint32_t baseVertexIndex) {
    target().indices = buffer;
    target().baseVertexIndex = baseVertexIndex;
    if (recordingBlock) recordingBlock->indicesSet = true;
    return S_OK;
}

HRESULT StateTracker::beginStateBlock() {
    if (recordingBlock) return D3DERR_INVALIDCALL;
    recordingBlock = std::make_unique<StateBlock>();
    return S_OK;
}

HRESULT StateTracker::endStateBlock(uint32_t* token) {
    if (!recordingBlock || !token) return D3DERR_INVALIDCALL;
    *token = nextToken++;
    blocks[*token] = std::move(recordingBlock);
    return S_OK;
}

HRESULT StateTracker::applyStateBlock(uint32_t token) {
    auto found = blocks.find(token);
    if (found == blocks.end() || recordingBlock) return D3DERR_INVALIDCALL;
    found->second->applyTo(state);
    return S_OK;
}

HRESULT StateTracker::captureStateBlock(uint32_t token) {
    auto found = blocks.find(token);
    if (found == blocks.end() || recordingBlock) return D3DERR_INVALIDCALL;
    found->second->captureFrom(state);
    return S_OK;
}

HRESULT StateTracker::deleteStateBlock(uint32_t token) {
    if (blocks.erase(token) == 0) return D3DERR_INVALIDCALL;
    return S_OK;
}

void StateTracker::forget(const Unknown* resource) {
    for (Texture*& texture : state.textures)
        if (texture == resource) texture = nullptr;
    for (StreamSource& stream : state.streams)
        if (stream.buffer == resource) stream = {};
    if (state.indices == resource) state.indices = nullptr;
    if (recordingBlock) recordingBlock->forget(resource);
    for (auto& [token, block] : blocks)
        block->forget(resource);
}

} // namespace gfx
