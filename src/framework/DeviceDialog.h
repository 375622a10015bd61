// The "Select Device" dialog (template 144): the user picks adapter, device,
// windowed or full-screen mode and multisample type.  The procedure edits a
// pending selection and writes it back only on OK with a change.
#pragma once

#include "gfx/device/Types.h"
#include "platform/Platform.h"

#include <cstdint>

namespace framework {

class GraphicsApplication;

// Control ids of dialog 144.
constexpr int32_t dialogSelectDevice = 144;
constexpr int32_t controlDeviceList = 1000;
constexpr int32_t controlAdapterList = 1002;
constexpr int32_t controlModeList = 1003;
constexpr int32_t controlMultisampleList = 1005;
constexpr int32_t controlWindowedRadio = 1016;
constexpr int32_t controlFullscreenRadio = 1018;

// The selection tuple the dialog edits.
struct DeviceSelection {
    uint32_t adapter = 0;
    uint32_t device = 0;
    uint32_t mode = 0;
    int32_t windowed = 0;
    gfx::D3DMULTISAMPLE_TYPE windowMultisample = 0;
    gfx::D3DMULTISAMPLE_TYPE screenMultisample = 0;

    bool operator==(const DeviceSelection&) const = default;
};

class DeviceDialogProcedure : public platform::DialogProcedure {
public:
    DeviceDialogProcedure(GraphicsApplication& application, platform::Platform& platform);

    // WM_INITDIALOG and WM_COMMAND; ends the dialog with 1 (apply the new
    // selection) or 2 (nothing to do).
    intptr_t dialogMessage(platform::HDLG dialog, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;

    const DeviceSelection& pendingSelection() const { return pending; }

private:
    DeviceSelection currentSelection() const;
    void applySelection(const DeviceSelection& selection);
    void takeDevice(uint32_t device); // pending device with its mode and windowed flag
    void refreshControls(platform::HDLG dialog);
    gfx::D3DMULTISAMPLE_TYPE& pendingMultisample() {
        return pending.windowed ? pending.windowMultisample : pending.screenMultisample;
    }

    GraphicsApplication& application;
    platform::Platform& platform;
    DeviceSelection starting; // as the dialog opened
    DeviceSelection pending;  // as the controls stand
};

} // namespace framework
