// Texture creation through the recording device: format choice, colour key,
// mip chains, sizes, failure paths, and resource lookup in the Qt resources.
#include "gfx/image/TextureCreation.h"
#include "ImageBuilders.h"
#include "gfx/recording/RecordingDevice.h"
#include "gfx/services/Resources.h"

#include <gtest/gtest.h>

#include <QResource>

using namespace gfx;
using namespace gfxtest;

namespace {

// The arguments the program passes for bitmaps and for DDS images.
constexpr uint32_t bitmapFilter = 0x70004, ddsFilter = D3DX_FILTER_LINEAR;

struct TextureCreationTest : testing::Test {
    RecordingDevice* device = nullptr;
    void SetUp() override {
        D3DPRESENT_PARAMETERS parameters;
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 64;
        parameters.Windowed = 1;
        device = RecordingDevice::create(parameters);
    }
    void TearDown() override { EXPECT_EQ(device->Release(), 0u); }

    HRESULT fromMemory(const Bytes& bytes, uint32_t mipLevels, D3DCOLOR key, Texture** texture,
                       uint32_t filter = bitmapFilter) {
        return D3DXCreateTextureFromFileInMemoryEx(
            device, bytes.data(), bytes.size(), D3DX_DEFAULT, D3DX_DEFAULT, mipLevels, 0,
            D3DFMT_UNKNOWN, D3DPOOL_MANAGED, filter, filter, key, nullptr, nullptr, texture);
    }
    static std::vector<uint32_t> texels(Texture* texture, uint32_t level) {
        D3DSURFACE_DESC desc;
        texture->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT locked;
        EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), S_OK);
        std::vector<uint32_t> out;
        for (uint32_t y = 0; y < desc.Height; ++y)
            for (uint32_t x = 0; x < desc.Width; ++x)
                out.push_back(static_cast<const uint32_t*>(static_cast<const void*>(
                    static_cast<const uint8_t*>(locked.pBits) + y * uint32_t(locked.Pitch)))[x]);
        texture->UnlockRect(level);
        return out;
    }
};

// 4x2, 8-bit: black, red, green, blue on both rows.
Bytes fourColours() {
    return dib(4, 2, 8, 0, {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}, Bytes{0, 1, 2, 3, 0, 1, 2, 3});
}

