// A GraphicsApplication whose hooks log their calls and answer what the test
// asks, and the harness that runs it over the fake platform and Direct3D.
#pragma once

#include "framework/ErrorMessages.h"
#include "framework/GraphicsApplication.h"
#include "support/FakeDirect3D.h"
#include "support/FakePlatform.h"

#include <functional>
#include <map>
#include <memory>
#include <string>

namespace frameworktest {

using testsupport::CallLog;
using testsupport::FakeDevice;
using testsupport::FakeDirect3D;
using testsupport::FakePlatform;

class RecordingApplication : public framework::GraphicsApplication {
public:
    RecordingApplication(const framework::Environment& environment, CallLog& log)
        : GraphicsApplication(environment), log(log) {}

    // A hook named here returns that result instead of 0.
    std::map<std::string, gfx::HRESULT> failures;
    std::function<gfx::HRESULT(const gfx::D3DCAPS8&, uint32_t, gfx::D3DFORMAT)> accept;

    void listReferenceDevice() {
        static constexpr framework::DeviceTypeEntry both[] = {framework::hardwareDeviceTypes[0],
                                                              framework::referenceDeviceType};
        deviceTypes = both;
        deviceTypeCount = 2;
    }
    using GraphicsApplication::currentDeviceEntry;

    gfx::HRESULT acceptDevice(const gfx::D3DCAPS8& caps, uint32_t behavior,
                              gfx::D3DFORMAT format) override {
        return accept ? accept(caps, behavior, format) : gfx::S_OK;
    }
    gfx::HRESULT initializeOnce() override { return hook("initializeOnce"); }
    gfx::HRESULT createDeviceResources() override { return hook("createDeviceResources"); }
    gfx::HRESULT createVideoResources() override { return hook("createVideoResources"); }
    gfx::HRESULT advanceFrame() override { return hook("advanceFrame"); }
    gfx::HRESULT renderFrame() override { return hook("renderFrame"); }
    gfx::HRESULT releaseVideoResources() override { return hook("releaseVideoResources"); }
    gfx::HRESULT releaseDeviceResources() override { return hook("releaseDeviceResources"); }
    gfx::HRESULT shutdownApplication() override { return hook("shutdownApplication"); }

private:
    gfx::HRESULT hook(const std::string& name) {
        log.add("hook " + name);
        auto found = failures.find(name);
        return found == failures.end() ? gfx::S_OK : found->second;
    }
    CallLog& log;
};

// The fakes and one application over them.  Members are destroyed in
// reverse order, so the application goes before the fakes it uses.
struct Harness {
    CallLog log;
    FakePlatform platform{&log};
    FakeDirect3D d3d{log};
    std::unique_ptr<RecordingApplication> app;

    Harness() {
        FakeDirect3D::instance = &d3d;
        d3d.adapters[0].modes = {
            {640, 480, 60, gfx::D3DFMT_R5G6B5},     {800, 600, 60, gfx::D3DFMT_R5G6B5},
            {1024, 768, 60, gfx::D3DFMT_R5G6B5},    {640, 480, 60, gfx::D3DFMT_X8R8G8B8},
            {800, 600, 60, gfx::D3DFMT_X8R8G8B8},   {1024, 768, 60, gfx::D3DFMT_X8R8G8B8},
            {1280, 1024, 60, gfx::D3DFMT_X8R8G8B8},
        };
    }
    ~Harness() { FakeDirect3D::instance = nullptr; }

    RecordingApplication& make() {
        framework::Environment environment{&platform, &FakeDirect3D::create};
        app = std::make_unique<RecordingApplication>(environment, log);
        return *app;
    }
    // A started application with its frames in the log from here on.
    RecordingApplication& start() {
        make();
        started = app->startUp();
        log.clear();
        return *app;
    }
    FakeDevice& device() { return *d3d.lastDevice(); }
    // One frame after `seconds` of clock time.
    gfx::HRESULT frameAfter(double seconds) {
        platform.advanceClock(seconds);
        return app->produceFrame();
    }
    intptr_t send(uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0) {
        return app->handleMessage(platform.mainWindow(), message, wParam, lParam);
    }
    intptr_t command(uint32_t id) { return send(platform::WM_COMMAND, id); }

    gfx::HRESULT started = gfx::E_FAIL;
};

} // namespace frameworktest
