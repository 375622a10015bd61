// The command line of orbivista-render: what to run, what input to give
// before which frame, and what to write afterwards.
//
// Parsing is pure: it checks the syntax of every argument and of every input
// token; whether a key name is in the accelerator table is checked later,
// against the table the program really loads (InputScript.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace headless {

// Application seconds per frame as an exact fraction, so that frame N can be
// placed at exactly N x numerator / denominator seconds.
struct FrameStep {
    int64_t numerator = 1;
    int64_t denominator = 60;
    double seconds() const { return double(numerator) / double(denominator); }
};

// One input token of --keys / --at, still unchecked against the table.
struct InputToken {
    enum class Kind { Key, Wheel, Drag };
    Kind kind = Kind::Key;
    std::string key;     // Key: the name as written ("Ctrl+1", "F3")
    int32_t notches = 0; // Wheel: signed notch count, + is forward (zoom in)
    bool control = false;
    int32_t dx = 0, dy = 0; // Drag: cursor movement from the drag origin, pixels
    std::string text;       // the token as written, for messages
};

// The input delivered before one frame (1-based).
struct FrameInput {
    int32_t frame = 1;
    std::vector<InputToken> tokens;
};

struct RunOptions {
    int32_t width = 800, height = 600; // back buffer
    int32_t frames = 1;
    FrameStep step;
    std::string workdir = ".";      // where sao.pc and ppm.pc are looked up
    std::string settingsFile;       // empty: a fresh temporary store
    std::vector<FrameInput> inputs; // in command-line order
    std::string outImage;           // PNG of the back buffer after the last frame
    std::string outState;           // JSON of the state after the last frame
    bool bench = false;
    bool window = false; // a real window instead of the off-screen back buffer
    // Draw through the recording device instead of GL (nothing is drawn; for
    // telling the program's own memory from the driver's).
    bool recordingDevice = false;
    int32_t memoryEvery = 0; // > 0: a memory line on standard output every N frames
    bool help = false;
};

struct ParseResult {
    std::optional<RunOptions> options; // set when the command line is sound
    std::string error;                 // why not, otherwise
};

ParseResult parseRunOptions(const std::vector<std::string>& arguments);

// "Wheel+3", "Drag:10,-4", "Ctrl+1" ...; the error says why a token is not one.
std::optional<InputToken> parseInputToken(const std::string& text, std::string* error);
std::optional<FrameStep> parseFrameStep(const std::string& text);

const char* usageText();

} // namespace headless
