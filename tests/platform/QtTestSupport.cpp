// Shared pieces of the platform suites (see QtTestSupport.h).
#include "QtTestSupport.h"

#include "platform/GlSurface.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QSurfaceFormat>
#include <QThread>

#include <gtest/gtest.h>

namespace platformtest {

namespace {

// One QApplication for the whole run, made as the program makes it.
class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        QSurfaceFormat::setDefaultFormat(platform::glSurfaceFormat());
        application = std::make_unique<QApplication>(argc, argv);
        QApplication::setQuitOnLastWindowClosed(false);
    }
    void TearDown() override { application.reset(); }

private:
    int argc = 1;
    char name[16] = "platform_tests";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QApplication> application;
};

[[maybe_unused]] ::testing::Environment* const environment =
    ::testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

intptr_t RecordingHandler::handleMessage(platform::HWND, uint32_t message, uintptr_t wParam,
                                         intptr_t lParam) {
    RecordedMessage record{message, wParam, lParam, {}};
    if (message == platform::WM_KEYDOWN && wParam != 0)
        record.keyName = reinterpret_cast<const platform::KeyStroke*>(wParam)->name;
    if (message == platform::WM_GETMINMAXINFO) {
        auto* limits = reinterpret_cast<platform::MINMAXINFO*>(lParam);
        limits->minTrackWidth = 100;
        limits->minTrackHeight = 100;
    }
    received.push_back(record);
    return 0;
}

std::vector<uint32_t> RecordingHandler::ids() const {
    std::vector<uint32_t> result;
    for (const RecordedMessage& m : received)
        result.push_back(m.message);
    return result;
}

int RecordingHandler::count(uint32_t message) const {
    int n = 0;
    for (const RecordedMessage& m : received)
        n += m.message == message;
    return n;
}

std::vector<uint32_t> RecordingHandler::commands() const {
    std::vector<uint32_t> result;
    for (const RecordedMessage& m : received)
        if (m.message == platform::WM_COMMAND) result.push_back(platform::LOWORD(m.wParam));
    return result;
}

PlatformFixture::PlatformFixture(int clientWidth, int clientHeight) {
    platform::PlatformOptions options;
    options.settingsFile = folder.filePath("settings.ini").toStdString();
    platform = std::make_unique<platform::QtPlatform>(options);
    platform::WindowDescription description;
    description.caption = "Orbivista";
    description.style = platform::WS_OVERLAPPEDWINDOW | platform::WS_VISIBLE;
    description.clientWidth = clientWidth;
    description.clientHeight = clientHeight;
    description.menuId = 141;
    description.iconId = 101;
    window = platform->createWindow(description, &handler);
}

PlatformFixture::~PlatformFixture() {
    platform->destroyWindow(window);
    platform.reset();
}

void PlatformFixture::pump(int ms) {
    QElapsedTimer timer;
    timer.start();
    do {
        Message message;
        while (platform->peekMessage(&message, true)) {
            if (!platform->translateAccelerator(window, message))
                platform->dispatchMessage(message);
        }
        QThread::msleep(2);
    } while (timer.elapsed() < ms);
}

void processEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
}

} // namespace platformtest
