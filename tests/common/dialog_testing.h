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
    // add_control with empty texts at (x, y), sized w by h dialog units.
    HWND add_at(ControlKind kind, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                ControlCallback callback = nullptr) {
        ProcFrame f;
        push_empty(f);
        push_empty(f);
        HWND c = add_control(f, dialog_, id, nullptr, x, y, w, h, 0, 0, callback, kind);
        EXPECT_NE(c, nullptr) << "a control of kind " << kind;
        return c;
    }
    // The text an operation pushes, popped; its error word is left in
    // last_error_, and in *error when given.
    template <typename Op>
    std::string pushed(Op op, std::int32_t* error = nullptr) {
        ProcFrame f;
        op(f);
        EXPECT_EQ(f.strings.depth, 1u) << "one text pushed";
        std::string text = f.strings.depth == 1 ? bytes_of(string_arg(f, 0)) : std::string();
        if (f.strings.depth == 1) pop_string(f);
        last_error_ = f.error_word;
        if (error != nullptr) *error = f.error_word;
        return text;
    }
    HWND dialog_ = nullptr;
    std::uint16_t last_error_ = 0;
};

// Whether the window has WS_VISIBLE itself, whatever its parent's.
inline bool has_visible_style(HWND window) { return (GetWindowLongA(window, GWL_STYLE) & WS_VISIBLE) != 0; }

// Holds the key down or lets it go in the thread's key state, which the
// toolkit's message filters read.
inline void hold_key(int key, bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[key] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}
