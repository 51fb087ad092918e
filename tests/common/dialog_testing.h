// A fixture for tests of toolkit operations on a dialog of their own, and a
// bounded wait that handles the thread's messages.
#pragma once

#include <windows.h>

#include "tests/common/string_testing.h"
#include "tests/common/win32_testing.h"
#include "toolkit/toolkit.h"

// Handles the thread's messages until done() holds, waiting for them between
// checks, for up to limit_ms milliseconds; whether done() held.
template <typename Done>
bool pump_until(Done done, DWORD limit_ms = 10000) {
    DWORD start = GetTickCount();
    while (!done()) {
        if (GetTickCount() - start >= limit_ms) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        pump_messages();
    }
    return true;
}

// A fresh string runtime and a hidden toolkit dialog for every test; a test
// that destroys the dialog itself sets dialog_ to null.
class DialogTest : public StringRuntimeTest {
protected:
    void SetUp() override {
        StringRuntimeTest::SetUp();
        start_runtime_for_test();
        ProcFrame f;
        push_copy(f, "Test", 4);
        dialog_ = create_dialog(f, nullptr, 10, 10, 100, 50, 0, 0);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        if (dialog_ != nullptr) DestroyWindow(dialog_);
        pump_messages();
        StringRuntimeTest::TearDown();
    }
    HWND dialog_ = nullptr;
};
