// Linked into every suite that draws with GL: turns on debug contexts for
// the whole test program (ORBIVISTA_GL_DEBUG=1, set before main) and fails
// any test during which the driver reported an error (a GL error or a
// KHR_debug error message; gfx/gl/GlDebugOutput.h).
#pragma once

namespace testsupport {

// For a test that provokes driver errors on purpose: they are not failures.
void allowGlDebugErrors();

} // namespace testsupport
