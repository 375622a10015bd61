// The window messages the program handles, with their Win32 numbers and
// meanings, and the few structs and flags that travel with them.  The Qt
// platform translates its events into these; tests send them directly.
#pragma once

#include <cstdint>

namespace platform {

// Message ids
constexpr uint32_t WM_NULL = 0x0000;
constexpr uint32_t WM_CREATE = 0x0001;
constexpr uint32_t WM_DESTROY = 0x0002;
constexpr uint32_t WM_MOVE = 0x0003;
constexpr uint32_t WM_SIZE = 0x0005;       // wParam SIZE_*, lParam MAKELPARAM(width, height)
constexpr uint32_t WM_ACTIVATE = 0x0006;
constexpr uint32_t WM_PAINT = 0x000F;
constexpr uint32_t WM_CLOSE = 0x0010;
constexpr uint32_t WM_QUIT = 0x0012;       // wParam: exit code
constexpr uint32_t WM_SETCURSOR = 0x0020;
constexpr uint32_t WM_GETMINMAXINFO = 0x0024; // lParam: MINMAXINFO*
constexpr uint32_t WM_CONTEXTMENU = 0x007B;
constexpr uint32_t WM_NCHITTEST = 0x0084;
constexpr uint32_t WM_KEYDOWN = 0x0100;    // wParam: KeyStroke* (see below), lParam 0
constexpr uint32_t WM_KEYUP = 0x0101;
constexpr uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr uint32_t WM_INITDIALOG = 0x0110;
constexpr uint32_t WM_COMMAND = 0x0111;    // LOWORD(wParam) command id, HIWORD notification
constexpr uint32_t WM_SYSCOMMAND = 0x0112; // wParam SC_* (low 4 bits ignored)
constexpr uint32_t WM_MOUSEMOVE = 0x0200;  // lParam MAKELPARAM(x, y) client coordinates
constexpr uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr uint32_t WM_LBUTTONUP = 0x0202;
constexpr uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr uint32_t WM_RBUTTONUP = 0x0205;
constexpr uint32_t WM_MOUSEWHEEL = 0x020A; // HIWORD(wParam) signed delta (120 a notch), LOWORD MK_*
constexpr uint32_t WM_ENTERMENULOOP = 0x0211;
constexpr uint32_t WM_EXITMENULOOP = 0x0212;
constexpr uint32_t WM_POWERBROADCAST = 0x0218;
constexpr uint32_t WM_ENTERSIZEMOVE = 0x0231;
constexpr uint32_t WM_EXITSIZEMOVE = 0x0232;

// WM_SIZE kinds
constexpr uintptr_t SIZE_RESTORED = 0;
constexpr uintptr_t SIZE_MINIMIZED = 1;
constexpr uintptr_t SIZE_MAXIMIZED = 2;
constexpr uintptr_t SIZE_MAXSHOW = 3;
constexpr uintptr_t SIZE_MAXHIDE = 4;

// WM_SYSCOMMAND kinds
constexpr uintptr_t SC_SIZE = 0xF000;
constexpr uintptr_t SC_MOVE = 0xF010;
constexpr uintptr_t SC_MINIMIZE = 0xF020;
constexpr uintptr_t SC_MAXIMIZE = 0xF030;
constexpr uintptr_t SC_CLOSE = 0xF060;
constexpr uintptr_t SC_KEYMENU = 0xF100;
constexpr uintptr_t SC_MONITORPOWER = 0xF170;

// WM_POWERBROADCAST kinds
constexpr uintptr_t PBT_APMQUERYSUSPEND = 0;
constexpr uintptr_t PBT_APMRESUMESUSPEND = 7;

constexpr intptr_t HTCLIENT = 1;

// Mouse key flags (low word of wParam of mouse messages)
constexpr uintptr_t MK_LBUTTON = 0x0001;
constexpr uintptr_t MK_RBUTTON = 0x0002;
constexpr uintptr_t MK_SHIFT = 0x0004;
constexpr uintptr_t MK_CONTROL = 0x0008;

// Dialog results and notifications
constexpr intptr_t IDOK = 1;
constexpr intptr_t IDCANCEL = 2;
constexpr uint32_t BN_CLICKED = 0;
constexpr uint32_t CBN_SELENDOK = 9;

// Window styles the framework switches between
constexpr uint32_t WS_POPUP = 0x80000000;
constexpr uint32_t WS_VISIBLE = 0x10000000;
constexpr uint32_t WS_SYSMENU = 0x00080000;
constexpr uint32_t WS_OVERLAPPEDWINDOW = 0x00CF0000;

constexpr uint16_t LOWORD(uintptr_t v) { return static_cast<uint16_t>(v & 0xFFFF); }
constexpr uint16_t HIWORD(uintptr_t v) { return static_cast<uint16_t>((v >> 16) & 0xFFFF); }
constexpr intptr_t MAKELPARAM(int32_t low, int32_t high) {
    return static_cast<intptr_t>((static_cast<uint32_t>(low) & 0xFFFF) |
                                 ((static_cast<uint32_t>(high) & 0xFFFF) << 16));
}
constexpr uintptr_t MAKEWPARAM(uint32_t low, uint32_t high) {
    return static_cast<uintptr_t>((low & 0xFFFF) | ((high & 0xFFFF) << 16));
}
constexpr int16_t GET_WHEEL_DELTA_WPARAM(uintptr_t w) { return static_cast<int16_t>(HIWORD(w)); }

struct MINMAXINFO {
    int32_t minTrackWidth = 0, minTrackHeight = 0;
};

// A key press as the accelerator table names keys: Qt's portable key
// sequence text ("F3", "Ctrl+1", "Alt+Return", "Pause").  WM_KEYDOWN carries
// a pointer to one in wParam; TranslateAccelerator turns it into WM_COMMAND.
struct KeyStroke {
    const char* name = "";
};

} // namespace platform
