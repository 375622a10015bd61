// The main window: exact client size below the menu bar, the message stream
// of closing, sizing, moving, painting and the mouse, full screen, cursor and
// the loading text.
#include "QtTestSupport.h"

#include "platform/GlSurface.h"
#include "platform/MainWindow.h"
#include "platform/WindowSystemChoice.h"

#include <QLabel>
#include <QMenuBar>
#include <QTest>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace platform;
using platformtest::PlatformFixture;
using platformtest::processEventsFor;

TEST(Window, ClientAreaHasExactlyTheAskedSizeWithTheMenuBarOutside) {
    // 150 wide makes the menu bar wrap onto more lines: still exact.
    for (const QSize asked : {QSize(400, 300), QSize(640, 480), QSize(150, 120)}) {
        PlatformFixture fixture(asked.width(), asked.height());
        fixture.pump(50);
        const RECT client = fixture.platform->getClientRect(fixture.window);
        EXPECT_EQ(client.left, 0);
        EXPECT_EQ(client.top, 0);
        EXPECT_EQ(client.right, asked.width());
        EXPECT_EQ(client.bottom, asked.height());

        MainWindow* window = fixture.platform->mainWindow();
        const int menuHeight = window->menuBar()->height();
        EXPECT_GT(menuHeight, 0);
        const RECT outer = fixture.platform->getWindowRect(fixture.window);
        EXPECT_EQ(outer.bottom - outer.top, asked.height() + menuHeight);
        const POINT origin = fixture.platform->clientToScreen(fixture.window, POINT{0, 0});
        EXPECT_EQ(origin.y, outer.top + menuHeight);
        const POINT back = fixture.platform->screenToClient(fixture.window, origin);
        EXPECT_EQ(back.x, 0);
        EXPECT_EQ(back.y, 0);
        EXPECT_EQ(window->minimumSize(), QSize(100, 100)); // the handler's WM_GETMINMAXINFO
        EXPECT_EQ(window->windowTitle(), "Orbivista");
        EXPECT_FALSE(window->windowIcon().isNull());
    }
}

TEST(Window, CreationAsksForLimitsAndReportsSizeAndPaint) {
    PlatformFixture fixture;
    fixture.pump(100);
    const auto& received = fixture.handler.received;
    ASSERT_FALSE(received.empty());
    EXPECT_EQ(received.front().message, WM_GETMINMAXINFO);
    EXPECT_GE(fixture.handler.count(WM_PAINT), 1);
    const auto lastSize = std::find_if(received.rbegin(), received.rend(),
                                       [](auto& m) { return m.message == WM_SIZE; });
    ASSERT_NE(lastSize, received.rend());
    EXPECT_EQ(lastSize->wParam, SIZE_RESTORED);
    EXPECT_EQ(lastSize->lParam, MAKELPARAM(400, 300));
    EXPECT_EQ(fixture.handler.count(WM_ENTERSIZEMOVE), 0); // showing is no gesture
}

TEST(Window, CloseButtonOnlyAsksTheHandler) {
    PlatformFixture fixture;
    fixture.pump();
    fixture.handler.clear();
    fixture.platform->mainWindow()->close();
    fixture.pump();
    EXPECT_EQ(fixture.handler.ids(), std::vector<uint32_t>{WM_CLOSE});
    EXPECT_TRUE(fixture.platform->mainWindow()->isVisible());
}

TEST(Window, ResizeGestureIsBracketedBySizeMoveOnce) {
    PlatformFixture fixture;
    fixture.pump(platformChangeEchoMs + 50);
    fixture.handler.clear();
    MainWindow* window = fixture.platform->mainWindow();
    for (int step = 1; step <= 5; ++step) { // a drag: several sizes in a row
        window->resize(window->width() + 10, window->height() + 8);
        fixture.pump(20);
    }
    window->move(window->x() + 5, window->y() + 5);
    fixture.pump(sizeMoveSettleMs + 200);
    const std::vector<uint32_t> ids = fixture.handler.ids();
    EXPECT_EQ(fixture.handler.count(WM_ENTERSIZEMOVE), 1);
    EXPECT_EQ(fixture.handler.count(WM_EXITSIZEMOVE), 1);
    const auto enter = std::find(ids.begin(), ids.end(), WM_ENTERSIZEMOVE);
    const auto exit = std::find(ids.begin(), ids.end(), WM_EXITSIZEMOVE);
    EXPECT_LT(enter, exit);
    EXPECT_EQ(ids.front(), WM_ENTERSIZEMOVE);
    EXPECT_EQ(ids.back(), WM_EXITSIZEMOVE);
    EXPECT_EQ(fixture.platform->getClientRect(fixture.window).right, 450);

    // The platform's own moves (SetWindowPos) are no gesture.
    fixture.handler.clear();
    fixture.platform->setWindowRect(fixture.window, RECT{20, 30, 520, 430});
    fixture.pump(sizeMoveSettleMs + 100);
    EXPECT_EQ(fixture.handler.count(WM_ENTERSIZEMOVE), 0);
    const RECT outer = fixture.platform->getWindowRect(fixture.window);
    EXPECT_EQ(outer.left, 20);
    EXPECT_EQ(outer.top, 30);
    EXPECT_EQ(outer.right, 520);
    EXPECT_EQ(outer.bottom, 430);
}

