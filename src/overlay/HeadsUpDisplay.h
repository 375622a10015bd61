// The heads-up display: everything drawn flat over the scene, last in every
// frame (inside the scene, after all 3D drawing).
//
// - name labels at the projected places of the Sun, the planets and the
//   selected planet's moons (by labelMode: 1 Sun and planets, 2 all, 3 moons);
// - the diagnostic block (sky point count and frame statistics), top left;
// - the clock-state indicator and the simulated date and time, bottom right;
// - the target's name, the viewpoint in words, the distance and the field of
//   view, bottom left, with the tutorial text of the planet below them.
//
// Every text and quad is drawn twice: a dark shadow copy displaced by the
// shadow offset, then the real one.
#pragma once

#include "gfx/device/Types.h"
#include "scene/FrameGeometry.h"
#include "scene/OrreryState.h"

#include <string>

namespace overlay {

// Reads the state and the frame's geometry; writes only labelWorldMatrix (the
// label projection's world matrix, first the viewer's sky sphere, then the
// planet's orientation) and the device state the overlay block and the fonts
// leave.
void drawOverlay(const scene::OrreryState& state, const scene::FrameGeometry& geometry,
                 const scene::FrameContext& frame, gfx::D3DXMATRIX& labelWorldMatrix);

// The viewpoint texts of the bottom-left block.
struct ViewpointTexts {
    std::string target;      // the name the camera looks at
    std::string viewpoint;   // "as seen from ..."
    std::string orientation; // "     horizontal equator", ...
};
ViewpointTexts viewpointTexts(const scene::OrreryState& state);

// "%8.0f km" with the eye's distance from its target in km.
std::string distanceText(const scene::OrreryState& state);
// " %2.2f deg FOV" with the field of view in degrees.
std::string fieldOfViewText(double fieldOfView);

} // namespace overlay
