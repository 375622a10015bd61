// The pieces of orbivista-render that need no GL: the command line, the
// fixed-step clock under the framework's timer, the menu model and the
// input script's order of messages and frames.
#include "HeadlessMenu.h"
#include "HeadlessPlatform.h"
#include "InputScript.h"
#include "RunOptions.h"
#include "StateReport.h"

#include "framework/FrameTimer.h"
#include "resources/Resources.h"

#include <QJsonDocument>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using headless::parseRunOptions;
using headless::RunOptions;

RunOptions parsed(const std::vector<std::string>& arguments) {
    const headless::ParseResult result = parseRunOptions(arguments);
    EXPECT_TRUE(result.options) << result.error;
    return result.options.value_or(RunOptions{});
}

std::string refusal(const std::vector<std::string>& arguments) {
    const headless::ParseResult result = parseRunOptions(arguments);
    EXPECT_FALSE(result.options);
    return result.error;
}

TEST(RunOptions, DefaultsAndValues) {
    const RunOptions defaults = parsed({});
    EXPECT_EQ(defaults.width, 800);
    EXPECT_EQ(defaults.height, 600);
    EXPECT_EQ(defaults.frames, 1);
    EXPECT_EQ(defaults.step.numerator, 1);
    EXPECT_EQ(defaults.step.denominator, 60);
    EXPECT_EQ(defaults.workdir, ".");

    const RunOptions o = parsed({"--size", "320x200", "--frames", "5", "--step", "0.25", "--at",
                                 "4:L Pause", "--keys", "6", "--bench"});
    EXPECT_EQ(o.width, 320);
    EXPECT_EQ(o.height, 200);
    EXPECT_EQ(o.frames, 5);
    EXPECT_EQ(o.step.numerator, 1);
    EXPECT_EQ(o.step.denominator, 4);
    EXPECT_TRUE(o.bench);
    ASSERT_EQ(o.inputs.size(), 2u);
    EXPECT_EQ(o.inputs[0].frame, 4); // command-line order; --at may come before --frames
    EXPECT_EQ(o.inputs[0].tokens.size(), 2u);
    EXPECT_EQ(o.inputs[1].frame, 1);
}

TEST(RunOptions, StepsAreExactFractions) {
    auto step = headless::parseFrameStep("1/60");
    ASSERT_TRUE(step);
    EXPECT_EQ(step->denominator, 60);
    step = headless::parseFrameStep("0.020");
    ASSERT_TRUE(step);
    EXPECT_EQ(step->numerator, 1);
    EXPECT_EQ(step->denominator, 50);
    step = headless::parseFrameStep("2");
    ASSERT_TRUE(step);
    EXPECT_EQ(step->numerator, 2);
    EXPECT_EQ(step->denominator, 1);
    for (const char* bad : {"0", "0.0", "-1", "1/0", "x", "", ".", "+1/2", "1e", "1e+", "0x1p-4",
                            "inf", "nan", "1.5.2", "1000000.5", "2e6", "1e-30", "0e5"})
        EXPECT_FALSE(headless::parseFrameStep(bad)) << bad;
}