TEST_F(TextureCreationTest, ColourKeyMakesOpaqueBlackTransparentInAnArgbTexture) {
    Texture* texture = nullptr;
    ASSERT_EQ(fromMemory(fourColours(), 1, 0xFF000000, &texture), S_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
    EXPECT_EQ(texels(texture, 0),
              (std::vector<uint32_t>{0x00000000, 0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0x00000000,
                                     0xFFFF0000, 0xFF00FF00, 0xFF0000FF}));
    texture->Release();
}

TEST_F(TextureCreationTest, WithoutKeyOrAlphaTheTextureIsX8R8G8B8) {
    Texture* texture = nullptr;
    ASSERT_EQ(fromMemory(fourColours(), 1, 0, &texture), S_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    texture->Release();

    ASSERT_EQ(fromMemory(dds(2, 2, true, {0x80FFFFFF, 0, 0, 0}), 0, 0, &texture, ddsFilter), S_OK);
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(texels(texture, 0)[0], 0x80FFFFFFu);
    texture->Release();
}

TEST_F(TextureCreationTest, FullMipChainAveragesEachLevel) {
    Texture* texture = nullptr;
    ASSERT_EQ(fromMemory(fourColours(), 0, 0, &texture), S_OK);
    ASSERT_EQ(texture->GetLevelCount(), 3u); // 4x2, 2x1, 1x1
    // 2x1: (black + red) / 2 and (green + blue) / 2 over both rows.
    EXPECT_EQ(texels(texture, 1), (std::vector<uint32_t>{0xFF800000, 0xFF008080}));
    EXPECT_EQ(texels(texture, 2), (std::vector<uint32_t>{0xFF404040}));
    texture->Release();
}

TEST_F(TextureCreationTest, BadImagesAndDeviceFailuresLeaveNoTexture) {
    Texture* texture = nullptr;
    const Bytes whole = fourColours();
    const Bytes truncated(whole.begin(), whole.begin() + 50);
    EXPECT_EQ(fromMemory(truncated, 1, 0, &texture), D3DXERR_INVALIDDATA);
    EXPECT_EQ(fromMemory(dds(2, 2, true, {1, 2, 3, 4}, 16), 0, 0, &texture), D3DXERR_INVALIDDATA);
    device->failNext("CreateTexture", D3DERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(fromMemory(fourColours(), 1, 0, &texture), D3DERR_OUTOFVIDEOMEMORY);
    device->failNext("Texture.LockRect", D3DERR_INVALIDCALL);
    EXPECT_EQ(fromMemory(fourColours(), 1, 0, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);
    EXPECT_EQ(device->liveResourceCount(), 0u); // the half-made texture went away
}

TEST_F(TextureCreationTest, PowerOfTwoDevicesGetScaledImages) {
    D3DPRESENT_PARAMETERS parameters;
    parameters.Windowed = 1;
    D3DCAPS8 caps = RecordingDevice::defaultCaps();
    caps.TextureCaps |= D3DPTEXTURECAPS_POW2;
    RecordingDevice* pow2 = RecordingDevice::create(parameters, caps);
    const Bytes image = dib(3, 1, 24, 0, {}, Bytes{0, 0, 255, 0, 0, 255, 0, 0, 255, 0, 0, 0});
    Texture* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemoryEx(pow2, image.data(), image.size(), D3DX_DEFAULT,
                                                  D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN,
                                                  D3DPOOL_MANAGED, bitmapFilter, bitmapFilter, 0,
                                                  nullptr, nullptr, &texture),
              S_OK);
    D3DSURFACE_DESC desc;
    texture->GetLevelDesc(0, &desc);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(texels(texture, 0)[3], 0xFFFF0000u);
    texture->Release();
    EXPECT_EQ(pow2->Release(), 0u);
}

TEST_F(TextureCreationTest, ResourcesAreFoundAsBitmapThenRawData) {
    // rcc stores this highly compressible image compressed: the lookup must
    // hand out the expanded bytes.
    ASSERT_NE(QResource(":/BITMAP/IDB_TEST_HALVES").compressionAlgorithm(),
              QResource::NoCompression);
    ResourceData halves = findResource("IDB_TEST_HALVES", "BITMAP");
    ASSERT_NE(halves.data, nullptr);
    EXPECT_EQ(halves.size, 54u + 32u * 32u * 3u);
    EXPECT_EQ(halves.data[0], 'B');
    EXPECT_EQ(findResource("IDB_TEST_HALVES", "RCDATA").data, nullptr);
    EXPECT_EQ(findResource("IDB_NOT_THERE", "BITMAP").data, nullptr);
    // The pointer stays valid: a second lookup gives the same bytes.
    EXPECT_EQ(findResource("IDB_TEST_HALVES", "BITMAP").data, halves.data);

    Texture* texture = nullptr;
    ASSERT_EQ(D3DXCreateTextureFromResourceExA(device, nullptr, "IDB_TEST_HALVES", D3DX_DEFAULT,
                                               D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                               bitmapFilter, bitmapFilter, 0xFF000000, nullptr,
                                               nullptr, &texture),
              S_OK);
    const std::vector<uint32_t> pixels = texels(texture, 0);
    EXPECT_EQ(pixels[0], 0xFFFF0000u);  // red half stays
    EXPECT_EQ(pixels[31], 0x00000000u); // black half keyed out
    texture->Release();
    ASSERT_EQ(D3DXCreateTextureFromResourceExA(device, nullptr, "IDB_TEST_WHITE", D3DX_DEFAULT,
                                               D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                               bitmapFilter, bitmapFilter, 0xFF000000, nullptr,
                                               nullptr, &texture),
              S_OK);
    EXPECT_EQ(texels(texture, 0)[0], 0xFFFFFFFFu);
    texture->Release();
    texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromResourceExA(device, nullptr, "IDB_NOT_THERE", D3DX_DEFAULT,
                                               D3DX_DEFAULT, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                               bitmapFilter, bitmapFilter, 0xFF000000, nullptr,
                                               nullptr, &texture),
              D3DXERR_INVALIDDATA);
    EXPECT_EQ(texture, nullptr);
}

} // namespace
