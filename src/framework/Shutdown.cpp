// The close sequence: device objects, device and Direct3D object go first,
// then the application's own shutdown, then the menu and the window; the
// quit message ends the loop.
#include "framework/GraphicsApplication.h"

namespace framework {

void GraphicsApplication::shutDown() {
    // A WM_CLOSE can arrive again after the window is gone (a fatal error
    // raised while another one closes the program): nothing is left to do.
    if (shutDownDone) return;
    shutDownDone = true;

    active = 0;
    ready = 0;
    if (device) {
        releaseVideoResources();
        releaseDeviceResources();
        gfx::releaseAndNull(device);
    }
    // Also when the device is already gone (a failed device change).
    gfx::releaseAndNull(d3d);

    shutdownApplication();

    if (window) {
        platform.destroyMenu(platform.getMenu(window));
        platform.destroyWindow(window);
        window = nullptr;
        focusWindow = nullptr;
    }
    platform.postQuitMessage(0);
}

} // namespace framework
