// The heads-up display: see HeadsUpDisplay.h.
//
// Index of this file:
//   - text helpers (shadowed text, viewpoint, distance, field of view)
//   - labels
//   - diagnostic block
//   - clock-state indicator
//   - date and time
//   - tutorial and bottom-left block
//   - drawOverlay
#include "overlay/HeadsUpDisplay.h"

#include "gfx/device/Device.h"
#include "gfx/math/Math.h"
#include "gfx/services/Resources.h"
#include "model/BodyTable.h"
#include "model/OrbitalMotion.h"
#include "overlay/OverlayText.h"
#include "overlay/TextFont.h"
#include "scene/VertexLayouts.h"

#include <cstdio>
#include <string>

namespace overlay {

using namespace gfx;

namespace {

constexpr uint32_t labelShadowColour = 0xFF000000;
constexpr uint32_t shadowColour = 0xFF101010;
constexpr uint32_t planetLabelColour = 0xFFAF5F00;
constexpr uint32_t moonLabelColour = 0xFFAFAF00;
constexpr uint32_t diagnosticColour = 0xFFFFFF00;
constexpr uint32_t tutorialColour = 0xFF40AF40;

const char* nameOf(const model::Body& body) {
    return body.name ? body.name : "";
}

const model::Body& systemBody(const scene::OrreryState& state, int32_t slot) {
    return model::bodyTable[model::bodyIndex(state.planet, slot)];
}

// Per-frame values every part of the overlay shares.
struct OverlayFrame {
    const scene::OrreryState& state;
    const scene::FrameGeometry& geometry;
    Device* device;
    float shadow = 0;     // shadow offset in pixels
    float clockWidth = 0; // 1.05 x the width of "0000 000 00:00"
    uint32_t stateColour = 0;
};

void printShadowed(TextFont* font, float x, float y, float shadow, uint32_t colour,
                   const char* text) {
    if (!font) return;
    font->printText(x + shadow, y + shadow, shadowColour, text, 0);
    font->printText(x, y, colour, text, 0);
}

// ------------------------------------------------------------------ labels

// A label's top-left corner sits on the projected point.
void drawLabel(const OverlayFrame& frame, const D3DXMATRIX& labelWorldMatrix,
               const D3DXVECTOR3& point, const char* name, uint32_t colour) {
    const scene::OrreryState& state = frame.state;
    TextFont* font = state.smallFont;
    if (!font) return;
    D3DXVECTOR3 s;
    D3DXVec3Project(&s, &point, &frame.geometry.viewport, &state.projectionMatrix,
                    &state.viewMatrix, &labelWorldMatrix);
    if (!(s.z < 1.0f)) return;
    TextSize extent;
    font->measureText(name, &extent);
    if (!labelVisible(s.x, s.y, s.z, extent.cx, extent.cy, state.backBufferWidth,
                      state.backBufferHeight))
        return;
    if (frame.shadow > 0)
        font->printText(s.x + frame.shadow, s.y + frame.shadow, labelShadowColour, name, 0);
    font->printText(s.x, s.y, colour, name, 0);
}

void drawSunAndPlanetLabels(const OverlayFrame& frame, D3DXMATRIX& labelWorldMatrix) {
    const scene::OrreryState& state = frame.state;
    const model::Body& sun = model::bodyTable[model::sunIndex];
    drawLabel(frame, labelWorldMatrix, frame.geometry.sunDirection, nameOf(sun), planetLabelColour);

    // The Sun comes again from the list, at the same place.
    for (int32_t i = 0; i < model::systemCount; ++i) {
        if (i == state.planet) continue;
        const model::StarRecord seen =
            model::planetAsStar(i, state.planet, {state.dayFraction, state.dayNumber});
        const D3DXVECTOR3 direction = {seen.x, seen.y, seen.z};
        drawLabel(frame, labelWorldMatrix, direction,
                  nameOf(model::bodyTable[model::bodyIndex(i, 0)]), planetLabelColour);
    }
}

void drawMoonLabels(const OverlayFrame& frame, D3DXMATRIX& labelWorldMatrix) {
    const scene::OrreryState& state = frame.state;
    labelWorldMatrix = frame.geometry.planetPole;
    for (int32_t k = 1; k <= frame.geometry.moonCount; ++k) {
        // Standing on a moon, its own label would cover the view.
        if (k == state.moon && state.viewMode == scene::ViewMode::FromMoon) continue;
        const model::Body& moon = systemBody(state, k);
        const D3DXMATRIX& local = frame.geometry.bodyLocal[k];
        const D3DXVECTOR3 centre = {local.m[3][0], local.m[3][1], local.m[3][2]};
        drawLabel(frame, labelWorldMatrix, centre, nameOf(moon), moonLabelColour);
    }
}

void drawLabels(const OverlayFrame& frame, D3DXMATRIX& labelWorldMatrix) {
    const int32_t mode = frame.state.labelMode;
    if (mode == 0) return;
    // The sky transform: a unit direction lies on the viewer's sky sphere.
    labelWorldMatrix = frame.geometry.skyWorld;
    if (mode == 1 || mode == 2) drawSunAndPlanetLabels(frame, labelWorldMatrix);
    if (mode == 2 || mode == 3) drawMoonLabels(frame, labelWorldMatrix);
}

// -------------------------------------------------------- diagnostic block

void drawDiagnostics(const OverlayFrame& frame, const char* frameCaption) {
    const scene::OrreryState& state = frame.state;
    if (!state.showPointCount) return;
    char count[32];
    std::snprintf(count, sizeof count, "%d stars", state.pointCount);
    printShadowed(state.mediumFont, 2, 2, frame.shadow, diagnosticColour, count);
    const float second = 1.5f * float(state.mediumFontHeight) + 2;
    printShadowed(state.mediumFont, 2, second, frame.shadow, diagnosticColour,
                  frameCaption ? frameCaption : "");
}

// ---------------------------------------------------- clock-state indicator

void drawClockIndicator(const OverlayFrame& frame) {
    const scene::OrreryState& state = frame.state;
    const float w = float(state.backBufferWidth), h = float(state.backBufferHeight);
    const float x1 = 0.99f * w - frame.clockWidth, x2 = 0.99f * w;
    const float yB = h - 1.7f * float(state.mediumFontHeight);
    const float yT = yB - 0.6666667f * frame.clockWidth;
    auto strip = [&](float offset, uint32_t colour, scene::ScreenVertex out[4]) {
        out[0] = {x1 + offset, yB + offset, 0, 0.5f, colour, 0, 0, 1};
        out[1] = {x1 + offset, yT + offset, 0, 0.5f, colour, 0, 0, 0};
        out[2] = {x2 + offset, yB + offset, 0, 0.5f, colour, 0, 1, 1};
        out[3] = {x2 + offset, yT + offset, 0, 0.5f, colour, 0, 1, 0};
    };
    scene::ScreenVertex shadow[4], main[4];
    strip(frame.shadow, shadowColour, shadow);
    strip(0, frame.stateColour, main);
    frame.device->ApplyStateBlock(state.overlayStateBlock);
    frame.device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, shadow, sizeof(scene::ScreenVertex));
    frame.device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, main, sizeof(scene::ScreenVertex));
}

