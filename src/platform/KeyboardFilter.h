// Turns key presses in the main window into WM_KEYDOWN messages, whichever
// part of it has the focus: the GL surface, the window itself or its menu bar.
//
// Installed on the application, so it sees a key before the menu bar's Alt
// handling and before Qt's shortcuts.  A key that the accelerator table
// names is taken from Qt altogether (Alt+1 stays a command, Esc does not
// leave a widget); any other key is queued too but left to Qt as well, so
// that menu mnemonics such as Alt+V still open their popup.  Open popup
// menus and dialogs are windows of their own and keep their keys.
#pragma once

#include "platform/Accelerators.h"
#include "platform/MessageQueue.h"

#include <QObject>

namespace platform {

class MainWindow;

class KeyboardFilter : public QObject {
public:
    KeyboardFilter(MessageQueue& queue, const AcceleratorTable& accelerators);

    void setWindow(MainWindow* window) { this->window = window; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool belongsToWindow(QObject* watched) const;

    MessageQueue& queue;
    const AcceleratorTable& accelerators;
    MainWindow* window = nullptr;
};

} // namespace platform
