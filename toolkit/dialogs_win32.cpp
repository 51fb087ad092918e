// Creating, running and ending dialogs, and the dialog procedure they share.
#include "runtime/state.h"
#include "toolkit/dialog_template.h"
#include "toolkit/toolkit_private.h"

HFONT toolkit_dialog_font;

namespace {

// Pointer-sized slots of the platform's per-window data besides the
// callback's (toolkit_private.h).
constexpr int kEndValueSlot = DWLP_USER;     // 8 (16 on x86-64): address of the end-value variable
constexpr int kOwnerSlot = GWLP_HWNDPARENT;  // -8

HWND owner_of(HWND dialog) { return reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, kOwnerSlot)); }

// The window property of a modal dialog that holds its owner: run_dialog_modal
// sets it, naming the owner, when it found the owner enabled and disabled
// it; close_dialog enables the owner only for such a dialog. So closing a
// modeless dialog leaves its owner disabled while a modal dialog of that
// owner runs, and a modal dialog run while its owner was disabled already
// (by the program, a message box or another modal dialog) leaves it so.
constexpr char kHeldOwnerProperty[] = "KestrowaneHeldOwner";

// The callback of the menu item with this command id on the dialog's menu bar.
ControlCallback menu_item_callback(HWND dialog, UINT id) {
    HMENU menu = GetMenu(dialog);
    if (menu == nullptr) return nullptr;
    MENUITEMINFOA info;
    info.cbSize = kMenuItemInfoSize;
    info.fMask = MIIM_DATA;
    info.dwItemData = 0;
    if (!GetMenuItemInfoA(menu, id, FALSE, &info)) return nullptr;
    return reinterpret_cast<ControlCallback>(info.dwItemData);
}

// A control of the dialog with the id owns the command, even without a
// callback; only an id that names no control goes to the menu bar.
ControlCallback command_callback(HWND dialog, WPARAM wparam) {
    UINT id = LOWORD(wparam);
    if (HWND control = GetDlgItem(dialog, id)) return callback_of(control);
    return menu_item_callback(dialog, id);
}

// Steps shared by the modal and modeless set-up: the callback's own
// WM_INITDIALOG and the two slots.
void install_dialog(HWND dialog, ControlCallback callback, std::int32_t* end_value) {
    if (callback != nullptr) callback(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(dialog), 0);
    keep_callback(dialog, callback);
    SetWindowLongPtrA(dialog, kEndValueSlot, reinterpret_cast<LONG_PTR>(end_value));
}

// Reads the dialog's style once, shows the dialog by it and gives it.
LONG show_dialog(HWND dialog) {
    LONG style = GetWindowLongA(dialog, GWL_STYLE);
    ShowWindow(dialog, (style & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED : SW_SHOW);
    return style;
}

// The dialog manager deletes a dialog's font when the dialog is destroyed.
// If that font is the one remembered for new controls, forget it, so that
// add_control never hands out a deleted font.
void forget_dying_font(HWND dialog) {
    if (toolkit_dialog_font == reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)))
        toolkit_dialog_font = nullptr;
}

// The dialog whose keyboard handling a message gets: the top-level window
// the message is for, when that is a dialog of the toolkit, so a modeless
// dialog answers Tab, Enter, Escape, the arrows and access keys too; for any
// other window, the modal dialog.
HWND keyboard_dialog(HWND window, HWND modal) {
    HWND top = GetAncestor(window, GA_ROOT);
    return is_toolkit_dialog(top) ? top : modal;
}

// Takes and handles one message; false when the queue was empty. The loop
// reads messages in their W form: a typed character then reaches a control
// whole, whatever the process's code page (with the A calls, one outside the
// code page arrives as "?", and under UTF-8 every character past ASCII
// does). The dialogs and controls stay A windows; the platform converts.
bool pump_one_message(HWND dialog) {
    MSG msg;
    if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
    HWND keys = keyboard_dialog(msg.hwnd, dialog);
    if (IsWindow(keys) && IsDialogMessageW(keys, &msg)) return true;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    return true;
}

}  // namespace

HWND create_dialog(ProcFrame& f, HWND parent, std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height,
                   std::uint32_t style, std::uint32_t exstyle) {
    expect_string_args(f, 1, "create_dialog");
    StringView title = view_string(string_arg(f, 0));
    DialogTemplate dialog_template;
    build_dialog_template(dialog_template, title.bytes, title.count, x, y, width, height, style, exstyle);
    HWND dialog =
        CreateDialogIndirectParamA(static_cast<HINSTANCE>(runtime_state.instance),
                                   reinterpret_cast<LPCDLGTEMPLATEA>(dialog_template.bytes), parent, dialog_proc, 0);
    // The template widens the title byte by byte, which reads ASCII alone
    // right; the bytes it took are handed to the platform as well, which
    // reads them in the program's code page (UTF-8 by default).
    if (dialog != nullptr) SetWindowTextA(dialog, dialog_template.title);
    pop_string_args(f, 1);
    toolkit_dialog_font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
    return dialog;
}