// ------------------------------------------------------------ date and time

void drawClock(const OverlayFrame& frame, float appTime) {
    const scene::OrreryState& state = frame.state;
    if (state.paused && !clockBlinkVisible(appTime)) return;
    const std::string text = clockText(state.dayFraction, state.dayNumber);
    const float x = 0.995f * float(state.backBufferWidth) - frame.clockWidth;
    const float y = float(state.backBufferHeight) - 1.5f * float(state.mediumFontHeight);
    printShadowed(state.mediumFont, x, y, frame.shadow, frame.stateColour, text.c_str());
}

// --------------------------------------------- tutorial and bottom-left block

// The planet's tutorial text, up to its first NUL; empty when absent.
std::string tutorialText(int32_t planet) {
    char name[32];
    std::snprintf(name, sizeof name, "TUT_%d", planet);
    const ResourceData resource = findResource(name, "TEXT");
    if (!resource.data) return {};
    const char* text = reinterpret_cast<const char*>(resource.data);
    size_t length = 0;
    while (length < resource.size && text[length] != '\0')
        ++length;
    return std::string(text, length);
}

void drawBottomLeft(const OverlayFrame& frame) {
    const scene::OrreryState& state = frame.state;
    const float hL = float(state.largeFontHeight), hM = float(state.mediumFontHeight),
                hS = float(state.smallFontHeight);
    float y0 = float(state.backBufferHeight);
    if (state.tutorial) {
        // The block moves up for the panel even when the text is missing.
        y0 -= 18 * hS;
        const std::string text = tutorialText(state.planet);
        if (!text.empty())
            printShadowed(state.smallFont, 10, y0, frame.shadow, tutorialColour, text.c_str());
    }

    const ViewpointTexts texts = viewpointTexts(state);
    const float fieldLine = y0 - 2 * hM;
    const float distanceLine = fieldLine - 1.5f * hM;
    const float orientationLine = distanceLine - 1.5f * hS;
    const float viewpointLine = orientationLine - 1.5f * hS;
    const float targetLine = viewpointLine - 1.5f * hL;
    const uint32_t colour = frame.stateColour;
    printShadowed(state.mediumFont, 10, fieldLine, frame.shadow, colour,
                  fieldOfViewText(state.fieldOfView).c_str());
    printShadowed(state.mediumFont, 10, distanceLine, frame.shadow, colour,
                  distanceText(state).c_str());
    printShadowed(state.smallFont, 10, orientationLine, frame.shadow, colour,
                  texts.orientation.c_str());
    printShadowed(state.smallFont, 10, viewpointLine, frame.shadow, colour,
                  texts.viewpoint.c_str());
    printShadowed(state.largeFont, 10, targetLine, frame.shadow, colour, texts.target.c_str());
}

} // namespace

