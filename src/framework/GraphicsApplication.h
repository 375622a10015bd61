// GraphicsApplication: the framework base class of the program.
//
// It owns the main window, the Direct3D object and device, the enumerated
// adapters/devices/modes, the message loop and the per-frame sequence, device
// loss and reset, the window/full-screen switch, the device dialog, frame
// statistics and error boxes.  The concrete application overrides the
// fourteen virtual operations below (kept in their fixed slot order).
//
// The framework reaches the desktop only through platform::Platform and the
// GPU only through gfx::Direct3D / gfx::Device, both handed in with the
// Environment, so tests drive it with fakes.
#pragma once

#include "framework/Enumeration.h"
#include "gfx/device/Direct3D.h"
#include "platform/Platform.h"

#include <cstdint>

namespace framework {

using gfx::HRESULT;
using gfx::HWND;
using gfx::RECT;

// What the framework runs on: the desktop and the Direct3D factory
// (gfx::Direct3DCreate8 in the program, a fake in tests).
struct Environment {
    platform::Platform* platform = nullptr;
    gfx::Direct3D* (*createDirect3D)(uint32_t sdkVersion) = nullptr;
};

// showError kinds
enum class ErrorKind : int32_t { Warning = 0, Fatal = 1, SwitchingToReference = 2 };

class GraphicsApplication : public platform::MessageHandler {
public:
    explicit GraphicsApplication(const Environment& environment);
    virtual ~GraphicsApplication();

    GraphicsApplication(const GraphicsApplication&) = delete;
    GraphicsApplication& operator=(const GraphicsApplication&) = delete;

