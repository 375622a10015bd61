// The complete fixed-function state of a device, with Direct3D 8's defaults.
//
// Both backends keep one of these as "the state the program asked for"; the
// GL backend translates it into GL when it draws, the recording backend
// snapshots it per draw.  State blocks (StateBlock.h) record subsets of it.
//
// Bindings (textures, buffers) are plain pointers that do not hold a
// reference: a resource that goes away unbinds itself from its device
// (StateTracker::forget), so a binding never dangles and never keeps a
// released object alive.
#pragma once

#include "gfx/device/Device.h"

#include <array>
#include <map>

namespace gfx {

// Vertex streams and transform slots the device offers.
constexpr uint32_t maxStreams = 8;
constexpr uint32_t maxWorldMatrices = 4;

// Transform slots: VIEW, PROJECTION, TEXTURE0..7, WORLDMATRIX(0..3).
constexpr uint32_t transformSlotCount = 2 + 8 + maxWorldMatrices;
// The slot of a transform type, or -1 when the device has no such transform.
int transformSlot(D3DTRANSFORMSTATETYPE type);
D3DTRANSFORMSTATETYPE transformTypeOfSlot(int slot);

D3DMATRIX identityMatrix();

struct StreamSource {
    VertexBuffer* buffer = nullptr;
    uint32_t stride = 0;
    bool operator==(const StreamSource&) const = default;
};

// A light slot: SetLight fills it, LightEnable switches it.  Enabling a slot
// never set gives D3D's default light (white directional light along +z).
struct LightSlot {
    D3DLIGHT8 light = defaultLight();
    int32_t enabled = 0;
    static D3DLIGHT8 defaultLight();
};

struct DeviceState {
    std::array<uint32_t, D3DRS_COUNT> renderStates{};
    std::array<std::array<uint32_t, D3DTSS_COUNT>, D3DMAX_TEXTURE_STAGES> stageStates{};
    std::array<Texture*, D3DMAX_TEXTURE_STAGES> textures{};
    std::array<D3DMATRIX, transformSlotCount> transforms{};
    std::map<uint32_t, LightSlot> lights;
    D3DMATERIAL8 material;
    uint32_t fvf = 0;
    uint32_t pixelShader = 0;
    std::array<StreamSource, maxStreams> streams{};
    IndexBuffer* indices = nullptr;
    uint32_t baseVertexIndex = 0;
    D3DVIEWPORT8 viewport;

    // D3D8's defaults for a device whose back buffer is width x height;
    // ZENABLE is TRUE only when the device has a depth buffer.
    static DeviceState defaults(uint32_t width, uint32_t height, bool hasDepthBuffer);

    const D3DMATRIX& transform(D3DTRANSFORMSTATETYPE type) const {
        return transforms[static_cast<size_t>(transformSlot(type))];
    }
    uint32_t renderState(D3DRENDERSTATETYPE state) const { return renderStates[state]; }
    float renderStateFloat(D3DRENDERSTATETYPE state) const {
        return bitsFloat(renderStates[state]);
    }
    uint32_t stageState(uint32_t stage, D3DTEXTURESTAGESTATETYPE type) const {
        return stageStates[stage][type];
    }
};

} // namespace gfx
