// The client area of the main window: a QWindow with an OpenGL surface that
// the GL device presents into.  It turns its own events into the messages of
// the client area: WM_PAINT on exposure, WM_SETCURSOR before WM_MOUSEMOVE and
// the button messages, and WM_MOUSEWHEEL, with Win32's wParam/lParam layouts.
//
// Its own cursor belongs to the GL device (the full-screen hardware cursor);
// without one it shows the main window's, which the platform sets (the
// system cursor: ShowCursor, SetCursor), as X11 gives a child window with no
// cursor of its own its parent's.
#pragma once

#include "platform/MessageQueue.h"

#include <QRect>
#include <QWindow>

#include <functional>
#include <optional>

namespace platform {

class GlSurface : public QWindow {
public:
    explicit GlSurface(MessageQueue& queue);

    // The handle the platform hands out for this surface (see QtPlatform.h).
    HWND handle() { return reinterpret_cast<HWND>(static_cast<QWindow*>(this)); }

    // Called after every size change of the surface, in device-independent pixels.
    std::function<void(QSize)> resized;
    // ClipCursor: while set, a cursor seen outside this screen rectangle is
    // put back on its nearest edge.
    std::optional<QRect> cursorClip;
    // Where the pointer was at the last mouse event over the surface, in
    // screen coordinates: all a Wayland client can know of it.
    std::optional<QPoint> lastPointer;

protected:
    void exposeEvent(QExposeEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    void postButton(QMouseEvent* event, bool down);
    void post(uint32_t message, uintptr_t wParam, intptr_t lParam);

    MessageQueue& queue;
};

// The format of every GL surface: OpenGL 3.3 core, no depth buffer (the
// scene is drawn back to front), swap interval 0 (the loop paces itself).
QSurfaceFormat glSurfaceFormat();

} // namespace platform
