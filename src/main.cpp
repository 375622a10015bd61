// Orbivista's entry point: starts the desktop platform, constructs the one
// application object over it and the OpenGL-backed Direct3D factory, and
// runs it.  The exit code is the message loop's, or 0 when start-up fails.
#include "app/OrreryApplication.h"
#include "framework/GraphicsApplication.h"
#include "gfx/device/Direct3D.h"
#include "platform/StartPlatform.h"
#include "resources/Resources.h"

#include <memory>

int main(int argc, char** argv) {
    orbivistaInitResources();
    const std::unique_ptr<platform::Platform> desktop = platform::startPlatform(argc, argv);
    // The application object is large (enumeration lists, meshes): it lives
    // on the heap, and goes before the platform it talks to.
    const auto application = std::make_unique<app::OrreryApplication>(
        framework::Environment{desktop.get(), gfx::Direct3DCreate8});
    return framework::runApplication(*application);
}