TEST(Window, MinimiseAndRestoreAreSizeMessages) {
    PlatformFixture fixture;
    fixture.pump();
    fixture.handler.clear();
    MainWindow* window = fixture.platform->mainWindow();
    window->setWindowState(Qt::WindowMinimized);
    fixture.pump(50);
    window->setWindowState(Qt::WindowNoState);
    fixture.pump(50);
    std::vector<uintptr_t> kinds;
    for (const auto& m : fixture.handler.received)
        if (m.message == WM_SIZE) kinds.push_back(m.wParam);
    ASSERT_GE(kinds.size(), 2u);
    EXPECT_EQ(kinds.front(), SIZE_MINIMIZED);
    EXPECT_EQ(kinds.back(), SIZE_RESTORED);
}

TEST(Window, PopupStyleIsFullScreenWithoutMenuBar) {
    PlatformFixture fixture;
    Platform& p = *fixture.platform;
    MainWindow* window = fixture.platform->mainWindow();
    const uint32_t windowed = p.getWindowStyle(fixture.window);
    EXPECT_EQ(windowed, WS_OVERLAPPEDWINDOW | WS_VISIBLE);

    p.setWindowStyle(fixture.window, WS_POPUP | WS_VISIBLE | WS_SYSMENU);
    processEventsFor(200);
    EXPECT_EQ(p.getWindowStyle(fixture.window), WS_POPUP | WS_VISIBLE | WS_SYSMENU);
    EXPECT_TRUE(window->isFullScreen());
    EXPECT_FALSE(window->menuBar()->isVisible());
    const RECT screen = p.getScreenRect();
    const RECT client = p.getClientRect(fixture.window);
    EXPECT_EQ(client.right, screen.right - screen.left);
    EXPECT_EQ(client.bottom, screen.bottom - screen.top);

    p.setWindowStyle(fixture.window, windowed);
    processEventsFor(200);
    EXPECT_FALSE(window->isFullScreen());
    EXPECT_TRUE(window->menuBar()->isVisible());
}

TEST(Window, MouseMessagesCarryClientPointsFlagsAndWheelDelta) {
    PlatformFixture fixture;
    GlSurface* surface = fixture.platform->surface();
    fixture.pump();
    fixture.handler.clear();
    QTest::mouseMove(surface, QPoint(10, 20));
    QTest::mousePress(surface, Qt::RightButton, Qt::NoModifier, QPoint(10, 20));
    QTest::mouseRelease(surface, Qt::RightButton, Qt::NoModifier, QPoint(12, 22));
    const QPointF local(50, 60);
    const QPointF global = surface->mapToGlobal(local.toPoint());
    QWheelEvent forward(local, global, QPoint(), QPoint(0, 120), Qt::NoButton, Qt::ControlModifier,
                        Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(surface, &forward);
    QWheelEvent back(local, global, QPoint(), QPoint(0, -240), Qt::RightButton, Qt::NoModifier,
                     Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(surface, &back);
    fixture.pump();

    std::vector<platformtest::RecordedMessage> mouse;
    for (const auto& m : fixture.handler.received)
        if (m.message != WM_PAINT && m.message != WM_SIZE) mouse.push_back(m);
    ASSERT_GE(mouse.size(), 6u);
    EXPECT_EQ(mouse[0].message, WM_SETCURSOR);
    EXPECT_EQ(mouse[1].message, WM_MOUSEMOVE);
    EXPECT_EQ(mouse[1].lParam, MAKELPARAM(10, 20));
    const auto find = [&](uint32_t id) {
        return *std::find_if(mouse.begin(), mouse.end(), [&](auto& m) { return m.message == id; });
    };
    EXPECT_EQ(find(WM_RBUTTONDOWN).lParam, MAKELPARAM(10, 20));
    EXPECT_EQ(find(WM_RBUTTONDOWN).wParam, MK_RBUTTON);
    EXPECT_EQ(find(WM_RBUTTONUP).lParam, MAKELPARAM(12, 22));
    std::vector<platformtest::RecordedMessage> wheels;
    for (const auto& m : mouse)
        if (m.message == WM_MOUSEWHEEL) wheels.push_back(m);
    ASSERT_EQ(wheels.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[0].wParam), 120);
    EXPECT_EQ(LOWORD(wheels[0].wParam), MK_CONTROL);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheels[1].wParam), -240);
    EXPECT_EQ(LOWORD(wheels[1].wParam), MK_RBUTTON);
    EXPECT_EQ(wheels[0].lParam, MAKELPARAM(int(global.x()), int(global.y())));
}

