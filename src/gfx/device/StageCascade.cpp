// The texture-stage cascade rules.
#include "gfx/device/StageCascade.h"

namespace gfx {

namespace {

// Which of Arg1 / Arg2 an operation reads.
void argumentsRead(uint32_t op, bool& first, bool& second) {
    first = op != D3DTOP_DISABLE && op != D3DTOP_SELECTARG2;
    second = op != D3DTOP_DISABLE && op != D3DTOP_SELECTARG1;
}

bool selectsTexture(uint32_t argument) {
    return (argument & D3DTA_SELECTMASK) == D3DTA_TEXTURE;
}

bool opReadsTexture(uint32_t op, uint32_t arg1, uint32_t arg2) {
    bool first, second;
    argumentsRead(op, first, second);
    // The texture-alpha blends read the texel whatever their arguments are.
    const bool blendsOnTexture = op == D3DTOP_BLENDTEXTUREALPHA || op == D3DTOP_BLENDTEXTUREALPHAPM;
    return blendsOnTexture || (first && selectsTexture(arg1)) || (second && selectsTexture(arg2));
}

} // namespace

bool stageReadsTexture(const DeviceState& state, uint32_t stage) {
    const auto& s = state.stageStates[stage];
    return colourReadsTexture(state, stage) ||
           opReadsTexture(s[D3DTSS_ALPHAOP], s[D3DTSS_ALPHAARG1], s[D3DTSS_ALPHAARG2]);
}

bool colourReadsTexture(const DeviceState& state, uint32_t stage) {
    const auto& s = state.stageStates[stage];
    return opReadsTexture(s[D3DTSS_COLOROP], s[D3DTSS_COLORARG1], s[D3DTSS_COLORARG2]);
}

uint32_t activeStageCount(const DeviceState& state, uint32_t maxStages) {
    uint32_t count = 0;
    while (count < maxStages && count < D3DMAX_TEXTURE_STAGES) {
        if (state.stageStates[count][D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
        if (!state.textures[count] && colourReadsTexture(state, count)) break;
        ++count;
    }
    return count;
}

} // namespace gfx
