// The application's window message handler: menu and accelerator commands,
// the menu's check marks and texts, right-button mouse-look, the wheel, the
// loading text and the About box.  Everything except the About command is
// passed on to the framework's handler afterwards.
#include "app/CameraControls.h"
#include "app/CommandIds.h"
#include "app/OrreryApplication.h"
#include "model/BodyTable.h"
#include "model/BodyTextures.h"
#include "model/SimulationClock.h"

#include <cstdio>

namespace app {

using namespace platform;

namespace {

// Wheel movement not yet turned into zoom steps, 120 units a notch.  One
// value for the process.
int16_t wheelAccumulator = 0;
constexpr int32_t wheelNotch = 120;

} // namespace

intptr_t AboutDialog::dialogMessage(HDLG dialog, uint32_t message, uintptr_t wParam, intptr_t) {
    if (message == WM_INITDIALOG) return 1;
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        platform.endDialog(dialog, 1);
        return 1;
    }
    return 0;
}

intptr_t OrreryApplication::handleMessage(gfx::HWND target, uint32_t message, uintptr_t wParam,
                                          intptr_t lParam) {
    switch (message) {
    case WM_PAINT:
        if (loading) platform.drawCentredText(target, "Loading... Please wait");
        break;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_ABOUT) {
            showAboutBox();
            return 0;
        }
        handleCommand(LOWORD(wParam));
        break;
    case WM_RBUTTONDOWN:
        beginMouseLook();
        break;
    case WM_RBUTTONUP:
        endMouseLook();
        break;
    case WM_MOUSEWHEEL:
        turnWheel(wParam);
        break;
    default:
        break;
    }
    const intptr_t result = GraphicsApplication::handleMessage(target, message, wParam, lParam);
    // However the planet came to change (a command while a menu is open,
    // one handled before the menu could be written), the Moon menu follows
    // it before the next message.
    if (moonMenuPlanet != planet) relabelMoonMenu(planet);
    return result;
}

void OrreryApplication::setCheck(uint32_t command, int32_t checked) {
    if (menu) platform.checkMenuItem(menu, command, checked != 0);
}

// Returns false for the commands it leaves to the framework alone.
bool OrreryApplication::handleCommand(uint32_t command) {
    if (command >= ID_PLANET_FIRST && command <= ID_PLANET_LAST) {
        selectPlanet(int32_t(command - (ID_PLANET_FIRST - 1)));
        return true;
    }
    if (command >= ID_MOON_FIRST && command <= ID_MOON_LAST) {
        selectMoon(int32_t(command - (ID_MOON_FIRST - 1)));
        return true;
    }
    if (command >= ID_VIEW_FROM_FIRST && command <= ID_VIEW_FROM_LAST) {
        const int32_t from = int32_t(command - (ID_VIEW_FROM_FIRST - 1));
        if (from != planet) viewFromPlanet = from;
        return true;
    }
    const bool moonSelected = moon >= 1 && model::bodyTable[model::bodyIndex(planet, moon)].present;
    switch (command) {
    case ID_NARROW_FIELD:
        narrowFieldOfView(*this);
        break;
    case ID_WIDEN_FIELD:
        widenFieldOfView(*this);
        break;
    case ID_MOVE_CLOSER:
        moveCloser(*this, keyDistanceStep);
        break;
    case ID_MOVE_FARTHER:
        moveFarther(*this, keyDistanceStep);
        break;
    case ID_SPEED_UP:
        clockRate = model::coarselyFaster(clockRate);
        break;
    case ID_SLOW_DOWN:
        clockRate = model::coarselySlower(clockRate);
        break;
    case ID_SPEED_UP_FINE:
        clockRate = model::finelyFaster(clockRate);
        break;
    case ID_SLOW_DOWN_FINE:
        clockRate = model::finelySlower(clockRate);
        break;
    case ID_GO_STOP:
        paused = !paused;
        setCheck(ID_GO_STOP, paused); // checked while the clock is stopped
        break;
    case ID_FIXED_SIDEREAL:
        viewMode = scene::ViewMode::FixedSidereal;
        break;
    case ID_FIXED_SOLAR:
        viewMode = scene::ViewMode::FixedSolar;
        break;
    case ID_AT_MOON:
        if (moonSelected) viewMode = scene::ViewMode::AtMoon;
        break;
    case ID_FROM_MOON:
        if (moonSelected) viewMode = scene::ViewMode::FromMoon;
        break;
    case ID_SHOW_REFERENCE:
        showReference = !showReference;
        setCheck(command, showReference);
        break;
    case ID_SHOW_PLANET_ORBITS:
        showPlanetOrbits = !showPlanetOrbits;
        setCheck(command, showPlanetOrbits);
        break;
    case ID_SHOW_MOON_ORBITS:
        showMoonOrbits = !showMoonOrbits;
        setCheck(command, showMoonOrbits);
        break;
    case ID_SHOW_STARS:
        showStars = starCount == 0 ? 0 : !showStars; // nothing to show without a catalogue
        setCheck(command, showStars);
        break;
    case ID_SHOW_LABELS:
        labelMode = labelMode >= 3 ? 0 : labelMode + 1;
        setCheck(command, labelMode != 0);
        break;
    case ID_TUTORIAL:
        tutorial = !tutorial;
        setCheck(command, tutorial);
        break;
    case ID_MIPMAPPING:
        toggleMipMapping();
        break;
    case ID_SAO_CATALOG:
    case ID_PPM_CATALOG:
        switchCatalogue(command);
        break;
    case ID_SHOW_POINT_COUNT:
        showPointCount = !showPointCount;
        break;
    case ID_WIREFRAME:
        wireframe = !wireframe;
        if (device)
            device->SetRenderState(gfx::D3DRS_FILLMODE,
                                   wireframe ? gfx::D3DFILL_WIREFRAME : gfx::D3DFILL_SOLID);
        break;
    default:
        return false;
    }
    return true;
}

