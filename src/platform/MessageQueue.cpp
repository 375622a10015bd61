// The thread's message queue (see MessageQueue.h).
#include "platform/MessageQueue.h"

#include <algorithm>
#include <new>

namespace platform {

// Posting runs inside Qt's event handlers: a message that cannot be queued
// for want of memory is lost, as input is when a queue is full.
void MessageQueue::post(const Message& message) {
    try {
        entries.push_back(Entry{message, nullptr});
    } catch (const std::bad_alloc&) {
    }
}

void MessageQueue::postKey(HWND window, const std::string& keyName) {
    try {
        auto key = std::make_unique<StoredKey>();
        key->name = keyName;
        key->stroke.name = key->name.c_str();
        Message message{window, WM_KEYDOWN, reinterpret_cast<uintptr_t>(&key->stroke), 0};
        entries.push_back(Entry{message, std::move(key)});
    } catch (const std::bad_alloc&) {
    }
}

void MessageQueue::postPaint(HWND window) {
    const bool waiting = std::any_of(entries.begin(), entries.end(), [&](const Entry& entry) {
        return entry.message.window == window && entry.message.message == WM_PAINT;
    });
    if (!waiting) post(Message{window, WM_PAINT, 0, 0});
}

void MessageQueue::postQuit(int32_t exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

bool MessageQueue::peek(Message* message) const {
    if (!entries.empty()) {
        *message = entries.front().message;
        return true;
    }
    if (quitPosted) {
        *message = Message{nullptr, WM_QUIT, static_cast<uintptr_t>(quitCode), 0};
        return true;
    }
    return false;
}

bool MessageQueue::take(Message* message) {
    if (!peek(message)) return false;
    if (!entries.empty()) {
        lastTakenKey = std::move(entries.front().key);
        entries.pop_front();
    } else {
        quitPosted = false;
    }
    return true;
}

void MessageQueue::discardWindow(HWND window) {
    std::erase_if(entries, [&](const Entry& entry) { return entry.message.window == window; });
}

} // namespace platform
