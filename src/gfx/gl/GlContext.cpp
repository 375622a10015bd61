// Creating and binding the device's GL 3.3 core context.
#include "gfx/gl/GlContext.h"

#include "gfx/gl/GlDebugOutput.h"
#include "gfx/gl/GlSurfaceFormat.h"
#include "gfx/gl/GlSurfacelessContext.h"

#include <QGuiApplication>
#include <QOffscreenSurface>
#include <QOpenGLVersionFunctionsFactory>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <cstdio>

namespace gfx::gl {

namespace {

// The window-system calls of GLX_EXT_swap_control, GLX_MESA_swap_control
// and EGL 1.1, looked up at run time so that no GLX or EGL header (and its
// macros) comes near Qt's.
using GlxSwapIntervalExt = void (*)(Display* display, unsigned long drawable, int interval);
using GlxSwapIntervalMesa = int (*)(unsigned int interval);
using EglSwapInterval = unsigned int (*)(void* display, int interval);

} // namespace

QSurfaceFormat GlContext::requestedFormat() {
    QSurfaceFormat format = glSurfaceFormat();
    requestDebugContext(format);
    return format;
}

std::unique_ptr<GlContext> GlContext::create(QWindow* window) {
    std::unique_ptr<GlContext> result(new GlContext);
    result->target = window;
    QSurfaceFormat format = requestedFormat();
    if (window) {
        // The window's own format decides what its surface can show; the
        // version and profile are ours.
        QSurfaceFormat windowFormat = window->requestedFormat();
        windowFormat.setVersion(3, 3);
        windowFormat.setProfile(QSurfaceFormat::CoreProfile);
        requestDebugContext(windowFormat);
        format = windowFormat;
    }
    if (!window && SurfacelessContext::platformCanWrap()) {
        std::string error;
        result->surfaceless = SurfacelessContext::create(&error);
        if (!result->surfaceless) {
            std::fprintf(stderr, "No off-screen GL context through EGL: %s\n", error.c_str());
            return nullptr;
        }
        result->context = result->surfaceless->takeWrapper();
    } else {
        result->context = std::make_unique<QOpenGLContext>();
        result->context->setFormat(format);
        if (!result->context->create()) return nullptr;
    }
    const QSurfaceFormat actual = result->context->format();
    if (actual.profile() != QSurfaceFormat::CoreProfile || actual.version() < qMakePair(3, 3))
        return nullptr;
    if (!window) {
        result->offscreen = std::make_unique<QOffscreenSurface>();
        result->offscreen->setFormat(actual);
        result->offscreen->create();
        if (!result->offscreen->isValid()) return nullptr;
    }
    if (!result->makeCurrent()) return nullptr;
    startDebugOutput(*result->context);
    result->gl =
        QOpenGLVersionFunctionsFactory::get<QOpenGLFunctions_3_3_Core>(result->context.get());
    if (!result->gl || !result->gl->initializeOpenGLFunctions()) return nullptr;
    const bool clipControlPresent =
        actual.version() >= qMakePair(4, 5) || result->context->hasExtension("GL_ARB_clip_control");
    if (clipControlPresent)
        result->clipControl =
            reinterpret_cast<ClipControlFunction>(result->context->getProcAddress("glClipControl"));
    return result;
}

std::string GlContext::describeAvailable() {
    for (const bool asked : {true, false}) {
        QOpenGLContext context;
        if (asked) context.setFormat(requestedFormat());
        if (!context.create()) continue;
        QOffscreenSurface surface;
        surface.setFormat(context.format());
        surface.create();
        if (!surface.isValid() || !context.makeCurrent(&surface)) continue;
        QOpenGLFunctions* functions = context.functions();
        const auto text = [&](GLenum name) {
            const GLubyte* string = functions->glGetString(name);
            return std::string(string ? reinterpret_cast<const char*>(string) : "?");
        };
        const QSurfaceFormat format = context.format();
        const QSurfaceFormat::OpenGLContextProfile profile = context.format().profile();
        const std::string profileText = profile == QSurfaceFormat::CoreProfile ? " (core profile)"
                                        : profile == QSurfaceFormat::CompatibilityProfile
                                            ? " (compatibility profile)"
                                            : "";
        std::string description =
            "OpenGL " + text(GL_VERSION) + profileText + ", renderer " + text(GL_RENDERER);
        context.doneCurrent();
        return description;
    }
    return "no OpenGL context";
}

GlContext::~GlContext() {
    if (context) context->doneCurrent();
}

bool GlContext::makeCurrent() {
    QSurface* surface = target ? static_cast<QSurface*>(target) : offscreen.get();
    // Every draw asks; Qt would rebind the context through GLX each time.
    if (QOpenGLContext::currentContext() == context.get() && context->surface() == surface)
        return true;
    return context->makeCurrent(surface);
}

bool GlContext::setSwapInterval(int interval) {
    if (interval == swapInterval) return true;
    if (!target || !makeCurrent()) return false;
    bool set = false;
#if QT_CONFIG(xcb_glx_plugin)
    if (context->nativeInterface<QNativeInterface::QGLXContext>()) {
        const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        const auto ext =
            reinterpret_cast<GlxSwapIntervalExt>(context->getProcAddress("glXSwapIntervalEXT"));
        const auto mesa =
            reinterpret_cast<GlxSwapIntervalMesa>(context->getProcAddress("glXSwapIntervalMESA"));
        if (ext && x11) {
            ext(x11->display(), static_cast<unsigned long>(target->winId()), interval);
            set = true;
        } else if (mesa) {
            set = mesa(static_cast<unsigned int>(interval)) == 0;
        }
    }
#endif
#if QT_CONFIG(egl)
    if (const auto* egl = context->nativeInterface<QNativeInterface::QEGLContext>()) {
        const auto swap =
            reinterpret_cast<EglSwapInterval>(context->getProcAddress("eglSwapInterval"));
        set = swap && swap(egl->display(), interval) != 0;
    }
#endif
    if (set) swapInterval = interval;
    return set;
}

void GlContext::swapBuffers() {
    if (target) context->swapBuffers(target);
}

bool GlContext::isValid() const {
    return context && context->isValid();
}

GLuint GlContext::defaultFramebuffer() const {
    return target ? context->defaultFramebufferObject() : 0;
}

} // namespace gfx::gl
