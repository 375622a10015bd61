// The driver's debug reports (see GlDebugOutput.h).
#include "gfx/gl/GlDebugOutput.h"

#include <QOpenGLContext>
#include <QOpenGLDebugLogger>
#include <QSurfaceFormat>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace gfx::gl {

namespace {

std::atomic<uint64_t> errorReports{0};

bool isError(const QOpenGLDebugMessage& message) {
    return message.type() == QOpenGLDebugMessage::ErrorType ||
           message.type() == QOpenGLDebugMessage::UndefinedBehaviorType;
}

} // namespace

bool debugContextsWanted() {
    const char* value = std::getenv("ORBIVISTA_GL_DEBUG");
    if (value && *value) return std::strcmp(value, "0") != 0;
#ifdef NDEBUG
    return false;
#else
    return true;
#endif
}

void requestDebugContext(QSurfaceFormat& format) {
    if (debugContextsWanted()) format.setOption(QSurfaceFormat::DebugContext);
}

void startDebugOutput(QOpenGLContext& context) {
    if (!context.format().testOption(QSurfaceFormat::DebugContext)) return;
    auto* logger = new QOpenGLDebugLogger(&context); // goes with the context
    if (!logger->initialize()) {
        std::fprintf(stderr, "orbivista: GL debug output: the driver has no KHR_debug\n");
        delete logger;
        return;
    }
    QObject::connect(logger, &QOpenGLDebugLogger::messageLogged,
                     [](const QOpenGLDebugMessage& message) {
                         if (!isError(message)) return;
                         ++errorReports;
                         std::fprintf(stderr, "orbivista: GL debug error: %s\n",
                                      message.message().toLocal8Bit().constData());
                     });
    // Synchronous: the report arrives inside the call that caused it.
    logger->startLogging(QOpenGLDebugLogger::SynchronousLogging);
    static std::atomic<bool> announced{false};
    if (!announced.exchange(true)) std::fprintf(stderr, "orbivista: GL debug output on\n");
}

uint64_t debugErrorCount() {
    return errorReports.load();
}

} // namespace gfx::gl
