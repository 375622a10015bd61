// Command identifiers shared by the menu resource 141, the accelerator table
// 113 and the application's message handler, with the dialog templates the
// application opens.
#pragma once

#include "framework/FrameworkCommands.h"

#include <cstdint>

namespace app {

constexpr uint32_t ID_ABOUT = 40001;
// Handled by the framework.
constexpr uint32_t ID_CHANGE_DEVICE = framework::commandChangeDevice;
constexpr uint32_t ID_TOGGLE_FULLSCREEN = framework::commandToggleFullscreen;
constexpr uint32_t ID_EXIT = framework::commandExit;

// 40011..40019: planet N = id - 40010 (keys 1-9)
constexpr uint32_t ID_PLANET_FIRST = 40011;
constexpr uint32_t ID_PLANET_LAST = 40019;
// 40021..40027: moon slot k = id - 40020 (Ctrl+1..Ctrl+7)
constexpr uint32_t ID_MOON_FIRST = 40021;
constexpr uint32_t ID_MOON_LAST = 40027;

constexpr uint32_t ID_NARROW_FIELD = 40031;   // Up
constexpr uint32_t ID_WIDEN_FIELD = 40032;    // Down
constexpr uint32_t ID_SPEED_UP = 40033;       // Right, coarse
constexpr uint32_t ID_SLOW_DOWN = 40034;      // Left, coarse
constexpr uint32_t ID_SPEED_UP_FINE = 40035;  // Ctrl+Right
constexpr uint32_t ID_SLOW_DOWN_FINE = 40036; // Ctrl+Left
constexpr uint32_t ID_SHOW_REFERENCE = 40038;
constexpr uint32_t ID_SHOW_STARS = 40039;
constexpr uint32_t ID_FIXED_SOLAR = 40051;
constexpr uint32_t ID_FIXED_SIDEREAL = 40052;
constexpr uint32_t ID_AT_MOON = 40053;
constexpr uint32_t ID_FROM_MOON = 40054;
constexpr uint32_t ID_MOVE_CLOSER = 40064;  // Ctrl+Up, 3 % step
constexpr uint32_t ID_MOVE_FARTHER = 40065; // Ctrl+Down, 3 % step
constexpr uint32_t ID_SHOW_PLANET_ORBITS = 40066;
constexpr uint32_t ID_SHOW_MOON_ORBITS = 40067;
constexpr uint32_t ID_SHOW_LABELS = 40069;
constexpr uint32_t ID_GO_STOP = 40070;
constexpr uint32_t ID_SHOW_POINT_COUNT = 40071; // Ctrl+Alt+D, no menu item
constexpr uint32_t ID_SAO_CATALOG = 40072;
constexpr uint32_t ID_PPM_CATALOG = 40073;
constexpr uint32_t ID_MIPMAPPING = 40074;
// 40076..40084: view from planet N = id - 40075 (Alt+1..Alt+9)
constexpr uint32_t ID_VIEW_FROM_FIRST = 40076;
constexpr uint32_t ID_VIEW_FROM_LAST = 40084;
constexpr uint32_t ID_WIREFRAME = 40085; // Ctrl+W, no menu item
constexpr uint32_t ID_TUTORIAL = 40086;

// Dialog template of the About box.
constexpr int32_t IDD_ABOUT = 143;

} // namespace app