// ------------------------------------------------------- selection commands

void OrreryApplication::selectPlanet(int32_t newPlanet) {
    model::releaseBodyTextures();
    if (device) model::loadSystemTextures(device, newPlanet);
    relabelMoonMenu(newPlanet);
    planet = newPlanet;
    moon = 0;
    viewFromPlanet = 0;
    if (viewMode != scene::ViewMode::FixedSidereal) viewMode = scene::ViewMode::FixedSolar;
    // Never start inside the new planet.
    const double closest = closestDistance(newPlanet);
    if (closest > distance) distance = closest;
}

void OrreryApplication::selectMoon(int32_t slot) {
    if (model::bodyTable[model::bodyIndex(planet, slot)].present) moon = slot;
    if (moon == slot && viewMode != scene::ViewMode::FromMoon) viewMode = scene::ViewMode::AtMoon;
}

// A catalogue that cannot be read leaves the loaded one, with its check
// mark, in place and shows the failed item as unavailable.
void OrreryApplication::switchCatalogue(uint32_t command) {
    const bool sao = command == ID_SAO_CATALOG;
    if (loadCatalogue(sao ? "sao.pc" : "ppm.pc")) {
        setCheck(ID_SAO_CATALOG, sao);
        setCheck(ID_PPM_CATALOG, !sao);
        return;
    }
    if (menu) {
        platform.modifyMenu(menu, command,
                            sao ? "SAO Catalog\t(unavailable)" : "PPM Catalog\t(unavailable)");
        platform.enableMenuItem(menu, command, false);
    }
}

// The setting takes effect at once: the four sprite textures are made again
// with or without mip levels, and the state blocks that record the mip
// filter are recorded again.  It is saved at exit.
void OrreryApplication::toggleMipMapping() {
    mipMapping = !mipMapping;
    setCheck(ID_MIPMAPPING, mipMapping);
    if (!device) return;
    releaseVideoResources();
    releaseSpriteTextures();
    loadSpriteTextures();
    createVideoResources();
}

void OrreryApplication::showAboutBox() {
    suspendFrames(true);
    if (windowed) {
        platform.dialogBox(window, IDD_ABOUT, &aboutDialog);
    } else {
        // A modal dialog needs the desktop: leave full screen around it, and
        // go back only when the switch did leave it.
        switchScreenMode();
        platform.dialogBox(window, IDD_ABOUT, &aboutDialog);
        if (windowed) switchScreenMode();
    }
    suspendFrames(false);
}

// -------------------------------------------------------------------- mouse

// While the right button is held the cursor is hidden and parked at the
// centre of the back buffer; each frame reads how far it moved and puts it
// back (Camera.cpp).  Where the pointer cannot be moved (Wayland) it stays
// where it is, and each frame reads how far it moved since the last.
void OrreryApplication::beginMouseLook() {
    if (dragging) return; // a repeated press must not lose the saved position
    if (windowed || !device)
        platform.showCursor(false);
    else
        device->ShowCursor(0);
    savedCursor = platform.getCursorPos();
    if (platform.canSetCursorPos()) {
        // The back buffer's centre, from its device pixels to client coordinates.
        const gfx::POINT centre =
            platform.clientToScreen(window, gfx::POINT{toWindowPixels(backBufferWidth / 2),
                                                       toWindowPixels(backBufferHeight / 2)});
        platform.setCursorPos(centre.x, centre.y);
    }
    dragOrigin = platform.getCursorPos(); // where the cursor really landed
    platform.setCapture(window);
    dragging = 1;
}

void OrreryApplication::endMouseLook() {
    if (!dragging) return; // a release whose press went elsewhere
    dragging = 0;
    platform.releaseCapture();
    if (platform.canSetCursorPos()) platform.setCursorPos(savedCursor.x, savedCursor.y);
    if (windowed || !device)
        platform.showCursor(true);
    else
        device->ShowCursor(1);
}

// Each 120 units forward zoom in one step; any backward movement steps out
// at once (-60 steps out once and leaves +60 pending).  Ctrl moves the camera
// by 5 % instead of changing the field of view.
void OrreryApplication::turnWheel(uintptr_t wParam) {
    const bool control = (LOWORD(wParam) & MK_CONTROL) != 0;
    // Summed in 32 bits so that a huge delta cannot wrap the 16-bit value.
    int32_t pending = int32_t(wheelAccumulator) + GET_WHEEL_DELTA_WPARAM(wParam);
    while (pending >= wheelNotch) {
        pending -= wheelNotch;
        if (control)
            moveCloser(*this, wheelDistanceStep);
        else
            narrowFieldOfView(*this);
    }
    while (pending < 0) {
        pending += wheelNotch;
        if (control)
            moveFarther(*this, wheelDistanceStep);
        else
            widenFieldOfView(*this);
    }
    wheelAccumulator = int16_t(pending);
}

} // namespace app
