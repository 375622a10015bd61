// Device enumeration over a fake Direct3D: mode filtering and merging, the
// mode order, vertex-processing and depth format choice, the starting mode
// and device, the reference-device warnings and the list capacities.
#include "TestApplication.h"

#include "framework/Enumeration.h"

#include <gtest/gtest.h>

#include <vector>

namespace frameworktest {
namespace {

using gfx::D3DDISPLAYMODE;
using gfx::hresult;

class EnumerationTest : public ::testing::Test {
protected:
    EnumerationTest() {
        h.make();
        h.d3d.AddRef(); // the application releases its reference when it goes
        app().d3d = &h.d3d;
    }
    RecordingApplication& app() { return *h.app; }
    framework::DeviceEntry& hal(uint32_t adapter = 0) { return app().adapters[adapter].devices[0]; }
    std::vector<std::string> modeList(const framework::DeviceEntry& device) {
        std::vector<std::string> list;
        for (uint32_t m = 0; m < device.modeCount; ++m)
            list.push_back(std::to_string(device.modes[m].width) + "x" +
                           std::to_string(device.modes[m].height) + ":" +
                           std::to_string(device.modes[m].format));
        return list;
    }
    Harness h;
};

TEST_F(EnumerationTest, SmallModesAreDroppedAndRefreshRatesMerged) {
    h.d3d.adapters[0].modes = {
        {320, 240, 60, gfx::D3DFMT_R5G6B5}, {640, 350, 70, gfx::D3DFMT_R5G6B5},
        {639, 480, 60, gfx::D3DFMT_R5G6B5}, {640, 400, 70, gfx::D3DFMT_R5G6B5},
        {800, 600, 60, gfx::D3DFMT_R5G6B5}, {800, 600, 75, gfx::D3DFMT_R5G6B5},
        {800, 600, 85, gfx::D3DFMT_R5G6B5},
    };
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(modeList(hal()), (std::vector<std::string>{"640x400:23", "800x600:23"}));
}

TEST_F(EnumerationTest, ModesRunByFormatDescendingThenBySize) {
    h.d3d.adapters[0].modes = {
        {1024, 768, 60, gfx::D3DFMT_X8R8G8B8}, {800, 600, 60, gfx::D3DFMT_R5G6B5},
        {640, 480, 60, gfx::D3DFMT_X8R8G8B8},  {800, 480, 60, gfx::D3DFMT_R5G6B5},
        {800, 600, 60, gfx::D3DFMT_X1R5G5B5},  {640, 480, 60, gfx::D3DFMT_R5G6B5},
    };
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(modeList(hal()),
              (std::vector<std::string>{"800x600:24", "640x480:23", "800x480:23", "800x600:23",
                                        "640x480:22", "1024x768:22"}));
}

TEST(CompareModes, FormatsCompareAsSignedNumbers) {
    D3DDISPLAYMODE a{640, 480, 0, 22}, b{640, 480, 0, 0x80000001u};
    EXPECT_LT(framework::compareModes(a, b), 0); // b's format is negative
    D3DDISPLAYMODE wide{0x80000000u, 480, 0, 22};
    EXPECT_LT(framework::compareModes(a, wide), 0); // widths unsigned
    EXPECT_EQ(framework::compareModes(a, a), 0);
    D3DDISPLAYMODE taller{640, 600, 75, 22};
    EXPECT_LT(framework::compareModes(a, taller), 0);
    EXPECT_GT(framework::compareModes(taller, a), 0);
}

TEST_F(EnumerationTest, The1024WideModeOfMostDepthIsTheStartingMode) {
    // Both depths at 1024 x 768: the 32-bit one.
    ASSERT_EQ(app().enumerateDevices(), 0);
    const auto& both = hal().modes[hal().currentMode];
    EXPECT_EQ(both.width, 1024u);
    EXPECT_EQ(both.format, gfx::D3DFMT_X8R8G8B8);

    // Only 16-bit 1024-wide modes: the last of them, whatever its height.
    h.d3d.adapters[0].modes = {{1024, 768, 60, gfx::D3DFMT_R5G6B5},
                               {1024, 600, 60, gfx::D3DFMT_X1R5G5B5},
                               {1280, 1024, 60, gfx::D3DFMT_R5G6B5},
                               {1024, 480, 60, gfx::D3DFMT_R5G6B5}};
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(modeList(hal())[hal().currentMode], "1024x768:23");

    // No 1024-wide mode: the first listed one.
    h.d3d.adapters[0].modes = {{800, 600, 60, gfx::D3DFMT_X8R8G8B8},
                               {640, 480, 60, gfx::D3DFMT_R5G6B5}};
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(hal().currentMode, 0u);
    EXPECT_EQ(modeList(hal())[0], "640x480:23");
}

TEST_F(EnumerationTest, VertexProcessingIsTheFirstTheApplicationAccepts) {
    std::vector<uint32_t> tried;
    auto& caps = h.d3d.adapters[0].halCaps;
    auto run = [&](uint32_t devCaps, std::function<bool(uint32_t)> accepts) {
        caps.DevCaps = devCaps;
        tried.clear();
        app().accept = [&, accepts](const gfx::D3DCAPS8&, uint32_t behaviour,
                                    gfx::D3DFORMAT format) {
            if (format == gfx::D3DFMT_X8R8G8B8) tried.push_back(behaviour);
            return accepts(behaviour) ? gfx::S_OK : gfx::E_FAIL;
        };
        EXPECT_EQ(app().enumerateDevices(), 0);
        return hal().modes[0].behaviorFlags;
    };
    const uint32_t tnl = gfx::D3DDEVCAPS_HWTRANSFORMANDLIGHT, pure = gfx::D3DDEVCAPS_PUREDEVICE;
    auto all = [](uint32_t) { return true; };

    EXPECT_EQ(run(tnl | pure, all), 0x50u);
    EXPECT_EQ(run(tnl, all), 0x40u);
    EXPECT_EQ(tried, (std::vector<uint32_t>{0x40}));
    EXPECT_EQ(run(pure, all), 0x20u); // a pure device needs hardware T&L
    EXPECT_EQ(run(0, all), 0x20u);
    EXPECT_EQ(run(tnl | pure, [](uint32_t b) { return b == 0x80 || b == 0x20; }), 0x80u);
    // Rejecting hardware vertex processing leaves software processing.
    EXPECT_EQ(run(tnl | pure, [](uint32_t b) { return !(b & (0x40 | 0x80)); }), 0x20u);
    EXPECT_EQ(tried, (std::vector<uint32_t>{0x50, 0x40, 0x80, 0x20}));
}

TEST_F(EnumerationTest, ARejectedFormatContributesNoModes) {
    app().accept = [](const gfx::D3DCAPS8&, uint32_t, gfx::D3DFORMAT format) {
        return format == gfx::D3DFMT_R5G6B5 ? gfx::E_FAIL : gfx::S_OK;
    };
    ASSERT_EQ(app().enumerateDevices(), 0);
    for (const std::string& mode : modeList(hal()))
        EXPECT_EQ(mode.substr(mode.size() - 3), ":22");

    app().accept = [](const gfx::D3DCAPS8&, uint32_t, gfx::D3DFORMAT) { return gfx::E_FAIL; };
    EXPECT_EQ(app().enumerateDevices(), hresult(0x82000003));
}

TEST_F(EnumerationTest, WithoutADepthBufferNoDepthFormatIsChecked) {
    ASSERT_EQ(app().enumerateDevices(), 0);
    for (uint32_t m = 0; m < hal().modeCount; ++m)
        EXPECT_EQ(hal().modes[m].depthStencilFormat, 0u);
    EXPECT_EQ(h.d3d.depthChecks, 0);
}

TEST_F(EnumerationTest, DepthFormatsAreTakenInTheirOrderOfPreference) {
    app().wantsDepthBuffer = 1;
    auto pick = [&](uint32_t depthBits, uint32_t stencilBits, std::set<gfx::D3DFORMAT> offered) {
        app().leastDepthBits = depthBits;
        app().leastStencilBits = stencilBits;
        h.d3d.adapters[0].depthFormats = offered;
        if (gfx::FAILED(app().enumerateDevices())) return gfx::D3DFORMAT(0xFFFF);
        return hal().modes[0].depthStencilFormat;
    };
    using namespace gfx;
    const std::set<D3DFORMAT> every{D3DFMT_D32,     D3DFMT_D24X8, D3DFMT_D24S8,
                                    D3DFMT_D24X4S4, D3DFMT_D16,   D3DFMT_D15S1};
    EXPECT_EQ(pick(16, 0, every), D3DFMT_D32);
    EXPECT_EQ(pick(16, 0, {D3DFMT_D16, D3DFMT_D24S8}), D3DFMT_D24S8);
    // One stencil bit rules out the stencil-less formats, 16 depth bits D15S1.
    EXPECT_EQ(pick(16, 1, {D3DFMT_D32, D3DFMT_D24X8, D3DFMT_D16, D3DFMT_D15S1}), D3DFORMAT(0xFFFF));
    EXPECT_EQ(pick(24, 4, {D3DFMT_D24X4S4, D3DFMT_D16}), D3DFMT_D24X4S4);
    EXPECT_EQ(pick(15, 1, {D3DFMT_D16, D3DFMT_D15S1}), D3DFMT_D15S1);
    EXPECT_EQ(pick(0, 0, {D3DFMT_D16}), D3DFMT_D16);
    // Nothing deep enough: no format is confirmed, so there is no device.
    EXPECT_EQ(pick(32, 8, every), D3DFORMAT(0xFFFF));
    EXPECT_EQ(pick(33, 0, every), D3DFORMAT(0xFFFF));
    // The comparisons are unsigned: a "negative" wish is never met.
    EXPECT_EQ(pick(16, 0xFFFFFFFFu, every), D3DFORMAT(0xFFFF));
}

TEST_F(EnumerationTest, ADeviceRendersWindowedOnlyOnAConfirmedDesktopFormat) {
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(hal().windowCapable, 1);
    EXPECT_EQ(hal().windowed, 1);
    EXPECT_STREQ(hal().name, "HAL");
    EXPECT_EQ(hal().windowMultisample, 0u);
    EXPECT_EQ(hal().screenMultisample, 0u);
    EXPECT_EQ(app().windowed, 1);

    // The desktop format fails its check: full-screen modes remain, no window.
    h.d3d.adapters[0].desktopMode.Format = gfx::D3DFMT_A8R8G8B8;
    h.d3d.adapters[0].rejectedFormats = {gfx::D3DFMT_A8R8G8B8};
    EXPECT_EQ(app().enumerateDevices(), hresult(0x82000004));
    EXPECT_GT(hal().modeCount, 0u);
    EXPECT_EQ(hal().windowCapable, 0);

    h.d3d.adapters[0].rejectedFormats.clear();
    h.d3d.adapters[0].halCaps.Caps2 = 0;
    EXPECT_EQ(app().enumerateDevices(), hresult(0x82000004));
}

TEST_F(EnumerationTest, TheStartingDeviceIsTheFirstThatRendersWindowed) {
    h.d3d.adapters.resize(3, h.d3d.adapters[0]);
    h.d3d.adapters[0].halCaps.Caps2 = 0;
    h.d3d.adapters[1].description = "Second";
    h.d3d.adapters[2].description = "Third";
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(app().adapterCount, 3u);
    EXPECT_EQ(app().currentAdapter, 1u);
    EXPECT_STREQ(app().adapters[1].identifier.Description, "Second");
    EXPECT_EQ(app().adapters[2].devices[0].windowed, 1);

    // An adapter without any usable device is not listed.
    h.d3d.adapters[0].rejectedDeviceTypes = {gfx::D3DDEVTYPE_HAL};
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(app().adapterCount, 2u);
    EXPECT_STREQ(app().adapters[0].identifier.Description, "Second");
    EXPECT_EQ(app().currentAdapter, 0u);
    EXPECT_TRUE(h.platform.messageBoxes.empty()); // a hardware start warns of nothing
}

TEST_F(EnumerationTest, StartingOnTheReferenceDeviceNamesTheFirstFailingCheck) {
    app().listReferenceDevice();
    struct Case {
        const char* what;
        std::function<void(testsupport::FakeAdapter&, RecordingApplication&)> setUp;
        uint32_t code;
    };
    const Case cases[] = {
        {"no hardware device",
         [](auto& a, auto&) { a.rejectedDeviceTypes = {gfx::D3DDEVTYPE_HAL}; }, 0x82000005},
        {"no hardware format confirmed",
         [](auto&, auto& app) {
             app.accept = [](const gfx::D3DCAPS8& caps, uint32_t, gfx::D3DFORMAT) {
                 return caps.DeviceType == gfx::D3DDEVTYPE_HAL ? gfx::E_FAIL : gfx::S_OK;
             };
         },
         0x82000006},
        {"hardware cannot render windowed", [](auto& a, auto&) { a.halCaps.Caps2 = 0; },
         0x82000007},
        {"hardware fails the desktop format",
         [](auto& a, auto&) {
             a.rejectedFormatsOfType[gfx::D3DDEVTYPE_HAL] = {gfx::D3DFMT_X8R8G8B8};
         },
         0x82000008},
        {"hardware rejects the desktop format",
         [](auto&, auto& app) {
             app.accept = [](const gfx::D3DCAPS8& caps, uint32_t, gfx::D3DFORMAT format) {
                 return caps.DeviceType == gfx::D3DDEVTYPE_HAL && format == gfx::D3DFMT_X8R8G8B8
                            ? gfx::E_FAIL
                            : gfx::S_OK;
             };
         },
         0x82000009},
    };
    for (const Case& c : cases) {
        testsupport::FakeAdapter fresh = h.d3d.adapters[0];
        c.setUp(h.d3d.adapters[0], app());
        h.platform.messageBoxes.clear();
        ASSERT_EQ(app().enumerateDevices(), 0) << c.what;
        const auto& start = app().adapters[app().currentAdapter];
        EXPECT_EQ(start.devices[start.currentDevice].deviceType, gfx::D3DDEVTYPE_REF) << c.what;
        ASSERT_EQ(h.platform.messageBoxes.size(), 1u) << c.what;
        EXPECT_EQ(h.platform.messageBoxes[0].text,
                  std::string(framework::errorMessageText(hresult(c.code))) +
                      framework::switchingToReferenceText)
            << c.what;
        h.d3d.adapters[0] = fresh;
        app().accept = nullptr;
    }
}

TEST_F(EnumerationTest, ListsStopAtTheirCapacities) {
    // 12 adapters: 10 are listed.
    h.d3d.adapters.resize(12, h.d3d.adapters[0]);
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(app().adapterCount, framework::maxAdapters);

    // 120 distinct modes of one format: the first 100 are kept.
    h.d3d.adapters.resize(1);
    h.d3d.adapters[0].modes.clear();
    for (uint32_t i = 0; i < 120; ++i)
        h.d3d.adapters[0].modes.push_back({640 + i, 480, 60, gfx::D3DFMT_X8R8G8B8});
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(hal().modeCount, framework::maxDistinctModes);
    EXPECT_EQ(hal().modes[99].width, 739u);

    // 24 formats besides the desktop's: 19 of them fit the format list.
    h.d3d.adapters[0].modes.clear();
    for (uint32_t f = 0; f < 24; ++f)
        h.d3d.adapters[0].modes.push_back({640, 480, 60, 100 + f});
    ASSERT_EQ(app().enumerateDevices(), 0);
    EXPECT_EQ(hal().modeCount, framework::maxDistinctFormats - 1);
    EXPECT_EQ(hal().modes[0].format, 118u); // highest format first
}

} // namespace
} // namespace frameworktest
