// The thread's message queue: a FIFO of Win32-style messages filled from Qt
// events and postMessage, drained by peekMessage/getMessage.
//
// A WM_KEYDOWN from the keyboard carries a KeyStroke* in wParam; the queue
// owns the stroke's name.  A stroke stays valid while its message is queued
// and, once taken, until the next message is taken: long enough for
// translateAccelerator and dispatchMessage of the message just taken.
#pragma once

#include "platform/Platform.h"

#include <deque>
#include <memory>
#include <string>

namespace platform {

class MessageQueue {
public:
    void post(const Message& message);
    // Queues WM_KEYDOWN for a key named in Qt's portable key sequence text.
    void postKey(HWND window, const std::string& keyName);
    // WM_PAINT is coalesced: at most one waits per window, as on Win32.
    void postPaint(HWND window);
    void postQuit(int32_t exitCode);

    // The next message without taking it; false when there is none.  A posted
    // quit shows as WM_QUIT once every other message has been taken.
    bool peek(Message* message) const;
    // Takes the next message (the one peek shows).
    bool take(Message* message);
    bool empty() const { return entries.empty() && !quitPosted; }

    // Forgets every message for a destroyed window.
    void discardWindow(HWND window);

private:
    struct StoredKey {
        std::string name;
        KeyStroke stroke;
    };
    struct Entry {
        Message message;
        std::unique_ptr<StoredKey> key; // set for keyboard WM_KEYDOWN
    };

    std::deque<Entry> entries;
    std::unique_ptr<StoredKey> lastTakenKey; // keeps the last taken stroke alive
    bool quitPosted = false;
    int32_t quitCode = 0;
};

} // namespace platform
