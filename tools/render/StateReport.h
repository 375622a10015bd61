// The state of a headless run after its last frame as JSON: selection,
// view, toggles, clock, camera, sky counts, the overlay's texts and the menu.
// Numbers are written with 17 significant digits, so that every double (and
// every float widened to double) reads back to the same value.
#pragma once

#include "app/OrreryApplication.h"
#include "platform/Platform.h"

#include <string>
#include <vector>

namespace headless {

std::string stateJson(const app::OrreryApplication& application,
                      const std::vector<platform::MenuItemState>& menuItems);

// A JSON string literal for text (quotes, backslashes and control
// characters escaped; bytes >= 0x80 passed through as UTF-8).
std::string jsonString(const std::string& text);
// A JSON number for value: %.17g, and null for NaN and infinities, which JSON
// cannot carry.
std::string jsonNumber(double value);

} // namespace headless
