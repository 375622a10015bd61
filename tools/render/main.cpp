// orbivista-render: runs the real Orbivista application with a fixed frame
// step and scripted input, off screen (or, with --window, in a real window),
// and writes the back buffer (PNG), the state (JSON) and frame timings.
// Off screen it needs no X server: without one the GL context comes through
// EGL with no window system (GlDisplayChoice.h).
//
// Exit status: 0 after a complete run, 1 when the run or an output failed,
// 2 for bad arguments (the reason on standard error).
#include "FrameBench.h"
#include "GlDisplayChoice.h"
#include "HeadlessPlatform.h"
#include "InputScript.h"
#include "MemoryReport.h"
#include "OffscreenDirect3D.h"
#include "RunOptions.h"
#include "RunnerApplication.h"
#include "StateReport.h"
#include "WindowedPlatform.h"

#include "framework/GraphicsApplication.h"
#include "gfx/recording/RecordingDirect3D.h"
#include "platform/Accelerators.h"
#include "platform/StartPlatform.h"
#include "resources/Resources.h"

#include <QGuiApplication>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int exitFailure = 1;
constexpr int exitBadArguments = 2;

int badArguments(const std::string& message) {
    std::fprintf(stderr, "orbivista-render: %s\n(orbivista-render --help lists the options)\n",
                 message.c_str());
    return exitBadArguments;
}

int failure(const std::string& message) {
    std::fprintf(stderr, "orbivista-render: %s\n", message.c_str());
    return exitFailure;
}

// Waits for the GPU to finish the frame, so that the wall-clock frame time
// holds the rasterisation too (llvmpipe draws on threads of its own).
void finishGl() {
    if (QOpenGLContext* context = QOpenGLContext::currentContext())
        context->functions()->glFinish();
}

// Direct3DCreate8's shape for the recording device's Direct3D object.
gfx::Direct3D* createRecordingDirect3D(uint32_t) {
    return gfx::RecordingDirect3D::create();
}

bool writeText(const std::string& path, const std::string& text) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << text;
    file.close();
    return bool(file);
}

// The platform of the run: a real window, or the off-screen one with its own
// Qt GUI application; and what the application is started with.
struct RunPlatform {
    std::unique_ptr<QGuiApplication> qtApplication;
    std::unique_ptr<headless::ScriptedPlatform> platform;
    headless::HeadlessPlatform* offscreen = nullptr; // null in a window
    framework::Environment environment;
};

RunPlatform startRunPlatform(int& argc, char** argv, const headless::RunOptions& options,
                             const std::string& settingsFile) {
    RunPlatform run;
    if (options.window) {
        run.platform = std::make_unique<headless::WindowedPlatform>(
            platform::startPlatform(argc, argv, platform::PlatformOptions{settingsFile}),
            options.step);
        run.environment = {run.platform.get(), gfx::Direct3DCreate8};
        return run;
    }
    run.qtApplication = std::make_unique<QGuiApplication>(argc, argv);
    auto headlessPlatform = std::make_unique<headless::HeadlessPlatform>(
        options.width, options.height, options.step, settingsFile);
    run.offscreen = headlessPlatform.get();
    run.platform = std::move(headlessPlatform);
    run.environment = {run.platform.get(), options.recordingDevice
                                               ? createRecordingDirect3D
                                               : headless::createOffscreenDirect3D};
    return run;
}

// The captured back buffer as PNG when one was asked for: 0, or the exit
// status of the failure.
int writeImage(const headless::RunOptions& options,
               const headless::RunnerApplication& application) {
    if (options.outImage.empty()) return 0;
    if (application.capturedImage.isNull())
        return failure("no back buffer to write: " + application.captureError);
    if (!application.capturedImage.save(QString::fromStdString(options.outImage), "PNG"))
        return failure("cannot write the image to " + options.outImage);
    return 0;
}

