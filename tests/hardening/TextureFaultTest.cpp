// A missing or corrupt embedded image: creation reports a failure, the slot
// stays null, and the body draws untextured with everything else as before.
#include "AppRun.h"

#include "app/CommandIds.h"
#include "gfx/image/TextureCreation.h"
#include "gfx/services/Resources.h"
#include "model/BodyTable.h"

#include <gtest/gtest.h>

namespace {

using hardening::AppRun;

constexpr uint32_t bitmapFilter = 0x70004;

TEST(TextureFault, CreationFromAMissingOrCorruptImageFailsAndLeavesTheSlotNull) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    gfx::RecordingDevice& device = *run.device();
    const size_t liveObjects = device.liveResourceCount();
    for (const char* name : {"IDB_HARDEN_MISSING", "IDB_HARDEN_CORRUPT"}) {
        SCOPED_TRACE(name);
        gfx::Texture* slot = nullptr;
        EXPECT_LT(gfx::D3DXCreateTextureFromResourceExA(
                      &device, nullptr, name, gfx::D3DX_DEFAULT, gfx::D3DX_DEFAULT, 0, 0,
                      gfx::D3DFMT_UNKNOWN, gfx::D3DPOOL_MANAGED, bitmapFilter, bitmapFilter,
                      0xFF000000, nullptr, nullptr, &slot),
                  0);
        EXPECT_EQ(slot, nullptr);
    }
    const gfx::ResourceData corruptDds = gfx::findResource("IDB_HARDEN_CORRUPT", "DDS");
    ASSERT_NE(corruptDds.data, nullptr);
    gfx::Texture* slot = nullptr;
    EXPECT_LT(gfx::D3DXCreateTextureFromFileInMemoryEx(&device, corruptDds.data, corruptDds.size,
                                                       gfx::D3DX_DEFAULT, gfx::D3DX_DEFAULT, 0, 0,
                                                       gfx::D3DFMT_UNKNOWN, gfx::D3DPOOL_MANAGED, 3,
                                                       3, 0, nullptr, nullptr, &slot),
              0);
    EXPECT_EQ(slot, nullptr);
    EXPECT_LT(gfx::D3DXCreateTextureFromFileInMemoryEx(
                  &device, corruptDds.data, 0, gfx::D3DX_DEFAULT, gfx::D3DX_DEFAULT, 0, 0,
                  gfx::D3DFMT_UNKNOWN, gfx::D3DPOOL_MANAGED, 3, 3, 0, nullptr, nullptr, &slot),
              0);
    EXPECT_EQ(slot, nullptr);
    EXPECT_EQ(device.liveResourceCount(), liveObjects); // nothing half-made is left
}

// Draw calls of one frame, by name.
struct FrameDraws {
    size_t draws = 0, presents = 0;
};

FrameDraws drawOneFrame(AppRun& run) {
    gfx::RecordingDevice& device = *run.device();
    device.clearLog();
    const uint32_t presents = device.presentCount();
    EXPECT_EQ(run.frame(0.0001), gfx::S_OK);
    return {device.draws().size(), device.presentCount() - presents};
}

TEST(TextureFault, ABodyWithoutItsImageDrawsUntextured) {
    AppRun run;
    ASSERT_EQ(run.start(), gfx::S_OK);
    model::Body& earth = model::bodyTable[model::bodyIndex(3, 0)];
    model::Body& moon = model::bodyTable[model::bodyIndex(3, 1)];
    ASSERT_NE(earth.texture, nullptr);
    ASSERT_NE(moon.texture, nullptr);
    run.application->clockRate = 0; // the same scene frame after frame
    run.command(app::ID_PLANET_FIRST + 3);
    run.command(app::ID_PLANET_FIRST + 2);
    const FrameDraws before = drawOneFrame(run);

    const char* earthMap = earth.textureResource;
    const char* earthBlur = earth.blurTextureResource;
    const char* moonMap = moon.textureResource;
    earth.textureResource = "IDB_HARDEN_MISSING";
    earth.blurTextureResource = "IDB_HARDEN_CORRUPT";
    moon.textureResource = "IDB_HARDEN_CORRUPT";
    // Selecting the planet again loads its system's textures anew.
    run.command(app::ID_PLANET_FIRST + 3);
    run.command(app::ID_PLANET_FIRST + 2);
    EXPECT_EQ(earth.texture, nullptr);
    EXPECT_EQ(earth.blurTexture, nullptr);
    EXPECT_EQ(moon.texture, nullptr);
    const FrameDraws after = drawOneFrame(run);
    EXPECT_EQ(after.presents, 1u);
    EXPECT_EQ(after.draws, before.draws);
    EXPECT_TRUE(run.stateIsFinite());

    // A reset and a device change keep the program going without them.
    run.resize(500, 400);
    EXPECT_EQ(drawOneFrame(run).presents, 1u);
    EXPECT_TRUE(run.desktop.messageBoxes.empty());

    earth.textureResource = earthMap;
    earth.blurTextureResource = earthBlur;
    moon.textureResource = moonMap;
}

} // namespace
