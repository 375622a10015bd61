// One frame of the application: see FramePass.h.
#include "app/FramePass.h"

#include "gfx/device/Device.h"
#include "overlay/HeadsUpDisplay.h"
#include "render/ScenePass.h"
#include "scene/FrameGeometry.h"

#include <ctime>
#include <vector>
#include <algorithm>
#include <cstdio>
namespace prof2 {
inline double now() { timespec t; clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t); return t.tv_sec*1e6 + t.tv_nsec/1e3; }
struct Acc { const char* name; std::vector<double> v; ~Acc(){ if(v.empty())return; std::sort(v.begin(),v.end()); fprintf(stderr,"PROF %-14s median %.1f us\n",name,v[v.size()/2]); } };
}
namespace app {

int32_t renderFrame(scene::OrreryState& state, const scene::FrameContext& frame) {
    gfx::Device* device = frame.device;
    if (!device) return 0;

    static prof2::Acc a{"geometry"},b{"clear"},c{"scene"},d{"overlay"};
    double t=prof2::now(),u;
    const scene::FrameGeometry geometry = scene::deriveFrameGeometry(state);
    render::setSunLights(geometry, device);
    u=prof2::now(); a.v.push_back(u-t); t=u;
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0);
    if (gfx::FAILED(device->BeginScene())) return 0;
    u=prof2::now(); b.v.push_back(u-t); t=u;

    render::drawScene(state, geometry, device);
    u=prof2::now(); c.v.push_back(u-t); t=u;
    overlay::drawOverlay(state, geometry, frame, state.labelWorldMatrix);
    u=prof2::now(); d.v.push_back(u-t); t=u;

    device->EndScene();
    return 0;
}

} // namespace app