// ------------------------------------------------------------- text helpers

ViewpointTexts viewpointTexts(const scene::OrreryState& state) {
    const char* planetName = nameOf(systemBody(state, 0));
    const int32_t moonSlot = state.moon >= 0 && state.moon < model::slotsPerSystem ? state.moon : 0;
    const char* moonName = nameOf(systemBody(state, moonSlot));
    char buffer[128];
    ViewpointTexts texts;
    switch (state.viewMode) {
    case scene::ViewMode::FixedSidereal:
        texts = {planetName, "as seen from fixed star viewpoint", "     horizontal equator"};
        break;
    case scene::ViewMode::FixedSolar:
        texts = {planetName, "as seen from relative solar viewpoint", "     horizontal ecliptic"};
        break;
    case scene::ViewMode::AtMoon:
        std::snprintf(buffer, sizeof buffer, "as seen from %s", planetName);
        texts = {moonName, buffer, "     north at top"};
        break;
    case scene::ViewMode::FromMoon:
        std::snprintf(buffer, sizeof buffer, "as seen from %s", moonName);
        texts = {planetName, buffer, "     north at top"};
        break;
    }
    return texts;
}

std::string distanceText(const scene::OrreryState& state) {
    D3DXVECTOR3 apart;
    D3DXVec3Subtract(&apart, &state.eye, &state.lookAt);
    char text[64];
    std::snprintf(text, sizeof text, "%8.0f km", double(D3DXVec3Length(&apart)) * 1000.0);
    return text;
}

std::string fieldOfViewText(double fieldOfView) {
    char text[64];
    // 180 over the single-precision pi.
    std::snprintf(text, sizeof text, " %2.2f deg FOV", fieldOfView * 57.29577791868204);
    return text;
}

// --------------------------------------------------------------- drawOverlay

void drawOverlay(const scene::OrreryState& state, const scene::FrameGeometry& geometry,
                 const scene::FrameContext& context, D3DXMATRIX& labelWorldMatrix) {
    if (!context.device) return;
    OverlayFrame frame{state, geometry, context.device};
    frame.shadow = shadowOffset(state.backBufferHeight);
    if (state.mediumFont) {
        TextSize clock;
        state.mediumFont->measureText("0000 000 00:00", &clock);
        frame.clockWidth = 1.05f * float(clock.cx);
    }
    frame.stateColour = clockStateColour(state.paused, state.clockRate);

    drawLabels(frame, labelWorldMatrix);
    drawDiagnostics(frame, context.frameCaption);
    drawClockIndicator(frame);
    drawClock(frame, context.appTime);
    drawBottomLeft(frame);
}

} // namespace overlay
