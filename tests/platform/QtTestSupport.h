// Shared pieces of the platform suites: the QApplication every suite runs
// in, a message handler that records what it is sent, and a pump that plays
// the application's message loop for a while.
#pragma once

#include "platform/QtPlatform.h"

#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platformtest {

using platform::Message;

struct RecordedMessage {
    uint32_t message = 0;
    uintptr_t wParam = 0;
    intptr_t lParam = 0;
    std::string keyName; // for WM_KEYDOWN
};

// The window procedure of the tests: records every message, answers
// WM_GETMINMAXINFO with 100 x 100 as the framework does.
class RecordingHandler : public platform::MessageHandler {
public:
    intptr_t handleMessage(platform::HWND window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override;

    std::vector<RecordedMessage> received;
    std::vector<uint32_t> ids() const;
    int count(uint32_t message) const;
    std::vector<uint32_t> commands() const; // LOWORD of every WM_COMMAND
    void clear() { received.clear(); }
};

// A platform with a fresh settings file and a 400 x 300 main window.
class PlatformFixture {
public:
    explicit PlatformFixture(int clientWidth = 400, int clientHeight = 300);
    ~PlatformFixture();

    // The loop of the application: take every message, give accelerators
    // their chance, dispatch the rest; for at least ms milliseconds.
    void pump(int ms = 0);

    QTemporaryDir folder;
    std::unique_ptr<platform::QtPlatform> platform;
    RecordingHandler handler;
    platform::HWND window = nullptr;
};

// Waits for ms milliseconds while Qt processes events (no messages taken).
void processEventsFor(int ms);

} // namespace platformtest
