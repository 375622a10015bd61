// Every input the fuzzers have kept (tests/fuzz/regressions/<target>/) and
// every seed (tests/fuzz/corpus/<target>/), fed through the normal build's
// decoders, catalogue reader and settings path with the fuzzers' checks.
#include "app/OrreryApplication.h"
#include "gfx/image/Decoders.h"
#include "model/StarCatalogue.h"
#include "platform/Settings.h"
#include "support/FakePlatform.h"

#include <gtest/gtest.h>

#include <QString>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace {

namespace fs = std::filesystem;

fs::path sourceDir() {
    const char* dir = std::getenv("ORBIVISTA_SOURCE_DIR");
    return dir ? fs::path(dir) : fs::path(ORBIVISTA_TEST_SOURCE_DIR);
}

// The files kept for a target, seeds and regressions together.
std::vector<fs::path> inputsOf(const char* target) {
    std::vector<fs::path> files;
    for (const char* kind : {"corpus", "regressions"}) {
        const fs::path folder = sourceDir() / "tests/fuzz" / kind / target;
        if (!fs::is_directory(folder)) continue;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file() && entry.path().filename().string()[0] != '.')
                files.push_back(entry.path());
    }
    return files;
}

std::vector<uint8_t> bytesOf(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void checkImage(gfx::HRESULT result, const gfx::DecodedImage& image) {
    if (result == gfx::S_OK) {
        EXPECT_GT(image.width, 0u);
        EXPECT_LE(image.width, gfx::maxDecodedSide);
        EXPECT_GT(image.height, 0u);
        EXPECT_LE(image.height, gfx::maxDecodedSide);
        EXPECT_EQ(image.pixels.size(), size_t(image.width) * image.height);
    } else {
        EXPECT_EQ(result, gfx::D3DXERR_INVALIDDATA);
        EXPECT_TRUE(image.pixels.empty());
    }
}

TEST(RegressionInputs, ImagesDecodeOrAreRefused) {
    size_t fed = 0;
    for (const char* target : {"bmp", "dds"})
        for (const fs::path& file : inputsOf(target)) {
            SCOPED_TRACE(file.string());
            const std::vector<uint8_t> bytes = bytesOf(file);
            gfx::DecodedImage image;
            checkImage(gfx::decodeBmp(bytes.data(), bytes.size(), image), image);
            checkImage(gfx::decodeDds(bytes.data(), bytes.size(), image), image);
            checkImage(gfx::decodeImage(bytes.data(), bytes.size(), image), image);
            ++fed;
        }
    EXPECT_GT(fed, 0u) << "no seeds found under " << sourceDir();
}

TEST(RegressionInputs, CataloguesLoadWithinTheirFiles) {
    size_t fed = 0;
    for (const fs::path& file : inputsOf("catalogue")) {
        SCOPED_TRACE(file.string());
        const uintmax_t size = fs::file_size(file);
        int32_t headerCount = -1;
        const bool accepted = model::readStarCatalogueCount(file.c_str(), &headerCount);
        int32_t declared = -1;
        model::StarRecord* stars = model::readStarCatalogue(file.c_str(), &declared);
        EXPECT_EQ(stars != nullptr, accepted);
        if (stars) {
            EXPECT_EQ(declared, headerCount);
            EXPECT_GE(model::starsLoaded, 0);
            EXPECT_LE(uintmax_t(model::starsLoaded) * 20, size);
            for (int32_t z = 0; z < model::starZoneCount; ++z)
                EXPECT_LE(model::starZoneStart[z], model::starZoneStart[z + 1]);
            float sum = 0;
            for (int32_t i = 0; i < model::starsLoaded; ++i)
                sum += std::isfinite(stars[i].pointSize) ? stars[i].pointSize : 0.0f;
            EXPECT_GE(sum, 0.0f);
            std::free(stars);
        }
        ++fed;
    }
    EXPECT_GT(fed, 0u);
}

// The fake desktop with the settings file behind it (as the fuzzer has it).
class IniDesktop : public testsupport::FakePlatform {
public:
    explicit IniDesktop(const QString& path) : store(platform::SettingsKey::open(path)) {}
    platform::HKEY openSettingsKey() override {
        return store ? FakePlatform::openSettingsKey() : nullptr;
    }
    bool querySettingsValue(platform::HKEY, const char* name, uint32_t* value) override {
        const std::optional<uint32_t> stored = store->query(QString::fromUtf8(name));
        if (!stored) return false;
        *value = *stored;
        return true;
    }
    std::unique_ptr<platform::SettingsKey> store;
};

TEST(RegressionInputs, SettingsFilesGiveAUsableWindow) {
    size_t fed = 0;
    for (const fs::path& file : inputsOf("settings")) {
        SCOPED_TRACE(file.string());
        IniDesktop desktop(QString::fromStdString(file.string()));
        desktop.screenRect = {0, 0, 1280, 1024};
        app::OrreryApplication application(framework::Environment{&desktop, nullptr});
        EXPECT_GE(application.initialClientWidth, 100u);
        EXPECT_LE(application.initialClientWidth, 1280u);
        EXPECT_GE(application.initialClientHeight, 100u);
        EXPECT_LE(application.initialClientHeight, 1024u);
        EXPECT_TRUE(application.mipMapping == 0 || application.mipMapping == 1);
        ++fed;
    }
    EXPECT_GT(fed, 0u);
}

} // namespace
