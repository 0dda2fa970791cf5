#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/messages.h"
#include "platform/timers.h"

namespace {

// A clock the test moves by hand, and a message source whose waiting moves it.
uint32_t fakeNow = 1000;
uint32_t FakeClock() {
    return fakeNow;
}
int waits = 0;
void FakePoll() {}
void FakeWait(int timeoutMs) {
    ++waits;
    fakeNow += timeoutMs > 0 ? static_cast<uint32_t>(timeoutMs) : 1;
}
std::vector<HWND> nativeDestroyed;
void FakeDestroy(HWND hwnd) {
    nativeDestroyed.push_back(hwnd);
}
std::string lastTitle;
void FakeSetText(HWND, const char* text) {
    lastTitle = text;
}
const MessageSource kFakeSource = {FakePoll, FakeWait, FakeDestroy, FakeSetText};

std::vector<std::string> seen;

LRESULT RecordingProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    seen.push_back(std::to_string(hwnd) + ":" + std::to_string(message) + ":" +
                   std::to_string(wParam));
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

std::vector<uintptr_t> threadTicks;
void ThreadTimerProc(HWND hwnd, UINT message, uintptr_t id, uint32_t) {
    EXPECT_EQ(hwnd, 0u);
    EXPECT_EQ(message, WM_TIMER);
    threadTicks.push_back(id);
}

class MessageQueueTest : public ::testing::Test {
  protected:
    void SetUp() override {
        MessageReset();
        fakeNow = 1000;
        waits = 0;
        seen.clear();
        threadTicks.clear();
        nativeDestroyed.clear();
        TimerSetClock(FakeClock);
        MessageSetSource(&kFakeSource);
        MessageSetWindowProc(7, RecordingProc);
    }
    void TearDown() override {
        MessageSetSource(nullptr);
        TimerSetClock(nullptr);
        MessageReset();
    }
    // Runs the loop until WM_QUIT or n messages.
    std::vector<UINT> Pump(int n) {
        std::vector<UINT> got;
        MSG msg;
        for (int i = 0; i < n; ++i) {
            if (GetMessageA(&msg) <= 0) {
                got.push_back(WM_QUIT);
                break;
            }
            got.push_back(msg.message);
            DispatchMessageA(&msg);
        }
        return got;
    }
};

TEST_F(MessageQueueTest, OrderIsPostedThenQuitThenInputThenPaintThenTimer) {
    SetTimer(7, 1, 32, nullptr);
    fakeNow += 40;  // the timer is due from the start
    MessageQueuePaint(7);
    MessageQueuePaint(7);  // asked twice, painted once
    MessageQueueInput(7, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(7, WM_USER + 1, 0, 0);
    PostMessageA(7, WM_USER + 2, 0, 0);
    EXPECT_EQ(Pump(5),
              (std::vector<UINT>{WM_USER + 1, WM_USER + 2, WM_KEYDOWN, WM_PAINT, WM_TIMER}));

    PostMessageA(7, WM_USER, 0, 0);
    PostQuitMessage(3);
    MessageQueueInput(7, WM_KEYDOWN, 'A', 0);
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg), 1);
    EXPECT_EQ(msg.message, WM_USER);
    ASSERT_EQ(GetMessageA(&msg), 0);
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
}

