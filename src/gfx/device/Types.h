// Direct3D 8 shaped vocabulary of the graphics layer: status codes, formats,
// states, flags and the plain records that cross the device seam.
//
// Every constant carries Direct3D 8's numeric value, because the program's
// tables (state blocks, vertex formats, error texts) are written in them.
// Nothing here includes a GL or Qt header.
//
// Index of this file:
//   - status codes
//   - formats, pools, usages, locks, resource and device types
//   - render states and their values
//   - texture stage states and their values
//   - vertex formats, primitives, transforms, lights
//   - caps bits
//   - records: colours, vectors, matrices, material, light, viewport,
//     display mode, adapter identifier, present parameters, surface
//     description, locked rectangle, caps
#pragma once

#include <cstdint>
#include <cstring>

namespace gfx {

using HRESULT = int32_t;
using D3DFORMAT = uint32_t;
using D3DCOLOR = uint32_t; // 0xAARRGGBB

// Opaque handle of a window the device presents into; the platform layer
// hands it out and the GL backend knows what lies behind it.  Null means
// "no window": the device renders off screen only.
struct HWND__;
using HWND = HWND__*;

constexpr HRESULT hresult(uint32_t bits) { return static_cast<HRESULT>(bits); }
constexpr bool SUCCEEDED(HRESULT hr) { return hr >= 0; }
constexpr bool FAILED(HRESULT hr) { return hr < 0; }

// ---------------------------------------------------------------- status codes
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_FAIL = hresult(0x80004005);
constexpr HRESULT E_OUTOFMEMORY = hresult(0x8007000E);
constexpr HRESULT E_INVALIDARG = hresult(0x80070057);
constexpr HRESULT E_NOTIMPL = hresult(0x80004001);
constexpr HRESULT D3DERR_WRONGTEXTUREFORMAT = hresult(0x88760818);
constexpr HRESULT D3DERR_UNSUPPORTEDCOLOROPERATION = hresult(0x88760819);
constexpr HRESULT D3DERR_OUTOFVIDEOMEMORY = hresult(0x8876017C);
constexpr HRESULT D3DERR_DEVICELOST = hresult(0x88760868);
constexpr HRESULT D3DERR_DEVICENOTRESET = hresult(0x88760869);
constexpr HRESULT D3DERR_NOTAVAILABLE = hresult(0x8876086A);
constexpr HRESULT D3DERR_INVALIDDEVICE = hresult(0x88760867);
constexpr HRESULT D3DERR_INVALIDCALL = hresult(0x8876086C);
constexpr HRESULT D3DERR_NOTFOUND = hresult(0x88760866);
constexpr HRESULT D3DXERR_INVALIDDATA = hresult(0x88760B59);

// ------------------------------------------------------------------- formats
constexpr D3DFORMAT D3DFMT_UNKNOWN = 0;
constexpr D3DFORMAT D3DFMT_R8G8B8 = 20;
constexpr D3DFORMAT D3DFMT_A8R8G8B8 = 21;
constexpr D3DFORMAT D3DFMT_X8R8G8B8 = 22;
constexpr D3DFORMAT D3DFMT_R5G6B5 = 23;
constexpr D3DFORMAT D3DFMT_X1R5G5B5 = 24;
constexpr D3DFORMAT D3DFMT_A1R5G5B5 = 25;
constexpr D3DFORMAT D3DFMT_A4R4G4B4 = 26;
constexpr D3DFORMAT D3DFMT_A8 = 28;
constexpr D3DFORMAT D3DFMT_P8 = 41;
constexpr D3DFORMAT D3DFMT_L8 = 50;
constexpr D3DFORMAT D3DFMT_D16_LOCKABLE = 70;
constexpr D3DFORMAT D3DFMT_D32 = 71;
constexpr D3DFORMAT D3DFMT_D15S1 = 73;
constexpr D3DFORMAT D3DFMT_D24S8 = 75;
constexpr D3DFORMAT D3DFMT_D16 = 80;
constexpr D3DFORMAT D3DFMT_D24X8 = 77;
constexpr D3DFORMAT D3DFMT_D24X4S4 = 79;
constexpr D3DFORMAT D3DFMT_VERTEXDATA = 100;
constexpr D3DFORMAT D3DFMT_INDEX16 = 101;
constexpr D3DFORMAT D3DFMT_INDEX32 = 102;

// D3DPOOL
constexpr uint32_t D3DPOOL_DEFAULT = 0;
constexpr uint32_t D3DPOOL_MANAGED = 1;
constexpr uint32_t D3DPOOL_SYSTEMMEM = 2;
constexpr uint32_t D3DPOOL_SCRATCH = 3;

// D3DUSAGE
constexpr uint32_t D3DUSAGE_RENDERTARGET = 0x1;
constexpr uint32_t D3DUSAGE_DEPTHSTENCIL = 0x2;
constexpr uint32_t D3DUSAGE_WRITEONLY = 0x8;
constexpr uint32_t D3DUSAGE_SOFTWAREPROCESSING = 0x10;
constexpr uint32_t D3DUSAGE_DONOTCLIP = 0x20;
constexpr uint32_t D3DUSAGE_POINTS = 0x40;
constexpr uint32_t D3DUSAGE_RTPATCHES = 0x80;
constexpr uint32_t D3DUSAGE_NPATCHES = 0x100;
constexpr uint32_t D3DUSAGE_DYNAMIC = 0x200;

// D3DLOCK
constexpr uint32_t D3DLOCK_READONLY = 0x10;
constexpr uint32_t D3DLOCK_NOSYSLOCK = 0x800;
constexpr uint32_t D3DLOCK_NOOVERWRITE = 0x1000;
constexpr uint32_t D3DLOCK_DISCARD = 0x2000;

// D3DRESOURCETYPE
constexpr uint32_t D3DRTYPE_SURFACE = 1;
constexpr uint32_t D3DRTYPE_VOLUME = 2;
constexpr uint32_t D3DRTYPE_TEXTURE = 3;
constexpr uint32_t D3DRTYPE_VOLUMETEXTURE = 4;
constexpr uint32_t D3DRTYPE_CUBETEXTURE = 5;
constexpr uint32_t D3DRTYPE_VERTEXBUFFER = 6;
constexpr uint32_t D3DRTYPE_INDEXBUFFER = 7;

// D3DDEVTYPE
constexpr uint32_t D3DDEVTYPE_HAL = 1;
constexpr uint32_t D3DDEVTYPE_REF = 2;
constexpr uint32_t D3DDEVTYPE_SW = 3;

// D3DMULTISAMPLE_TYPE: 0 (none) and 2..16 samples; 1 is never used.
using D3DMULTISAMPLE_TYPE = uint32_t;
constexpr D3DMULTISAMPLE_TYPE D3DMULTISAMPLE_NONE = 0;

// D3DSWAPEFFECT
constexpr uint32_t D3DSWAPEFFECT_DISCARD = 1;
constexpr uint32_t D3DSWAPEFFECT_FLIP = 2;
constexpr uint32_t D3DSWAPEFFECT_COPY = 3;

// Presentation intervals
constexpr uint32_t D3DPRESENT_INTERVAL_DEFAULT = 0;
constexpr uint32_t D3DPRESENT_INTERVAL_ONE = 1;
constexpr uint32_t D3DPRESENT_INTERVAL_TWO = 2;
constexpr uint32_t D3DPRESENT_INTERVAL_THREE = 4;
constexpr uint32_t D3DPRESENT_INTERVAL_FOUR = 8;
constexpr uint32_t D3DPRESENT_INTERVAL_IMMEDIATE = 0x80000000;

constexpr uint32_t D3DBACKBUFFER_TYPE_MONO = 0;

// D3DCREATE behaviour flags
constexpr uint32_t D3DCREATE_FPU_PRESERVE = 0x2;
constexpr uint32_t D3DCREATE_MULTITHREADED = 0x4;
constexpr uint32_t D3DCREATE_PUREDEVICE = 0x10;
constexpr uint32_t D3DCREATE_SOFTWARE_VERTEXPROCESSING = 0x20;
constexpr uint32_t D3DCREATE_HARDWARE_VERTEXPROCESSING = 0x40;
constexpr uint32_t D3DCREATE_MIXED_VERTEXPROCESSING = 0x80;

constexpr uint32_t D3DENUM_NO_WHQL_LEVEL = 0x2;
constexpr uint32_t D3DCURSOR_IMMEDIATE_UPDATE = 0x1;

// Clear flags
constexpr uint32_t D3DCLEAR_TARGET = 0x1;
constexpr uint32_t D3DCLEAR_ZBUFFER = 0x2;
constexpr uint32_t D3DCLEAR_STENCIL = 0x4;

// -------------------------------------------------------------- render states
using D3DRENDERSTATETYPE = uint32_t;
constexpr D3DRENDERSTATETYPE D3DRS_ZENABLE = 7;
constexpr D3DRENDERSTATETYPE D3DRS_FILLMODE = 8;
constexpr D3DRENDERSTATETYPE D3DRS_SHADEMODE = 9;
constexpr D3DRENDERSTATETYPE D3DRS_LINEPATTERN = 10;
constexpr D3DRENDERSTATETYPE D3DRS_ZWRITEENABLE = 14;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHATESTENABLE = 15;
constexpr D3DRENDERSTATETYPE D3DRS_LASTPIXEL = 16;
constexpr D3DRENDERSTATETYPE D3DRS_SRCBLEND = 19;
constexpr D3DRENDERSTATETYPE D3DRS_DESTBLEND = 20;
constexpr D3DRENDERSTATETYPE D3DRS_CULLMODE = 22;
constexpr D3DRENDERSTATETYPE D3DRS_ZFUNC = 23;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHAREF = 24;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHAFUNC = 25;
constexpr D3DRENDERSTATETYPE D3DRS_DITHERENABLE = 26;
constexpr D3DRENDERSTATETYPE D3DRS_ALPHABLENDENABLE = 27;
constexpr D3DRENDERSTATETYPE D3DRS_FOGENABLE = 28;
constexpr D3DRENDERSTATETYPE D3DRS_SPECULARENABLE = 29;
constexpr D3DRENDERSTATETYPE D3DRS_ZVISIBLE = 30;
constexpr D3DRENDERSTATETYPE D3DRS_FOGCOLOR = 34;
constexpr D3DRENDERSTATETYPE D3DRS_FOGTABLEMODE = 35;
constexpr D3DRENDERSTATETYPE D3DRS_FOGSTART = 36;
constexpr D3DRENDERSTATETYPE D3DRS_FOGEND = 37;
constexpr D3DRENDERSTATETYPE D3DRS_FOGDENSITY = 38;
constexpr D3DRENDERSTATETYPE D3DRS_EDGEANTIALIAS = 40;
constexpr D3DRENDERSTATETYPE D3DRS_ZBIAS = 47;
constexpr D3DRENDERSTATETYPE D3DRS_RANGEFOGENABLE = 48;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILENABLE = 52;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILFAIL = 53;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILZFAIL = 54;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILPASS = 55;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILFUNC = 56;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILREF = 57;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILMASK = 58;
constexpr D3DRENDERSTATETYPE D3DRS_STENCILWRITEMASK = 59;
constexpr D3DRENDERSTATETYPE D3DRS_TEXTUREFACTOR = 60;
constexpr D3DRENDERSTATETYPE D3DRS_WRAP0 = 128;
constexpr D3DRENDERSTATETYPE D3DRS_CLIPPING = 136;
constexpr D3DRENDERSTATETYPE D3DRS_LIGHTING = 137;
constexpr D3DRENDERSTATETYPE D3DRS_AMBIENT = 139;
constexpr D3DRENDERSTATETYPE D3DRS_FOGVERTEXMODE = 140;
constexpr D3DRENDERSTATETYPE D3DRS_COLORVERTEX = 141;
constexpr D3DRENDERSTATETYPE D3DRS_LOCALVIEWER = 142;
constexpr D3DRENDERSTATETYPE D3DRS_NORMALIZENORMALS = 143;
constexpr D3DRENDERSTATETYPE D3DRS_DIFFUSEMATERIALSOURCE = 145;
constexpr D3DRENDERSTATETYPE D3DRS_SPECULARMATERIALSOURCE = 146;
constexpr D3DRENDERSTATETYPE D3DRS_AMBIENTMATERIALSOURCE = 147;
constexpr D3DRENDERSTATETYPE D3DRS_EMISSIVEMATERIALSOURCE = 148;
constexpr D3DRENDERSTATETYPE D3DRS_VERTEXBLEND = 151;
constexpr D3DRENDERSTATETYPE D3DRS_CLIPPLANEENABLE = 152;
constexpr D3DRENDERSTATETYPE D3DRS_SOFTWAREVERTEXPROCESSING = 153;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSIZE = 154;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSIZE_MIN = 155;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSPRITEENABLE = 156;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSCALEENABLE = 157;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSCALE_A = 158;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSCALE_B = 159;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSCALE_C = 160;
constexpr D3DRENDERSTATETYPE D3DRS_MULTISAMPLEANTIALIAS = 161;
constexpr D3DRENDERSTATETYPE D3DRS_MULTISAMPLEMASK = 162;
constexpr D3DRENDERSTATETYPE D3DRS_PATCHEDGESTYLE = 163;
constexpr D3DRENDERSTATETYPE D3DRS_PATCHSEGMENTS = 164;
constexpr D3DRENDERSTATETYPE D3DRS_DEBUGMONITORTOKEN = 165;
constexpr D3DRENDERSTATETYPE D3DRS_POINTSIZE_MAX = 166;
constexpr D3DRENDERSTATETYPE D3DRS_INDEXEDVERTEXBLENDENABLE = 167;
constexpr D3DRENDERSTATETYPE D3DRS_COLORWRITEENABLE = 168;
constexpr D3DRENDERSTATETYPE D3DRS_TWEENFACTOR = 170;
constexpr D3DRENDERSTATETYPE D3DRS_BLENDOP = 171;
// One past the highest render state; sizes the backend's state arrays.
constexpr uint32_t D3DRS_COUNT = 174;

// D3DZBUFFERTYPE
constexpr uint32_t D3DZB_FALSE = 0;
constexpr uint32_t D3DZB_TRUE = 1;
constexpr uint32_t D3DZB_USEW = 2;

// D3DFILLMODE
constexpr uint32_t D3DFILL_POINT = 1;
constexpr uint32_t D3DFILL_WIREFRAME = 2;
constexpr uint32_t D3DFILL_SOLID = 3;

// D3DSHADEMODE
constexpr uint32_t D3DSHADE_FLAT = 1;
constexpr uint32_t D3DSHADE_GOURAUD = 2;
constexpr uint32_t D3DSHADE_PHONG = 3;

// D3DBLEND
constexpr uint32_t D3DBLEND_ZERO = 1;
constexpr uint32_t D3DBLEND_ONE = 2;
constexpr uint32_t D3DBLEND_SRCCOLOR = 3;
constexpr uint32_t D3DBLEND_INVSRCCOLOR = 4;
constexpr uint32_t D3DBLEND_SRCALPHA = 5;
constexpr uint32_t D3DBLEND_INVSRCALPHA = 6;
constexpr uint32_t D3DBLEND_DESTALPHA = 7;
constexpr uint32_t D3DBLEND_INVDESTALPHA = 8;
constexpr uint32_t D3DBLEND_DESTCOLOR = 9;
constexpr uint32_t D3DBLEND_INVDESTCOLOR = 10;
constexpr uint32_t D3DBLEND_SRCALPHASAT = 11;
constexpr uint32_t D3DBLEND_BOTHSRCALPHA = 12;
constexpr uint32_t D3DBLEND_BOTHINVSRCALPHA = 13;

// D3DBLENDOP
constexpr uint32_t D3DBLENDOP_ADD = 1;
constexpr uint32_t D3DBLENDOP_SUBTRACT = 2;
constexpr uint32_t D3DBLENDOP_REVSUBTRACT = 3;
constexpr uint32_t D3DBLENDOP_MIN = 4;
constexpr uint32_t D3DBLENDOP_MAX = 5;

// D3DCULL
constexpr uint32_t D3DCULL_NONE = 1;
constexpr uint32_t D3DCULL_CW = 2;
constexpr uint32_t D3DCULL_CCW = 3;

// D3DCMPFUNC
constexpr uint32_t D3DCMP_NEVER = 1;
constexpr uint32_t D3DCMP_LESS = 2;
constexpr uint32_t D3DCMP_EQUAL = 3;
constexpr uint32_t D3DCMP_LESSEQUAL = 4;
constexpr uint32_t D3DCMP_GREATER = 5;
constexpr uint32_t D3DCMP_NOTEQUAL = 6;
constexpr uint32_t D3DCMP_GREATEREQUAL = 7;
constexpr uint32_t D3DCMP_ALWAYS = 8;

// D3DVERTEXBLENDFLAGS
constexpr uint32_t D3DVBF_DISABLE = 0;

// D3DMATERIALCOLORSOURCE
constexpr uint32_t D3DMCS_MATERIAL = 0;
constexpr uint32_t D3DMCS_COLOR1 = 1;
constexpr uint32_t D3DMCS_COLOR2 = 2;

// ------------------------------------------------------- texture stage states
using D3DTEXTURESTAGESTATETYPE = uint32_t;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLOROP = 1;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG1 = 2;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG2 = 3;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAOP = 4;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG1 = 5;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG2 = 6;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_BUMPENVMAT00 = 7;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_BUMPENVMAT01 = 8;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_BUMPENVMAT10 = 9;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_BUMPENVMAT11 = 10;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_TEXCOORDINDEX = 11;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ADDRESSU = 13;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ADDRESSV = 14;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_BORDERCOLOR = 15;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MAGFILTER = 16;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MINFILTER = 17;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MIPFILTER = 18;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MIPMAPLODBIAS = 19;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MAXMIPLEVEL = 20;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_MAXANISOTROPY = 21;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_BUMPENVLSCALE = 22;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_BUMPENVLOFFSET = 23;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_TEXTURETRANSFORMFLAGS = 24;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ADDRESSW = 25;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_COLORARG0 = 26;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_ALPHAARG0 = 27;
constexpr D3DTEXTURESTAGESTATETYPE D3DTSS_RESULTARG = 28;
// One past the highest stage state; sizes the backend's state arrays.
constexpr uint32_t D3DTSS_COUNT = 29;
// Texture stages the device offers (the program uses 0..2).
constexpr uint32_t D3DMAX_TEXTURE_STAGES = 8;

// D3DTEXTUREOP
constexpr uint32_t D3DTOP_DISABLE = 1;
constexpr uint32_t D3DTOP_SELECTARG1 = 2;
constexpr uint32_t D3DTOP_SELECTARG2 = 3;
constexpr uint32_t D3DTOP_MODULATE = 4;
constexpr uint32_t D3DTOP_MODULATE2X = 5;
constexpr uint32_t D3DTOP_MODULATE4X = 6;
constexpr uint32_t D3DTOP_ADD = 7;
constexpr uint32_t D3DTOP_ADDSIGNED = 8;
constexpr uint32_t D3DTOP_ADDSIGNED2X = 9;
constexpr uint32_t D3DTOP_SUBTRACT = 10;
constexpr uint32_t D3DTOP_ADDSMOOTH = 11;
constexpr uint32_t D3DTOP_BLENDDIFFUSEALPHA = 12;
constexpr uint32_t D3DTOP_BLENDTEXTUREALPHA = 13;
constexpr uint32_t D3DTOP_BLENDFACTORALPHA = 14;
constexpr uint32_t D3DTOP_BLENDTEXTUREALPHAPM = 15;
constexpr uint32_t D3DTOP_BLENDCURRENTALPHA = 16;

// D3DTA texture arguments
constexpr uint32_t D3DTA_SELECTMASK = 0x0F;
constexpr uint32_t D3DTA_DIFFUSE = 0x00;
constexpr uint32_t D3DTA_CURRENT = 0x01;
constexpr uint32_t D3DTA_TEXTURE = 0x02;
constexpr uint32_t D3DTA_TFACTOR = 0x03;
constexpr uint32_t D3DTA_SPECULAR = 0x04;
constexpr uint32_t D3DTA_TEMP = 0x05;
constexpr uint32_t D3DTA_COMPLEMENT = 0x10;
constexpr uint32_t D3DTA_ALPHAREPLICATE = 0x20;

// D3DTEXTUREFILTERTYPE
constexpr uint32_t D3DTEXF_NONE = 0;
constexpr uint32_t D3DTEXF_POINT = 1;
constexpr uint32_t D3DTEXF_LINEAR = 2;
constexpr uint32_t D3DTEXF_ANISOTROPIC = 3;
constexpr uint32_t D3DTEXF_FLATCUBIC = 4;
constexpr uint32_t D3DTEXF_GAUSSIANCUBIC = 5;

// D3DTEXTUREADDRESS
constexpr uint32_t D3DTADDRESS_WRAP = 1;
constexpr uint32_t D3DTADDRESS_MIRROR = 2;
constexpr uint32_t D3DTADDRESS_CLAMP = 3;
constexpr uint32_t D3DTADDRESS_BORDER = 4;
constexpr uint32_t D3DTADDRESS_MIRRORONCE = 5;

// D3DTEXTURETRANSFORMFLAGS
constexpr uint32_t D3DTTFF_DISABLE = 0;

// ------------------------------------- vertex formats, primitives, transforms
constexpr uint32_t D3DFVF_XYZ = 0x002;
constexpr uint32_t D3DFVF_XYZRHW = 0x004;
constexpr uint32_t D3DFVF_POSITION_MASK = 0x00E;
constexpr uint32_t D3DFVF_NORMAL = 0x010;
constexpr uint32_t D3DFVF_PSIZE = 0x020;
constexpr uint32_t D3DFVF_DIFFUSE = 0x040;
constexpr uint32_t D3DFVF_SPECULAR = 0x080;
constexpr uint32_t D3DFVF_TEXCOUNT_MASK = 0xF00;
constexpr uint32_t D3DFVF_TEXCOUNT_SHIFT = 8;
constexpr uint32_t D3DFVF_TEX0 = 0x000;
constexpr uint32_t D3DFVF_TEX1 = 0x100;
constexpr uint32_t D3DFVF_TEX2 = 0x200;

using D3DPRIMITIVETYPE = uint32_t;
constexpr D3DPRIMITIVETYPE D3DPT_POINTLIST = 1;
constexpr D3DPRIMITIVETYPE D3DPT_LINELIST = 2;
constexpr D3DPRIMITIVETYPE D3DPT_LINESTRIP = 3;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLELIST = 4;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLESTRIP = 5;
constexpr D3DPRIMITIVETYPE D3DPT_TRIANGLEFAN = 6;

using D3DTRANSFORMSTATETYPE = uint32_t;
constexpr D3DTRANSFORMSTATETYPE D3DTS_VIEW = 2;
constexpr D3DTRANSFORMSTATETYPE D3DTS_PROJECTION = 3;
constexpr D3DTRANSFORMSTATETYPE D3DTS_TEXTURE0 = 16;
constexpr D3DTRANSFORMSTATETYPE D3DTS_WORLD = 256; // D3DTS_WORLDMATRIX(0)

using D3DLIGHTTYPE = uint32_t;
constexpr D3DLIGHTTYPE D3DLIGHT_POINT = 1;
constexpr D3DLIGHTTYPE D3DLIGHT_SPOT = 2;
constexpr D3DLIGHTTYPE D3DLIGHT_DIRECTIONAL = 3;

// Lights the device offers; the program uses 0 and 1.
constexpr uint32_t D3DMAX_ACTIVE_LIGHTS = 8;

// --------------------------------------------------------------------- caps
constexpr uint32_t D3DCAPS2_CANRENDERWINDOWED = 0x00080000;
constexpr uint32_t D3DCAPS2_FULLSCREENGAMMA = 0x00020000;
constexpr uint32_t D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x00010000;
constexpr uint32_t D3DDEVCAPS_PUREDEVICE = 0x00100000;
constexpr uint32_t D3DDEVCAPS_HWRASTERIZATION = 0x00080000;
constexpr uint32_t D3DPMISCCAPS_CULLNONE = 0x00000010;
constexpr uint32_t D3DPMISCCAPS_CULLCW = 0x00000020;
constexpr uint32_t D3DPMISCCAPS_CULLCCW = 0x00000040;
constexpr uint32_t D3DPMISCCAPS_BLENDOP = 0x00000800;
constexpr uint32_t D3DPMISCCAPS_NULLREFERENCE = 0x00001000;
constexpr uint32_t D3DPTEXTURECAPS_PERSPECTIVE = 0x00000001;
constexpr uint32_t D3DPTEXTURECAPS_POW2 = 0x00000002;
constexpr uint32_t D3DPTEXTURECAPS_ALPHA = 0x00000004;
constexpr uint32_t D3DPTEXTURECAPS_SQUAREONLY = 0x00000020;
constexpr uint32_t D3DPTEXTURECAPS_ALPHAPALETTE = 0x00000080;
constexpr uint32_t D3DPTEXTURECAPS_MIPMAP = 0x00004000;
constexpr uint32_t D3DCURSORCAPS_COLOR = 0x00000001;

// D3DX texture creation arguments
constexpr uint32_t D3DX_DEFAULT = 0xFFFFFFFF;
constexpr uint32_t D3DX_FILTER_NONE = 1;
constexpr uint32_t D3DX_FILTER_POINT = 2;
constexpr uint32_t D3DX_FILTER_LINEAR = 3;
constexpr uint32_t D3DX_FILTER_TRIANGLE = 4;
constexpr uint32_t D3DX_FILTER_BOX = 5;
constexpr uint32_t D3DX_FILTER_MIRROR_U = 0x10000;
constexpr uint32_t D3DX_FILTER_MIRROR_V = 0x20000;
constexpr uint32_t D3DX_FILTER_MIRROR_W = 0x40000;

// ------------------------------------------------------------------ records
// Float-valued render states travel as the bit pattern of the float.
inline uint32_t floatBits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline float bitsFloat(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

struct RECT {
    int32_t left = 0, top = 0, right = 0, bottom = 0;
};
struct POINT {
    int32_t x = 0, y = 0;
};

struct D3DCOLORVALUE {
    float r = 0, g = 0, b = 0, a = 0;
};

struct D3DVECTOR {
    float x = 0, y = 0, z = 0;
};
using D3DXVECTOR3 = D3DVECTOR;

struct D3DXVECTOR4 {
    float x = 0, y = 0, z = 0, w = 0;
};

// Row-major 4x4, used with row vectors: p' = p * M, translation in row 3.
struct D3DMATRIX {
    float m[4][4] = {};
};
using D3DXMATRIX = D3DMATRIX;

struct D3DMATERIAL8 {
    D3DCOLORVALUE Diffuse, Ambient, Specular, Emissive;
    float Power = 0;
};

struct D3DLIGHT8 {
    D3DLIGHTTYPE Type = 0;
    D3DCOLORVALUE Diffuse, Specular, Ambient;
    D3DVECTOR Position, Direction;
    float Range = 0, Falloff = 0;
    float Attenuation0 = 0, Attenuation1 = 0, Attenuation2 = 0;
    float Theta = 0, Phi = 0;
};

struct D3DVIEWPORT8 {
    uint32_t X = 0, Y = 0, Width = 0, Height = 0;
    float MinZ = 0, MaxZ = 1;
};

struct D3DDISPLAYMODE {
    uint32_t Width = 0, Height = 0, RefreshRate = 0;
    D3DFORMAT Format = D3DFMT_UNKNOWN;
};

struct D3DADAPTER_IDENTIFIER8 {
    char Driver[512] = {};
    char Description[512] = {};
    uint32_t VendorId = 0, DeviceId = 0, SubSysId = 0, Revision = 0;
    uint32_t WHQLLevel = 0;
};

struct D3DPRESENT_PARAMETERS {
    uint32_t BackBufferWidth = 0, BackBufferHeight = 0;
    D3DFORMAT BackBufferFormat = D3DFMT_UNKNOWN;
    uint32_t BackBufferCount = 0;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    uint32_t SwapEffect = 0;
    HWND hDeviceWindow = nullptr;
    int32_t Windowed = 0;
    int32_t EnableAutoDepthStencil = 0;
    D3DFORMAT AutoDepthStencilFormat = D3DFMT_UNKNOWN;
    uint32_t Flags = 0;
    uint32_t FullScreen_RefreshRateInHz = 0;
    uint32_t FullScreen_PresentationInterval = 0;
};

struct D3DSURFACE_DESC {
    D3DFORMAT Format = D3DFMT_UNKNOWN;
    uint32_t Type = 0;
    uint32_t Usage = 0;
    uint32_t Pool = 0;
    uint32_t Size = 0;
    D3DMULTISAMPLE_TYPE MultiSampleType = D3DMULTISAMPLE_NONE;
    uint32_t Width = 0, Height = 0;
};

struct D3DVERTEXBUFFER_DESC {
    D3DFORMAT Format = D3DFMT_VERTEXDATA;
    uint32_t Type = D3DRTYPE_VERTEXBUFFER;
    uint32_t Usage = 0, Pool = 0, Size = 0, FVF = 0;
};

struct D3DINDEXBUFFER_DESC {
    D3DFORMAT Format = D3DFMT_INDEX16;
    uint32_t Type = D3DRTYPE_INDEXBUFFER;
    uint32_t Usage = 0, Pool = 0, Size = 0;
};

struct D3DLOCKED_RECT {
    int32_t Pitch = 0; // bytes from one row to the next
    void* pBits = nullptr;
};

// The subset of D3DCAPS8 the program and its device layer read.
struct D3DCAPS8 {
    uint32_t DeviceType = 0;
    uint32_t AdapterOrdinal = 0;
    uint32_t Caps = 0, Caps2 = 0, Caps3 = 0;
    uint32_t PresentationIntervals = 0;
    uint32_t CursorCaps = 0;
    uint32_t DevCaps = 0;
    uint32_t PrimitiveMiscCaps = 0;
    uint32_t RasterCaps = 0;
    uint32_t ZCmpCaps = 0, SrcBlendCaps = 0, DestBlendCaps = 0, AlphaCmpCaps = 0;
    uint32_t ShadeCaps = 0;
    uint32_t TextureCaps = 0;
    uint32_t TextureFilterCaps = 0;
    uint32_t TextureAddressCaps = 0;
    uint32_t MaxTextureWidth = 0, MaxTextureHeight = 0;
    uint32_t MaxTextureAspectRatio = 0;
    uint32_t TextureOpCaps = 0;
    uint32_t FVFCaps = 0;
    uint32_t MaxTextureBlendStages = 0, MaxSimultaneousTextures = 0;
    uint32_t VertexProcessingCaps = 0;
    uint32_t MaxActiveLights = 0;
    float MaxPointSize = 0;
    uint32_t MaxPrimitiveCount = 0, MaxVertexIndex = 0;
    uint32_t MaxStreams = 0, MaxStreamStride = 0;
};

} // namespace gfx
