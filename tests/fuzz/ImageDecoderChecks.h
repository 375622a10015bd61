// What every decoder result must satisfy, whatever the input: a success is
// a whole image within the size limit, a failure leaves the image empty.
#pragma once

#include "FuzzChecks.h"
#include "gfx/image/Decoders.h"

inline void checkDecodedImage(gfx::HRESULT result, const gfx::DecodedImage& image) {
    if (result == gfx::S_OK) {
        FUZZ_CHECK(image.width > 0 && image.width <= gfx::maxDecodedSide);
        FUZZ_CHECK(image.height > 0 && image.height <= gfx::maxDecodedSide);
        FUZZ_CHECK(image.pixels.size() == size_t(image.width) * image.height);
    } else {
        FUZZ_CHECK(result == gfx::D3DXERR_INVALIDDATA);
        FUZZ_CHECK(image.width == 0 && image.height == 0 && image.pixels.empty());
    }
}
