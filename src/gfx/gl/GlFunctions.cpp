// The debug GL error report.
#include "gfx/gl/GlFunctions.h"

#include <cstdio>

namespace gfx::gl {

void reportGlError(GlFunctions& gl, const char* call, const char* file, int line) {
    for (GLenum error = gl.glGetError(); error != GL_NO_ERROR; error = gl.glGetError())
        std::fprintf(stderr, "%s failed with GL error 0x%04X: %s:%d\n", call, error, file, line);
}

} // namespace gfx::gl
