// A window to look at under Xvfb: the main window with the sample menu and
// the loading text ("loading", or "glloading" over a GL picture), one popup
// open ("menu"), one of the dialogs ("about", "device"), or the program's
// message loop ("run": the client area cleared to blue through a GL context
// on the handed-out HWND, every command printed, WM_CLOSE ends it).  It
// runs for a few seconds, then closes.
#include "platform/MainWindow.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QOpenGLContext>
#include <QOpenGLFunctions>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <cstring>

namespace {

using namespace platform;

// Clears the surface behind an HWND, as the GL device will find it.
void paintBlue(HWND window) {
    auto* surface = reinterpret_cast<QWindow*>(window);
    static QOpenGLContext* context = nullptr;
    if (!context) {
        context = new QOpenGLContext;
        context->setFormat(surface->format());
        context->create();
    }
    context->makeCurrent(surface);
    context->functions()->glClearColor(0.1f, 0.2f, 0.8f, 1.0f);
    context->functions()->glClear(GL_COLOR_BUFFER_BIT);
    context->swapBuffers(surface);
}

class Handler : public MessageHandler {
public:
    explicit Handler(Platform* platform = nullptr) : platform(platform) {}
    intptr_t handleMessage(HWND window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) override {
        if (message == WM_GETMINMAXINFO) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->minTrackWidth = limits->minTrackHeight = 100;
        }
        if (!platform) return 0;
        switch (message) {
        case WM_PAINT:
            paintBlue(window);
            break;
        case WM_KEYDOWN:
            std::printf("key %s\n", reinterpret_cast<const KeyStroke*>(wParam)->name);
            break;
        case WM_COMMAND:
            std::printf("command %u\n", LOWORD(wParam));
            if (LOWORD(wParam) == 40006) platform->sendMessage(window, WM_CLOSE, 0, 0);
            break;
        case WM_CLOSE:
            std::printf("close\n");
            platform->destroyWindow(window);
            platform->postQuitMessage(0);
            break;
        }
        std::fflush(stdout);
        return 0;
    }
    Platform* platform;
};

// Fills the device dialog as the framework would and leaves it open.
class DeviceProcedure : public DialogProcedure {
public:
    explicit DeviceProcedure(Platform& platform) : platform(platform) {}
    intptr_t dialogMessage(HDLG dialog, uint32_t message, uintptr_t wParam, intptr_t) override {
        if (message == WM_INITDIALOG) {
            platform.comboSetCurSel(dialog, 1002,
                                    platform.comboAddString(dialog, 1002, "llvmpipe"));
            platform.comboSetCurSel(dialog, 1000, platform.comboAddString(dialog, 1000, "HAL"));
            platform.comboSetCurSel(dialog, 1003,
                                    platform.comboAddString(dialog, 1003, "1280 x 1024 x 32"));
            platform.comboSetCurSel(dialog, 1005, platform.comboAddString(dialog, 1005, "none"));
            platform.checkButton(dialog, 1016, true);
            platform.enableControl(dialog, 1003, false);
            platform.enableControl(dialog, 1005, false);
            return 1;
        }
        if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            platform.endDialog(dialog, LOWORD(wParam));
        return 0;
    }
    Platform& platform;
};

void processEventsFor(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "loading";
    std::unique_ptr<QtPlatform> platform = createQtPlatform(argc, argv);
    const bool running = std::strcmp(mode, "run") == 0;
    Handler handler(running ? platform.get() : nullptr);
    WindowDescription description;
    description.caption = "Orbivista";
    description.style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
    description.clientWidth = 400;
    description.clientHeight = 300;
    description.menuId = 141;
    description.iconId = 101;
    const HWND window = platform->createWindow(description, &handler);
    platform->setWindowRect(window, RECT{40, 40, 440,
                                         40 + platform->getWindowRect(window).bottom -
                                             platform->getWindowRect(window).top});

    if (running) { // the program's loop, as the framework runs it
        platform->loadAccelerators(113);
        platform->drawCentredText(window, "Loading... Please wait");
        QElapsedTimer timer;
        timer.start();
        Message message;
        while (platform->getMessage(&message) && timer.elapsed() < 8000)
            if (!platform->translateAccelerator(window, message))
                platform->dispatchMessage(message);
        std::printf("quit %d\n", message.message == WM_QUIT);
        return 0;
    }
    QTimer::singleShot(4000, [] { QCoreApplication::exit(); });
    if (std::strcmp(mode, "glloading") == 0) {
        processEventsFor(300);
        paintBlue(window);
        platform->drawCentredText(window, "Loading... Please wait");
    } else if (std::strcmp(mode, "loading") == 0) {
        platform->drawCentredText(window, "Loading... Please wait");
    } else if (std::strcmp(mode, "menu") == 0) {
        QMenuBar* bar = platform->mainWindow()->menuBar();
        QAction* options = bar->actions().last();
        bar->setActiveAction(options);
    } else if (std::strcmp(mode, "about") == 0 || std::strcmp(mode, "device") == 0) {
        DeviceProcedure procedure(*platform);
        QTimer::singleShot(4000, [] {
            if (QWidget* modal = QApplication::activeModalWidget()) modal->close();
        });
        platform->dialogBox(window, std::strcmp(mode, "about") == 0 ? 143 : 144, &procedure);
        return 0;
    }
    // Qt's own loop, so that the loading text stays (the program's loop would end it).
    return QCoreApplication::exec();
}
