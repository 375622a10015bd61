// Key presses of the main window as WM_KEYDOWN (see KeyboardFilter.h).
#include "platform/KeyboardFilter.h"

#include "platform/KeyNames.h"
#include "platform/MainWindow.h"

#include <QKeyEvent>
#include <QWidget>

namespace platform {

KeyboardFilter::KeyboardFilter(MessageQueue& queue, const AcceleratorTable& accelerators)
    : queue(queue), accelerators(accelerators) {}

// A key reaches the window's QWindow first and is then passed on to the
// focus widget; only that second delivery (or one to the GL surface, which
// has its own QWindow) counts, so every press is queued once.
bool KeyboardFilter::belongsToWindow(QObject* watched) const {
    if (!window) return false;
    if (watched == window->surface()) return true;
    const auto* widget = qobject_cast<const QWidget*>(watched);
    return widget && widget->window() == window;
}

bool KeyboardFilter::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) return false;
    if (!belongsToWindow(watched)) return false;
    const QString name = keyName(*static_cast<QKeyEvent*>(event));
    if (name.isEmpty()) return false;
    const bool accelerator = accelerators.commandFor(name).has_value();
    if (type == QEvent::ShortcutOverride) {
        // Accepting the override keeps Qt's shortcuts (menu mnemonics) off
        // this key, which then arrives as an ordinary KeyPress.
        if (accelerator) event->accept();
        return accelerator;
    }
    queue.postKey(window->handle(), name.toStdString());
    return accelerator;
}

} // namespace platform
