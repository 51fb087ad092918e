// Creating controls, loading their images, and the operations on a control's
// text, state, callback and items.
#include "runtime/state.h"
#include "toolkit/toolkit_private.h"

namespace {

constexpr std::uint32_t kReadTextScratch = 0x8002;

HINSTANCE instance() { return static_cast<HINSTANCE>(runtime_state.instance); }

LRESULT send(HWND window, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendMessageA(window, message, wparam, lparam);
}

LRESULT send_to_control(HWND dialog, std::int32_t id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    check_program_thread("a control operation");
    return send(GetDlgItem(dialog, id), message, wparam, lparam);
}

// Sends a message whose lParam is the text on the top entry, then pops it.
void send_top_text(ProcFrame& f, HWND dialog, std::int32_t id, UINT message, const char* operation) {
    expect_string_args(f, 1, operation);
    StringView text = view_string(string_arg(f, 0));
    send_to_control(dialog, id, message, 0, reinterpret_cast<LPARAM>(text.bytes));
    pop_string_args(f, 1);
}

struct PixelRect {
    std::int32_t x, y, width, height;
};

// Converts both edges, so controls that touch in dialog units touch in pixels.
PixelRect to_pixels(HWND dialog, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) {
    RECT r = {x, y, wrapping_add(x, width), wrapping_add(y, height)};
    MapDialogRect(dialog, &r);
    return {r.left, r.top, wrapping_sub(r.right, r.left), wrapping_sub(r.bottom, r.top)};
}

// The font of the dialog created last while that dialog lives; once it has
// been destroyed (its font with it), the parent dialog's own font.
WPARAM control_font(HWND parent) {
    if (HFONT font = toolkit_dialog_font) return reinterpret_cast<WPARAM>(font);
    return static_cast<WPARAM>(send(parent, WM_GETFONT));
}

void add_items(HWND control, ControlKind kind, const ArrayDescriptor* items) {
    if (items == nullptr || (items->flags & kArrayHasItems) == 0 || kind > kLastClassicKind) return;
    UINT message = kind == kComboBox ? CB_ADDSTRING : LB_ADDSTRING;
    for (std::uint32_t i = 0; i < items->count; ++i) {
        StringView item = view_string(items->data[i]);
        if (item.count == 0 || item.bytes[0] == 0) break;
        send(control, message, 0, reinterpret_cast<LPARAM>(item.bytes));
    }
}

void make_default_button(HWND parent, std::int32_t id, std::uint32_t style) {
    if (style & BS_DEFPUSHBUTTON) send(parent, DM_SETDEFID, static_cast<WPARAM>(id));
}

void finish_control(HWND parent, std::int32_t id, ControlKind kind, std::uint32_t style) {
    if (kind == kPushButton) make_default_button(parent, id, style);
}

// Pushes the text of the item at the platform position, read with the given
// messages: empty when there is no such item (CB_ERR, LB_ERR).
void push_item_text(ProcFrame& f, HWND control, LRESULT position, UINT get_length, UINT get_text) {
    LRESULT n = send(control, get_length, static_cast<WPARAM>(position));
    StringAllocation text = n > 0 ? allocate_string(static_cast<std::uint32_t>(n)) : allocate_string(0);
    if (text.handle != 0) {
        // The length reply may overstate the text; keep only what was written.
        LRESULT written = send(control, get_text, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(text.bytes));
        std::uint32_t kept = written > 0 && written < n ? static_cast<std::uint32_t>(written) : 0;
        if (written != n) text = shrink_string(text.handle, kept);
    }
    push_new_string(f, text);
}

// The text of the item at the selection, read with the given messages.
void push_selected_item(ProcFrame& f, HWND dialog, std::int32_t id, UINT get_selection, UINT get_length,
                        UINT get_text) {
    HWND control = GetDlgItem(dialog, id);
    push_item_text(f, control, send(control, get_selection), get_length, get_text);
}

}  // namespace

