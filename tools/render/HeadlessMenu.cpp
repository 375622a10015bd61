// The headless menu model (see HeadlessMenu.h).  The document's shape:
//     {"popups": [{"text": "&View", "items": [
//         {"id": 40052, "text": "...\tF3", "checked": true, "grayed": false},
//         {"separator": true}, {"text": "Sub&menu", "items": [...]}]}]}
#include "HeadlessMenu.h"

#include <QJsonArray>
#include <QJsonObject>

namespace headless {
namespace {

// Popups nest this deep at most; deeper documents are refused, not recursed.
constexpr int maximumDepth = 8;

bool addItems(const QJsonValue& items, int depth, std::vector<platform::MenuItemState>* out,
              std::string* error) {
    if (!items.isArray() || depth > maximumDepth) {
        *error = "a popup has no valid \"items\" list";
        return false;
    }
    for (const QJsonValue& value : items.toArray()) {
        const QJsonObject item = value.toObject();
        if (item.value("separator").toBool()) continue;
        if (item.contains("items")) {
            if (!addItems(item.value("items"), depth + 1, out, error)) return false;
            continue;
        }
        const qint64 id = item.value("id").toInteger(-1);
        if (id <= 0 || id > 0xFFFF) {
            *error = "item \"" + item.value("text").toString().toStdString() + "\" has no valid id";
            return false;
        }
        platform::MenuItemState state;
        state.id = uint32_t(id);
        state.text = item.value("text").toString().toStdString();
        state.checked = item.value("checked").toBool();
        state.enabled = !item.value("grayed").toBool() && item.value("enabled").toBool(true);
        out->push_back(state);
    }
    return true;
}

} // namespace

std::optional<HeadlessMenu> HeadlessMenu::build(const QJsonDocument& document, std::string* error) {
    const QJsonValue popups = document.object().value("popups");
    if (!popups.isArray()) {
        *error = "no \"popups\" list";
        return std::nullopt;
    }
    HeadlessMenu menu;
    for (const QJsonValue& popup : popups.toArray())
        if (!addItems(popup.toObject().value("items"), 1, &menu.entries, error))
            return std::nullopt;
    return menu;
}

platform::MenuItemState* HeadlessMenu::find(uint32_t id) {
    for (platform::MenuItemState& item : entries)
        if (item.id == id) return &item;
    return nullptr;
}

void HeadlessMenu::setText(uint32_t id, const std::string& text) {
    if (auto* item = find(id)) item->text = text;
}

void HeadlessMenu::setChecked(uint32_t id, bool checked) {
    if (auto* item = find(id)) item->checked = checked;
}

void HeadlessMenu::setEnabled(uint32_t id, bool enabled) {
    if (auto* item = find(id)) item->enabled = enabled;
}

} // namespace headless
