// Once per rendered frame: count it, and a little more than once a second
// turn the count into a rate and rebuild frameCaption.
#include "framework/FrameStatistics.h"

#include "framework/FrameTimer.h"
#include "framework/GraphicsApplication.h"

#include <cstdio>
#include <cstring>

namespace framework {
namespace {

// Process-wide: frames since the last update and the absolute time of that
// update.  The time is kept in double: absolute clock readings grow large
// enough (seconds since boot) for float to blur the one-second interval.
int32_t framesSinceUpdate = 0;
double lastUpdateTime = 0.0;

const char* depthSuffix(gfx::D3DFORMAT format) {
    switch (format) {
    case gfx::D3DFMT_D32:
        return " (D32)";
    case gfx::D3DFMT_D15S1:
        return " (D15S1)";
    case gfx::D3DFMT_D24S8:
        return " (D24S8)";
    case gfx::D3DFMT_D24X8:
        return " (D24X8)";
    case gfx::D3DFMT_D24X4S4:
        return " (D24X4S4)";
    case gfx::D3DFMT_D16:
        return " (D16)";
    default:
        return "";
    }
}

} // namespace

void formatFrameCaption(char* caption, size_t size, const FrameCaptionFacts& facts) {
    if (size == 0) return;
    int depth = facts.displayFormat == gfx::D3DFMT_X8R8G8B8 ? 32 : 16;
    int used = std::snprintf(caption, size, "%.02f fps (%dx%dx%d)", facts.framesPerSecond,
                             static_cast<int>(facts.backBufferWidth),
                             static_cast<int>(facts.backBufferHeight), depth);
    auto append = [&](const char* text) {
        size_t length = std::strlen(caption);
        if (length + 1 < size) std::snprintf(caption + length, size - length, "%s", text);
    };
    if (used < 0) {
        caption[0] = '\0';
        return;
    }
    if (facts.wantsDepthBuffer) append(depthSuffix(facts.depthStencilFormat));
    if (facts.multisampleType >= 2 && facts.multisampleType <= 16) {
        char multisample[24];
        std::snprintf(multisample, sizeof multisample, " (%ux Multisample)",
                      static_cast<unsigned>(facts.multisampleType));
        append(multisample);
    }
}

void resetFrameStatistics() {
    framesSinceUpdate = 0;
    lastUpdateTime = 0.0;
}

void GraphicsApplication::updateFrameStatistics() {
    double now = FrameTimer(TimerCommand::ReadAbsoluteTime);
    ++framesSinceUpdate;
    if (now - lastUpdateTime <= 1.0) return;

    framesPerSecond = static_cast<float>(framesSinceUpdate / (now - lastUpdateTime));
    framesSinceUpdate = 0;
    lastUpdateTime = now;

    gfx::D3DDISPLAYMODE displayMode;
    if (d3d) d3d->GetAdapterDisplayMode(currentAdapter, &displayMode);
    DeviceEntry& deviceEntry = currentDeviceEntry();
    FrameCaptionFacts facts;
    facts.framesPerSecond = framesPerSecond;
    facts.backBufferWidth = backBufferDesc.Width;
    facts.backBufferHeight = backBufferDesc.Height;
    facts.displayFormat = displayMode.Format;
    facts.wantsDepthBuffer = wantsDepthBuffer != 0;
    facts.depthStencilFormat = currentModeEntry().depthStencilFormat;
    facts.multisampleType =
        windowed ? deviceEntry.windowMultisample : deviceEntry.screenMultisample;
    formatFrameCaption(frameCaption, sizeof frameCaption, facts);
}

} // namespace framework
