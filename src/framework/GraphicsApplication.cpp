// GraphicsApplication: construction, start-up, device creation and reset,
// the message loop, one frame, and the nested pause.
//
// Index of this file:
//   - process-wide state, construction, the base hooks
//   - startUp
//   - bringUpDevice, resetDevice and their cursor handling
//   - run, produceFrame
//   - suspendFrames
//   - display scale
//   - theApplication, runApplication
#include "framework/GraphicsApplication.h"

#include "framework/CursorFromIcon.h"
#include "framework/ErrorMessages.h"
#include "framework/FrameStatistics.h"
#include "framework/FrameTimer.h"

#include <cmath>

namespace framework {

using platform::Message;

// ------------------------------------------------------------ process-wide
namespace {

// The one application object; the window procedure forwards to it.
GraphicsApplication* applicationInstance = nullptr;
// Pause nesting: frames resume only when every pause has ended.
int32_t pauseCount = 0;

constexpr uint32_t windowedStyle = platform::WS_OVERLAPPEDWINDOW | platform::WS_VISIBLE;
constexpr uint32_t fullscreenStyle =
    platform::WS_POPUP | platform::WS_VISIBLE | platform::WS_SYSMENU;
constexpr int32_t mainMenuId = 141;
constexpr int32_t windowIconId = 101;
constexpr int32_t acceleratorTableId = 113;

} // namespace

GraphicsApplication::GraphicsApplication(const Environment& environment)
    : platform(*environment.platform), environment(environment) {
    applicationInstance = this;
    // One application per process: constructing it is program start for the
    // process-wide values, which matters to tests and runners that make more
    // than one in turn.
    pauseCount = 0;
    resetFrameStatistics();
    frameTimerUseClock(environment.platform);
}

GraphicsApplication::~GraphicsApplication() {
    // Normally the WM_CLOSE sequence has released both; a run that never got
    // that far must not leak them.
    gfx::releaseAndNull(device);
    gfx::releaseAndNull(d3d);
    if (applicationInstance == this) applicationInstance = nullptr;
}

HRESULT GraphicsApplication::adjustWindowStyle() {
    platform.setWindowStyle(window, windowed ? windowStyle : fullscreenStyle);
    return gfx::S_OK;
}

HRESULT GraphicsApplication::acceptDevice(const gfx::D3DCAPS8&, uint32_t, gfx::D3DFORMAT) {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::initializeOnce() {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::createDeviceResources() {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::createVideoResources() {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::advanceFrame() {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::renderFrame() {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::releaseVideoResources() {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::releaseDeviceResources() {
    return gfx::S_OK;
}
HRESULT GraphicsApplication::shutdownApplication() {
    return gfx::S_OK;
}

DeviceEntry& GraphicsApplication::currentDeviceEntry() {
    AdapterEntry& adapter = currentAdapterEntry();
    return adapter.devices[adapter.currentDevice];
}

ModeEntry& GraphicsApplication::currentModeEntry() {
    DeviceEntry& deviceEntry = currentDeviceEntry();
    return deviceEntry.modes[deviceEntry.currentMode];
}

// ----------------------------------------------------------------- startUp
HRESULT GraphicsApplication::startUp() {
    d3d = environment.createDirect3D ? environment.createDirect3D(gfx::D3D_SDK_VERSION) : nullptr;
    if (!d3d) return showError(errorNoDirect3D, ErrorKind::Fatal);

    HRESULT hr = enumerateDevices();
    if (gfx::FAILED(hr)) {
        gfx::releaseAndNull(d3d);
        return showError(hr, ErrorKind::Fatal);
    }

    if (!window) {
        windowStyle = windowedStyle;
        platform::WindowDescription description;
        description.caption = windowCaption;
        description.style = windowStyle;
        description.clientWidth = static_cast<int32_t>(initialClientWidth);
        description.clientHeight = static_cast<int32_t>(initialClientHeight);
        description.menuId = mainMenuId;
        description.iconId = windowIconId;
        window = platform.createWindow(description, this);
        if (!window) {
            gfx::releaseAndNull(d3d);
            return showError(gfx::E_FAIL, ErrorKind::Fatal);
        }
    }
    if (!focusWindow) focusWindow = window;

    windowStyle = platform.getWindowStyle(window);
    windowRect = platform.getWindowRect(window);
    clientRect = platform.getClientRect(window);

    FrameTimer(TimerCommand::Start);

    hr = initializeOnce();
    if (gfx::FAILED(hr)) {
        gfx::releaseAndNull(d3d);
        return showError(hr, ErrorKind::Fatal);
    }
    hr = bringUpDevice();
    if (gfx::FAILED(hr)) {
        gfx::releaseAndNull(d3d);
        return showError(hr, ErrorKind::Fatal);
    }
    ready = 1;
    return gfx::S_OK;
}

// ------------------------------------------------- device creation, reset
HRESULT GraphicsApplication::bringUpDevice() {
    const AdapterEntry& adapter = currentAdapterEntry();
    const DeviceEntry& deviceEntry = currentDeviceEntry();
    const ModeEntry& mode = currentModeEntry();

    adjustWindowStyle();
    fillPresentParameters(adapter, deviceEntry, mode);

    if (deviceEntry.caps.PrimitiveMiscCaps & gfx::D3DPMISCCAPS_NULLREFERENCE)
        showError(errorNullReferenceDevice, ErrorKind::Warning);

    const HRESULT hr = createDeviceAndResources(deviceEntry, mode);
    if (gfx::SUCCEEDED(hr)) return gfx::S_OK;

    // Fallback: a hardware device that cannot be brought up gives way to the
    // reference device of adapter 0, when one is listed.
    if (deviceEntry.deviceType != gfx::D3DDEVTYPE_HAL) return hr;
    if (!selectReferenceDevice()) return hr;
    platform.setWindowRect(window, windowRect);
    adjustWindowStyle();
    showError(hr, ErrorKind::SwitchingToReference);
    return bringUpDevice();
}

void GraphicsApplication::fillPresentParameters(const AdapterEntry& adapter,
                                                const DeviceEntry& deviceEntry,
                                                const ModeEntry& mode) {
    presentParameters = {};
    if (windowed) {
        presentParameters.BackBufferWidth =
            static_cast<uint32_t>(toDevicePixels(clientRect.right - clientRect.left));
        presentParameters.BackBufferHeight =
            static_cast<uint32_t>(toDevicePixels(clientRect.bottom - clientRect.top));
        presentParameters.BackBufferFormat = adapter.desktopMode.Format;
        presentParameters.MultiSampleType = deviceEntry.windowMultisample;
        presentParameters.FullScreen_PresentationInterval = gfx::D3DPRESENT_INTERVAL_DEFAULT;
    } else {
        presentParameters.BackBufferWidth = mode.width;
        presentParameters.BackBufferHeight = mode.height;
        presentParameters.BackBufferFormat = mode.format;
        presentParameters.MultiSampleType = deviceEntry.screenMultisample;
        presentParameters.FullScreen_PresentationInterval = gfx::D3DPRESENT_INTERVAL_ONE;
    }
    presentParameters.BackBufferCount = 1;
    presentParameters.SwapEffect = gfx::D3DSWAPEFFECT_DISCARD;
    presentParameters.FullScreen_RefreshRateInHz = 0;
    presentParameters.hDeviceWindow = window;
    presentParameters.Windowed = deviceEntry.windowed;
    presentParameters.EnableAutoDepthStencil = wantsDepthBuffer;
    presentParameters.AutoDepthStencilFormat = mode.depthStencilFormat;
    presentParameters.Flags = 0;
}

// Fails, with nothing left made, when either the device or its resources
// cannot be made.
HRESULT GraphicsApplication::createDeviceAndResources(const DeviceEntry& deviceEntry,
                                                      const ModeEntry& mode) {
    device = nullptr;
    HRESULT hr = d3d->CreateDevice(currentAdapter, deviceEntry.deviceType, focusWindow,
                                   mode.behaviorFlags, &presentParameters, &device);
    if (gfx::FAILED(hr)) {
        device = nullptr;
        return hr;
    }
    if (!device) return gfx::E_FAIL; // a "success" that hands out no device

    if (windowed) platform.setWindowRect(window, windowRect);
    takeDeviceDescription();
    applyCursorSettings();

    hr = createDeviceResources();
    if (gfx::SUCCEEDED(hr)) hr = createVideoResources();
    if (gfx::SUCCEEDED(hr)) {
        active = 1;
        return gfx::S_OK;
    }
    releaseVideoResources();
    releaseDeviceResources();
    gfx::releaseAndNull(device);
    return hr;
}

void GraphicsApplication::takeDeviceDescription() {
    device->GetDeviceCaps(&deviceCaps);
    backBufferDesc = {};
    gfx::Surface* backBuffer = nullptr;
    if (gfx::SUCCEEDED(device->GetBackBuffer(0, gfx::D3DBACKBUFFER_TYPE_MONO, &backBuffer)) &&
        backBuffer) {
        backBuffer->GetDesc(&backBufferDesc);
        backBuffer->Release();
    }
}

// Makes adapter 0's reference device the current one; false when that
// adapter lists none.
bool GraphicsApplication::selectReferenceDevice() {
    currentAdapter = 0;
    AdapterEntry& first = adapters[0];
    for (uint32_t d = 0; d < first.deviceCount; ++d) {
        if (first.devices[d].deviceType == gfx::D3DDEVTYPE_REF) {
            first.currentDevice = d;
            windowed = first.devices[d].windowed;
            break;
        }
    }
    return first.devices[first.currentDevice].deviceType == gfx::D3DDEVTYPE_REF;
}

void GraphicsApplication::applyCursorSettings() {
    if (cursorShownFullscreen && !windowed) {
        platform::IconImage icon;
        if (platform.getWindowIcon(window, &icon)) setCursorFromIcon(device, icon, true);
        device->ShowCursor(1);
    }
    if (cursorClippedFullscreen) {
        if (!windowed) {
            RECT rect = platform.getWindowRect(window);
            platform.clipCursor(&rect);
        } else {
            platform.clipCursor(nullptr);
        }
    }
}

HRESULT GraphicsApplication::resetDevice() {
    if (!device) return gfx::D3DERR_INVALIDCALL;
    HRESULT hr = releaseVideoResources();
    if (gfx::FAILED(hr)) return hr;
    hr = device->Reset(&presentParameters);
    if (gfx::FAILED(hr)) return hr;

    backBufferDesc = {};
    gfx::Surface* backBuffer = nullptr;
    if (gfx::SUCCEEDED(device->GetBackBuffer(0, gfx::D3DBACKBUFFER_TYPE_MONO, &backBuffer)) &&
        backBuffer) {
        backBuffer->GetDesc(&backBufferDesc);
        backBuffer->Release();
    }
    applyCursorSettings();

    hr = createVideoResources();
    if (gfx::FAILED(hr)) return hr;
    if (!timeRunning) {
        // Time stands still: let exactly one frame advance.
        stepOnce = 1;
        FrameTimer(TimerCommand::Start);
        FrameTimer(TimerCommand::Stop);
    }
    return gfx::S_OK;
}

// ---------------------------------------------------------- loop and frame
int32_t GraphicsApplication::run() {
    platform.loadAccelerators(acceleratorTableId);

    Message message;
    message.message = platform::WM_NULL;
    platform.peekMessage(&message, false);

    while (message.message != platform::WM_QUIT) {
        // Only a loop that can draw polls; a minimised or paused one (a menu,
        // a dialog, a size/move gesture) waits for the next message, as
        // Win32's modal loops do, instead of spinning on an empty queue.
        const bool drawing = active && ready;
        bool taken = drawing ? platform.peekMessage(&message, true) : platform.getMessage(&message);
        if (taken) {
            if (message.message != platform::WM_QUIT &&
                !platform.translateAccelerator(window, message))
                platform.dispatchMessage(message);
        } else if (message.message != platform::WM_QUIT && active && ready) {
            if (gfx::FAILED(produceFrame())) platform.sendMessage(window, platform::WM_CLOSE, 0, 0);
        }
    }
    return static_cast<int32_t>(message.wParam);
}

HRESULT GraphicsApplication::produceFrame() {
    if (!device) return gfx::S_OK;

    HRESULT hr = device->TestCooperativeLevel();
    if (gfx::FAILED(hr)) {
        if (hr == gfx::D3DERR_DEVICELOST) return gfx::S_OK; // wait until it can be reset
        if (hr != gfx::D3DERR_DEVICENOTRESET) return hr;
        if (windowed) {
            AdapterEntry& adapter = currentAdapterEntry();
            d3d->GetAdapterDisplayMode(currentAdapter, &adapter.desktopMode);
            presentParameters.BackBufferFormat = adapter.desktopMode.Format;
        }
        return resetDevice();
    }

    double time = FrameTimer(TimerCommand::ReadAppTime);
    double interval = FrameTimer(TimerCommand::ReadElapsedTime);
    if (interval == 0.0 && timeRunning) return gfx::S_OK; // no time has passed: no frame

    if (timeRunning || stepOnce) {
        appTime = static_cast<float>(time);
        elapsedTime = static_cast<float>(interval);
        hr = advanceFrame();
        if (gfx::FAILED(hr)) return hr;
        stepOnce = 0;
    }
    hr = renderFrame();
    if (gfx::FAILED(hr)) return hr;
    updateFrameStatistics();
    device->Present(nullptr, nullptr, nullptr, nullptr); // loss shows at the next frame's test
    return gfx::S_OK;
}

// ------------------------------------------------------------------- pause
void GraphicsApplication::suspendFrames(bool pause) {
    if (pause) {
        ++pauseCount;
    } else if (pauseCount > 0) {
        --pauseCount;
    } else {
        return; // an unpause without its pause changes nothing
    }
    ready = pauseCount == 0;
    if (pause && pauseCount == 1 && timeRunning) FrameTimer(TimerCommand::Stop);
    if (!pause && pauseCount == 0 && timeRunning) FrameTimer(TimerCommand::Start);
}

// ------------------------------------------------------- display scale
int32_t GraphicsApplication::toDevicePixels(int32_t length) {
    const uint32_t dpi = platform.getDpiForWindow(window);
    return dpi == 0 ? length : int32_t(std::lround(double(length) * dpi / 96.0));
}

int32_t GraphicsApplication::toWindowPixels(int32_t devicePixels) {
    const uint32_t dpi = platform.getDpiForWindow(window);
    return dpi == 0 ? devicePixels : int32_t(std::lround(double(devicePixels) * 96.0 / dpi));
}

// ------------------------------------------------------------- entry point
GraphicsApplication* theApplication() {
    return applicationInstance;
}

int32_t runApplication(GraphicsApplication& application) {
    if (gfx::FAILED(application.startUp())) return 0;
    return application.run();
}

} // namespace framework
