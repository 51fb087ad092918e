// Work off the dialog's thread on the real platform: progress and the end
// reach the job's callback on the dialog's thread, cancelling reaches the
// work, and a dialog that ends while its job runs stops it.
#include <windows.h>

#include <vector>

#include "runtime/checked.h"
#include "tests/common/dialog_testing.h"

namespace {

constexpr std::int32_t kJob = 300;

// What the job's callback saw, on which thread.
struct Heard {
    std::vector<std::int32_t> progress;
    std::int32_t result = 0;
    int ends = 0;
    bool off_thread = false;
    bool id_free_at_end = false;
};
Heard heard;
DWORD dialog_thread;

std::int32_t on_job(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message != WM_COMMAND || LOWORD(wparam) != kJob) return 0;
    if (GetCurrentThreadId() != dialog_thread) heard.off_thread = true;
    if (HIWORD(wparam) == kWorkProgress) heard.progress.push_back(static_cast<std::int32_t>(lparam));
    if (HIWORD(wparam) == kWorkDone) {
        heard.result = static_cast<std::int32_t>(lparam);
        heard.id_free_at_end = GetDlgItem(dialog, kJob) == nullptr;
        ++heard.ends;
    }
    return 1;
}

// Reports 1 to the count in its context, then gives 42.
std::int32_t count_up(WorkJob* job, void* context) {
    auto n = *static_cast<const std::int32_t*>(context);
    for (std::int32_t i = 1; i <= n; ++i) report_work_progress(job, i);
    return 42;
}

// Reports once, then waits (up to 10 s) to be cancelled; sets its event when
// it saw the cancel, and gives -1 then, 0 when it never came.
std::int32_t until_cancelled(WorkJob* job, void* context) {
    report_work_progress(job, 1);
    for (int i = 0; i < 1000; ++i) {
        if (work_cancelled(job)) {
            SetEvent(static_cast<HANDLE>(context));
            return -1;
        }
        Sleep(10);
    }
    return 0;
}

// Handles messages until heard.ends reaches n, for up to 10 s.
bool pump_until_ends(int n) {
    return pump_until([n] { return heard.ends >= n; });
}

class Work : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        heard = {};
        dialog_thread = GetCurrentThreadId();
    }
};

TEST_F(Work, ProgressAndTheEndReachTheCallbackOnTheDialogsThread) {
    for (std::int32_t reports : {3, 100000}) {
        SCOPED_TRACE(reports);
        heard = {};
        ASSERT_TRUE(start_work(dialog_, kJob, count_up, &reports, on_job));
        ASSERT_TRUE(pump_until_ends(1)) << "the end within 10 s; progress heard " << heard.progress.size();
        EXPECT_EQ(heard.result, 42);
        EXPECT_FALSE(heard.off_thread);
        EXPECT_TRUE(heard.id_free_at_end) << "the id is free when the end is heard";
        ASSERT_FALSE(heard.progress.empty());
        EXPECT_EQ(heard.progress.back(), reports) << "the latest value arrives";
        for (std::size_t i = 1; i < heard.progress.size(); ++i)
            EXPECT_LE(heard.progress[i - 1], heard.progress[i]) << "in the order reported";
        EXPECT_LE(heard.progress.size(), static_cast<std::size_t>(reports) + 1) << "merged, never multiplied";
    }
}

TEST_F(Work, CancelReachesTheWorkAndTheJobStillEnds) {
    HANDLE seen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(start_work(dialog_, kJob, until_cancelled, seen, on_job));
    EXPECT_FALSE(start_work(dialog_, kJob, count_up, nullptr, on_job)) << "the id is taken while the job runs";
    EXPECT_TRUE(cancel_work(dialog_, kJob));
    ASSERT_TRUE(pump_until_ends(1));
    EXPECT_EQ(heard.result, -1);
    EXPECT_EQ(WaitForSingleObject(seen, 0), WAIT_OBJECT_0);
    EXPECT_FALSE(cancel_work(dialog_, kJob)) << "no job has the id once it ended";
    CloseHandle(seen);
}

