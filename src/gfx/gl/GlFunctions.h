// The OpenGL entry points the backend uses, and the debug-only error check.
//
// GL_CHECK(gl, call) runs the call; in debug builds it then asks glGetError
// and reports the failing call by name with its file and line.  Release
// builds never call glGetError on the drawing path.
#pragma once

#include <QOpenGLFunctions_3_3_Core>

namespace gfx::gl {

using GlFunctions = QOpenGLFunctions_3_3_Core;

// Prints "<call> failed with GL error 0x...: <file>:<line>" when an error is pending.
void reportGlError(GlFunctions& gl, const char* call, const char* file, int line);

} // namespace gfx::gl

#ifdef NDEBUG
#define GL_CHECK(gl, call) (gl).call
#else
#define GL_CHECK(gl, call)                                                                         \
    do {                                                                                           \
        (gl).call;                                                                                 \
        ::gfx::gl::reportGlError((gl), #call, __FILE__, __LINE__);                                 \
    } while (false)
#endif
