// Direct3D 8's default device state, and the transform slot numbering.
#include "gfx/device/DeviceState.h"

namespace gfx {

int transformSlot(D3DTRANSFORMSTATETYPE type) {
    if (type == D3DTS_VIEW) return 0;
    if (type == D3DTS_PROJECTION) return 1;
    if (type >= D3DTS_TEXTURE0 && type < D3DTS_TEXTURE0 + 8)
        return 2 + static_cast<int>(type - D3DTS_TEXTURE0);
    if (type >= D3DTS_WORLD && type < D3DTS_WORLD + maxWorldMatrices)
        return 10 + static_cast<int>(type - D3DTS_WORLD);
    return -1;
}

D3DTRANSFORMSTATETYPE transformTypeOfSlot(int slot) {
    if (slot == 0) return D3DTS_VIEW;
    if (slot == 1) return D3DTS_PROJECTION;
    if (slot < 10) return D3DTS_TEXTURE0 + static_cast<uint32_t>(slot - 2);
    return D3DTS_WORLD + static_cast<uint32_t>(slot - 10);
}

D3DMATRIX identityMatrix() {
    D3DMATRIX m;
    for (int i = 0; i < 4; ++i)
        m.m[i][i] = 1.0f;
    return m;
}

D3DLIGHT8 LightSlot::defaultLight() {
    D3DLIGHT8 light;
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

namespace {

// D3DSTENCILOP_KEEP, D3DORDER_CUBIC / _LINEAR: values only the defaults use.
constexpr uint32_t stencilKeep = 1;
constexpr uint32_t orderCubic = 3, orderLinear = 1;
constexpr uint32_t positionOrder = 172, normalOrder = 173;

void setRenderStateDefaults(std::array<uint32_t, D3DRS_COUNT>& rs, bool hasDepthBuffer) {
    rs[D3DRS_ZENABLE] = hasDepthBuffer ? D3DZB_TRUE : D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = 1;
    rs[D3DRS_LASTPIXEL] = 1;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_FOGEND] = floatBits(1.0f);
    rs[D3DRS_FOGDENSITY] = floatBits(1.0f);
    rs[D3DRS_STENCILFAIL] = stencilKeep;
    rs[D3DRS_STENCILZFAIL] = stencilKeep;
    rs[D3DRS_STENCILPASS] = stencilKeep;
    rs[D3DRS_STENCILFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_STENCILMASK] = 0xFFFFFFFF;
    rs[D3DRS_STENCILWRITEMASK] = 0xFFFFFFFF;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFF;
    rs[D3DRS_CLIPPING] = 1;
    rs[D3DRS_LIGHTING] = 1;
    rs[D3DRS_COLORVERTEX] = 1;
    rs[D3DRS_LOCALVIEWER] = 1;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_AMBIENTMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_EMISSIVEMATERIALSOURCE] = D3DMCS_MATERIAL;
    rs[D3DRS_POINTSIZE] = floatBits(1.0f);
    rs[D3DRS_POINTSIZE_MIN] = floatBits(1.0f);
    rs[D3DRS_POINTSCALE_A] = floatBits(1.0f);
    rs[D3DRS_POINTSCALE_B] = floatBits(0.0f);
    rs[D3DRS_POINTSCALE_C] = floatBits(0.0f);
    rs[D3DRS_MULTISAMPLEANTIALIAS] = 1;
    rs[D3DRS_MULTISAMPLEMASK] = 0xFFFFFFFF;
    rs[D3DRS_PATCHSEGMENTS] = floatBits(1.0f);
    rs[D3DRS_POINTSIZE_MAX] = floatBits(64.0f);
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    rs[positionOrder] = orderCubic;
    rs[normalOrder] = orderLinear;
}

void setStageDefaults(std::array<uint32_t, D3DTSS_COUNT>& ss, uint32_t stage) {
    ss[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    ss[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    ss[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    ss[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    ss[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    ss[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    ss[D3DTSS_TEXCOORDINDEX] = stage;
    ss[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    ss[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    ss[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
    ss[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    ss[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    ss[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    ss[D3DTSS_MAXANISOTROPY] = 1;
    ss[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    ss[D3DTSS_COLORARG0] = D3DTA_CURRENT;
    ss[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
    ss[D3DTSS_RESULTARG] = D3DTA_CURRENT;
}

} // namespace

DeviceState DeviceState::defaults(uint32_t width, uint32_t height, bool hasDepthBuffer) {
    DeviceState state;
    setRenderStateDefaults(state.renderStates, hasDepthBuffer);
    for (uint32_t stage = 0; stage < D3DMAX_TEXTURE_STAGES; ++stage)
        setStageDefaults(state.stageStates[stage], stage);
    state.transforms.fill(identityMatrix());
    state.viewport = {0, 0, width, height, 0.0f, 1.0f};
    return state;
}

} // namespace gfx
