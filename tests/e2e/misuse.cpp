// A checked program that misuses its strings when a button is pressed, and
// otherwise behaves: its UI test must fail on the reports even though every
// line of the script succeeds and the program exits with 0.
#include "runtime/startup.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"

namespace {

struct Globals {
    DynString name;
} globals;

constexpr auto literals = make_literal_pool("Misuse", "", "Leave one", "Close", "Hand over", "Ann");
enum Literal { kTitle, kEmpty, kLeaveOne, kClose, kHandOver, kAnn };
constexpr std::int32_t kNameLabel = 20;

// Returns with an entry left on its stack.
std::int32_t on_leave_one(HWND, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    push_empty(f);
    return 0;
}

// Hands the stored name over as owned (push_handle where push_borrowed was
// meant): the label's text operation frees it, and the variable then holds a
// freed block, which the next line reads again.
std::int32_t on_hand_over(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    push_literal(f, literals[kAnn]);
    string_assign(f, globals.name);
    push_handle(f, globals.name);
    write_control_text(f, dialog, kNameLabel);
    push_borrowed(f, globals.name);
    write_control_text(f, dialog, kNameLabel);
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
    HWND dialog = create_dialog(f, nullptr, -1, -1, 190, 50, 0, 0);
    add_button(f, dialog, 10, kLeaveOne, 10, on_leave_one);
    add_button(f, dialog, 11, kHandOver, 70, on_hand_over);
    add_button(f, dialog, IDCANCEL, kClose, 130, on_close);
    push_empty(f);
    push_empty(f);
    add_control(f, dialog, kNameLabel, nullptr, 10, 30, 170, 10, 0, 0, nullptr, kLabel);
    run_dialog_modal(dialog, nullptr, nullptr);
    return f.result;
}