// A script prints 1/60 with all of a double's digits; longer decimals and
// exponents are read to a double's precision and kept as the simplest
// fraction of that double, so the clock still reads whole frames exactly.
TEST(RunOptions, LongDecimalStepsRoundToTheirDouble) {
    struct Case {
        const char* text;
        int64_t numerator, denominator;
    };
    for (const Case& c :
         {Case{"0.016666666666666666", 1, 60}, Case{"0.0166666666666666667", 1, 60},
          Case{"0.33333333333333331", 1, 3}, Case{"1e-3", 1, 1000},
          Case{"0.0000000001", 1, 10'000'000'000}, Case{"0.10000000000000000001", 1, 10},
          Case{"2.5E1", 25, 1}, Case{"1000000.0000000000", 1'000'000, 1}}) {
        const auto step = headless::parseFrameStep(c.text);
        ASSERT_TRUE(step) << c.text;
        EXPECT_EQ(step->numerator, c.numerator) << c.text;
        EXPECT_EQ(step->denominator, c.denominator) << c.text;
    }
    // Digits no double holds: some fraction of that double, never a refusal.
    const auto step = headless::parseFrameStep("0.012345678901234567890123");
    ASSERT_TRUE(step);
    EXPECT_EQ(step->seconds(), 0.012345678901234567890123);
    EXPECT_NE(parseRunOptions({"--step", "0.016666666666666666"}).options, std::nullopt);
}

TEST(RunOptions, BadArgumentsAreNamed) {
    EXPECT_NE(refusal({"--size", "0x10"}).find("--size"), std::string::npos);
    EXPECT_NE(refusal({"--size", "800"}).find("WxH"), std::string::npos);
    EXPECT_NE(refusal({"--frames", "0"}).find("--frames"), std::string::npos);
    EXPECT_NE(refusal({"--frames"}).find("--frames"), std::string::npos);
    EXPECT_NE(refusal({"--at", "3:L"}).find("after the last frame"), std::string::npos);
    EXPECT_NE(refusal({"--at", "0:L"}).find("--at"), std::string::npos);
    EXPECT_NE(refusal({"--keys", ""}).find("no keys"), std::string::npos);
    EXPECT_NE(refusal({"--keys", "Wheel+"}).find("Wheel"), std::string::npos);
    EXPECT_NE(refusal({"--keys", "Drag:1,x"}).find("Drag"), std::string::npos);
    EXPECT_NE(refusal({"--nonsense"}).find("--nonsense"), std::string::npos);
}

TEST(RunOptions, InputTokens) {
    std::string error;
    auto wheel = headless::parseInputToken("Ctrl+Wheel-3", &error);
    ASSERT_TRUE(wheel);
    EXPECT_EQ(wheel->kind, headless::InputToken::Kind::Wheel);
    EXPECT_EQ(wheel->notches, -3);
    EXPECT_TRUE(wheel->control);
    auto drag = headless::parseInputToken("Drag:-20,7", &error);
    ASSERT_TRUE(drag);
    EXPECT_EQ(drag->dx, -20);
    EXPECT_EQ(drag->dy, 7);
    auto key = headless::parseInputToken("Ctrl+W", &error); // not a wheel
    ASSERT_TRUE(key);
    EXPECT_EQ(key->kind, headless::InputToken::Kind::Key);
}

TEST(HeadlessMenu, ItemsChecksAndGrayedStates) {
    const QJsonDocument document = QJsonDocument::fromJson(R"({"popups": [
        {"text": "&A", "items": [{"id": 1, "text": "One\tF3", "checked": true},
                                 {"separator": true},
                                 {"text": "Sub", "items": [{"id": 2, "text": "Two", "grayed": true}]}]},
        {"text": "&B", "items": [{"id": 3, "text": "Three"}]}]})");
    std::string error;
    auto menu = headless::HeadlessMenu::build(document, &error);
    ASSERT_TRUE(menu) << error;
    ASSERT_EQ(menu->items().size(), 3u);
    EXPECT_TRUE(menu->items()[0].checked);
    EXPECT_FALSE(menu->items()[1].enabled);
    EXPECT_TRUE(menu->items()[2].enabled);
    menu->setText(3, "Drei");
    menu->setChecked(1, false);
    menu->setEnabled(2, true);
    menu->setChecked(99, true); // unknown ids change nothing
    EXPECT_EQ(menu->items()[2].text, "Drei");
    EXPECT_FALSE(menu->items()[0].checked);
    EXPECT_TRUE(menu->items()[1].enabled);

    EXPECT_FALSE(
        headless::HeadlessMenu::build(QJsonDocument::fromJson(R"({"popups": 3})"), &error));
    EXPECT_FALSE(headless::HeadlessMenu::build(
        QJsonDocument::fromJson(R"({"popups": [{"items": [{"text": "no id"}]}]})"), &error));
}

TEST(HeadlessPlatform, FrameNReadsNTimesTheStep) {
    headless::HeadlessPlatform platform(64, 48, headless::FrameStep{1, 60}, "");
    framework::frameTimerUseClock(&platform);
    framework::FrameTimer(framework::TimerCommand::Start);
    for (int64_t frame = 1; frame <= 120; ++frame) {
        platform.setClockFrame(frame);
        EXPECT_EQ(framework::FrameTimer(framework::TimerCommand::ReadAppTime),
                  double(frame) / 60.0);
        EXPECT_EQ(framework::FrameTimer(framework::TimerCommand::ReadElapsedTime), 1.0 / 60.0);
    }
    // A pause between frames takes no application time.
    framework::FrameTimer(framework::TimerCommand::Stop);
    framework::FrameTimer(framework::TimerCommand::Start);
    platform.setClockFrame(121);
    EXPECT_EQ(framework::FrameTimer(framework::TimerCommand::ReadAppTime), 121.0 / 60.0);
    framework::frameTimerUseClock(nullptr);
}

