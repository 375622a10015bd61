// The framework's own failure codes and the fixed English text shown for
// every code in the error boxes.
#pragma once

#include "gfx/device/Types.h"

namespace framework {

// HRESULT-style failures of the framework (facility bits 0x82000000).
constexpr gfx::HRESULT errorNoDirect3D = gfx::hresult(0x82000001);
constexpr gfx::HRESULT errorNoCompatibleDevices = gfx::hresult(0x82000003);
constexpr gfx::HRESULT errorNoWindowableDevices = gfx::hresult(0x82000004);
constexpr gfx::HRESULT errorNoHardwareDevice = gfx::hresult(0x82000005);
constexpr gfx::HRESULT errorHardwareLacksFunctions = gfx::hresult(0x82000006);
constexpr gfx::HRESULT errorHardwareNotWindowed = gfx::hresult(0x82000007);
constexpr gfx::HRESULT errorHardwareNotOnDesktop = gfx::hresult(0x82000008);
constexpr gfx::HRESULT errorHardwareLacksFunctionsOnDesktop = gfx::hresult(0x82000009);
constexpr gfx::HRESULT errorNonZeroReferenceCount = gfx::hresult(0x8200000A);
constexpr gfx::HRESULT errorMediaNotFound = gfx::hresult(0x8200000B);
constexpr gfx::HRESULT errorResetFailed = gfx::hresult(0x8200000C);
constexpr gfx::HRESULT errorNullReferenceDevice = gfx::hresult(0x8200000D);

// The message for a code; codes without their own text get the generic one.
const char* errorMessageText(gfx::HRESULT code);

// Appended, after a blank line, when the program falls back to the
// reference device.
inline constexpr const char* switchingToReferenceText =
    "\n\nSwitching to the reference rasterizer,\n"
    "a software device that implements the entire\n"
    "Direct3D feature set, but runs very slowly.";

} // namespace framework
