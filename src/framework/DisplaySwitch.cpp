// Display switching: between window and full screen on the current device,
// and back to a windowed device when full screen cannot go on.  Both run
// with ready = 0 until they succeed, so no frame is drawn in between.
#include "framework/ErrorMessages.h"
#include "framework/GraphicsApplication.h"

namespace framework {

bool GraphicsApplication::releaseDevice() {
    if (!device) return true;
    uint32_t remaining = device->Release();
    // The framework's reference is gone either way.
    device = nullptr;
    return remaining == 0;
}

HRESULT GraphicsApplication::switchScreenMode() {
    DeviceEntry& deviceEntry = currentDeviceEntry();
    if (!windowed && !deviceEntry.windowCapable) return fallBackToWindow();

    ready = 0;
    if (windowed) {
        // The window comes back to where it is now: a move that reached us
        // as no gesture (the window manager placing or moving it) counts too.
        windowRect = platform.getWindowRect(window);
        clientRect = platform.getClientRect(window);
    }
    windowed = !windowed;
    deviceEntry.windowed = windowed;
    adjustWindowStyle();

    // Only what the switch changes; count, swap effect, interval and
    // refresh rate stay as the device was created with.
    const ModeEntry& mode = currentModeEntry();
    presentParameters.Windowed = deviceEntry.windowed;
    presentParameters.MultiSampleType =
        windowed ? deviceEntry.windowMultisample : deviceEntry.screenMultisample;
    presentParameters.AutoDepthStencilFormat = mode.depthStencilFormat;
    presentParameters.hDeviceWindow = window;
    if (windowed) {
        presentParameters.BackBufferWidth =
            static_cast<uint32_t>(toDevicePixels(clientRect.right - clientRect.left));
        presentParameters.BackBufferHeight =
            static_cast<uint32_t>(toDevicePixels(clientRect.bottom - clientRect.top));
        presentParameters.BackBufferFormat = currentAdapterEntry().desktopMode.Format;
    } else {
        presentParameters.BackBufferWidth = mode.width;
        presentParameters.BackBufferHeight = mode.height;
        presentParameters.BackBufferFormat = mode.format;
    }

    if (gfx::FAILED(resetDevice())) {
        if (windowed) return fallBackToWindow();
        return gfx::E_FAIL;
    }
    // windowRect is refreshed only while windowed, so it still holds the
    // window from before full screen.
    if (windowed) platform.setWindowRect(window, windowRect);
    ready = 1;
    return gfx::S_OK;
}

HRESULT GraphicsApplication::fallBackToWindow() {
    if (!currentDeviceEntry().windowCapable) {
        bool found = false;
        for (uint32_t a = 0; a < adapterCount && !found; ++a) {
            for (uint32_t d = 0; d < adapters[a].deviceCount && !found; ++d) {
                if (!adapters[a].devices[d].windowCapable) continue;
                currentAdapter = a;
                adapters[a].currentDevice = d;
                found = true;
            }
        }
        if (!found) return gfx::E_FAIL;
    }

    currentDeviceEntry().windowed = 1;
    windowed = 1;
    ready = 0;

    releaseVideoResources();
    releaseDeviceResources();
    if (!releaseDevice()) return showError(errorNonZeroReferenceCount, ErrorKind::Fatal);

    HRESULT hr = bringUpDevice();
    if (gfx::FAILED(hr)) return showError(hr, ErrorKind::Fatal);
    ready = 1;
    return gfx::S_OK;
}

} // namespace framework