// Stands in for the application: records messages, and answers the right
// button as mouse-look does (the cursor jumps to the drag origin).
class RecordingHandler : public platform::MessageHandler {
public:
    explicit RecordingHandler(headless::HeadlessPlatform& platform) : platform(platform) {}
    intptr_t handleMessage(platform::HWND, uint32_t message, uintptr_t wParam, intptr_t) override {
        std::string entry = std::to_string(message);
        if (message == platform::WM_COMMAND)
            entry += " " + std::to_string(platform::LOWORD(wParam));
        if (message == platform::WM_MOUSEWHEEL)
            entry += " " + std::to_string(platform::GET_WHEEL_DELTA_WPARAM(wParam)) +
                     (platform::LOWORD(wParam) & platform::MK_CONTROL ? " ctrl" : "");
        if (message == platform::WM_RBUTTONDOWN) platform.setCursorPos(100, 100);
        if (message == platform::WM_MOUSEMOVE) {
            const platform::POINT p = platform.getCursorPos();
            entry += " " + std::to_string(p.x) + "," + std::to_string(p.y);
        }
        log.push_back(entry);
        return 0;
    }
    headless::HeadlessPlatform& platform;
    std::vector<std::string> log;
};

// Runs the loop as the framework does until the window is closed; a frame
// is "drawn" whenever peekMessage finds nothing.
std::vector<std::string> runScript(const std::vector<std::string>& arguments,
                                   std::string* error = nullptr) {
    orbivistaInitResources();
    const RunOptions options = parsed(arguments);
    headless::HeadlessPlatform platform(200, 200, options.step, "");
    RecordingHandler handler(platform);
    platform::WindowDescription description;
    const platform::HWND window = platform.createWindow(description, &handler);
    EXPECT_TRUE(platform.loadAccelerators(113));
    platform::AcceleratorTable accelerators;
    EXPECT_TRUE(accelerators.load(":/ACCELERATORS/113"));
    std::string reason;
    auto script = headless::InputScript::build(options, accelerators, &reason);
    if (error) *error = reason;
    if (!script) return {};
    int32_t drawn = 0;
    script->framesRendered = [&] { return drawn; };
    script->frameStarting = [&](int32_t frame) {
        handler.log.push_back("frame " + std::to_string(frame));
    };
    script->finished = [&] { handler.log.push_back("finished"); };
    platform.idle = [&](headless::ScriptedPlatform& p) { return script->idle(p); };
    for (int guard = 0; guard < 1000; ++guard) {
        platform::Message message;
        if (!platform.peekMessage(&message, true)) {
            ++drawn;
            continue;
        }
        if (message.message == platform::WM_QUIT) break;
        if (message.message == platform::WM_CLOSE) {
            handler.log.push_back("close");
            platform.postQuitMessage(0);
            continue;
        }
        if (!platform.translateAccelerator(window, message)) platform.dispatchMessage(message);
    }
    return handler.log;
}

TEST(InputScript, KeysWheelAndDragInFrameOrder) {
    const std::vector<std::string> log =
        runScript({"--frames", "3", "--keys", "6 Ctrl+1", "--at", "2:Wheel-2 Drag:5,-3", "--at",
                   "3:ctrl+wheel+1"});
    const std::vector<std::string> expected = {
        "273 40016",    "273 40021", "frame 1",    "522 -120",
        "522 -120",     "516",       "512 105,97", "frame 2",
        "517", // the drag's button comes up after the frame it ran in
        "522 120 ctrl", "frame 3",   "finished",   "close"};
    EXPECT_EQ(log, expected);
}

TEST(InputScript, RefusesKeysItCannotCarryOut) {
    for (const char* key :
         {"F1", "F2", "Alt+Return", "Alt+Enter", "Esc", "Alt+F4", "Q", "Ctrl+9"}) {
        std::string error;
        EXPECT_TRUE(runScript({"--keys", key}, &error).empty()) << key;
        EXPECT_NE(error.find(key), std::string::npos) << error;
    }
}

TEST(StateReport, JsonTextsAndNumbers) {
    EXPECT_EQ(headless::jsonString("SAO Catalog\t(12 stars) \"x\"\\"),
              "\"SAO Catalog\\t(12 stars) \\\"x\\\"\\\\\"");
    EXPECT_EQ(headless::jsonString(std::string("\x01", 1)), "\"\\u0001\"");
    EXPECT_EQ(headless::jsonNumber(0.1), "0.10000000000000001");
    EXPECT_EQ(std::stod(headless::jsonNumber(2.3561945f)), double(2.3561945f));
    EXPECT_EQ(headless::jsonNumber(1.0 / 0.0), "null");
}

} // namespace
