// The message queue's Win32 rules: FIFO order, WM_PAINT coalescing, WM_QUIT
// only once the queue is empty, and key names that outlive their message.
#include "platform/MessageQueue.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace platform;

HWND someWindow() {
    return reinterpret_cast<HWND>(uintptr_t{0x1000});
}

TEST(MessageQueue, KeepsOrderCoalescesPaintAndQuitsLast) {
    MessageQueue queue;
    queue.post(Message{someWindow(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(400, 300)});
    queue.postPaint(someWindow());
    queue.postQuit(7); // posted early, still comes last
    queue.post(Message{someWindow(), WM_COMMAND, 40052, 0});
    queue.postPaint(someWindow()); // one WM_PAINT already waits

    Message m;
    ASSERT_TRUE(queue.peek(&m));
    EXPECT_EQ(m.message, WM_SIZE); // peek leaves it there
    ASSERT_TRUE(queue.take(&m));
    EXPECT_EQ(m.message, WM_SIZE);
    EXPECT_EQ(m.lParam, MAKELPARAM(400, 300));
    ASSERT_TRUE(queue.take(&m));
    EXPECT_EQ(m.message, WM_PAINT);
    ASSERT_TRUE(queue.take(&m));
    EXPECT_EQ(m.message, WM_COMMAND);
    ASSERT_TRUE(queue.take(&m));
    EXPECT_EQ(m.message, WM_QUIT);
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_FALSE(queue.take(&m)); // the quit is taken once
    EXPECT_TRUE(queue.empty());

    // Once the waiting WM_PAINT is taken, a new one may be queued.
    queue.postPaint(someWindow());
    EXPECT_TRUE(queue.take(&m));
    EXPECT_EQ(m.message, WM_PAINT);
}

TEST(MessageQueue, KeyNameLivesUntilTheNextMessageIsTaken) {
    MessageQueue queue;
    queue.postKey(someWindow(), "Ctrl+Alt+D");
    queue.postKey(someWindow(), "F3");
    queue.post(Message{someWindow(), WM_MOUSEMOVE, 0, 0});

    Message first;
    ASSERT_TRUE(queue.take(&first));
    ASSERT_EQ(first.message, WM_KEYDOWN);
    const auto* stroke = reinterpret_cast<const KeyStroke*>(first.wParam);
    EXPECT_STREQ(stroke->name, "Ctrl+Alt+D");

    Message peeked;
    ASSERT_TRUE(queue.peek(&peeked)); // peeking does not end the taken stroke
    EXPECT_STREQ(stroke->name, "Ctrl+Alt+D");
    EXPECT_STREQ(reinterpret_cast<const KeyStroke*>(peeked.wParam)->name, "F3");

    Message second;
    ASSERT_TRUE(queue.take(&second));
    EXPECT_STREQ(reinterpret_cast<const KeyStroke*>(second.wParam)->name, "F3");
}

TEST(MessageQueue, DestroyedWindowLosesItsMessages) {
    MessageQueue queue;
    HWND other = reinterpret_cast<HWND>(uintptr_t{0x2000});
    queue.postKey(someWindow(), "Esc");
    queue.post(Message{other, WM_CLOSE, 0, 0});
    queue.postPaint(someWindow());
    queue.discardWindow(someWindow());
    Message m;
    ASSERT_TRUE(queue.take(&m));
    EXPECT_EQ(m.window, other);
    EXPECT_FALSE(queue.take(&m));
}

} // namespace
