// Fuzz target: the DDS decoder.  Inputs that do not start with the magic
// get it prepended, so the fuzzer spends its time past the first check.
#include "ImageDecoderChecks.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gfx::DecodedImage image;
    checkDecodedImage(gfx::decodeDds(data, size, image), image);

    if (size < 4 || std::memcmp(data, "DDS ", 4) != 0) {
        std::vector<uint8_t> withMagic{'D', 'D', 'S', ' '};
        withMagic.insert(withMagic.end(), data, data + size);
        gfx::DecodedImage prefixed;
        checkDecodedImage(gfx::decodeImage(withMagic.data(), withMagic.size(), prefixed), prefixed);
    }
    return 0;
}
