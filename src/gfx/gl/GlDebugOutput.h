// The driver's own reports on what the backend asks of it (KHR_debug).
//
// Contexts are made with the debug flag in builds with assertions and
// wherever ORBIVISTA_GL_DEBUG is set to anything but 0 (the GL test suites
// and the scripted checks set it): a stricter driver than the one at hand
// would refuse what such a report names.  Every error the driver reports
// (a GL error or an undefined-behaviour message) is written to standard
// error and counted; the count is process-wide because a report can come
// from any context, and the tests read it around each case.
#pragma once

#include <cstdint>
#include <memory>

class QOpenGLContext;
class QOpenGLDebugLogger;
class QSurfaceFormat;

namespace gfx::gl {

bool debugContextsWanted();

// Adds the debug flag to a format when debug contexts are wanted.
void requestDebugContext(QSurfaceFormat& format);

// Starts synchronous logging on the current context when it is a debug
// context with KHR_debug; the logger lives as long as the context.
void startDebugOutput(QOpenGLContext& context);

// Error reports from the driver since the process started.
uint64_t debugErrorCount();

} // namespace gfx::gl
