// The state report of a headless run (see StateReport.h).
#include "StateReport.h"

#include "overlay/HeadsUpDisplay.h"
#include "overlay/OverlayText.h"

#include <cmath>
#include <cstdio>

namespace headless {
namespace {

const char* viewModeName(scene::ViewMode mode) {
    switch (mode) {
    case scene::ViewMode::FixedSidereal:
        return "FixedSidereal";
    case scene::ViewMode::FixedSolar:
        return "FixedSolar";
    case scene::ViewMode::AtMoon:
        return "AtMoon";
    case scene::ViewMode::FromMoon:
        return "FromMoon";
    }
    return "unknown";
}

std::string vector3(const gfx::D3DXVECTOR3& v) {
    return "[" + jsonNumber(v.x) + ", " + jsonNumber(v.y) + ", " + jsonNumber(v.z) + "]";
}

// Writes `"name": value` lines with the separators between them.
class ObjectWriter {
public:
    explicit ObjectWriter(std::string& out, const char* indent) : out(out), indent(indent) {}
    void field(const char* name, const std::string& value) {
        out += first ? "" : ",\n";
        first = false;
        out += indent;
        out += jsonString(name) + ": " + value;
    }
    void number(const char* name, double value) { field(name, jsonNumber(value)); }
    void text(const char* name, const std::string& value) { field(name, jsonString(value)); }
    void flag(const char* name, int32_t value) { field(name, value ? "true" : "false"); }

private:
    std::string& out;
    const char* indent;
    bool first = true;
};

} // namespace

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
                out += escaped;
            } else {
                out += c;
            }
        }
    }
    return out + "\"";
}

std::string jsonNumber(double value) {
    if (!std::isfinite(value)) return "null";
    char text[32];
    std::snprintf(text, sizeof text, "%.17g", value);
    return text;
}

std::string stateJson(const app::OrreryApplication& application,
                      const std::vector<platform::MenuItemState>& menuItems) {
    const scene::OrreryState& state = application;
    const overlay::ViewpointTexts viewpoint = overlay::viewpointTexts(state);

    std::string out = "{\n";
    ObjectWriter w(out, "  ");
    w.number("planet", state.planet);
    w.number("moon", state.moon);
    w.text("viewMode", viewModeName(state.viewMode));
    w.number("viewFromPlanet", state.viewFromPlanet);
    w.flag("showStars", state.showStars);
    w.flag("showReference", state.showReference);
    w.flag("showPlanetOrbits", state.showPlanetOrbits);
    w.flag("showMoonOrbits", state.showMoonOrbits);
    w.number("labelMode", state.labelMode);
    w.flag("tutorial", state.tutorial);
    w.flag("showPointCount", state.showPointCount);
    w.flag("wireframe", state.wireframe);
    w.flag("mipMapping", state.mipMapping);
    w.flag("paused", state.paused);
    w.number("clockRate", state.clockRate);
    w.number("dayNumber", state.dayNumber);
    w.number("dayFraction", state.dayFraction);
    w.number("yaw", state.yaw);
    w.number("pitch", state.pitch);
    w.number("fieldOfView", state.fieldOfView);
    w.number("distance", state.distance);
    w.field("eye", vector3(state.eye));
    w.field("lookAt", vector3(state.lookAt));
    w.field("up", vector3(state.up));
    w.number("backBufferWidth", state.backBufferWidth);
    w.number("backBufferHeight", state.backBufferHeight);
    w.number("pointCount", state.pointCount);
    w.number("starCount", state.starCount);
    w.number("appTime", application.appTime);
    w.text("dateText", overlay::clockText(state.dayFraction, state.dayNumber));
    // The bottom-left block, from the top line down.
    std::string texts = "[" + jsonString(viewpoint.target) + ", " +
                        jsonString(viewpoint.viewpoint) + ", " + jsonString(viewpoint.orientation) +
                        ", " + jsonString(overlay::distanceText(state)) + ", " +
                        jsonString(overlay::fieldOfViewText(state.fieldOfView)) + "]";
    w.field("bottomLeftTexts", texts);

    std::string items = "[";
    for (size_t i = 0; i < menuItems.size(); ++i) {
        const platform::MenuItemState& item = menuItems[i];
        items += i ? ",\n    " : "\n    ";
        items += "{\"id\": " + std::to_string(item.id) + ", \"text\": " + jsonString(item.text) +
                 ", \"checked\": " + (item.checked ? "true" : "false") +
                 ", \"enabled\": " + (item.enabled ? "true" : "false") + "}";
    }
    items += menuItems.empty() ? "]" : "\n  ]";
    w.field("menu", items);
    out += "\n}\n";
    return out;
}

} // namespace headless
