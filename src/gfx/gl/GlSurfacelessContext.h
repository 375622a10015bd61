// An off-screen GL 3.3 core context made through EGL with no window system:
// Mesa's surfaceless platform (EGL_PLATFORM=surfaceless) or a GPU driver's
// display of its own, bound with no surface at all (EGL_KHR_surfaceless_context).
//
// Qt makes no such context itself: its EGL platform (eglfs) only picks
// window-capable configurations, which a display without a window system
// does not have.  So the context is made here and handed to Qt to wrap,
// which gives the backend the same QOpenGLContext and function tables as on
// a desktop.  Only an application running on an EGL platform of Qt (eglfs)
// can wrap it: Qt adopts contexts of its own display only.
#pragma once

#include <memory>
#include <string>

class QOpenGLContext;

namespace gfx::gl {

class SurfacelessContext {
public:
    // Null, with the reason in *error, when the display has no GL 3.3 core
    // context or Qt will not wrap it.
    static std::unique_ptr<SurfacelessContext> create(std::string* error);
    ~SurfacelessContext();

    // Whether Qt runs on an EGL platform that can wrap one.
    static bool platformCanWrap();

    // The wrapper Qt made for the context, once; it must be destroyed before
    // this object.
    std::unique_ptr<QOpenGLContext> takeWrapper();

private:
    SurfacelessContext() = default;

    void* display = nullptr;       // EGLDisplay
    void* nativeContext = nullptr; // EGLContext, destroyed after the wrapper
    std::unique_ptr<QOpenGLContext> wrapper;
};

} // namespace gfx::gl