TEST_F(Work, ADialogThatEndsStopsItsJob) {
    HANDLE seen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    ASSERT_TRUE(start_work(dialog_, kJob, until_cancelled, seen, on_job));
    DestroyWindow(dialog_);
    dialog_ = nullptr;
    EXPECT_EQ(WaitForSingleObject(seen, 10000), WAIT_OBJECT_0) << "the work saw the cancel within 10 s";
    pump_messages();
    EXPECT_EQ(heard.ends, 0) << "the callback of an ended dialog hears no more";
    CloseHandle(seen);
}

// Two jobs of one dialog run side by side, each heard under its own id.
std::int32_t second_result;
std::int32_t on_second(HWND, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_COMMAND && wparam == MAKEWPARAM(kJob + 1, kWorkDone)) second_result = static_cast<int>(lparam);
    return 1;
}
std::int32_t gives_its_context(WorkJob*, void* context) { return *static_cast<const std::int32_t*>(context); }

TEST_F(Work, TwoJobsOfOneDialogEndEachUnderItsId) {
    HANDLE seen = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::int32_t seven = 7;
    second_result = 0;
    ASSERT_TRUE(start_work(dialog_, kJob, until_cancelled, seen, on_job));
    ASSERT_TRUE(start_work(dialog_, kJob + 1, gives_its_context, &seven, on_second));
    ASSERT_TRUE(pump_until([] { return second_result != 0; })) << "the second job's end within 10 s";
    EXPECT_EQ(second_result, 7);
    EXPECT_EQ(heard.ends, 0) << "the first job runs on";
    EXPECT_TRUE(cancel_work(dialog_, kJob));
    ASSERT_TRUE(pump_until_ends(1));
    EXPECT_EQ(heard.result, -1);
    CloseHandle(seen);
}

// A work procedure that calls what only the dialog's thread may: start_work
// would make a job of the worker's thread, which would end with it unheard,
// so it is refused; a checked program reports each call.
struct FromWorker {
    HWND dialog;
    BOOL started;
    std::uint32_t reports;
};
std::int32_t calls_the_toolkit(WorkJob*, void* context) {
    auto& w = *static_cast<FromWorker*>(context);
    std::uint32_t before = contract_violation_count();
    static std::int32_t one = 1;
    w.started = start_work(w.dialog, kJob + 1, count_up, &one, on_job);
    start_dialog_timer(w.dialog, on_job, 10);
    stop_dialog_timer(w.dialog, on_job);
    cancel_work(w.dialog, kJob);
    w.reports = contract_violation_count() - before;
    return 0;
}

TEST_F(Work, TheDialogsThreadAloneStartsJobsAndTimers) {
    FromWorker w = {dialog_, TRUE, 0};
    ASSERT_TRUE(start_work(dialog_, kJob, calls_the_toolkit, &w, on_job));
    ASSERT_TRUE(pump_until_ends(1));
    EXPECT_FALSE(w.started) << "a job started on the worker's thread";
    EXPECT_EQ(w.reports, 4u) << "start_work, start_dialog_timer, stop_dialog_timer and cancel_work reported";
}

TEST_F(Work, WhatNamesNoJobIsRefused) {
    std::int32_t none = 0;
    EXPECT_FALSE(start_work(dialog_, kJob, nullptr, nullptr, on_job)) << "no work";
    EXPECT_FALSE(start_work(nullptr, kJob, count_up, &none, on_job)) << "no dialog";
    EXPECT_FALSE(start_work(GetDesktopWindow(), kJob, count_up, &none, on_job)) << "a window of another process";
    ProcFrame f;
    push_empty(f);
    push_empty(f);
    add_control(f, dialog_, kJob, nullptr, 0, 0, 10, 10, 0, 0, nullptr, kLabel);
    EXPECT_FALSE(start_work(dialog_, kJob, count_up, &none, on_job)) << "the id names a control";
    EXPECT_FALSE(cancel_work(dialog_, kJob)) << "a control that is no job";
    EXPECT_FALSE(cancel_work(dialog_, 4242));
    EXPECT_FALSE(cancel_work(nullptr, kJob));
}

}  // namespace
