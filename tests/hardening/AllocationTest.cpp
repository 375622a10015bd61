// Short or lying image files must be refused before the decoder allocates
// the image their headers claim.  This suite replaces the global operator
// new to see the largest single request, so it is an executable of its own.
#include "gfx/image/Decoders.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

namespace {
size_t largestRequest = 0;
}

void* operator new(size_t size) {
    if (size > largestRequest) largestRequest = size;
    if (void* memory = std::malloc(size ? size : 1)) return memory;
    throw std::bad_alloc();
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, size_t) noexcept {
    std::free(memory);
}

namespace {

void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// A 40-byte info header for width x height at `bits` per pixel, and `extra`
// bytes of pixels (far fewer than the header claims).
std::vector<uint8_t> lyingBitmap(int32_t width, int32_t height, uint16_t bits, size_t extra) {
    std::vector<uint8_t> bytes(40 + (bits == 8 ? 1024 : 0) + extra, 0);
    put32(bytes, 0, 40);
    put32(bytes, 4, uint32_t(width));
    put32(bytes, 8, uint32_t(height));
    bytes[12] = 1;
    bytes[14] = uint8_t(bits);
    return bytes;
}

TEST(Allocation, TheCounterSeesTheDecodersAllocations) {
    largestRequest = 0;
    std::vector<uint32_t> probe(size_t(1) << 20);
    EXPECT_GE(largestRequest, size_t(4) << 20);
}

TEST(Allocation, AShortUncompressedBitmapIsRefusedBeforeItsImageIsMade) {
    for (uint16_t bits : {uint16_t(8), uint16_t(24), uint16_t(32)}) {
        SCOPED_TRACE(bits);
        for (int32_t height : {8192, -8192}) { // the largest image decoded
            const std::vector<uint8_t> bytes = lyingBitmap(8192, height, bits, 64);
            gfx::DecodedImage image;
            largestRequest = 0;
            EXPECT_EQ(gfx::decodeBmp(bytes.data(), bytes.size(), image), gfx::D3DXERR_INVALIDDATA);
            EXPECT_LT(largestRequest, size_t(1) << 20) << "bytes asked for at once";
        }
    }
}

TEST(Allocation, AShortDdsIsRefusedBeforeItsImageIsMade) {
    std::vector<uint8_t> bytes(4 + 124 + 64, 0);
    std::memcpy(bytes.data(), "DDS ", 4);
    put32(bytes, 4, 124);
    put32(bytes, 4 + 4, 0x1007);
    put32(bytes, 4 + 8, 16384);  // height
    put32(bytes, 4 + 12, 16384); // width
    put32(bytes, 4 + 72, 32);
    put32(bytes, 4 + 76, 0x41);
    put32(bytes, 4 + 84, 32);
    put32(bytes, 4 + 88, 0x00FF0000);
    put32(bytes, 4 + 92, 0x0000FF00);
    put32(bytes, 4 + 96, 0x000000FF);
    put32(bytes, 4 + 100, 0xFF000000);
    gfx::DecodedImage image;
    largestRequest = 0;
    EXPECT_EQ(gfx::decodeDds(bytes.data(), bytes.size(), image), gfx::D3DXERR_INVALIDDATA);
    EXPECT_LT(largestRequest, size_t(1) << 20);
}

} // namespace
