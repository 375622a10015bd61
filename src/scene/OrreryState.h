// The application state that the renderer and the overlay read every frame:
// selection, view mode, toggles, clock, camera, sky and device objects.
//
// OrreryApplication owns one of these (it derives from it) and is the only
// writer; render/ and overlay/ take it by const reference and never include
// the application.  Plain data: every default is the program's documented
// start state.
//
// Units: lengths in thousands of km (one scene unit), angles in radians,
// time in days, sizes of the back buffer in pixels.
#pragma once

#include "gfx/device/Device.h"
#include "model/StarCatalogue.h"
#include "scene/Meshes.h"

#include <cstdint>

namespace overlay {
class TextFont;
}

namespace scene {

enum class ViewMode : int32_t {
    FixedSidereal = 0, // the planet from a direction fixed in its pole frame
    FixedSolar = 1,    // along the planet's line to the Sun (or another planet)
    AtMoon = 2,        // from the planet's centre toward the selected moon
    FromMoon = 3,      // from the selected moon's centre toward the planet
};

// Ring pass codes: which half of a ring (and of a moon's trail) to draw.
constexpr int32_t BehindPlanet = 1001;
constexpr int32_t InFrontOfPlanet = 1002;

struct OrreryState {
    // ---- selection and view
    int32_t planet = 3; // 1..9, the system index
    int32_t moon = 0;   // 1..7 slot of the planet's system; 0 = none
    ViewMode viewMode = ViewMode::FixedSolar;
    int32_t viewFromPlanet = 0; // FixedSolar looks from this planet; 0 = the Sun
    int32_t showStars = 1;
    int32_t showReference = 1;
    int32_t showPlanetOrbits = 1;
    int32_t showMoonOrbits = 1;
    int32_t labelMode = 2; // 0 none, 1 Sun and planets, 2 all, 3 moons
    int32_t tutorial = 0;
    int32_t showPointCount = 0;
    int32_t wireframe = 0;
    int32_t mipMapping = 1;
    int32_t mipFilter = 0; // D3DTSS_MIPFILTER recorded into the state blocks: 2 or 0

    // ---- clock and camera
    double dayFraction = 0.0; // (-1, 1) days
    int32_t dayNumber = 0;    // whole days since the epoch
    double clockRate = 0.5;   // simulated days per second of application time
    int32_t paused = 0;
    float yaw = 2.3561945f, yawBase = 2.3561945f;       // 135 degrees
    float pitch = 0.08726647f, pitchBase = 0.08726647f; // 5 degrees
    double fieldOfView = 20 * 0.017453293005625408;     // vertical, radians
    double distance = 1500.0;                           // eye to planet centre
    double aspectRatio = 4.0 / 3.0;
    gfx::D3DXVECTOR3 eye = {}, lookAt = {}, up = {}; // scene frame, planet at the origin
    gfx::D3DXMATRIX viewMatrix = {}, projectionMatrix = {};
    int32_t dragging = 0;
    gfx::POINT dragOrigin = {}, savedCursor = {};
    int32_t backBufferWidth = 0, backBufferHeight = 0, backBufferDiagonal = 0;

    // ---- sky and catalogue
    model::StarRecord* stars = nullptr; // malloc'ed by readStarCatalogue
    int32_t starCount = 0;              // declared count of the loaded catalogue; 0 = none
    int32_t pointCount = 0;             // this frame's sky point list
    gfx::VertexBuffer* pointBuffer = nullptr;

    // ---- geometry, built once
    scene::MeshSet meshes;

    // ---- device objects
    gfx::Texture* cursorTexture = nullptr;
    gfx::Texture* shadeTexture = nullptr;
    gfx::Texture* starlightTexture = nullptr;
    gfx::Texture* sunGlowTexture = nullptr;
    gfx::Texture* sunDiscTexture = nullptr;
    gfx::Texture* gridColorTexture = nullptr;
    gfx::VertexBuffer* sphereVertexBuffers[4] = {};
    gfx::IndexBuffer* sphereIndexBuffers[4] = {};
    gfx::VertexBuffer* ringVertexBuffer = nullptr;
    overlay::TextFont* largeFont = nullptr;
    overlay::TextFont* mediumFont = nullptr;
    overlay::TextFont* smallFont = nullptr;
    int32_t largeFontHeight = 0, mediumFontHeight = 0, smallFontHeight = 0;
    uint32_t overlayStateBlock = 0;
    uint32_t lineStateBlock = 0;
    uint32_t planetStateBlock = 0;
    uint32_t gridStateBlock = 0;
    uint32_t ringStateBlock = 0;
    uint32_t sunStateBlock = 0;
    uint32_t starStateBlock = 0;

    // Scratch of the overlay's label pass (the only field it writes).
    gfx::D3DXMATRIX labelWorldMatrix = {};
};

// What the frame pass needs from the framework besides the state.
struct FrameContext {
    gfx::Device* device = nullptr;
    float appTime = 0;             // seconds of application time at this frame
    const char* frameCaption = ""; // the frame statistics line
};

} // namespace scene