void reportBench(const headless::RunnerApplication& application, headless::BenchFigures& bench) {
    bench.advanceSeconds = application.advanceTimes();
    bench.renderSeconds = application.renderTimes();
    bench.peakResident = headless::peakResidentBytes();
    std::fputs(headless::benchReport(bench).c_str(), stdout);
}

} // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    headless::ParseResult parsed = headless::parseRunOptions(arguments);
    if (!parsed.options) return badArguments(parsed.error);
    const headless::RunOptions& options = *parsed.options;
    if (options.help) {
        std::fputs(headless::usageText(), stdout);
        return 0;
    }
    std::error_code folderError;
    if (!std::filesystem::is_directory(options.workdir, folderError))
        return badArguments("--workdir " + options.workdir + ": no such folder");

    orbivistaInitResources();
    platform::AcceleratorTable accelerators;
    if (!accelerators.load(QStringLiteral(":/ACCELERATORS/113")))
        return failure("the accelerator table :/ACCELERATORS/113 cannot be read");
    std::string error;
    std::optional<headless::InputScript> script =
        headless::InputScript::build(options, accelerators, &error);
    if (!script) return badArguments(error);
    // The script holds the input from here on; a long run's parsed tokens
    // would only take room.
    parsed.options->inputs = {};

    // A window needs a display; without one Qt would abort with a less
    // helpful message.  Off screen, EGL stands in for a missing X server.
    if (options.window && !std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY") &&
        !std::getenv("QT_QPA_PLATFORM"))
        return failure("no display for a window: run it under xvfb-run");
    const headless::XServerProbe xServer;
    if (!options.window && headless::offscreenNeedsEgl(xServer)) headless::useSurfacelessEgl();

    // A fresh store unless one is named: a run never touches the user's.
    QTemporaryDir settingsFolder;
    std::string settingsFile = options.settingsFile;
    if (settingsFile.empty()) {
        if (!settingsFolder.isValid()) return failure("cannot make a temporary settings folder");
        settingsFile = settingsFolder.filePath("Orbivista.conf").toStdString();
    }

    RunPlatform run = startRunPlatform(argc, argv, options, settingsFile);
    headless::ScriptedPlatform* platform = run.platform.get();
    const auto application = std::make_unique<headless::RunnerApplication>(run.environment);
    application->catalogueFolder = options.workdir;
    // The window opens at the back-buffer size asked for, whatever the
    // settings say (the headless window has that size anyway).
    application->initialClientWidth = uint32_t(options.width);
    application->initialClientHeight = uint32_t(options.height);

    headless::BenchFigures bench;
    bench.width = options.width;
    bench.height = options.height;
    double frameBegin = 0;
    bool stateWritten = options.outState.empty();

    script->framesRendered = [&] { return application->framesRendered(); };
    script->frameStarting = [&](int32_t frame) {
        if (frame == options.frames && !options.outImage.empty())
            application->captureNextFrame = true;
        frameBegin = headless::wallSeconds();
    };
    script->frameDone = [&](int32_t frame) {
        finishGl();
        bench.frameSeconds.push_back(headless::wallSeconds() - frameBegin);
        if (frame == 1) bench.firstFrameSinceStart = headless::secondsSinceProcessStart();
        if (options.memoryEvery > 0 && frame % options.memoryEvery == 0) {
            std::fputs(headless::memoryLine(headless::sampleMemory(frame)).c_str(), stdout);
            std::fflush(stdout);
        }
    };
    script->finished = [&] {
        if (options.outState.empty()) return;
        const std::string json =
            headless::stateJson(*application, platform->menuItems(application->menu));
        stateWritten = writeText(options.outState, json);
    };
    platform->idle = [&](headless::ScriptedPlatform& p) { return script->idle(p); };

    const int32_t exitCode = framework::runApplication(*application);

    if (!script->failure().empty()) return failure(script->failure());
    if (application->framesRendered() < options.frames) {
        std::string reason = "the application did not start";
        if (run.offscreen)
            for (const std::string& box : run.offscreen->messageBoxes())
                reason += "; " + box;
        return failure(reason);
    }
    if (!stateWritten) return failure("cannot write the state to " + options.outState);
    const int imageStatus = writeImage(options, *application);
    if (imageStatus != 0) return imageStatus;
    if (options.bench) reportBench(*application, bench);
    return exitCode;
}
