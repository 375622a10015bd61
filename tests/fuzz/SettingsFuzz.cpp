// Fuzz target: the settings path from the file on disk to the window size
// and mip-mapping flag the application starts with.  Each input is an INI
// file read through the platform's settings store (QSettings), whose values
// reach OrreryApplication's constructor through loadRegistryDword over the
// fake platform.  Whatever the file holds, the window must stay between
// the 100 x 100 minimum and the screen and MipMapping must be 0 or 1.
#include "FuzzChecks.h"
#include "app/OrreryApplication.h"
#include "framework/Settings.h"
#include "platform/Settings.h"
#include "support/FakePlatform.h"

#include <unistd.h>

#include <QString>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// The fake desktop with the real settings store behind it.
class IniPlatform : public testsupport::FakePlatform {
public:
    explicit IniPlatform(const QString& path) : store(platform::SettingsKey::open(path)) {}

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

// QSettings caches files by name, so every input gets a name of its own.
std::string nextScratchFile() {
    static unsigned counter = 0;
    const char* folder = std::getenv("TMPDIR");
    return std::string(folder && *folder ? folder : "/tmp") + "/orbivista-fuzz-settings-" +
           std::to_string(getpid()) + "-" + std::to_string(counter++) + ".ini";
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string path = nextScratchFile();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    if (size > 0) FUZZ_CHECK(std::fwrite(data, 1, size, file) == size);
    std::fclose(file);

    {
        IniPlatform desktop(QString::fromStdString(path));
        desktop.screenRect = {0, 0, 1280, 1024};

        if (desktop.store) {
            // The loader itself: a value or the default, never anything else.
            uint32_t value = 0;
            FUZZ_CHECK(framework::loadRegistryDword(desktop, desktop.settingsKey(), "Width", &value,
                                                    77) == gfx::S_OK);
            uint32_t direct = 77;
            if (const auto stored = desktop.store->query(QStringLiteral("Width"))) direct = *stored;
            FUZZ_CHECK(value == direct);
        }

        app::OrreryApplication application(framework::Environment{&desktop, nullptr});
        FUZZ_CHECK(application.initialClientWidth >= 100 && application.initialClientWidth <= 1280);
        FUZZ_CHECK(application.initialClientHeight >= 100 &&
                   application.initialClientHeight <= 1024);
        FUZZ_CHECK(application.mipMapping == 0 || application.mipMapping == 1);
    }
    std::remove(path.c_str());
    return 0;
}
