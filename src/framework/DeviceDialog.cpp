// runDeviceDialog and the "Select Device" dialog procedure.
//
// The procedure keeps the selection as it was when the dialog opened and a
// pending one that the controls edit; every command but OK and Cancel ends
// with a refresh of the four lists from the pending selection.
#include "framework/DeviceDialog.h"

#include "framework/ErrorMessages.h"
#include "framework/FrameTimer.h"
#include "framework/GraphicsApplication.h"

#include <cstdio>

namespace framework {

using platform::HDLG;

// ------------------------------------------------------------- the command
HRESULT GraphicsApplication::runDeviceDialog() {
    // The dialog is always shown over a windowed program.
    if (!windowed && gfx::FAILED(switchScreenMode())) {
        showError(errorResetFailed, ErrorKind::Fatal);
        return gfx::E_FAIL;
    }

    DeviceDialogProcedure procedure(*this, platform);
    if (platform.dialogBox(window, dialogSelectDevice, &procedure) != platform::IDOK)
        return gfx::S_OK;

    windowed = currentDeviceEntry().windowed;
    releaseVideoResources();
    releaseDeviceResources();
    HRESULT hr = releaseDevice() ? bringUpDevice() : errorNonZeroReferenceCount;
    if (gfx::FAILED(hr)) return showError(hr, ErrorKind::Fatal);

    if (!timeRunning) {
        // Time stands still: let exactly one frame advance on the new device.
        stepOnce = 1;
        FrameTimer(TimerCommand::Start);
        FrameTimer(TimerCommand::Stop);
    }
    return gfx::S_OK;
}

// ------------------------------------------------------- the procedure
DeviceDialogProcedure::DeviceDialogProcedure(GraphicsApplication& application,
                                             platform::Platform& platform)
    : application(application), platform(platform) {}

DeviceSelection DeviceDialogProcedure::currentSelection() const {
    DeviceSelection selection;
    selection.adapter = application.currentAdapter;
    const AdapterEntry& adapter = application.adapters[selection.adapter];
    selection.device = adapter.currentDevice;
    const DeviceEntry& device = adapter.devices[selection.device];
    selection.mode = device.currentMode;
    selection.windowed = device.windowed;
    selection.windowMultisample = device.windowMultisample;
    selection.screenMultisample = device.screenMultisample;
    return selection;
}

void DeviceDialogProcedure::applySelection(const DeviceSelection& selection) {
    application.currentAdapter = selection.adapter;
    AdapterEntry& adapter = application.adapters[selection.adapter];
    adapter.currentDevice = selection.device;
    DeviceEntry& device = adapter.devices[selection.device];
    device.currentMode = selection.mode;
    device.windowed = selection.windowed;
    device.windowMultisample = selection.windowMultisample;
    device.screenMultisample = selection.screenMultisample;
}

void DeviceDialogProcedure::takeDevice(uint32_t device) {
    pending.device = device;
    const DeviceEntry& entry = application.adapters[pending.adapter].devices[device];
    pending.mode = entry.currentMode;
    pending.windowed = entry.windowed;
}

intptr_t DeviceDialogProcedure::dialogMessage(HDLG dialog, uint32_t message, uintptr_t wParam,
                                              intptr_t) {
    using namespace platform;
    if (message == WM_INITDIALOG) {
        starting = currentSelection();
        pending = starting;
        refreshControls(dialog);
        return 1;
    }
    if (message != WM_COMMAND) return 0;

    // The radio buttons change state on their own; read them before anything.
    pending.windowed = platform.isButtonChecked(dialog, controlWindowedRadio) ? 1 : 0;

    const uint32_t control = LOWORD(wParam);
    const uint32_t notification = HIWORD(wParam);
    if (control == IDOK) {
        if (pending == starting) {
            platform.endDialog(dialog, IDCANCEL);
        } else {
            applySelection(pending);
            platform.endDialog(dialog, IDOK);
        }
        return 1;
    }
    if (control == IDCANCEL) {
        platform.endDialog(dialog, IDCANCEL);
        return 1;
    }

    if (notification == CBN_SELENDOK) {
        const int32_t selected = platform.comboGetCurSel(dialog, static_cast<int32_t>(control));
        const auto index = static_cast<uint32_t>(selected);
        // A list without a selection leaves the pending choice alone.
        if (selected >= 0) {
            switch (control) {
            case controlAdapterList:
                if (index < application.adapterCount) {
                    pending.adapter = index;
                    takeDevice(application.adapters[index].currentDevice);
                }
                break;
            case controlDeviceList:
                if (index < application.adapters[pending.adapter].deviceCount) takeDevice(index);
                break;
            case controlModeList:
                if (index < application.adapters[pending.adapter].devices[pending.device].modeCount)
                    pending.mode = index;
                break;
            case controlMultisampleList:
                pendingMultisample() = static_cast<gfx::D3DMULTISAMPLE_TYPE>(
                    platform.comboGetItemData(dialog, controlMultisampleList, selected));
                break;
            default:
                break;
            }
        }
    }
    refreshControls(dialog);
    return 1;
}

void DeviceDialogProcedure::refreshControls(HDLG dialog) {
    platform.comboResetContent(dialog, controlAdapterList);
    platform.comboResetContent(dialog, controlDeviceList);
    platform.comboResetContent(dialog, controlModeList);
    platform.comboResetContent(dialog, controlMultisampleList);

    for (uint32_t a = 0; a < application.adapterCount; ++a) {
        int32_t item = platform.comboAddString(dialog, controlAdapterList,
                                               application.adapters[a].identifier.Description);
        platform.comboSetItemData(dialog, controlAdapterList, item, a);
        if (a == pending.adapter) platform.comboSetCurSel(dialog, controlAdapterList, item);
    }

    const AdapterEntry& adapter = application.adapters[pending.adapter];
    for (uint32_t d = 0; d < adapter.deviceCount; ++d) {
        int32_t item = platform.comboAddString(dialog, controlDeviceList, adapter.devices[d].name);
        platform.comboSetItemData(dialog, controlDeviceList, item, d);
        if (d == pending.device) platform.comboSetCurSel(dialog, controlDeviceList, item);
    }

    const DeviceEntry& device = adapter.devices[pending.device];
    for (uint32_t m = 0; m < device.modeCount; ++m) {
        const ModeEntry& mode = device.modes[m];
        const bool deep = mode.format == gfx::D3DFMT_R8G8B8 ||
                          mode.format == gfx::D3DFMT_A8R8G8B8 ||
                          mode.format == gfx::D3DFMT_X8R8G8B8;
        char text[64];
        std::snprintf(text, sizeof text, "%ld x %ld x %ld", static_cast<long>(mode.width),
                      static_cast<long>(mode.height), deep ? 32L : 16L);
        int32_t item = platform.comboAddString(dialog, controlModeList, text);
        platform.comboSetItemData(dialog, controlModeList, item, m);
        if (m == pending.mode) platform.comboSetCurSel(dialog, controlModeList, item);
    }

    // Multisample types the device offers for the surface it would render
    // to: the desktop format in a window, else the chosen mode's format.
    const gfx::D3DFORMAT format =
        pending.windowed ? adapter.desktopMode.Format : device.modes[pending.mode].format;
    gfx::D3DMULTISAMPLE_TYPE& chosen = pendingMultisample();
    for (gfx::D3DMULTISAMPLE_TYPE type = 0; type <= 16; ++type) {
        if (type == 1) continue; // never offered
        if (gfx::FAILED(application.d3d->CheckDeviceMultiSampleType(
                pending.adapter, device.deviceType, format, pending.windowed, type)))
            continue;
        char text[32];
        if (type == 0)
            std::snprintf(text, sizeof text, "none");
        else
            std::snprintf(text, sizeof text, "%u samples", static_cast<unsigned>(type));
        int32_t item = platform.comboAddString(dialog, controlMultisampleList, text);
        platform.comboSetItemData(dialog, controlMultisampleList, item, type);
        if (type == 0 || type == chosen)
            platform.comboSetCurSel(dialog, controlMultisampleList, item);
    }
    // An earlier choice the current surface does not support falls back to
    // "none" (or to no multisampling when even that is not listed).
    const int32_t selected = platform.comboGetCurSel(dialog, controlMultisampleList);
    chosen = selected >= 0 ? static_cast<gfx::D3DMULTISAMPLE_TYPE>(platform.comboGetItemData(
                                 dialog, controlMultisampleList, selected))
                           : 0;

    platform.enableControl(dialog, controlMultisampleList,
                           platform.comboGetCount(dialog, controlMultisampleList) > 1);
    platform.enableControl(dialog, controlWindowedRadio, device.windowCapable != 0);
    platform.checkButton(dialog, controlWindowedRadio, pending.windowed != 0);
    platform.checkButton(dialog, controlFullscreenRadio, pending.windowed == 0);
    platform.enableControl(dialog, controlModeList, pending.windowed == 0);
}

} // namespace framework
