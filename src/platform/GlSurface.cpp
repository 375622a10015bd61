// The GL client area and its input messages (see GlSurface.h).
#include "platform/GlSurface.h"

#include "gfx/gl/GlSurfaceFormat.h"

#include <QCursor>
#include <QExposeEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QWheelEvent>

#include <algorithm>

namespace platform {

namespace {

// MK_* of the buttons and modifier keys held during a mouse event.
uintptr_t mouseKeyFlags(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers) {
    uintptr_t flags = 0;
    if (buttons & Qt::LeftButton) flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton) flags |= MK_RBUTTON;
    if (modifiers & Qt::ShiftModifier) flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier) flags |= MK_CONTROL;
    return flags;
}

intptr_t pointParam(QPointF point) {
    const QPoint p = point.toPoint();
    return MAKELPARAM(p.x(), p.y());
}

} // namespace

// The GL backend's format; a window starts without waiting for the retrace,
// and the device sets the interval its present parameters ask for.
QSurfaceFormat glSurfaceFormat() {
    QSurfaceFormat format = gfx::gl::glSurfaceFormat();
    format.setSwapInterval(0);
    return format;
}

GlSurface::GlSurface(MessageQueue& queue) : queue(queue) {
    setSurfaceType(QSurface::OpenGLSurface);
    setFormat(glSurfaceFormat());
}

void GlSurface::post(uint32_t message, uintptr_t wParam, intptr_t lParam) {
    queue.post(Message{handle(), message, wParam, lParam});
}

void GlSurface::exposeEvent(QExposeEvent*) {
    if (isExposed()) queue.postPaint(handle());
}

void GlSurface::resizeEvent(QResizeEvent* event) {
    if (resized) resized(event->size());
}

void GlSurface::mouseMoveEvent(QMouseEvent* event) {
    lastPointer = event->globalPosition().toPoint();
    if (cursorClip) {
        const QPoint global = event->globalPosition().toPoint();
        const QPoint clamped(std::clamp(global.x(), cursorClip->left(), cursorClip->right()),
                             std::clamp(global.y(), cursorClip->top(), cursorClip->bottom()));
        if (clamped != global) QCursor::setPos(screen(), clamped);
    }
    post(WM_SETCURSOR, reinterpret_cast<uintptr_t>(handle()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    post(WM_MOUSEMOVE, mouseKeyFlags(event->buttons(), event->modifiers()),
         pointParam(event->position()));
}

void GlSurface::postButton(QMouseEvent* event, bool down) {
    lastPointer = event->globalPosition().toPoint();
    uint32_t message = 0;
    switch (event->button()) {
    case Qt::LeftButton:
        message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP;
        break;
    case Qt::RightButton:
        message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP;
        break;
    default:
        return; // no other button has a message in this program
    }
    // Win32 asks for the cursor before every mouse message, presses included.
    post(WM_SETCURSOR, reinterpret_cast<uintptr_t>(handle()), MAKELPARAM(HTCLIENT, message));
    post(message, mouseKeyFlags(event->buttons(), event->modifiers()),
         pointParam(event->position()));
}

void GlSurface::mousePressEvent(QMouseEvent* event) {
    postButton(event, true);
}

void GlSurface::mouseReleaseEvent(QMouseEvent* event) {
    postButton(event, false);
}

// Win32's wheel message: HIWORD(wParam) the signed delta (120 a notch),
// LOWORD the MK_* flags, lParam the cursor in screen coordinates.
void GlSurface::wheelEvent(QWheelEvent* event) {
    const int delta = std::clamp(event->angleDelta().y(), -32768, 32767);
    if (delta == 0) return;
    const uintptr_t wParam =
        MAKEWPARAM(static_cast<uint32_t>(mouseKeyFlags(event->buttons(), event->modifiers())),
                   static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(delta))));
    post(WM_MOUSEWHEEL, wParam, pointParam(event->globalPosition()));
}

} // namespace platform
