// Enabling and disabling a control, in a file of its own: it alone asks the
// platform where the focus is.
#include "toolkit/toolkit_private.h"

// A control disabled while it has the focus (a button that starts work and
// disables itself, say) would leave the dialog with no focus at all: under
// Wine the focus then is nowhere, so Tab, Escape and the access keys reach
// no window. The focus first moves on as Tab moves it, to the next control
// that takes it; with none left, the dialog itself takes it, so that Escape
// and Enter still reach the dialog and Tab finds the controls again once one
// is enabled.
void enable_control(HWND dialog, std::int32_t id, std::int32_t enable) {
    check_program_thread("enable_control");
    HWND control = control_of(dialog, id);
    HWND focus = GetFocus();
    bool had_focus =
        !enable && id != -1 && control != nullptr && focus != nullptr && (focus == control || IsChild(control, focus));
    if (had_focus) SendMessageA(dialog, WM_NEXTDLGCTL, 0, FALSE);
    EnableWindow(control, enable);
    if (had_focus && GetFocus() == nullptr) SetFocus(dialog);
}