INT_PTR CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ACTIVATE && LOWORD(wparam) <= WA_CLICKACTIVE) return 1;
    if (message == WM_DESTROY) forget_dying_font(dialog);
    // A control's own callback hears first what the control tells its
    // dialog: a command names the control (or menu item) by its id, a
    // notification by its window and id, a scroll message (scroll bar,
    // slider, up-down) by its window. Only a window that is one of the
    // dialog's own controls is believed: another's slot holds no callback of
    // this dialog, and another process's an address of that process.
    HWND from = nullptr;
    if (message == WM_NOTIFY && lparam != 0) {
        const auto* header = reinterpret_cast<const NMHDR*>(lparam);
        if (GetDlgItem(dialog, static_cast<int>(header->idFrom)) == header->hwndFrom) from = header->hwndFrom;
    }
    HWND scrolled = reinterpret_cast<HWND>(lparam);
    if ((message | 1) == WM_VSCROLL && GetAncestor(scrolled, GA_PARENT) == dialog) from = scrolled;  // or WM_HSCROLL
    ControlCallback own = message == WM_COMMAND ? command_callback(dialog, wparam)
                          : from != nullptr     ? callback_of(from)
                                                : nullptr;
    if (own != nullptr) {
        if (std::int32_t r = own(dialog, message, wparam, lparam)) return r;
    }
    if (ControlCallback callback = callback_of(dialog)) {
        if (std::int32_t r = callback(dialog, message, wparam, lparam)) return r;
    }
    if (message == WM_SYSCOMMAND && LOWORD(wparam) == SC_CLOSE) {
        close_dialog(dialog, 0);
        return 1;
    }
    return 0;
}

void run_dialog_modal(HWND dialog, ControlCallback callback, std::int32_t* end_value) {
    check_program_thread("run_dialog_modal");
    install_dialog(dialog, callback, end_value);
    HWND owner = owner_of(dialog);
    if (owner != nullptr) {
        SendMessageA(owner, WM_CANCELMODE, 0, 0);
        // EnableWindow gives nonzero when the owner was disabled already.
        if (!EnableWindow(owner, FALSE)) SetPropA(dialog, kHeldOwnerProperty, owner);
    }
    LONG style = show_dialog(dialog);
    bool idle_messages = owner != nullptr && (style & DS_NOIDLEMSG) == 0;
    for (;;) {
        if (!pump_one_message(dialog)) {
            // A dialog may also end while the queue is empty: destroyed by a
            // message sent from another thread (delivered inside PeekMessageW),
            // or never a window at all.
            if (!IsWindow(dialog)) break;
            if (idle_messages) SendMessageA(owner, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(dialog));
            Sleep(1);
            continue;
        }
        if (!IsWindow(dialog)) break;
    }
    if (owner != nullptr) SetFocus(owner);
}

void show_dialog_modeless(HWND dialog, ControlCallback callback, std::int32_t* end_value) {
    check_program_thread("show_dialog_modeless");
    install_dialog(dialog, callback, end_value);
    show_dialog(dialog);
}

void close_dialog(HWND dialog, std::int32_t end_value) {
    check_program_thread("close_dialog");
    SendMessageA(dialog, WM_CLOSE, 0, 0);
    // The owner this dialog holds, if any, is enabled before the dialog is
    // destroyed, so that the platform hands it the activation.
    HWND owner = static_cast<HWND>(GetPropA(dialog, kHeldOwnerProperty));
    EnableWindow(owner, TRUE);  // for no owner (null), a call that fails and changes nothing
    if (auto* slot = reinterpret_cast<std::int32_t*>(GetWindowLongPtrA(dialog, kEndValueSlot))) *slot = end_value;
    // A dialog that outlives this (DestroyWindow refuses another thread's
    // window) still runs, and keeps holding its owner.
    if (!DestroyWindow(dialog) && owner != nullptr) EnableWindow(owner, FALSE);
}

void set_dialog_title(ProcFrame& f, HWND dialog) {
    expect_string_args(f, 1, "set_dialog_title");
    SetWindowTextA(dialog, view_string(string_arg(f, 0)).bytes);
    pop_string_args(f, 1);
}

BOOL show_window_state(HWND window, std::int32_t command, BOOL* result) {
    BOOL r = ShowWindow(window, command);
    if (result != nullptr) *result = r;
    return r;
}