TEST_F(MessageQueueTest, MissedTicksOfOneTimerMergeAndKeepThePhase) {
    SetTimer(7, 1, 32, nullptr);
    fakeNow += 32 * 5 + 10;  // five periods missed
    MSG msg;
    ASSERT_EQ(GetMessageA(&msg), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(msg.wParam, 1u);
    // Nothing else is due: the next tick waits for the next period boundary.
    EXPECT_EQ(TimerNextDueIn(fakeNow), 32 - 10);
    ASSERT_EQ(GetMessageA(&msg), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(fakeNow, 1000u + 32 * 6);
}

TEST_F(MessageQueueTest, TimersOnlyWhenNothingElseWaits) {
    SetTimer(7, 1, 32, nullptr);
    fakeNow += 100;
    for (int i = 0; i < 3; ++i) {
        PostMessageA(7, WM_USER, 0, 0);
    }
    EXPECT_EQ(Pump(4), (std::vector<UINT>{WM_USER, WM_USER, WM_USER, WM_TIMER}));
}

TEST_F(MessageQueueTest, ThreadTimerCallsItsProcedureAndWindowTimerTheWindow) {
    uintptr_t a = SetTimer(0, 0, 32, ThreadTimerProc);
    uintptr_t b = SetTimer(0, 0, 32, ThreadTimerProc);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_NE(a, b);  // a thread timer's id is chosen for it
    SetTimer(7, 5, 50, nullptr);
    Pump(4);  // the wait moves the fake clock on to each due time
    EXPECT_EQ(threadTicks.size(), 3u);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "7:" + std::to_string(WM_TIMER) + ":5");
    EXPECT_GE(waits, 1);
}

TEST_F(MessageQueueTest, KilledTimerNeverFiresAndNothingLeftReportsFailure) {
    SetTimer(7, 1, 32, nullptr);
    fakeNow += 100;
    EXPECT_EQ(KillTimer(7, 1), 1);
    EXPECT_EQ(KillTimer(7, 1), 0);
    MessageSetSource(nullptr);  // no input can come either
    MSG msg;
    EXPECT_EQ(GetMessageA(&msg), -1);
}

TEST_F(MessageQueueTest, PeekRemovesOnlyMatchingMessages) {
    SetTimer(7, 1, 32, nullptr);
    fakeNow += 40;
    PostMessageA(7, WM_USER, 0, 0);
    MSG msg;
    ASSERT_EQ(PeekMessageA(&msg, 7, WM_TIMER, WM_TIMER, PM_NOREMOVE), 1);
    ASSERT_EQ(PeekMessageA(&msg, 7, WM_TIMER, WM_TIMER, PM_REMOVE | PM_NOYIELD), 1);
    EXPECT_EQ(msg.message, WM_TIMER);
    EXPECT_EQ(PeekMessageA(&msg, 7, WM_TIMER, WM_TIMER, PM_REMOVE), 0);
    EXPECT_EQ(PeekMessageA(&msg, 8, 0, 0, PM_REMOVE), 0);  // another window has nothing
    ASSERT_EQ(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE), 1);
    EXPECT_EQ(msg.message, WM_USER);
}

TEST_F(MessageQueueTest, SentMessagesRunAtOnceAndDestroyCleansUp) {
    SetTimer(7, 1, 32, nullptr);
    PostMessageA(7, WM_USER, 0, 0);
    SendMessageA(7, WM_USER + 9, 4, 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], "7:" + std::to_string(WM_USER + 9) + ":4");

    // Default processing of WM_CLOSE destroys: WM_DESTROY is sent first,
    // then the window, its messages and its timers are forgotten.
    SendMessageA(7, WM_CLOSE, 0, 0);
    EXPECT_EQ(seen.back(), "7:" + std::to_string(WM_DESTROY) + ":0");
    EXPECT_EQ(nativeDestroyed, (std::vector<HWND>{7}));
    EXPECT_EQ(MessageGetWindowProc(7), nullptr);
    EXPECT_EQ(TimerNextDueIn(fakeNow), -1);
    MSG msg;
    EXPECT_EQ(PeekMessageA(&msg, 0, 0, 0, PM_REMOVE), 0);
    EXPECT_EQ(DestroyWindow(7), 0);
}

TEST_F(MessageQueueTest, DefaultSetTextReachesTheNativeWindow) {
    SendMessageA(7, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Moon"));
    EXPECT_EQ(lastTitle, "Moon");
}

TEST(TimerClockTest, TickCountAdvancesWithSleep) {
    uint32_t before = GetTickCount();
    Sleep(20);
    uint32_t elapsed = GetTickCount() - before;
    EXPECT_GE(elapsed, 19u);
    EXPECT_LT(elapsed, 2000u);
}

}  // namespace
