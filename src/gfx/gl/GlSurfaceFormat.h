// The one GL surface format of the program: a 3.3 core context, double-
// buffered, with a 32-bit depth buffer and no stencil: the depth format the
// device's back buffer takes first, so that a frame of the window's size
// can be drawn straight into the window's buffers (GlWindowBuffer.h).  A
// driver without such a buffer gives what it has (Qt lowers the request),
// and the device then draws into its own framebuffer.  Header-only, so that the platform's window
// and the GL backend's contexts ask for the same thing without the platform linking the backend.
#pragma once

#include <QSurfaceFormat>

namespace gfx::gl {

inline QSurfaceFormat glSurfaceFormat() {
    QSurfaceFormat format;
    format.setRenderableType(QSurfaceFormat::OpenGL);
    format.setVersion(3, 3);
    format.setProfile(QSurfaceFormat::CoreProfile);
    format.setSwapBehavior(QSurfaceFormat::DoubleBuffer);
    format.setDepthBufferSize(32);
    format.setStencilBufferSize(0);
    return format;
}

} // namespace gfx::gl
