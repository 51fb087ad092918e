// Keyboard shortcuts of dialogs. A dialog's table stays the caller's; the
// dialog keeps its address in a window property. The keys are translated in
// a message filter of the thread (WH_MSGFILTER), which the platform's
// IsDialogMessageW and IsDialogMessageA call with MSGF_DIALOGBOX for every
// message they are given before anything else: so run_dialog_modal, which
// hands every message to IsDialogMessageW, translates shortcuts of modal and modeless dialogs alike
// without a line of its own, and a program that uses no shortcuts carries
// none of this.
#include "toolkit/toolkit_private.h"

namespace {

constexpr char kShortcutsProperty[] = "KestrowaneShortcuts";
// The notification code the platform's own accelerators put in a command.
constexpr WORD kFromShortcut = 1;
constexpr LPARAM kAltContext = LPARAM{1} << 29;

// The filter of the thread that installed it: the first set_dialog_shortcuts.
HHOOK shortcut_filter = nullptr;

// The combination a key message stands for, with the modifiers held when it
// was sent. A WM_SYSKEYDOWN carries Alt in its context bit as well.
std::uint32_t pressed_keys(const MSG& msg) {
    std::uint32_t keys = static_cast<std::uint32_t>(msg.wParam) & kShortcutKeyMask;
    if (GetKeyState(VK_SHIFT) < 0) keys |= kShortcutShift;
    if (GetKeyState(VK_CONTROL) < 0) keys |= kShortcutCtrl;
    if (GetKeyState(VK_MENU) < 0 || (msg.lParam & kAltContext) != 0) keys |= kShortcutAlt;
    return keys;
}

const DialogShortcut* find_shortcut(const DialogShortcut* row, std::uint32_t keys) {
    for (; row->keys != 0; ++row)
        if (row->keys == keys) return row;
    return nullptr;
}

// A menu item of the dialog's menu bar with the command id that is grayed or
// disabled can no more be reached by its shortcut than chosen.
bool command_is_disabled(HWND dialog, std::uint16_t id) {
    UINT state = GetMenuState(GetMenu(dialog), id, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & (MF_GRAYED | MF_DISABLED)) != 0;
}

// Runs the shortcut as a menu item runs: its own callback first and then the
// dialog's, or, without a callback of its own, the command goes to the dialog
// and the control, menu item or dialog callback that owns the id gets it.
void run_shortcut(HWND dialog, const DialogShortcut& shortcut) {
    if (command_is_disabled(dialog, shortcut.id)) return;
    WPARAM command = MAKEWPARAM(shortcut.id, kFromShortcut);
    if (shortcut.callback == nullptr) {
        SendMessageA(dialog, WM_COMMAND, command, 0);
        return;
    }
    if (shortcut.callback(dialog, WM_COMMAND, command, 0) != 0) return;
    if (ControlCallback dialog_callback = callback_of(dialog)) dialog_callback(dialog, WM_COMMAND, command, 0);
}

// True when the message was a key of a shortcut of the dialog it is for.
bool translate_shortcut(const MSG& msg) {
    if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
    HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
    if (!is_toolkit_dialog(dialog)) return false;
    auto* table = static_cast<const DialogShortcut*>(GetPropA(dialog, kShortcutsProperty));
    if (table == nullptr) return false;
    const DialogShortcut* shortcut = find_shortcut(table, pressed_keys(msg));
    if (shortcut == nullptr) return false;
    run_shortcut(dialog, *shortcut);
    return true;
}

LRESULT CALLBACK filter_messages(int code, WPARAM wparam, LPARAM lparam) {
    if (code == MSGF_DIALOGBOX && translate_shortcut(*reinterpret_cast<const MSG*>(lparam))) return 1;
    return CallNextHookEx(shortcut_filter, code, wparam, lparam);
}

}  // namespace

BOOL set_dialog_shortcuts(HWND dialog, const DialogShortcut* shortcuts) {
    if (!is_toolkit_dialog(dialog)) return FALSE;
    if (shortcuts == nullptr) {
        RemovePropA(dialog, kShortcutsProperty);
        return TRUE;
    }
    if (shortcut_filter == nullptr)
        shortcut_filter = SetWindowsHookExA(WH_MSGFILTER, filter_messages, nullptr, GetCurrentThreadId());
    if (shortcut_filter == nullptr) return FALSE;
    return SetPropA(dialog, kShortcutsProperty, const_cast<DialogShortcut*>(shortcuts));
}

void push_shortcut_text(ProcFrame& f, std::uint32_t keys) {
    char text[kShortcutTextSize];
    std::uint32_t n = shortcut_text(keys, text);
    StringAllocation s = allocate_string(n);
    if (s.handle != 0) copy_bytes(s.bytes, text, n);
    push_new_string(f, s);
}
