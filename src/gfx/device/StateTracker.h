// The D3D state half of a device, shared by both backends: the current
// state, the Set/Get calls with their validation, and the state blocks.
//
// While a block is being recorded (BeginStateBlock .. EndStateBlock) the
// setters write into the block only and leave the current state as it is,
// as Direct3D does; the getters always read the current state.
#pragma once

#include "gfx/device/StateBlock.h"

#include <map>
#include <memory>

namespace gfx {

class StateTracker {
public:
    StateTracker(uint32_t width, uint32_t height, bool hasDepthBuffer);

    const DeviceState& current() const { return state; }
    bool recording() const { return recordingBlock != nullptr; }
    size_t stateBlockCount() const { return blocks.size(); }
    // The block behind a token, or null.
    const StateBlock* stateBlock(uint32_t token) const;

    // Back to D3D's defaults for a new back buffer (Reset).  Blocks must be
    // gone already; a recording in progress is dropped.
    void reset(uint32_t width, uint32_t height, bool hasDepthBuffer);

    HRESULT setRenderState(D3DRENDERSTATETYPE type, uint32_t value);
    HRESULT getRenderState(D3DRENDERSTATETYPE type, uint32_t* value) const;
    HRESULT setTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type, uint32_t value);
    HRESULT getTextureStageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type,
                                 uint32_t* value) const;
    HRESULT setTexture(uint32_t stage, Texture* texture);
    // Hands out a new reference, as Direct3D does.
    HRESULT getTexture(uint32_t stage, Texture** texture) const;
    HRESULT setTransform(D3DTRANSFORMSTATETYPE type, const D3DMATRIX* matrix);
    HRESULT getTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) const;
    HRESULT setLight(uint32_t index, const D3DLIGHT8* light);
    HRESULT getLight(uint32_t index, D3DLIGHT8* light) const;
    HRESULT lightEnable(uint32_t index, int32_t enable);
    HRESULT getLightEnable(uint32_t index, int32_t* enable) const;
    HRESULT setMaterial(const D3DMATERIAL8* material);
    HRESULT getMaterial(D3DMATERIAL8* material) const;
    HRESULT setViewport(const D3DVIEWPORT8* viewport);
    HRESULT getViewport(D3DVIEWPORT8* viewport) const;
    HRESULT setVertexShader(uint32_t fvf);
    HRESULT getVertexShader(uint32_t* fvf) const;
    HRESULT setPixelShader(uint32_t handle);
    HRESULT setStreamSource(uint32_t stream, VertexBuffer* buffer, uint32_t stride);
    HRESULT setIndices(IndexBuffer* buffer, uint32_t baseVertexIndex);

    HRESULT beginStateBlock();
    HRESULT endStateBlock(uint32_t* token);
    HRESULT applyStateBlock(uint32_t token);
    HRESULT captureStateBlock(uint32_t token);
    HRESULT deleteStateBlock(uint32_t token);

    // A resource is going away: unbind it everywhere.
    void forget(const Unknown* resource);

private:
    // Where setters write: the block being recorded, or the current state.
    DeviceState& target() { return recordingBlock ? recordingBlock->values : state; }

    DeviceState state;
    uint32_t targetWidth, targetHeight;
    std::unique_ptr<StateBlock> recordingBlock;
    std::map<uint32_t, std::unique_ptr<StateBlock>> blocks;
    uint32_t nextToken = 1;
};

} // namespace gfx
