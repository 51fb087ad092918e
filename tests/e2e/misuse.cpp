// A checked program that misuses its string argument stack once a button is
// pressed, and otherwise behaves: its UI test must fail on the report even
// though every line of the script succeeds and the program exits with 0.
#include "runtime/state.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"

namespace {

struct Globals {
    DynString unused;
} globals;

constexpr auto literals = make_literal_pool("Misuse", "", "Leave one", "Close");
enum Literal { kTitle, kEmpty, kLeaveOne, kClose };

// Returns with an entry left on its stack.
std::int32_t on_leave_one(HWND, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    push_empty(f);
    return 0;
}

std::int32_t on_close(HWND dialog, UINT, WPARAM, LPARAM) {
    close_dialog(dialog, 0);
    return 0;
}

void add_button(ProcFrame& f, HWND dialog, std::int32_t id, Literal text, std::int32_t x, ControlCallback callback) {
    push_empty(f);
    push_literal(f, literals[text]);
    add_control(f, dialog, id, nullptr, x, 10, 50, 14, 0, 0, callback, kPushButton);
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    push_literal(f, literals[kTitle]);
    HWND dialog = create_dialog(f, nullptr, -1, -1, 130, 34, 0, 0);
    add_button(f, dialog, 10, kLeaveOne, 10, on_leave_one);
    add_button(f, dialog, IDCANCEL, kClose, 70, on_close);
    run_dialog_modal(dialog, nullptr, nullptr);
    return f.result;
}
