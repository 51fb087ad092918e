// How many string blocks each step of the greeting asks of the allocator,
// counted through the allocator seam on the real OLE Automation allocator.
#include <windows.h>

#include <atomic>
#include <thread>

#include "runtime/checked.h"
#include "tests/common/string_testing.h"
#include "tests/common/win32_testing.h"
#include "toolkit/toolkit.h"

namespace {

constexpr auto pool = make_literal_pool("What is your name?", "", "OK", "Cancel", "Hello ");
enum { kTitle, kEmpty, kOk, kCancel, kHello };
constexpr std::int32_t kNameBox = 100;

// Allocator calls and live blocks at one moment; the difference of two
// snapshots is what happened in between.
struct AllocCount {
    std::uint32_t calls;
    std::int32_t live;
};
AllocCount snapshot() { return {string_allocation_count(), live_string_count()}; }

std::atomic<int> cancel_calls{0};
std::int32_t cancel_dialog(HWND dialog, UINT, WPARAM, LPARAM) {
    ++cancel_calls;
    close_dialog(dialog, 0);
    return 0;
}

class Allocations : public StringRuntimeTest {
protected:
    void SetUp() override {
        StringRuntimeTest::SetUp();
        start_runtime_for_test();
        cancel_calls = 0;
    }
    void TearDown() override {
        if (dialog_ != nullptr && IsWindow(dialog_)) DestroyWindow(dialog_);
        pump_messages();
        StringRuntimeTest::TearDown();
    }

    // The greeting's dialog, built as the program builds it.
    HWND make_greeting_dialog() {
        ProcFrame f;
        push_literal(f, pool[kTitle]);
        dialog_ = create_dialog(f, nullptr, -1, -1, 160, 50, 0, 0);
        add_greeting_control(f, kNameBox, kEmpty, 14, 12, 134, 0, nullptr, kTextBox);
        add_greeting_control(f, IDOK, kOk, 34, 32, 40, BS_DEFPUSHBUTTON, nullptr, kPushButton);
        add_greeting_control(f, IDCANCEL, kCancel, 84, 32, 40, 0, cancel_dialog, kPushButton);
        return dialog_;
    }
    HWND add_greeting_control(ProcFrame& f, std::int32_t id, int text, std::int32_t x, std::int32_t y,
                              std::int32_t width, std::uint32_t style, ControlCallback callback, ControlKind kind) {
        push_empty(f);
        push_literal(f, pool[text]);
        return add_control(f, dialog_, id, nullptr, x, y, width, kind == kTextBox ? 12 : 14, style, 0, callback, kind);
    }

    HWND dialog_ = nullptr;
};

// The main procedure's road after OK, up to the message box; what the box
// frees is freed here the same way (both entries, then both removed).
std::string greeting_road(DynString user_name, AllocCount& before_box) {
    ProcFrame f;
    push_literal(f, pool[kHello]);
    push_borrowed(f, user_name);
    string_concat(f);
    push_empty(f);
    before_box = snapshot();
    std::string text = bytes_of(string_arg(f, 1));
    free_string(string_arg(f, 0));
    free_string(string_arg(f, 1));
    drop_string_args(f, 2);
    EXPECT_EQ(f.strings.depth, 0u) << "the road must leave the stack as it found it";
    EXPECT_EQ(f.error_word, 0u);
    return text;
}

}  // namespace

TEST_F(Allocations, PushLiteralAllocatesOneBlock) {
    ProcFrame f;
    AllocCount a = snapshot();
    push_literal(f, pool[kHello]);
    EXPECT_EQ(string_allocation_count() - a.calls, 1u) << "expected one allocation for \"Hello \"";
    EXPECT_EQ(live_string_count() - a.live, 1);
    pop_string(f);
}

TEST_F(Allocations, PushBorrowedAndPushEmptyAllocateNothing) {
    DynString name = make("Ann");
    ProcFrame f;
    AllocCount a = snapshot();
    push_borrowed(f, name);
    push_empty(f);
    EXPECT_EQ(string_allocation_count(), a.calls)
        << "expected no allocation, got " << string_allocation_count() - a.calls;
    pop_string(f);
    pop_string(f);
    EXPECT_EQ(live_string_count(), a.live) << "a borrowed entry must not be freed";
    free_string(name);
}

TEST_F(Allocations, StringConcatAllocatesOneAndFreesTheOwnedArgument) {
    DynString name = make("Ann");
    ProcFrame f;
    push_literal(f, pool[kHello]);
    push_borrowed(f, name);
    AllocCount a = snapshot();
    string_concat(f);
    EXPECT_EQ(string_allocation_count() - a.calls, 1u);
    EXPECT_EQ(live_string_count(), a.live) << "one allocated and \"Hello \" freed: live unchanged";
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "Hello Ann");
    pop_string(f);
    free_string(name);
}

TEST_F(Allocations, GreetingRoadMakesTwoAllocationsAndFreesBoth) {
    DynString name = make("Ann");
    AllocCount start = snapshot();
    AllocCount before_box{};
    EXPECT_EQ(greeting_road(name, before_box), "Hello Ann");
    EXPECT_EQ(before_box.calls - start.calls, 2u) << "push_literal and string_concat allocate one each";
    EXPECT_EQ(before_box.live - start.live, 1) << "only the joined text is alive when the box would show";
    EXPECT_EQ(string_allocation_count(), before_box.calls) << "freeing the box's entries allocated";
    EXPECT_EQ(live_string_count(), start.live) << "the road leaked or freed the user's name";
    EXPECT_EQ(bytes_of(name), "Ann") << "the borrowed name must be left alone";
    free_string(name);
}

