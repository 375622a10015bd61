// OrreryApplication: the one concrete application object.
//
// It derives from the framework's GraphicsApplication (window, device, main
// loop) and from OrreryState (everything the renderer and the overlay read
// each frame), persists the window size and the mip-mapping choice in the
// settings store, and overrides ten of the framework's virtual operations.
//
// Index of the implementation:
//   OrreryApplication.cpp  construction, settings, one-time initialisation,
//                          catalogues, final clean-up, frame rendering
//   Commands.cpp           messages: commands, menus, mouse, About box
//   Camera.cpp             the clock and the camera of every frame
//   SkyPoints.cpp          the per-frame sky point list
//   DeviceObjects.cpp      textures, buffers, fonts and state blocks
#pragma once

#include "framework/GraphicsApplication.h"
#include "model/BodyTable.h"
#include "model/StarSearchIndex.h"
#include "platform/Platform.h"
#include "scene/OrreryState.h"

#include <memory>
#include <string>

namespace app {

// Most points the sky point list holds: the nine planets and up to 29991
// catalogue stars.
constexpr int32_t skyPointCapacity = 30000;

// The About box's dialog procedure: OK and Cancel close it with 1.
class AboutDialog : public platform::DialogProcedure {
public:
    explicit AboutDialog(platform::Platform& platform) : platform(platform) {}
    intptr_t dialogMessage(platform::HDLG dialog, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;

private:
    platform::Platform& platform;
};

class OrreryApplication : public framework::GraphicsApplication, public scene::OrreryState {
public:
    explicit OrreryApplication(const framework::Environment& environment);
    ~OrreryApplication() override;

    // ---- framework overrides, in slot order
    gfx::HRESULT acceptDevice(const gfx::D3DCAPS8& caps, uint32_t behavior,
                              gfx::D3DFORMAT backBufferFormat) override; // 1
    gfx::HRESULT initializeOnce() override;                              // 2
    gfx::HRESULT createDeviceResources() override;                       // 3
    gfx::HRESULT createVideoResources() override;                        // 4
    gfx::HRESULT advanceFrame() override;                                // 5: updateCamera
    gfx::HRESULT renderFrame() override;                                 // 6
    gfx::HRESULT releaseVideoResources() override;                       // 7
    gfx::HRESULT releaseDeviceResources() override;                      // 8
    gfx::HRESULT shutdownApplication() override;                         // 9
    intptr_t handleMessage(gfx::HWND window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override; // 12

    // ---- per frame
    // Clock, mouse-look, projection, camera for the view mode, view matrix,
    // then the sky point list.  Always S_OK.
    gfx::HRESULT updateCamera();
    // Fills the sky point list and uploads it into a fresh pointBuffer.
    void selectSkyPoints();
    // Rebuilds the sky search's index of `stars` along the zone table; due
    // whenever the zone table changes.  False, with an empty index, when the
    // memory for it cannot be had.
    bool indexCatalogue();

    // Rewrites the seven Moon menu items for the moons of system `planet`.
    void relabelMoonMenu(int32_t planet);
    // The planet whose moons the Moon menu names; 0 while it holds the
    // resource's placeholders (no menu yet).
    int32_t moonMenuPlanet = 0;

    // The menu of the main window, fetched once by initializeOnce.
    platform::HMENU menu = nullptr;
    // Set from construction to the end of initializeOnce: the window shows
    // the loading text meanwhile.
    int32_t loading = 1;
    // Folder the star catalogues "sao.pc" and "ppm.pc" are read from: the
    // working directory.
    std::string catalogueFolder = ".";

private:
    // Construction and settings (OrreryApplication.cpp)
    void readSettings();
    void writeSettings();
    void showCatalogueItem(uint32_t command, const char* label, const char* fileName);
    bool loadCatalogue(const char* fileName);
    std::string cataloguePath(const char* fileName) const;

    // Commands (Commands.cpp)
    bool handleCommand(uint32_t command);
    void selectPlanet(int32_t newPlanet);
    void selectMoon(int32_t slot);
    void switchCatalogue(uint32_t command);
    void toggleMipMapping();
    void showAboutBox();
    void beginMouseLook();
    void endMouseLook();
    void turnWheel(uintptr_t wParam);
    void setCheck(uint32_t command, int32_t checked);

    // Clock and camera (Camera.cpp)
    void advanceClock();
    void applyMouseLook();
    void placeCamera();
    gfx::D3DXMATRIX selectedOrbitPlane(const model::Body& planetBody);

    // Device objects (DeviceObjects.cpp)
    void loadSpriteTextures();
    void releaseSpriteTextures();
    gfx::HRESULT createMeshBuffers();
    void setDeviceStates();
    void recordStateBlocks();

    AboutDialog aboutDialog;
    // The client size the window opened with, which may be smaller than the
    // saved size asked for (the window must fit the screen).
    int32_t openedClientWidth = 0, openedClientHeight = 0;
    // appTime at the previous frame, seconds: the clock advances by the
    // difference, so a paused stretch is not made up later.
    double lastAppTime = 0.0;
    // Line of nodes of the selected planet's orbit (orbit frame) and the
    // planet it belongs to; recomputed only when the planet changes.
    gfx::D3DXVECTOR3 orbitPlaneAxis = {};
    int32_t orbitPlaneAxisPlanet = -1;
    // Scratch for the sky point list, skyPointCapacity records (600000 bytes).
    std::unique_ptr<model::StarRecord[]> skyPoints;
    // `stars` by zone segment and decreasing point size, for the sky search.
    model::StarSearchIndex starIndex;
};

} // namespace app
