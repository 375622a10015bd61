// The off-screen context made through EGL without a window system.
#include "gfx/gl/GlSurfacelessContext.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>

#include <QGuiApplication>
#include <QOpenGLContext>

#include <cstring>

namespace gfx::gl {

bool SurfacelessContext::platformCanWrap() {
    return QGuiApplication::platformName() == QLatin1String("eglfs");
}

std::unique_ptr<SurfacelessContext> SurfacelessContext::create(std::string* error) {
    // Qt's own display: EGL hands out one handle per native display, and Qt
    // adopts contexts of that display only.
    const EGLDisplay display = eglGetDisplay(EGL_DEFAULT_DISPLAY);
    EGLint major = 0, minor = 0;
    if (display == EGL_NO_DISPLAY || !eglInitialize(display, &major, &minor)) {
        *error = "no EGL display";
        return nullptr;
    }
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    if (!extensions || !std::strstr(extensions, "EGL_KHR_surfaceless_context")) {
        *error = "the EGL display cannot bind a context without a surface";
        return nullptr;
    }
    if (!eglBindAPI(EGL_OPENGL_API)) {
        *error = "the EGL display has no desktop OpenGL";
        return nullptr;
    }
    // A configuration only to name the context's colour format: nothing is
    // ever drawn to a surface of it (the device draws into framebuffer objects).
    const EGLint configAttributes[] = {EGL_SURFACE_TYPE,
                                       EGL_PBUFFER_BIT,
                                       EGL_RENDERABLE_TYPE,
                                       EGL_OPENGL_BIT,
                                       EGL_RED_SIZE,
                                       8,
                                       EGL_GREEN_SIZE,
                                       8,
                                       EGL_BLUE_SIZE,
                                       8,
                                       EGL_ALPHA_SIZE,
                                       8,
                                       EGL_NONE};
    EGLConfig config = nullptr;
    EGLint configCount = 0;
    if (!eglChooseConfig(display, configAttributes, &config, 1, &configCount) || configCount < 1) {
        *error = "the EGL display has no 8-bit RGBA configuration for OpenGL";
        return nullptr;
    }
    const EGLint contextAttributes[] = {EGL_CONTEXT_MAJOR_VERSION,
                                        3,
                                        EGL_CONTEXT_MINOR_VERSION,
                                        3,
                                        EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                        EGL_CONTEXT_OPENGL_CORE_PROFILE_BIT,
                                        EGL_NONE};
    const EGLContext native = eglCreateContext(display, config, EGL_NO_CONTEXT, contextAttributes);
    if (native == EGL_NO_CONTEXT) {
        *error = "the EGL display has no OpenGL 3.3 core context";
        return nullptr;
    }
    std::unique_ptr<SurfacelessContext> result(new SurfacelessContext);
    result->display = display;
    result->nativeContext = native;
    result->wrapper.reset(QNativeInterface::QEGLContext::fromNative(native, display));
    if (!result->wrapper || !result->wrapper->isValid()) {
        *error = "Qt does not wrap the EGL context";
        return nullptr;
    }
    return result;
}

std::unique_ptr<QOpenGLContext> SurfacelessContext::takeWrapper() {
    return std::move(wrapper);
}

SurfacelessContext::~SurfacelessContext() {
    // Qt never destroys a context it adopted.
    wrapper.reset();
    if (nativeContext) {
        if (eglGetCurrentContext() == nativeContext)
            eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        eglDestroyContext(display, nativeContext);
    }
}

} // namespace gfx::gl
