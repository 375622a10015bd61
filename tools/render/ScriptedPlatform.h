// What the input script of a run needs from the platform under it, on top
// of the desktop seam: an idle hook called when the message queue runs dry,
// a fixed-step clock, the main window and key posting.
//
// Two platforms offer it: HeadlessPlatform (no desktop at all, the GL device
// off screen) and WindowedPlatform (the real Qt desktop, for timings in a
// real window).  In both, the performance counter reads N x step at frame N.
#pragma once

#include "RunOptions.h"

#include "platform/Platform.h"

#include <functional>
#include <string>

namespace headless {

class ScriptedPlatform : public platform::Platform {
public:
    explicit ScriptedPlatform(FrameStep step) : step(step) {}

    // Called whenever the loop finds the queue empty; posts what should come
    // next (and returns true), or returns false to let a frame run.
    std::function<bool(ScriptedPlatform&)> idle;

    // The fixed-step clock: from now on the counter reads frame x step.
    void setClockFrame(int64_t frame) { clockFrame = frame; }
    // The window createWindow made (null before).
    virtual platform::HWND mainWindow() const = 0;
    // Queues WM_KEYDOWN for a key named as the accelerator table names it.
    virtual void postKey(platform::HWND window, const std::string& keyName) = 0;
    // Moves the pointer by (dx, dy) as the user's hand would.
    virtual void movePointer(int32_t dx, int32_t dy) {
        const platform::POINT cursor = getCursorPos();
        setCursorPos(cursor.x + dx, cursor.y + dy);
    }

    // ---- clocks: the fixed step.  The counter ticks `numerator` per frame
    // at `denominator` ticks a second, so frame N reads exactly N x step and
    // every interval is exactly one step.
    bool queryPerformanceFrequency(int64_t* frequency) final {
        *frequency = step.denominator;
        return true;
    }
    bool queryPerformanceCounter(int64_t* counter) final {
        *counter = clockFrame * step.numerator;
        return true;
    }
    uint32_t timeGetTime() final {
        // Wide enough for the longest steps; the millisecond clock wraps as a
        // 32-bit one does.
        __extension__ const __int128 ticks = (__int128)clockFrame * step.numerator * 1000;
        return uint32_t(int64_t(ticks / step.denominator));
    }

protected:
    // For peekMessage and getMessage of the implementations: what the hook
    // returned (false: nothing was posted, the loop may draw a frame).
    bool runIdle() { return idle && idle(*this); }

private:
    FrameStep step;
    int64_t clockFrame = 0;
};

} // namespace headless
