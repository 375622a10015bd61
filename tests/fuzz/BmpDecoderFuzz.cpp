// Fuzz target: the bitmap decoder, with and without the file header, and
// the decoder picked from the first bytes.
#include "ImageDecoderChecks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    gfx::DecodedImage image;
    checkDecodedImage(gfx::decodeBmp(data, size, image), image);
    gfx::DecodedImage picked;
    checkDecodedImage(gfx::decodeImage(data, size, picked), picked);
    return 0;
}
