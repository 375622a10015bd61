// Command-line parsing of orbivista-render (see RunOptions.h).
#include "RunOptions.h"

#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <sstream>

namespace headless {
namespace {

// A whole decimal number in [low, high], nothing else around it.
std::optional<int64_t> parseInteger(const std::string& text, int64_t low, int64_t high) {
    if (text.empty()) return std::nullopt;
    size_t start = (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (start == text.size()) return std::nullopt;
    for (size_t i = start; i < text.size(); ++i)
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    errno = 0;
    char* end = nullptr;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (errno == ERANGE || *end != '\0' || value < low || value > high) return std::nullopt;
    return value;
}

int64_t greatestCommonDivisor(int64_t a, int64_t b) {
    while (b != 0) {
        const int64_t r = a % b;
        a = b;
        b = r;
    }
    return a;
}

std::vector<std::string> splitTokens(const std::string& text) {
    std::vector<std::string> tokens;
    std::istringstream stream(text);
    for (std::string token; stream >> token;)
        tokens.push_back(token);
    return tokens;
}

bool startsWith(const std::string& text, const char* prefix) {
    return text.rfind(prefix, 0) == 0;
}

// The largest back buffer the runner asks for: GL's usual texture limit.
constexpr int64_t maxSide = 16384;
// More frames than anyone renders headless; keeps N x step far from overflow.
constexpr int64_t maxFrames = 10'000'000;
// Wheel notches in one token.
constexpr int64_t maxNotches = 1000;
constexpr int64_t maxDrag = 100000;

// The longest step: a million seconds a frame.
constexpr int64_t maxStepSeconds = 1'000'000;
// The clock reads frame x numerator ticks: with at most maxFrames frames
// (and the few a script adds) that stays well inside 64 bits.
constexpr int64_t maxStepNumerator = 500'000'000'000;

// Exact non-negative fractions for the search below; a zero denominator is
// infinity.  A double step in range is m / 2^k with m < 2^53 and k < 128, and
// every number the search makes is at most one of those.
__extension__ typedef unsigned __int128 Wide;
struct Ratio {
    Wide num = 0, den = 1;
};

// The fraction with the smallest denominator (then numerator) strictly
// between low and high, 0 <= low < high.
Ratio simplestBetween(Ratio low, Ratio high) {
    const Wide floorLow = low.num / low.den;
    // An integer above low and below high.
    if (high.den == 0 || Wide(floorLow + 1) * high.den < high.num) return {floorLow + 1, 1};
    // low and high share their whole part w: w + 1 / simplest(1/(high-w), 1/(low-w)).
    const Ratio lowRest{low.num - floorLow * low.den, low.den};
    const Ratio highRest{high.num - floorLow * high.den, high.den};
    const Ratio inner = simplestBetween({highRest.den, highRest.num}, {lowRest.den, lowRest.num});
    return {floorLow * inner.num + inner.den, inner.num};
}

// The simplest fraction that rounds to the double seconds (anything strictly
// within half a unit in the last place of it); nullopt when the fraction is
// out of the clock's range.
std::optional<FrameStep> simplestFractionOf(double seconds) {
    int exponent = 0;
    // seconds = mantissa x 2^exponent with mantissa in [0.5, 1), so
    // seconds = m / 2^(shift - 1) with the whole number m < 2^53.
    const double mantissa = std::frexp(seconds, &exponent);
    const int shift = 54 - exponent;
    if (shift > 126) return std::nullopt;
    const auto m = Wide(std::ldexp(mantissa, 53));
    const Wide den = Wide(1) << shift;
    // The neighbours of seconds are m +- 1 over 2^(shift-1), so half-way is
    // 2m +- 1 over 2^shift; below a power of two the lower neighbour is half
    // as far.
    const bool powerOfTwo = m == Wide(1) << 52;
    const Ratio low = powerOfTwo ? Ratio{4 * m - 1, 2 * den} : Ratio{2 * m - 1, den};
    const Ratio found = simplestBetween(low, {2 * m + 1, den});
    if (found.num == 0 || found.num > Wide(maxStepNumerator) ||
        found.den > Wide(std::numeric_limits<int64_t>::max()))
        return std::nullopt;
    return FrameStep{int64_t(found.num), int64_t(found.den)};
}

} // namespace

std::optional<FrameStep> parseFrameStep(const std::string& text) {
    const size_t slash = text.find('/');
    if (slash != std::string::npos) {
        auto p = parseInteger(text.substr(0, slash), 1, 1'000'000'000);
        auto q = parseInteger(text.substr(slash + 1), 1, 1'000'000'000);
        if (!p || !q || text[0] == '+' || text[slash + 1] == '+') return std::nullopt;
        const int64_t g = greatestCommonDivisor(*p, *q);
        return FrameStep{*p / g, *q / g};
    }
    // A plain decimal: digits with at most one point, then maybe an exponent.
    const size_t exponent = text.find_first_of("eE");
    const std::string mantissa = text.substr(0, exponent);
    const size_t point = mantissa.find('.');
    const std::string whole = mantissa.substr(0, point);
    const std::string decimals = point == std::string::npos ? "" : mantissa.substr(point + 1);
    if (whole.empty() && decimals.empty()) return std::nullopt;
    for (char c : whole + decimals)
        if (c < '0' || c > '9') return std::nullopt;
    if (exponent != std::string::npos) {
        const std::string power = text.substr(exponent + 1);
        if (!parseInteger(power, -9999, 9999)) return std::nullopt;
    }
    // Up to nine decimals and no exponent: the decimal itself, exactly.
    if (exponent == std::string::npos && decimals.size() <= 9) {
        int64_t denominator = 1;
        for (size_t i = 0; i < decimals.size(); ++i)
            denominator *= 10;
        const auto numerator = parseInteger(whole + decimals, 0, 1'000'000'000'000'000LL);
        if (!numerator || *numerator == 0) return std::nullopt;
        const int64_t g = greatestCommonDivisor(*numerator, denominator);
        const FrameStep exact{*numerator / g, denominator / g};
        if (exact.numerator > maxStepSeconds * exact.denominator) return std::nullopt;
        if (exact.numerator <= maxStepNumerator) return exact;
    }
    // Anything longer is read to a double's precision.
    const double seconds = std::strtod(text.c_str(), nullptr);
    if (!std::isfinite(seconds) || seconds <= 0 || seconds > double(maxStepSeconds))
        return std::nullopt;
    return simplestFractionOf(seconds);
}

std::optional<InputToken> parseInputToken(const std::string& text, std::string* error) {
    InputToken token;
    token.text = text;
    // Wheel and drag words are matched without regard to case, as key names are.
    std::string lower = text;
    for (char& c : lower)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    const bool control = startsWith(lower, "ctrl+wheel");
    const std::string rest = control ? lower.substr(5) : lower;
    if (startsWith(rest, "wheel")) {
        const std::string count = rest.substr(5);
        auto notches = count.size() > 1 && (count[0] == '+' || count[0] == '-')
                           ? parseInteger(count, -maxNotches, maxNotches)
                           : std::nullopt;
        if (!notches || *notches == 0) {
            *error = "\"" + text +
                     "\": a wheel token is Wheel+N, Wheel-N or Ctrl+Wheel+N with N "
                     "from 1 to 1000 notches";
            return std::nullopt;
        }
        token.kind = InputToken::Kind::Wheel;
        token.notches = int32_t(*notches);
        token.control = control;
        return token;
    }
    if (startsWith(lower, "drag:")) {
        const std::string movement = lower.substr(5);
        const size_t comma = movement.find(',');
        auto dx = comma == std::string::npos
                      ? std::nullopt
                      : parseInteger(movement.substr(0, comma), -maxDrag, maxDrag);
        auto dy = comma == std::string::npos
                      ? std::nullopt
                      : parseInteger(movement.substr(comma + 1), -maxDrag, maxDrag);
        if (!dx || !dy) {
            *error = "\"" + text + "\": a drag token is Drag:DX,DY with whole pixel numbers";
            return std::nullopt;
        }
        token.kind = InputToken::Kind::Drag;
        token.dx = int32_t(*dx);
        token.dy = int32_t(*dy);
        return token;
    }
    if (text.empty()) {
        *error = "an empty key name";
        return std::nullopt;
    }
    token.kind = InputToken::Kind::Key;
    token.key = text;
    return token;
}

ParseResult parseRunOptions(const std::vector<std::string>& arguments) {
    RunOptions options;
    ParseResult result;
    auto fail = [&result](const std::string& message) {
        result.error = message;
        return result;
    };
    // Input before frame `frame`, in the order given; checked once --frames is known.
    struct PendingInput {
        int64_t frame;
        std::string script;
        std::string option;
    };
    std::vector<PendingInput> pending;

    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        auto value = [&](std::string* out) {
            if (i + 1 >= arguments.size()) return false;
            *out = arguments[++i];
            return true;
        };
        std::string text;
        if (argument == "--help" || argument == "-h") {
            options.help = true;
        } else if (argument == "--bench") {
            options.bench = true;
        } else if (argument == "--window") {
            options.window = true;
        } else if (argument == "--device") {
            if (!value(&text) || (text != "gl" && text != "recording"))
                return fail("--device needs gl or recording");
            options.recordingDevice = text == "recording";
        } else if (argument == "--memory-every") {
            if (!value(&text)) return fail("--memory-every needs a number of frames");
            auto n = parseInteger(text, 1, maxFrames);
            if (!n || text[0] == '+')
                return fail("--memory-every " + text +
                            ": expected a whole number of frames from 1 to 10000000");
            options.memoryEvery = int32_t(*n);
        } else if (argument == "--size") {
            if (!value(&text)) return fail("--size needs a value WxH");
            const size_t x = text.find('x');
            auto w =
                x == std::string::npos ? std::nullopt : parseInteger(text.substr(0, x), 1, maxSide);
            auto h = x == std::string::npos ? std::nullopt
                                            : parseInteger(text.substr(x + 1), 1, maxSide);
            if (!w || !h || text[0] == '+' || text[x + 1] == '+')
                return fail("--size " + text +
                            ": expected WxH with sides from 1 to 16384, "
                            "e.g. 800x600");
            options.width = int32_t(*w);
            options.height = int32_t(*h);
        } else if (argument == "--frames") {
            if (!value(&text)) return fail("--frames needs a number");
            auto n = parseInteger(text, 1, maxFrames);
            if (!n || text[0] == '+')
                return fail("--frames " + text +
                            ": expected a whole number "
                            "from 1 to 10000000");
            options.frames = int32_t(*n);
        } else if (argument == "--step") {
            if (!value(&text)) return fail("--step needs a value in seconds");
            auto step = parseFrameStep(text);
            if (!step)
                return fail("--step " + text +
                            ": expected positive seconds per frame, as a "
                            "decimal (0.02) or a fraction (1/60)");
            options.step = *step;
        } else if (argument == "--workdir") {
            if (!value(&options.workdir) || options.workdir.empty())
                return fail("--workdir needs a folder");
        } else if (argument == "--settings") {
            if (!value(&options.settingsFile) || options.settingsFile.empty())
                return fail("--settings needs a file");
        } else if (argument == "--keys") {
            if (!value(&text)) return fail("--keys needs a list of keys");
            pending.push_back({1, text, "--keys"});
        } else if (argument == "--at") {
            if (!value(&text)) return fail("--at needs N:\"keys\"");
            const size_t colon = text.find(':');
            auto n = colon == std::string::npos ? std::nullopt
                                                : parseInteger(text.substr(0, colon), 1, maxFrames);
            if (!n || text[0] == '+')
                return fail("--at " + text + ": expected N:\"keys\" with a frame number N >= 1");
            pending.push_back({*n, text.substr(colon + 1), "--at " + text.substr(0, colon)});
        } else if (argument == "--out") {
            if (!value(&options.outImage) || options.outImage.empty())
                return fail("--out needs a file name");
        } else if (argument == "--state") {
            if (!value(&options.outState) || options.outState.empty())
                return fail("--state needs a file name");
        } else {
            return fail("unknown argument \"" + argument + "\" (see --help)");
        }
    }

    if (options.window && options.recordingDevice)
        return fail("--device recording draws nothing: it does not go with --window");
    for (const PendingInput& input : pending) {
        if (input.frame > options.frames)
            return fail(input.option + ": frame " + std::to_string(input.frame) +
                        " is after the last frame (" + std::to_string(options.frames) + ")");
        FrameInput frameInput;
        frameInput.frame = int32_t(input.frame);
        for (const std::string& word : splitTokens(input.script)) {
            std::string error;
            auto token = parseInputToken(word, &error);
            if (!token) return fail(input.option + ": " + error);
            frameInput.tokens.push_back(*token);
        }
        if (frameInput.tokens.empty()) return fail(input.option + ": no keys given");
        options.inputs.push_back(frameInput);
    }
    result.options = options;
    return result;
}

const char* usageText() {
    return "usage: orbivista-render [options]\n"
           "Runs Orbivista without a window: a fixed frame step, scripted input, the back\n"
           "buffer as PNG, the application state as JSON and frame timings.\n"
           "\n"
           "  --size WxH          back buffer in pixels (default 800x600)\n"
           "  --frames N          frames to produce (default 1)\n"
           "  --step S            application seconds per frame, a decimal (0.02, 1e-3) or\n"
           "                      a fraction p/q (default 1/60), at most 1000000\n"
           "  --workdir DIR       folder of sao.pc and ppm.pc (default the current folder)\n"
           "  --settings FILE     settings store to read and write (default a fresh one)\n"
           "  --keys \"K K ...\"    input before the first frame\n"
           "  --at N:\"K K ...\"    input before frame N\n"
           "  --out FILE.png      the back buffer after the last frame\n"
           "  --state FILE.json   the state after the last frame\n"
           "  --bench             frame timings and peak memory on standard output\n"
           "  --window            run in a real window (for timings there) instead of off\n"
           "                      screen; the window opens at --size\n"
           "  --device KIND       gl (default), or recording: the recording device, which\n"
           "                      draws nothing (no GL)\n"
           "  --memory-every N    resident memory and heap figures every N frames\n"
           "\n"
           "Keys are named as in the accelerator table: 1..9, Ctrl+1.., Alt+1.., F3..F6, Up,\n"
           "Ctrl+Down, Right, Ctrl+Left, Pause, R, P, O, S, L, M, Ctrl+T, Ctrl+W, Ctrl+Alt+D.\n"
           "Wheel+N, Wheel-N and Ctrl+Wheel+N turn the wheel by N notches; Drag:DX,DY holds\n"
           "the right button, moves the cursor by (DX, DY), runs a frame and lets go.\n"
           "Keys that open a dialog or change the display (F1, F2, Alt+Return) and the exit\n"
           "keys are refused.  Bad arguments exit with status 2.\n"
           "\n"
           "The step is kept as a fraction p/q, and the program's clock counts q ticks a\n"
           "second and p ticks a frame, so frame N is at exactly N x p/q seconds however\n"
           "many microseconds that is: 1/60 never drifts.  A fraction is kept as written\n"
           "(reduced); a decimal of up to nine places is kept exactly (0.02 is 1/50); a\n"
           "longer one, or one with an exponent, is read to a double's precision (further\n"
           "digits round) and kept as the simplest fraction that rounds to that double:\n"
           "0.016666666666666666 is 1/60, 0.33333333333333331 is 1/3.\n";
}

} // namespace headless
