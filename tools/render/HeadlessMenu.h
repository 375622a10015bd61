// The main window's menu without a menu bar: the command items of a JSON
// menu resource (":/MENU/141", the same document the desktop menu bar is
// built from) with their texts, check marks and enabled states, changed the
// way the Win32 menu calls change them.
#pragma once

#include "platform/Platform.h"

#include <QJsonDocument>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace headless {

class HeadlessMenu {
public:
    // The menu of document; nullopt when it is not a menu definition (the
    // reason goes to *error).
    static std::optional<HeadlessMenu> build(const QJsonDocument& document, std::string* error);

    // By command id; the first item with the id, unknown ids are ignored as
    // Win32 ignores them.
    void setText(uint32_t id, const std::string& text);
    void setChecked(uint32_t id, bool checked);
    void setEnabled(uint32_t id, bool enabled);
    // Command items in menu order (separators and popups left out).
    const std::vector<platform::MenuItemState>& items() const { return entries; }
    // DestroyMenu.
    void clear() { entries.clear(); }

private:
    platform::MenuItemState* find(uint32_t id);
    std::vector<platform::MenuItemState> entries;
};

} // namespace headless