HWND add_control_of_kind(ProcFrame& f, HWND parent, std::int32_t id, const ArrayDescriptor* items, std::int32_t x,
                         std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t style,
                         std::uint32_t exstyle, ControlCallback callback, std::uint32_t kind) {
    expect_string_args(f, 2, "add_control");
    const char* text = view_string(string_arg(f, 0)).bytes;
    const char* class_name = view_string(string_arg(f, 1)).bytes;
    PixelRect px = to_pixels(parent, x, y, width, height);
    ControlStyle cs = compute_control_style(kind, style, exstyle, px.width, px.height, class_name);
    HWND control = nullptr;
    if (cs.class_name != nullptr) {  // kinds above 21 have no row and make no control
        control = CreateWindowExA(cs.exstyle, cs.class_name, text, cs.style, px.x, px.y, px.width, px.height, parent,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance(), nullptr);
        send(control, WM_SETFONT, control_font(parent), 1);
        // A new control's slot is 0 already; storing 0 again would cost a
        // round trip to the server under Wine (about 25 us).
        if (callback != nullptr) keep_callback(control, callback);
        add_items(control, kind, items);
        finish_control(parent, id, kind, cs.style);
    }
    pop_string_args(f, 2);
    return control;
}

void read_control_text(ProcFrame& f, HWND dialog, std::int32_t id) {
    check_program_thread("read_control_text");
    HWND control = GetDlgItem(dialog, id);
    // Wine's GetWindowTextA on the null window reports a length without
    // writing anything, which would hand out the scratch string's garbage.
    StringAllocation text = control != nullptr ? allocate_string(kReadTextScratch) : allocate_string(0);
    if (text.handle != 0) {
        int n = GetWindowTextA(control, text.bytes, kReadTextScratch);
        std::uint32_t kept = n <= 0                                   ? 0
                             : n < static_cast<int>(kReadTextScratch) ? static_cast<std::uint32_t>(n)
                                                                      : kReadTextScratch - 1;
        text = shrink_string(text.handle, kept);
    }
    push_new_string(f, text);
}

void write_control_text(ProcFrame& f, HWND dialog, std::int32_t id) {
    expect_string_args(f, 1, "write_control_text");
    SetWindowTextA(GetDlgItem(dialog, id), view_string(string_arg(f, 0)).bytes);
    pop_string_args(f, 1);
}

void set_control_callback(HWND dialog, std::int32_t id, ControlCallback callback) {
    check_program_thread("set_control_callback");
    keep_callback(GetDlgItem(dialog, id), callback);
}

void focus_control(HWND dialog, std::int32_t id) {
    check_program_thread("focus_control");
    SetFocus(GetDlgItem(dialog, id));
}

void kill_control(HWND dialog, std::int32_t id) {
    check_program_thread("kill_control");
    DestroyWindow(GetDlgItem(dialog, id));
}

std::int32_t get_control_check(HWND dialog, std::int32_t id) {
    return static_cast<std::int32_t>(send_to_control(dialog, id, BM_GETCHECK));
}

void set_control_check(HWND dialog, std::int32_t id, std::int32_t state) {
    send_to_control(dialog, id, BM_SETCHECK, static_cast<WPARAM>(state));
}

void combo_add_item(ProcFrame& f, HWND dialog, std::int32_t id) {
    send_top_text(f, dialog, id, CB_ADDSTRING, "combo_add_item");
}

void combo_delete_item(HWND dialog, std::int32_t id, std::int32_t index) {
    send_to_control(dialog, id, CB_DELETESTRING, item_position(index));
}

void combo_get_selected(ProcFrame& f, HWND dialog, std::int32_t id) {
    push_selected_item(f, dialog, id, CB_GETCURSEL, CB_GETLBTEXTLEN, CB_GETLBTEXT);
}

void combo_get_item_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    push_item_text(f, GetDlgItem(dialog, id), static_cast<LRESULT>(item_position(index)), CB_GETLBTEXTLEN,
                   CB_GETLBTEXT);
}

void combo_reset(HWND dialog, std::int32_t id) { send_to_control(dialog, id, CB_RESETCONTENT); }

void combo_select_item(HWND dialog, std::int32_t id, std::int32_t index) {
    send_to_control(dialog, id, CB_SETCURSEL, item_position(index));
}

void list_add_item(ProcFrame& f, HWND dialog, std::int32_t id) {
    send_top_text(f, dialog, id, LB_ADDSTRING, "list_add_item");
}

void list_delete_item(HWND dialog, std::int32_t id, std::int32_t index) {
    send_to_control(dialog, id, LB_DELETESTRING, item_position(index));
}

void list_get_item_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    push_item_text(f, GetDlgItem(dialog, id), static_cast<LRESULT>(item_position(index)), LB_GETTEXTLEN, LB_GETTEXT);
}

void list_reset(HWND dialog, std::int32_t id) { send_to_control(dialog, id, LB_RESETCONTENT); }
