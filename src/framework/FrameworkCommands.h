// The command identifiers the framework's window procedure handles itself:
// the device dialog, the switch between window and full screen, and exit.
// The application's command list (app/CommandIds.h) takes them from here.
#pragma once

#include <cstdint>

namespace framework {

constexpr uint32_t commandChangeDevice = 40002;
constexpr uint32_t commandToggleFullscreen = 40003;
constexpr uint32_t commandExit = 40006;

} // namespace framework
