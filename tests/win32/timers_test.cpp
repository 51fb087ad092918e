// Dialog timers on the real platform: each timer calls its own callback from
// the message loop until it is stopped, and refuses what names no timer.
#include <windows.h>

#include "tests/common/dialog_testing.h"

namespace {

struct Ticks {
    int count = 0;
    HWND dialog = nullptr;
    UINT message = 0;
};
Ticks fast, slow;

std::int32_t on_fast(HWND dialog, UINT message, WPARAM, LPARAM) {
    ++fast.count;
    fast.dialog = dialog;
    fast.message = message;
    return 0;
}
std::int32_t on_slow(HWND, UINT, WPARAM, LPARAM) {
    ++slow.count;
    return 0;
}

// Handles messages until ticks of t reach n, for up to 5 s.
bool pump_until_ticks(const Ticks& t, int n) {
    return pump_until([&] { return t.count >= n; }, 5000);
}

class Timers : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        fast = {};
        slow = {};
    }
};

TEST_F(Timers, EachCallbackTicksUntilItsTimerIsStopped) {
    ASSERT_TRUE(start_dialog_timer(dialog_, on_fast, 10));
    ASSERT_TRUE(start_dialog_timer(dialog_, on_slow, 30));
    ASSERT_TRUE(pump_until_ticks(fast, 3)) << "3 ticks of the 10 ms timer within 5 s; seen " << fast.count;
    EXPECT_EQ(fast.dialog, dialog_);
    EXPECT_EQ(fast.message, static_cast<UINT>(WM_TIMER));
    EXPECT_TRUE(stop_dialog_timer(dialog_, on_fast));
    int stopped_at = fast.count;
    slow.count = 0;
    ASSERT_TRUE(pump_until_ticks(slow, 3)) << "the other timer goes on; seen " << slow.count;
    EXPECT_EQ(fast.count, stopped_at) << "no tick after the stop";
    EXPECT_FALSE(stop_dialog_timer(dialog_, on_fast)) << "stopped already";
    EXPECT_TRUE(stop_dialog_timer(dialog_, on_slow));
}

int self_stopped_ticks;
std::int32_t stops_itself(HWND dialog, UINT, WPARAM, LPARAM) {
    ++self_stopped_ticks;
    stop_dialog_timer(dialog, stops_itself);
    return 0;
}

// A callback that stops its own timer hears that one tick; a timer started
// again runs at its new period alone. The other timer counts the time.
TEST_F(Timers, AStopFromItsOwnTickOrARestartEndsTheOldTicks) {
    self_stopped_ticks = 0;
    ASSERT_TRUE(start_dialog_timer(dialog_, stops_itself, 10));
    ASSERT_TRUE(start_dialog_timer(dialog_, on_fast, 10));
    ASSERT_TRUE(start_dialog_timer(dialog_, on_fast, 3600000));
    ASSERT_TRUE(start_dialog_timer(dialog_, on_slow, 10));
    ASSERT_TRUE(pump_until_ticks(slow, 5)) << "5 ticks of the other timer within 5 s; seen " << slow.count;
    EXPECT_EQ(self_stopped_ticks, 1) << "stopped from inside its tick";
    EXPECT_EQ(fast.count, 0) << "no tick at the period it was restarted from";
}

int posing_calls;
std::int32_t no_timers_callback(HWND, UINT, WPARAM, LPARAM) {
    ++posing_calls;
    return 0;
}

// A WM_TIMER that anyone may post, naming the toolkit's timer procedure as a
// tick does, reaches a running timer's callback alone: never a stopped one's,
// nor a function that is no timer's callback.
TEST_F(Timers, APostedTickReachesARunningTimersCallbackAlone) {
    ASSERT_TRUE(start_dialog_timer(dialog_, on_fast, 10));
    MSG tick = {};  // taken from the queue, not handled
    for (DWORD start = GetTickCount(); GetTickCount() - start < 5000;) {
        if (PeekMessageW(&tick, dialog_, WM_TIMER, WM_TIMER, PM_REMOVE)) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_TIMER);
    }
    ASSERT_EQ(tick.message, static_cast<UINT>(WM_TIMER)) << "a tick within 5 s";
    ASSERT_TRUE(stop_dialog_timer(dialog_, on_fast));
    ASSERT_TRUE(start_dialog_timer(dialog_, on_slow, 3600000));
    fast.count = 0;
    posing_calls = 0;
    for (ControlCallback named : {&no_timers_callback, &on_fast, &on_slow})
        PostMessageW(dialog_, WM_TIMER, reinterpret_cast<WPARAM>(named), tick.lParam);
    pump_messages();
    EXPECT_EQ(posing_calls, 0) << "no timer's callback";
    EXPECT_EQ(fast.count, 0) << "a stopped timer's callback";
    EXPECT_EQ(slow.count, 1) << "the running timer's callback";
}

TEST_F(Timers, WhatNamesNoTimerIsRefused) {
    EXPECT_FALSE(start_dialog_timer(nullptr, on_fast, 10)) << "the null window";
    EXPECT_FALSE(start_dialog_timer(dialog_, nullptr, 10)) << "the null callback";
    EXPECT_FALSE(stop_dialog_timer(dialog_, nullptr));
    EXPECT_FALSE(stop_dialog_timer(nullptr, on_fast));
    EXPECT_FALSE(stop_dialog_timer(dialog_, on_slow)) << "never started";
    HWND gone = dialog_;
    ASSERT_TRUE(start_dialog_timer(gone, on_fast, 10));
    DestroyWindow(gone);
    dialog_ = nullptr;
    EXPECT_FALSE(stop_dialog_timer(gone, on_fast)) << "the platform ended it with the window";
    EXPECT_FALSE(start_dialog_timer(gone, on_fast, 10)) << "a window that is gone";
}

}  // namespace
