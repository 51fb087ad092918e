// A fixture for tests of toolkit operations on a dialog of their own, and a
// bounded wait that handles the thread's messages.
#pragma once

#include <windows.h>

#include <string>

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
    // A control of the kind on the dialog, with an empty class name and the
    // text; both string arguments are taken.
    HWND add(ControlKind kind, std::int32_t id, const std::string& text = "", std::uint32_t style = 0,
             std::int32_t width = 90, std::int32_t height = 40, ControlCallback callback = nullptr) {
        ProcFrame f;
        push_empty(f);
        push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
        HWND c = add_control(f, dialog_, id, nullptr, 2, 2, width, height, style, 0, callback, kind);
        EXPECT_EQ(f.strings.depth, 0u) << "both string arguments taken";
        return c;
    }
    // Runs an operation that takes one text (the top entry) and checks it took it.
    template <typename Op>
    auto taking(const std::string& text, Op op) {
        ProcFrame f;
        push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
        auto result = op(f);
        EXPECT_EQ(f.strings.depth, 0u) << "the text is taken";
        return result;
    }
    // The text an operation pushes; its error word is left in last_error_.
    template <typename Op>
    std::string pushed(Op op) {
        ProcFrame f;
        op(f);
        EXPECT_EQ(f.strings.depth, 1u) << "one text pushed";
        std::string s = bytes_of(string_arg(f, 0));
        pop_string(f);
        last_error_ = f.error_word;
        return s;
    }
    HWND dialog_ = nullptr;
    std::uint16_t last_error_ = 0;
};