TEST(Window, CursorCounterHidesBelowZeroAndSetCursorMessageRestoresTheShape) {
    PlatformFixture fixture;
    Platform& p = *fixture.platform;
    // The system cursor is the main window's; the GL surface keeps none of
    // its own, so that it shows the main window's (the GL device's cursor
    // goes there in full screen).
    QWindow* main = fixture.platform->mainWindow()->windowHandle();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(p.showCursor(false), -1);
    EXPECT_EQ(main->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(p.showCursor(false), -2);
    EXPECT_EQ(p.showCursor(true), -1);
    EXPECT_EQ(main->cursor().shape(), Qt::BlankCursor);
    EXPECT_EQ(p.showCursor(true), 0);
    EXPECT_EQ(main->cursor().shape(), Qt::ArrowCursor);

    p.hideCursorShape();
    EXPECT_EQ(main->cursor().shape(), Qt::BlankCursor);
    // While the mouse is captured no window is asked for a cursor.
    p.setCapture(fixture.window);
    p.dispatchMessage(Message{fixture.window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)});
    EXPECT_EQ(main->cursor().shape(), Qt::BlankCursor);
    p.releaseCapture();
    p.dispatchMessage(Message{fixture.window, WM_SETCURSOR, 0, MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)});
    EXPECT_EQ(main->cursor().shape(), Qt::ArrowCursor);

    p.setCursorPos(300, 200);
    processEventsFor(20);
    EXPECT_EQ(p.getCursorPos().x, 300);
    EXPECT_EQ(p.getCursorPos().y, 200);
    const RECT clip{0, 0, 100, 80};
    p.clipCursor(&clip);
    processEventsFor(20);
    EXPECT_EQ(p.getCursorPos().x, 99);
    EXPECT_EQ(p.getCursorPos().y, 79);
    p.clipCursor(nullptr);
}

TEST(Window, LoadingTextShowsCentredUntilTheLoopRunsAgainOrAnEmptyText) {
    PlatformFixture fixture;
    fixture.pump();
    fixture.platform->drawCentredText(fixture.window, "Loading... Please wait");
    QLabel* text = fixture.platform->mainWindow()->findChild<QLabel*>();
    ASSERT_NE(text, nullptr);
    EXPECT_TRUE(text->isVisible());
    EXPECT_EQ(text->text(), "Loading... Please wait");
    EXPECT_EQ(text->alignment(), Qt::AlignCenter);
    EXPECT_EQ(text->geometry(), fixture.platform->mainWindow()->centralWidget()->rect());
    Message m;
    fixture.platform->peekMessage(&m, false);
    EXPECT_FALSE(text->isVisible());

    fixture.platform->drawCentredText(fixture.window, "Loading... Please wait");
    EXPECT_TRUE(text->isVisible());
    fixture.platform->drawCentredText(fixture.window, ""); // an empty text takes it away
    EXPECT_FALSE(text->isVisible());
}

TEST(Window, QuitEndsGetMessageAfterTheWaitingMessages) {
    PlatformFixture fixture;
    fixture.pump();
    Platform& p = *fixture.platform;
    p.postMessage(fixture.window, WM_COMMAND, 40006, 0);
    p.postQuitMessage(3);
    Message m;
    ASSERT_TRUE(p.getMessage(&m));
    while (m.message != WM_COMMAND)
        ASSERT_TRUE(p.getMessage(&m)); // paint/size may come first
    EXPECT_EQ(m.wParam, 40006u);
    while (p.getMessage(&m)) {
    }
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_EQ(p.sendMessage(fixture.window, WM_NULL, 0, 0), 0);
    EXPECT_EQ(fixture.handler.received.back().message, WM_NULL);
}

} // namespace

// Under Wayland with XWayland the program asks for X11 (it parks the pointer
// for mouse-look) and falls back to Wayland; the user's own choice stands.
TEST(WindowSystemChoice, XWaylandFirstUnlessTheUserChose) {
    using platform::choosePlatformPlugin;
    EXPECT_EQ(choosePlatformPlugin({nullptr, "wayland-0", "wayland", ":0"}), "xcb;wayland");
    EXPECT_EQ(choosePlatformPlugin({"", nullptr, "wayland", ":1"}), "xcb;wayland");
    EXPECT_EQ(choosePlatformPlugin({"wayland", "wayland-0", "wayland", ":0"}), "");
    EXPECT_EQ(choosePlatformPlugin({nullptr, "wayland-0", "wayland", ""}), ""); // Wayland only
    EXPECT_EQ(choosePlatformPlugin({nullptr, nullptr, "x11", ":0"}), "");      // plain X11
}
