// The real desktop with the hooks of a scripted run (see WindowedPlatform.h).
#include "WindowedPlatform.h"

#include "platform/QtPlatform.h"

#include <QElapsedTimer>
#include <QThread>

namespace headless {

namespace {

// How long a loop that cannot draw waits for the desktop before the script
// goes on (milliseconds).
constexpr qint64 desktopGraceMs = 500;

} // namespace

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
    // The loop waits only while it cannot draw (a window the desktop has not
    // yet shown or sized, a gesture, a menu).  The desktop gets a while to
    // send what lets it draw again before the script goes on, so that a frame
    // it holds back is not taken for a frame the program failed to make.
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < desktopGraceMs) {
        if (inner->peekMessage(message, true)) return message->message != platform::WM_QUIT;
        QThread::msleep(5);
    }
    if (inner->peekMessage(message, true)) return message->message != platform::WM_QUIT;
    runIdle();
    return inner->getMessage(message);
}

} // namespace headless
