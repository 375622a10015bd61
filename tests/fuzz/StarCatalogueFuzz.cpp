// Fuzz target: the star catalogue reader.  The reader takes a file name, so
// each input is written to one scratch file of this process first.
#include "FuzzChecks.h"
#include "model/StarCatalogue.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

const std::string& scratchFile() {
    static const std::string path = [] {
        const char* folder = std::getenv("TMPDIR");
        std::string name = std::string(folder && *folder ? folder : "/tmp") +
                           "/orbivista-fuzz-catalogue-" + std::to_string(getpid()) + ".pc";
        return name;
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = scratchFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    if (size > 0) FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    std::fclose(file);

    int32_t headerCount = -1;
    const bool headerAccepted = model::readStarCatalogueCount(path.c_str(), &headerCount);

    int32_t declared = -12345;
    model::StarRecord* stars = model::readStarCatalogue(path.c_str(), &declared);
    FUZZ_CHECK((stars != nullptr) == headerAccepted);
    if (stars) {
        FUZZ_CHECK(declared == headerCount && declared >= 0);
        const int32_t loaded = model::starsLoaded;
        FUZZ_CHECK(loaded >= 0 && size_t(loaded) * 20 <= size);
        for (int32_t z = 0; z < model::starZoneCount; ++z) {
            FUZZ_CHECK(model::starZoneStart[z] >= 0);
            FUZZ_CHECK(model::starZoneStart[z] <= model::starZoneStart[z + 1]);
        }
        for (int32_t i = 0; i < loaded; ++i) {
            // Touch every record: ASan reports any that lie outside the array.
            const model::StarRecord& star = stars[i];
            FUZZ_CHECK(!(star.pointSize < 0));
            if (std::isfinite(star.x) && std::isfinite(star.y) && std::isfinite(star.z))
                FUZZ_CHECK(std::fabs(star.x) <= 1.0f && std::fabs(star.y) <= 1.0f &&
                           std::fabs(star.z) <= 1.0f);
        }
        std::free(stars);
    } else {
        FUZZ_CHECK(declared == -12345); // a failed read writes nothing
    }
    return 0;
}
