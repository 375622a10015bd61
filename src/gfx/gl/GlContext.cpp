// Creating and binding the device's GL 3.3 core context.
#include "gfx/gl/GlContext.h"

#include "gfx/gl/GlDebugOutput.h"
#include "gfx/gl/GlSurfacelessContext.h"

#include <QOffscreenSurface>
#include <QOpenGLVersionFunctionsFactory>
#include <QWindow>

#include <cstdio>

namespace gfx::gl {

QSurfaceFormat GlContext::requestedFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setDepthBufferSize(0);
    format.setStencilBufferSize(0);
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
