// Translation tables from D3D state values to GL enums.
#include "gfx/gl/GlTranslate.h"

#include <cstdio>

namespace gfx::gl {

namespace {

// Debug builds name the value; release builds fall back quietly, since a
// caller passing it does so every frame.
GLenum unexpected([[maybe_unused]] const char* what, [[maybe_unused]] uint32_t value,
                  GLenum fallback) {
#ifndef NDEBUG
    std::fprintf(stderr, "gfx: unexpected %s value %u, using the default\n", what, value);
#endif
    return fallback;
}

} // namespace

GLenum glBlendFactor(uint32_t d3dBlend, bool source) {
    switch (d3dBlend) {
    case D3DBLEND_ZERO:
        return GL_ZERO;
    case D3DBLEND_ONE:
        return GL_ONE;
    case D3DBLEND_SRCCOLOR:
        return GL_SRC_COLOR;
    case D3DBLEND_INVSRCCOLOR:
        return GL_ONE_MINUS_SRC_COLOR;
    case D3DBLEND_SRCALPHA:
        return GL_SRC_ALPHA;
    case D3DBLEND_INVSRCALPHA:
        return GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_DESTALPHA:
        return GL_DST_ALPHA;
    case D3DBLEND_INVDESTALPHA:
        return GL_ONE_MINUS_DST_ALPHA;
    case D3DBLEND_DESTCOLOR:
        return GL_DST_COLOR;
    case D3DBLEND_INVDESTCOLOR:
        return GL_ONE_MINUS_DST_COLOR;
    case D3DBLEND_SRCALPHASAT:
        return GL_SRC_ALPHA_SATURATE;
    // The BOTH* factors set the source factor and its complement as destination.
    case D3DBLEND_BOTHSRCALPHA:
        return source ? GL_SRC_ALPHA : GL_ONE_MINUS_SRC_ALPHA;
    case D3DBLEND_BOTHINVSRCALPHA:
        return source ? GL_ONE_MINUS_SRC_ALPHA : GL_SRC_ALPHA;
    default:
        return unexpected("D3DBLEND", d3dBlend, source ? GL_ONE : GL_ZERO);
    }
}

GLenum glBlendEquation(uint32_t d3dBlendOp) {
    switch (d3dBlendOp) {
    case D3DBLENDOP_ADD:
        return GL_FUNC_ADD;
    case D3DBLENDOP_SUBTRACT:
        return GL_FUNC_SUBTRACT;
    case D3DBLENDOP_REVSUBTRACT:
        return GL_FUNC_REVERSE_SUBTRACT;
    case D3DBLENDOP_MIN:
        return GL_MIN;
    case D3DBLENDOP_MAX:
        return GL_MAX; // factors are ignored, as in Direct3D
    default:
        return unexpected("D3DBLENDOP", d3dBlendOp, GL_FUNC_ADD);
    }
}

GLenum glCompareFunction(uint32_t d3dCmp) {
    switch (d3dCmp) {
    case D3DCMP_NEVER:
        return GL_NEVER;
    case D3DCMP_LESS:
        return GL_LESS;
    case D3DCMP_EQUAL:
        return GL_EQUAL;
    case D3DCMP_LESSEQUAL:
        return GL_LEQUAL;
    case D3DCMP_GREATER:
        return GL_GREATER;
    case D3DCMP_NOTEQUAL:
        return GL_NOTEQUAL;
    case D3DCMP_GREATEREQUAL:
        return GL_GEQUAL;
    case D3DCMP_ALWAYS:
        return GL_ALWAYS;
    default:
        return unexpected("D3DCMP", d3dCmp, GL_LEQUAL);
    }
}

GLenum glPrimitiveMode(D3DPRIMITIVETYPE type) {
    switch (type) {
    case D3DPT_POINTLIST:
        return GL_POINTS;
    case D3DPT_LINELIST:
        return GL_LINES;
    case D3DPT_LINESTRIP:
        return GL_LINE_STRIP;
    case D3DPT_TRIANGLELIST:
        return GL_TRIANGLES;
    case D3DPT_TRIANGLESTRIP:
        return GL_TRIANGLE_STRIP;
    case D3DPT_TRIANGLEFAN:
        return GL_TRIANGLE_FAN;
    default:
        return 0;
    }
}

GLenum glMagFilter(uint32_t d3dFilter) {
    switch (d3dFilter) {
    case D3DTEXF_NONE:
    case D3DTEXF_POINT:
        return GL_NEAREST;
    // Cubic magnification was linear on the hardware of the time.
    case D3DTEXF_LINEAR:
    case D3DTEXF_ANISOTROPIC:
    case D3DTEXF_FLATCUBIC:
    case D3DTEXF_GAUSSIANCUBIC:
        return GL_LINEAR;
    default:
        return unexpected("D3DTEXF", d3dFilter, GL_NEAREST);
    }
}

GLenum glMinFilter(uint32_t minFilter, uint32_t mipFilter) {
    const bool linear = glMagFilter(minFilter) == GL_LINEAR;
    switch (mipFilter) {
    case D3DTEXF_NONE:
        return linear ? GL_LINEAR : GL_NEAREST; // level 0 only
    case D3DTEXF_POINT:
        return linear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    case D3DTEXF_LINEAR:
    case D3DTEXF_ANISOTROPIC:
    case D3DTEXF_FLATCUBIC:
    case D3DTEXF_GAUSSIANCUBIC:
        return linear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    default:
        return unexpected("D3DTSS_MIPFILTER", mipFilter, linear ? GL_LINEAR : GL_NEAREST);
    }
}

GLenum glAddressMode(uint32_t d3dAddress) {
    switch (d3dAddress) {
    case D3DTADDRESS_WRAP:
        return GL_REPEAT;
    case D3DTADDRESS_MIRROR:
        return GL_MIRRORED_REPEAT;
    case D3DTADDRESS_CLAMP:
    case D3DTADDRESS_MIRRORONCE:
        return GL_CLAMP_TO_EDGE;
    case D3DTADDRESS_BORDER:
        return GL_CLAMP_TO_BORDER;
    default:
        return unexpected("D3DTADDRESS", d3dAddress, GL_REPEAT);
    }
}

GLenum glPolygonMode(uint32_t d3dFill) {
    switch (d3dFill) {
    case D3DFILL_POINT:
        return GL_POINT;
    case D3DFILL_WIREFRAME:
        return GL_LINE;
    case D3DFILL_SOLID:
        return GL_FILL;
    default:
        return unexpected("D3DFILL", d3dFill, GL_FILL);
    }
}

int glSwapInterval(uint32_t d3dPresentInterval, bool windowed) {
    if (windowed) return 0;
    switch (d3dPresentInterval) {
    case D3DPRESENT_INTERVAL_IMMEDIATE:
        return 0;
    case D3DPRESENT_INTERVAL_DEFAULT:
    case D3DPRESENT_INTERVAL_ONE:
        return 1;
    case D3DPRESENT_INTERVAL_TWO:
        return 2;
    case D3DPRESENT_INTERVAL_THREE:
        return 3;
    case D3DPRESENT_INTERVAL_FOUR:
        return 4;
    default:
        return int(unexpected("D3DPRESENT_INTERVAL", d3dPresentInterval, 1));
    }
}

} // namespace gfx::gl
