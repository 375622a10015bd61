// The real desktop with the hooks of a scripted run (see WindowedPlatform.h).
#include "WindowedPlatform.h"

#include "platform/QtPlatform.h"

namespace headless {

void WindowedPlatform::postKey(platform::HWND handle, const std::string& keyName) {
    StoredKey& key = strokes.emplace_back();
    key.name = keyName;
    key.stroke.name = key.name.c_str();
    inner->postMessage(handle, platform::WM_KEYDOWN, reinterpret_cast<uintptr_t>(&key.stroke), 0);
}

// Where the pointer cannot be set (Wayland), the motion goes through the
// window system's path instead: a mouse event on the GL surface.
void WindowedPlatform::movePointer(int32_t dx, int32_t dy) {
    auto* desktop = dynamic_cast<platform::QtPlatform*>(inner.get());
    if (desktop && !desktop->canSetCursorPos())
        desktop->simulatePointerMotion(dx, dy);
    else
        ScriptedPlatform::movePointer(dx, dy);
}

// The desktop's own messages (painting, exposure, the user's input) come
// first; only when it has none does the script post or let a frame run.
// Only a removing peek can be followed by a frame (the loop's priming peek
// leaves the queue alone), so only it asks the script.
bool WindowedPlatform::peekMessage(platform::Message* message, bool remove) {
    const bool found = inner->peekMessage(message, remove);
    if (found || !remove) return found;
    // When the script lets a frame run, the loop draws it now: a desktop
    // message that came in meanwhile (a late configure, an exposure) waits
    // in the queue until after the frame instead of taking its turn.
    if (!runIdle()) return false;
    return inner->peekMessage(message, remove);
}

bool WindowedPlatform::getMessage(platform::Message* message) {
    if (inner->peekMessage(message, true)) return message->message != platform::WM_QUIT;
    runIdle();
    return inner->getMessage(message);
}

} // namespace headless
