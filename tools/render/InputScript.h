// The scripted input of a headless run, and the frame sequence around it.
//
// The script is the platform's idle hook: each time the message loop finds
// the queue empty it posts the next input meant for the coming frame (keys
// as WM_KEYDOWN for the accelerator table, wheel notches, right-button
// drags), and when nothing is left it advances the fixed-step clock by one
// frame and lets the loop produce it.  After the last frame it releases a
// held button, reports the end and closes the window, which runs the
// program's normal shutdown (settings written).
#pragma once

#include "RunOptions.h"
#include "ScriptedPlatform.h"

#include "platform/Accelerators.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace headless {

struct ScriptAction {
    enum class Kind : uint8_t { Key, Wheel, ButtonDown, MoveCursor, ButtonUp };
    Kind kind = Kind::Key;
    uint16_t key = 0;       // Key: index into the script's key names
    int16_t wheelDelta = 0; // Wheel: one notch, +120 or -120
    bool control = false;   // Wheel: MK_CONTROL held
    int32_t dx = 0, dy = 0; // MoveCursor
};

class InputScript {
public:
    // Checks every key against the program's accelerator table; nullopt
    // with the reason for a key that is not in it or that would open a
    // dialog, change the display or end the program.
    static std::optional<InputScript> build(const RunOptions& options,
                                            const platform::AcceleratorTable& accelerators,
                                            std::string* error);

    // Hooks of the frame sequence.
    std::function<int32_t()> framesRendered;          // frames the application drew so far
    std::function<void(int32_t frame)> frameStarting; // the clock reads this frame's time
    std::function<void(int32_t frame)> frameDone;     // the frame has been presented
    std::function<void()> finished;                   // after the last frame, before closing

    // The idle hook (ScriptedPlatform::idle).
    bool idle(ScriptedPlatform& platform);

    int32_t framesStarted() const { return started; }
    // Set when a frame the clock was advanced for was not drawn.
    const std::string& failure() const { return failed; }

private:
    void deliver(ScriptedPlatform& platform, const ScriptAction& action);
    void finish(ScriptedPlatform& platform);

    int32_t frames = 1;
    // The canonical accelerator names the keys of the script use, each once:
    // a burst of clock keys in a long run is many thousands of actions.
    std::vector<std::string> keyNames;
    // actions[k]: before frame k + 1; actions[frames]: after the last frame.
    // Most frames have none, and an empty vector allocates nothing, so a
    // long run costs a few bytes a frame; a frame's list is freed once done.
    std::vector<std::vector<ScriptAction>> actions;
    size_t delivered = 0; // of actions[started]
    int32_t started = 0;
    bool frameOpen = false; // a frame was started and not yet checked
    bool closing = false;
    std::string failed;
};

} // namespace headless
