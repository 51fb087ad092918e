// The greeting program: asks the user's name in a modal dialog and, when the
// user confirms with OK, greets them by name in a message box.
#include "runtime/message_box.h"
#include "runtime/startup.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"

namespace {

struct Globals {
    DynString user_name;  // written only by on_ok
};
Globals globals;

constexpr auto literals = make_literal_pool("What is your name?", "", "OK", "Cancel", "Hello ");
enum Literal { kWhatIsYourName, kEmpty, kOk, kCancel, kHello };

constexpr std::int32_t kNameBox = 100;

std::int32_t on_ok(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    read_control_text(f, dialog, kNameBox);
    string_assign(f, globals.user_name);
    close_dialog(dialog, 1);
    return f.result;
}

std::int32_t on_cancel(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 0);
    return f.result;
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    std::int32_t result = 0;

    push_literal(f, literals[kWhatIsYourName]);
    HWND dialog = create_dialog(f, nullptr, -1, -1, 160, 50, 0, 0);

    push_empty(f);
    push_literal(f, literals[kEmpty]);
    add_control(f, dialog, kNameBox, nullptr, 14, 12, 134, 12, 0, 0, nullptr, kTextBox);

    push_empty(f);
    push_literal(f, literals[kOk]);
    add_control(f, dialog, IDOK, nullptr, 34, 32, 40, 14, BS_DEFPUSHBUTTON, 0, on_ok, kPushButton);

    push_empty(f);
    push_literal(f, literals[kCancel]);
    add_control(f, dialog, IDCANCEL, nullptr, 84, 32, 40, 14, 0, 0, on_cancel, kPushButton);

    run_dialog_modal(dialog, nullptr, &result);
    if (result == 0) return f.result;

    push_literal(f, literals[kHello]);
    push_borrowed(f, globals.user_name);
    string_concat(f);
    push_empty(f);
    message_box(f, 0);
    return f.result;
}
