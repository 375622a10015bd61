// The one GL surface format of the program: a 3.3 core context, double-
// buffered, with neither depth nor stencil (the device's back buffer carries
// its own).  Header-only, so that the platform's window and the GL backend's
// contexts ask for the same thing without the platform linking the backend.
#pragma once

#include <QSurfaceFormat>

namespace gfx::gl {

inline QSurfaceFormat glSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setDepthBufferSize(0);
    format.setStencilBufferSize(0);
    return format;
}

} // namespace gfx::gl
