// An OpenGL 3.3 core context and the surface it draws on: the device's
// window (a QWindow handed out by the platform as its HWND) or, without a
// window, an off-screen surface (on Qt's EGL platform a context bound with
// no surface at all, made through EGL: see GlSurfacelessContext.h).
#pragma once

#include "gfx/gl/GlFunctions.h"

#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QSurfaceFormat>

#include <memory>
#include <string>

class QOffscreenSurface;
class QSurface;
class QWindow;

namespace gfx::gl {

// glClipControl of GL 4.5 / ARB_clip_control, loaded when the driver has it.
using ClipControlFunction = void (*)(GLenum origin, GLenum depth);

class SurfacelessContext;

class GlContext {
public:
    // window null: off screen.  Null result when no 3.3 core context can be had.
    static std::unique_ptr<GlContext> create(QWindow* window);
    ~GlContext();

    static QSurfaceFormat requestedFormat();

    // What the driver offers when create() fails: the version, profile and
    // renderer of the best context it makes (asked for 3.3 core, else with
    // its defaults), for a diagnostic line; "no OpenGL context" when none.
    static std::string describeAvailable();

    bool makeCurrent();
    void swapBuffers();
    // Retraces to wait for at each swap of the window's buffers (0: none).
    // Set through GLX or EGL directly: Qt fixes a window's interval when it
    // first binds a context to it.  False off screen or where the driver
    // offers no control of it.
    bool setSwapInterval(int interval);
    int currentSwapInterval() const { return swapInterval; }
    bool isValid() const;
    GlFunctions& functions() { return *gl; }
    // The ES 2 subset, for the generic vertex attribute values the 3.3 core
    // wrapper leaves out.
    QOpenGLFunctions& baseFunctions() { return *context->functions(); }
    QWindow* window() const { return target; }
    // The framebuffer that shows on the window (0 off screen).
    GLuint defaultFramebuffer() const;
    bool hasClipControl() const { return clipControl != nullptr; }
    ClipControlFunction clipControlFunction() const { return clipControl; }

private:
    GlContext() = default;

    // Declared first: the EGL context outlives Qt's wrapper of it.
    std::unique_ptr<SurfacelessContext> surfaceless;
    std::unique_ptr<QOpenGLContext> context;
    std::unique_ptr<QOffscreenSurface> offscreen;
    QWindow* target = nullptr;
    GlFunctions* gl = nullptr;
    ClipControlFunction clipControl = nullptr;
    int swapInterval = -1; // as last set; -1 before the first setSwapInterval
};

} // namespace gfx::gl
