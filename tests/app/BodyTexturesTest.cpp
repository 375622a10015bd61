// Loading and releasing one planetary system's textures from the embedded
// resources, on the recording device.
#include "model/BodyTextures.h"
#include "gfx/recording/RecordingDevice.h"
#include "model/BodyTable.h"

#include <gtest/gtest.h>

namespace {

using model::bodyIndex;
using model::bodyTable;

class BodyTextures : public ::testing::Test {
protected:
    void SetUp() override {
        model::initBodyTable();
        device = gfx::RecordingDevice::create({});
    }
    void TearDown() override {
        model::releaseBodyTextures();
        device->Release();
    }

    int loadedTextureCount() const {
        int count = 0;
        for (const model::Body& body : bodyTable)
            count += (body.texture != nullptr) + (body.blurTexture != nullptr);
        return count;
    }

    gfx::RecordingDevice* device = nullptr;
};

TEST_F(BodyTextures, EarthLoadsItsMapsAndTheMoonButNoRing) {
    model::loadSystemTextures(device, 3);
    EXPECT_NE(bodyTable[bodyIndex(3, 0)].texture, nullptr);
    EXPECT_NE(bodyTable[bodyIndex(3, 0)].blurTexture, nullptr);
    EXPECT_NE(bodyTable[bodyIndex(3, 1)].texture, nullptr);
    EXPECT_EQ(bodyTable[bodyIndex(3, 1)].blurTexture, nullptr);
    EXPECT_EQ(model::ringTexture, nullptr);
    EXPECT_EQ(loadedTextureCount(), 3);
    // Body textures always have one level.
    EXPECT_EQ(bodyTable[bodyIndex(3, 0)].texture->GetLevelCount(), 1u);
}

TEST_F(BodyTextures, SaturnGivesEachMoonItsOwnTextureAndLoadsTheRing) {
    model::loadSystemTextures(device, 6);
    EXPECT_NE(bodyTable[bodyIndex(6, 0)].texture, nullptr);
    EXPECT_NE(bodyTable[bodyIndex(6, 0)].blurTexture, nullptr);
    for (int slot = 1; slot <= 7; ++slot)
        EXPECT_NE(bodyTable[bodyIndex(6, slot)].texture, nullptr) << "slot " << slot;
    // Six moons share the generic map's resource but not its texture.
    EXPECT_NE(bodyTable[bodyIndex(6, 1)].texture, bodyTable[bodyIndex(6, 2)].texture);
    EXPECT_NE(model::ringTexture, nullptr);
    EXPECT_EQ(loadedTextureCount(), 9);
    gfx::D3DSURFACE_DESC ring;
    model::ringTexture->GetLevelDesc(0, &ring);
    EXPECT_EQ(ring.Width, 64u);
    EXPECT_EQ(ring.Height, 256u);
}

TEST_F(BodyTextures, PlutoLoadsTwoMapsAndCharonWithoutRing) {
    model::loadSystemTextures(device, 9);
    EXPECT_NE(bodyTable[bodyIndex(9, 0)].texture, nullptr);
    EXPECT_NE(bodyTable[bodyIndex(9, 0)].blurTexture, nullptr);
    EXPECT_NE(bodyTable[bodyIndex(9, 1)].texture, nullptr);
    EXPECT_EQ(model::ringTexture, nullptr);
    EXPECT_EQ(loadedTextureCount(), 3);
}

TEST_F(BodyTextures, ReleaseEmptiesEverySlotAndMayRunTwice) {
    model::loadSystemTextures(device, 6);
    const size_t before = device->liveResourceCount();
    model::releaseBodyTextures();
    EXPECT_EQ(loadedTextureCount(), 0);
    EXPECT_EQ(model::ringTexture, nullptr);
    EXPECT_EQ(device->liveResourceCount(), before - 10);
    model::releaseBodyTextures();
    EXPECT_EQ(loadedTextureCount(), 0);
}

TEST_F(BodyTextures, RingsBelongToTheFourGiantPlanets) {
    EXPECT_STREQ(model::ringResource(5), "IDB_DDS_JUPRING");
    EXPECT_STREQ(model::ringResource(6), "IDB_DDS_SATRING");
    EXPECT_STREQ(model::ringResource(7), "IDB_DDS_URARING");
    EXPECT_STREQ(model::ringResource(8), "IDB_DDS_NEPRING");
    EXPECT_EQ(model::ringResource(3), nullptr);
    EXPECT_EQ(model::ringResource(9), nullptr);
}

TEST_F(BodyTextures, MissingDdsResourceFailsOnlyOnAnEmptySlot) {
    gfx::Texture* slot = nullptr;
    EXPECT_EQ(model::loadDdsTexture(device, "IDB_DDS_NOTHING", &slot), gfx::E_FAIL);
    EXPECT_EQ(slot, nullptr);

    ASSERT_EQ(model::loadDdsTexture(device, "IDB_DDS_GRIDCOLOR", &slot), gfx::S_OK);
    ASSERT_NE(slot, nullptr);
    EXPECT_GT(slot->GetLevelCount(), 1u); // DDS images get a full chain
    EXPECT_EQ(model::loadDdsTexture(device, "IDB_DDS_NOTHING", &slot), gfx::S_OK);
    slot->Release();
}

TEST_F(BodyTextures, BitmapLoadersGiveOneLevelOrAFullChain) {
    gfx::Texture* single = nullptr;
    gfx::Texture* chain = nullptr;
    ASSERT_EQ(model::loadTexture(device, "IDB_BMP_SHADE", &single), gfx::S_OK);
    ASSERT_EQ(model::loadTextureMipmapped(device, "IDB_BMP_SHADE", &chain), gfx::S_OK);
    EXPECT_EQ(single->GetLevelCount(), 1u);
    EXPECT_EQ(chain->GetLevelCount(), 9u); // 256 x 256 down to 1 x 1
    single->Release();
    chain->Release();

    gfx::Texture* missing = nullptr;
    EXPECT_LT(model::loadTexture(device, "IDB_BMP_NOTHING", &missing), 0);
    EXPECT_EQ(missing, nullptr);
}

} // namespace
