// The settings file as the user's disk holds it, read through the
// platform's settings store: garbage, negative, absurd or non-numeric
// values give a window between the 100 x 100 minimum and the screen and a
// MipMapping flag of 0 or 1, and the settings are written back at exit.
#include "AppRun.h"

#include "platform/Settings.h"

#include <gtest/gtest.h>

#include <QString>

#include <fstream>

namespace {

using hardening::AppRun;

// The fake desktop with the real settings store (an INI file) behind it.
class IniDesktop : public testsupport::FakePlatform {
public:
    QString path;
    platform::HKEY openSettingsKey() override {
        store = platform::SettingsKey::open(path);
        return store ? FakePlatform::openSettingsKey() : nullptr;
    }
    bool querySettingsValue(platform::HKEY, const char* name, uint32_t* value) override {
        const std::optional<uint32_t> stored = store->query(QString::fromUtf8(name));
        if (!stored) return false;
        *value = *stored;
        return true;
    }
    bool setSettingsValue(platform::HKEY, const char* name, uint32_t value) override {
        return store->set(QString::fromUtf8(name), value);
    }
    void closeSettingsKey(platform::HKEY key) override {
        FakePlatform::closeSettingsKey(key);
        store.reset();
    }
    std::unique_ptr<platform::SettingsKey> store;
};

struct Started {
    uint32_t width = 0, height = 0;
    int32_t mipMapping = -1;
};

Started startWith(const std::string& fileText, const std::string& name) {
    AppRun run; // for its folder
    const std::string file = (run.folder / (name + ".ini")).string();
    std::ofstream(file, std::ios::binary) << fileText;
    IniDesktop desktop;
    desktop.path = QString::fromStdString(file);
    desktop.screenRect = {0, 0, 1280, 1024};
    app::OrreryApplication application(framework::Environment{&desktop, nullptr});
    return {application.initialClientWidth, application.initialClientHeight,
            application.mipMapping};
}

TEST(SettingsFile, DamagedValuesGiveAUsableWindowAndAFlag) {
    struct Case {
        const char* text;
        Started expected;
    };
    const Case cases[] = {
        {"[General]\nWidth=800\nHeight=600\nMipMapping=0\n", {800, 600, 0}},
        {"[General]\nWidth=-5\nHeight=-300\nMipMapping=-1\n", {400, 300, 1}},
        {"[General]\nWidth=4294967295\nHeight=4294967296\nMipMapping=4294967295\n", {400, 300, 1}},
        {"[General]\nWidth=99999999999999999999\nHeight=0\nMipMapping=2\n", {400, 300, 1}},
        {"[General]\nWidth=99\nHeight=1025\nMipMapping=7\n", {400, 300, 1}},
        {"[General]\nWidth=100\nHeight=1024\nMipMapping=0\n", {100, 1024, 0}},
        {"[General]\nWidth=1281\nHeight=100\n", {400, 100, 1}},
        {"[General]\nWidth=abc\nHeight=3e2\nMipMapping=yes\n", {400, 300, 1}},
        {"[General]\nWidth=0x320\nHeight=\nMipMapping=true\n", {400, 300, 1}},
        {"[General]\nWidth=1,2\nHeight=@Variant(\\0\\0\\0\\x7f)\nMipMapping=@Invalid()\n",
         {400, 300, 1}},
        {"\x01\x02\xff\xfe[[[===\n\n=\nWidth\n", {400, 300, 1}},
        {"", {400, 300, 1}},
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const Started s = startWith(c.text, "case" + std::to_string(index++));
        EXPECT_EQ(s.width, c.expected.width);
        EXPECT_EQ(s.height, c.expected.height);
        EXPECT_EQ(s.mipMapping, c.expected.mipMapping);
    }
}

TEST(SettingsFile, AGarbageFileIsRewrittenWithTheSizeAtExit) {
    AppRun run;
    const std::string file = (run.folder / "settings.ini").string();
    std::ofstream(file, std::ios::binary) << "[General]\nWidth=-1\nHeight=zz\nMipMapping=9\n";
    IniDesktop desktop;
    desktop.path = QString::fromStdString(file);
    {
        app::OrreryApplication application(framework::Environment{&desktop, nullptr});
        application.clientRect = {0, 0, 640, 480};
        application.shutdownApplication();
    }
    const Started s = [&] {
        app::OrreryApplication again(framework::Environment{&desktop, nullptr});
        return Started{again.initialClientWidth, again.initialClientHeight, again.mipMapping};
    }();
    EXPECT_EQ(s.width, 640u);
    EXPECT_EQ(s.height, 480u);
    EXPECT_EQ(s.mipMapping, 1);
}

} // namespace