    // ---- the fourteen virtual operations, in slot order
    virtual HRESULT adjustWindowStyle(); // 0
    virtual HRESULT acceptDevice(const gfx::D3DCAPS8& caps, uint32_t behavior,
                                 gfx::D3DFORMAT backBufferFormat); // 1
    virtual HRESULT initializeOnce();                              // 2
    virtual HRESULT createDeviceResources();                       // 3
    virtual HRESULT createVideoResources();                        // 4
    virtual HRESULT advanceFrame();                                // 5
    virtual HRESULT renderFrame();                                 // 6
    virtual HRESULT releaseVideoResources();                       // 7
    virtual HRESULT releaseDeviceResources();                      // 8
    virtual HRESULT shutdownApplication();                         // 9
    virtual HRESULT startUp();                                     // 10
    virtual int32_t run();                                         // 11
    intptr_t handleMessage(HWND window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override; // 12
    virtual void suspendFrames(bool pause);           // 13

    // ---- non-virtual operations
    HRESULT bringUpDevice();
    HRESULT resetDevice();
    HRESULT produceFrame();
    HRESULT enumerateDevices();
    HRESULT showError(HRESULT code, ErrorKind kind);
    HRESULT switchScreenMode();
    HRESULT fallBackToWindow();
    HRESULT runDeviceDialog();
    void updateFrameStatistics();
    // Lengths in the window system's pixels (client and screen coordinates)
    // and in the device pixels the back buffer counts, at the window's
    // display scale: a windowed back buffer covers the client area in device
    // pixels, so the picture is never scaled up at 2x.
    int32_t toDevicePixels(int32_t length);
    int32_t toWindowPixels(int32_t devicePixels);

    // ---- fields, in declaration order (booleans are 0 or 1)
    AdapterEntry adapters[maxAdapters] = {};
    uint32_t adapterCount = 0;
    uint32_t currentAdapter = 0;
    int32_t windowed = 0;
    int32_t active = 0;
    int32_t ready = 0;
    int32_t timeRunning = 1;
    int32_t stepOnce = 0;
    gfx::D3DPRESENT_PARAMETERS presentParameters = {};
    HWND window = nullptr;
    HWND focusWindow = nullptr;
    gfx::Direct3D* d3d = nullptr;
    gfx::Device* device = nullptr;
    gfx::D3DCAPS8 deviceCaps = {};
    gfx::D3DSURFACE_DESC backBufferDesc = {};
    uint32_t windowStyle = 0;
    RECT windowRect = {};
    RECT clientRect = {};
    float appTime = 0;
    float elapsedTime = 0;
    float framesPerSecond = 0;
    char frameCaption[90] = {};
    const char* windowCaption = "D3D8 Application";
    int32_t wantsDepthBuffer = 0;
    uint32_t leastDepthBits = 16;
    uint32_t leastStencilBits = 0;
    uint32_t initialClientWidth = 400;
    uint32_t initialClientHeight = 300;
    int32_t cursorShownFullscreen = 0;
    int32_t cursorClippedFullscreen = 1;

protected:
    platform::Platform& platform;
    Environment environment;

    // The device types enumeration tries on every adapter, in order.  The
    // program lists the hardware device only; a subclass may add the
    // reference device before startUp (device creation is ready for it).
    const DeviceTypeEntry* deviceTypes = hardwareDeviceTypes;
    uint32_t deviceTypeCount = 1;

    // The current adapter, its current device and that device's current mode.
    AdapterEntry& currentAdapterEntry() { return adapters[currentAdapter]; }
    DeviceEntry& currentDeviceEntry();
    ModeEntry& currentModeEntry();

private:
    // handleMessage's message groups (MessageTable.cpp); each returns what
    // handleMessage returns for its messages.
    void repaintWhilePaused();
    intptr_t handleSizing(uint32_t message, uintptr_t wParam, intptr_t lParam);
    intptr_t handleCursor(uint32_t message);
    intptr_t handleSystemMessage(uint32_t message, uintptr_t wParam);
    intptr_t handleCommand(uint16_t command);
    // bringUpDevice's steps: the present parameters for the current device
    // and mode, the device with its resources, the device's caps and back
    // buffer description, and the switch to the reference device.
    void fillPresentParameters(const AdapterEntry& adapter, const DeviceEntry& deviceEntry,
                               const ModeEntry& mode);
    HRESULT createDeviceAndResources(const DeviceEntry& deviceEntry, const ModeEntry& mode);
    void takeDeviceDescription();
    bool selectReferenceDevice();
    // Full-screen cursor and cursor clipping after a device is created or reset.
    void applyCursorSettings();
    // Windowed: takes the window and client rectangles again and resets the
    // device when the client size has changed (see MessageTable.cpp).
    HRESULT fitBackBufferToClient(bool afterGesture);
    // The WM_CLOSE sequence; runs once (a later WM_CLOSE finds nothing to do).
    void shutDown();
    // Gives up the framework's reference to the device; false when others
    // still hold references to it.
    bool releaseDevice();
    bool pickDepthFormat(uint32_t adapter, uint32_t deviceType, gfx::D3DFORMAT format,
                         gfx::D3DFORMAT* depthStencilFormat);
    // enumerateDevices' steps and working records (Enumeration.cpp): one
    // adapter, one device type on it, one format for that device, the
    // device's modes, and the device the program starts on.
    struct FormatChoice;
    struct HardwareFacts;
    struct AdapterModeList;
    void enumerateAdapter(uint32_t ordinal, AdapterEntry& adapter, HardwareFacts& hardware);
    void enumerateDevice(uint32_t ordinal, const DeviceTypeEntry& type,
                         const AdapterModeList& list, DeviceEntry& entry, HardwareFacts& hardware);
    void confirmFormat(uint32_t ordinal, const DeviceEntry& entry, FormatChoice& choice);
    static void addDeviceModes(const AdapterModeList& list, const FormatChoice* choices,
                               DeviceEntry& entry);
    HRESULT chooseStartingDevice(const HardwareFacts& hardware);

    bool shutDownDone = false;
    // Between WM_ENTERSIZEMOVE and WM_EXITSIZEMOVE: size messages wait for the end.
    bool sizeMoveUnderway = false;
};

// The process-wide pointer to the one application object, set by its
// constructor; the window procedure forwards every message through it.
GraphicsApplication* theApplication();

// The entry point's sequence: startUp, then run; 0 when startUp fails.
int32_t runApplication(GraphicsApplication& application);

} // namespace framework
