// The scripted input and frame sequence of a headless run (see InputScript.h).
#include "InputScript.h"

#include "app/CommandIds.h"
#include "platform/KeyNames.h"

#include <algorithm>
#include <cstdlib>

namespace headless {
namespace {

constexpr int16_t wheelNotch = 120;

// Commands the runner cannot carry out: it has no desktop for dialogs and no
// display to switch, and it ends the program itself after the last frame.
const char* refusalFor(uint32_t command) {
    switch (command) {
    case app::ID_ABOUT:
        return "opens the modal About dialog";
    case app::ID_CHANGE_DEVICE:
        return "opens the modal Select Device dialog";
    case app::ID_TOGGLE_FULLSCREEN:
        return "switches the display between window and full screen";
    case app::ID_EXIT:
        return "ends the program (the run closes it after its last frame)";
    default:
        return nullptr;
    }
}

} // namespace

std::optional<InputScript> InputScript::build(const RunOptions& options,
                                              const platform::AcceleratorTable& accelerators,
                                              std::string* error) {
    InputScript script;
    script.frames = options.frames;
    script.actions.resize(size_t(options.frames) + 1);
    for (const FrameInput& input : options.inputs) {
        // A drag's button comes up before the frame after the one it ran in.
        std::vector<ScriptAction>& here = script.actions[size_t(input.frame - 1)];
        std::vector<ScriptAction>& next = script.actions[size_t(input.frame)];
        for (const InputToken& token : input.tokens) {
            switch (token.kind) {
            case InputToken::Kind::Key: {
                const QString name = platform::canonicalKeyName(QString::fromStdString(token.key));
                const std::optional<uint32_t> command =
                    name.isEmpty() ? std::nullopt : accelerators.commandFor(name);
                if (!command) {
                    *error = "\"" + token.text + "\" is not a key of the accelerator table";
                    return std::nullopt;
                }
                if (const char* refusal = refusalFor(*command)) {
                    *error =
                        "\"" + token.text + "\" " + refusal + ", which a headless run cannot do";
                    return std::nullopt;
                }
                const std::string canonical = name.toStdString();
                auto known = std::find(script.keyNames.begin(), script.keyNames.end(), canonical);
                if (known == script.keyNames.end())
                    known = script.keyNames.insert(known, canonical);
                ScriptAction action;
                action.kind = ScriptAction::Kind::Key;
                action.key = uint16_t(known - script.keyNames.begin());
                here.push_back(action);
                break;
            }
            case InputToken::Kind::Wheel:
                for (int32_t n = 0; n < std::abs(token.notches); ++n) {
                    ScriptAction action;
                    action.kind = ScriptAction::Kind::Wheel;
                    action.wheelDelta = token.notches > 0 ? wheelNotch : int16_t(-wheelNotch);
                    action.control = token.control;
                    here.push_back(action);
                }
                break;
            case InputToken::Kind::Drag: {
                ScriptAction down;
                down.kind = ScriptAction::Kind::ButtonDown;
                here.push_back(down);
                ScriptAction move;
                move.kind = ScriptAction::Kind::MoveCursor;
                move.dx = token.dx;
                move.dy = token.dy;
                here.push_back(move);
                ScriptAction up;
                up.kind = ScriptAction::Kind::ButtonUp;
                next.insert(next.begin(), up);
                break;
            }
            }
        }
    }
    return script;
}

bool InputScript::idle(ScriptedPlatform& platform) {
    if (closing) return false;
    if (frameOpen) {
        // The loop has had its chance to draw the frame the clock was set to.
        frameOpen = false;
        if (framesRendered && framesRendered() < started) {
            failed = "frame " + std::to_string(started) + " was not produced";
            finish(platform);
            return true;
        }
        if (frameDone) frameDone(started);
    }
    std::vector<ScriptAction>& pending = actions[size_t(started)];
    if (delivered < pending.size()) {
        deliver(platform, pending[delivered++]);
        return true;
    }
    if (started < frames) {
        std::vector<ScriptAction>().swap(pending);
        delivered = 0;
        ++started;
        frameOpen = true;
        platform.setClockFrame(started);
        if (frameStarting) frameStarting(started);
        return false; // an empty queue: the loop produces the frame
    }
    finish(platform);
    return true;
}

void InputScript::finish(ScriptedPlatform& platform) {
    closing = true;
    if (finished) finished();
    platform.postMessage(platform.mainWindow(), platform::WM_CLOSE, 0, 0);
}

void InputScript::deliver(ScriptedPlatform& platform, const ScriptAction& action) {
    const platform::HWND window = platform.mainWindow();
    const platform::POINT cursor = platform.getCursorPos();
    const platform::POINT client = platform.screenToClient(window, cursor);
    const intptr_t clientPosition = platform::MAKELPARAM(client.x, client.y);
    switch (action.kind) {
    case ScriptAction::Kind::Key:
        platform.postKey(window, keyNames[action.key]);
        break;
    case ScriptAction::Kind::Wheel:
        // The wheel message carries screen coordinates.
        platform.postMessage(window, platform::WM_MOUSEWHEEL,
                             platform::MAKEWPARAM(action.control ? platform::MK_CONTROL : 0,
                                                  uint16_t(action.wheelDelta)),
                             platform::MAKELPARAM(cursor.x, cursor.y));
        break;
    case ScriptAction::Kind::ButtonDown:
        platform.postMessage(window, platform::WM_RBUTTONDOWN, platform::MK_RBUTTON,
                             clientPosition);
        break;
    case ScriptAction::Kind::MoveCursor: {
        // Runs after the button-down was handled: the cursor stands on the
        // drag origin the application put it on (or, where the pointer
        // cannot be set, where it was).
        platform.movePointer(action.dx, action.dy);
        const platform::POINT moved = platform.screenToClient(window, platform.getCursorPos());
        platform.postMessage(window, platform::WM_MOUSEMOVE, platform::MK_RBUTTON,
                             platform::MAKELPARAM(moved.x, moved.y));
        break;
    }
    case ScriptAction::Kind::ButtonUp:
        platform.postMessage(window, platform::WM_RBUTTONUP, 0, clientPosition);
        break;
    }
}

} // namespace headless