TEST_F(Allocations, GreetingRoadWithEmptyNameStillMakesTwoAllocations) {
    AllocCount start = snapshot();
    AllocCount before_box{};
    EXPECT_EQ(greeting_road(0, before_box), "Hello ");
    EXPECT_EQ(before_box.calls - start.calls, 2u) << "a fresh \"Hello \" is joined even with an empty name";
    EXPECT_EQ(live_string_count(), start.live);
}

TEST_F(Allocations, CreateDialogAllocatesNothingAndFreesItsOwnedTitle) {
    ProcFrame f;
    push_literal(f, pool[kTitle]);
    AllocCount a = snapshot();
    dialog_ = create_dialog(f, nullptr, -1, -1, 160, 50, 0, 0);
    ASSERT_NE(dialog_, nullptr);
    EXPECT_EQ(string_allocation_count(), a.calls)
        << "create_dialog asked the allocator " << string_allocation_count() - a.calls << " time(s)";
    EXPECT_EQ(live_string_count() - a.live, -1) << "the owned title must be freed";
}

TEST_F(Allocations, AddControlAllocatesNothing) {
    ProcFrame f;
    push_literal(f, pool[kTitle]);
    dialog_ = create_dialog(f, nullptr, -1, -1, 160, 50, 0, 0);
    ASSERT_NE(dialog_, nullptr);
    push_empty(f);
    push_literal(f, pool[kOk]);
    AllocCount a = snapshot();
    HWND ok = add_control(f, dialog_, IDOK, nullptr, 34, 32, 40, 14, BS_DEFPUSHBUTTON, 0, nullptr, kPushButton);
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(string_allocation_count(), a.calls)
        << "add_control asked the allocator " << string_allocation_count() - a.calls << " time(s)";
    EXPECT_EQ(live_string_count() - a.live, -1) << "the owned text must be freed";
    EXPECT_EQ(f.strings.depth, 0u);
}

TEST_F(Allocations, ModalLoopAllocatesNothingWhileIdleOrHandlingMessages) {
    HWND dialog = make_greeting_dialog();
    ASSERT_NE(dialog, nullptr);
    HWND name_box = GetDlgItem(dialog, kNameBox);
    std::int32_t end_value = -1;
    AllocCount a = snapshot();
    // Messages arrive from another thread while the loop polls: characters
    // for the name box, a Tab for the dialog manager, then Cancel after
    // about 100 ms of idle polling.
    std::thread poster([dialog, name_box] {
        PostMessageA(dialog, WM_NULL, 0, 0);
        PostMessageA(name_box, WM_CHAR, 'A', 0);
        PostMessageA(name_box, WM_CHAR, 'n', 0);
        PostMessageA(name_box, WM_KEYDOWN, VK_TAB, 0);
        Sleep(100);
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    });
    DWORD started = GetTickCount();
    run_dialog_modal(dialog, nullptr, &end_value);
    DWORD ran = GetTickCount() - started;
    poster.join();
    EXPECT_EQ(string_allocation_count(), a.calls)
        << "the modal loop asked the allocator " << string_allocation_count() - a.calls << " time(s)";
    EXPECT_EQ(live_string_count(), a.live);
    EXPECT_EQ(cancel_calls.load(), 1) << "the posted Cancel must reach its callback";
    EXPECT_EQ(end_value, 0);
    EXPECT_FALSE(IsWindow(dialog)) << "the loop returned with the dialog still there";
    EXPECT_GE(ran, 80u) << "the loop should have polled for about 100 ms before Cancel arrived";
}

TEST_F(Allocations, AssigningBorrowedStringOfSameLengthReusesTheBuffer) {
    DynString var = make("Ann");
    DynString other = make("Bob");
    ProcFrame f;
    push_borrowed(f, other);
    AllocCount a = snapshot();
    DynString before = var;
    string_assign(f, var);
    EXPECT_EQ(string_allocation_count(), a.calls) << "expected the variable's own buffer to be reused";
    EXPECT_EQ(live_string_count(), a.live);
    EXPECT_EQ(var, before) << "the variable's handle changed";
    EXPECT_EQ(bytes_of(var), "Bob");
    free_string(var);
    free_string(other);
}

TEST_F(Allocations, AssigningBorrowedStringOfOtherLengthAllocatesOne) {
    DynString var = make("Ann");
    DynString other = make("Anna");
    ProcFrame f;
    push_borrowed(f, other);
    AllocCount a = snapshot();
    string_assign(f, var);
    EXPECT_EQ(string_allocation_count() - a.calls, 1u);
    EXPECT_EQ(live_string_count(), a.live) << "one allocated, the old value freed";
    EXPECT_EQ(bytes_of(var), "Anna");
    free_string(var);
    free_string(other);
}

TEST_F(Allocations, ReadControlTextAllocatesScratchAndResultAndKeepsOne) {
    HWND dialog = make_greeting_dialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SetWindowTextA(GetDlgItem(dialog, kNameBox), "Ann"));
    ProcFrame f;
    AllocCount a = snapshot();
    read_control_text(f, dialog, kNameBox);
    EXPECT_EQ(string_allocation_count() - a.calls, 2u) << "expected the scratch string and the result";
    EXPECT_EQ(live_string_count() - a.live, 1) << "expected only the result to stay alive";
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "Ann");
    pop_string(f);
}
