// D3D state values to their GL counterparts.  Each switch reports a value
// it does not know (in debug builds) and falls back to D3D's default.
#pragma once

#include "gfx/device/Types.h"
#include "gfx/gl/GlFunctions.h"

namespace gfx::gl {

GLenum glBlendFactor(uint32_t d3dBlend, bool source);
GLenum glBlendEquation(uint32_t d3dBlendOp);
GLenum glCompareFunction(uint32_t d3dCmp);
// 0 for a primitive type GL cannot draw.
GLenum glPrimitiveMode(D3DPRIMITIVETYPE type);
GLenum glMagFilter(uint32_t d3dFilter);
GLenum glMinFilter(uint32_t minFilter, uint32_t mipFilter);
GLenum glAddressMode(uint32_t d3dAddress);
GLenum glPolygonMode(uint32_t d3dFill);
// The swap interval (retraces per swap) of a presentation interval.  A
// windowed device presents at once whatever it asks; a full-screen one waits
// for the retrace unless it asks for IMMEDIATE, DEFAULT meaning ONE there.
int glSwapInterval(uint32_t d3dPresentInterval, bool windowed);

} // namespace gfx::gl
