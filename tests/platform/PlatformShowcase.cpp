// A window to look at under Xvfb: the main window with the sample menu and
// the loading text ("loading"), one popup open ("menu"), or one of the
// dialogs ("about", "device").  It runs for a few seconds, then closes.
#include "platform/MainWindow.h"
#include "platform/QtPlatform.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QThread>
#include <QTimer>

#include <cstring>

namespace {

using namespace platform;

class Handler : public MessageHandler {
public:
    intptr_t handleMessage(HWND, uint32_t message, uintptr_t, intptr_t lParam) override {
        if (message == WM_GETMINMAXINFO) {
            auto* limits = reinterpret_cast<MINMAXINFO*>(lParam);
            limits->minTrackWidth = limits->minTrackHeight = 100;
        }
        return 0;
    }
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

} // namespace

int main(int argc, char** argv) {
    const char* mode = argc > 1 ? argv[1] : "loading";
    std::unique_ptr<QtPlatform> platform = createQtPlatform(argc, argv);
    Handler handler;
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

    QTimer::singleShot(4000, [] { QCoreApplication::exit(); });
    if (std::strcmp(mode, "loading") == 0) {
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
