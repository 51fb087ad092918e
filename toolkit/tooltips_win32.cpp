// Tooltips for a dialog's controls: one tooltip window per dialog, made by
// the first tip and owned by the dialog, so the platform destroys it with
// the dialog; the dialog names it again in a window property. Each control
// is a tool of its own (TTF_IDISHWND). The controls' mouse messages reach
// the tooltip window from a message hook of the thread (WH_GETMESSAGE), which
// every message loop passes through, not by subclassing the controls: a
// control subclassed that way (TTF_SUBCLASS) gets the typed characters that
// the loop dispatches in their W form converted through the system's code
// page, not the program's (seen under Wine 8: "Ελένη" typed into a text box
// with a tip arrived as "?????" under UTF-8).
#include "runtime/checked.h"
#include "toolkit/toolkit_private.h"

#include <commctrl.h>

namespace {

constexpr char kTooltipsProperty[] = "KestrowaneTooltips";
// A tip's text is read into this many UTF-16 units at most, and kept to as
// many less one when set.
constexpr std::uint32_t kTipUnits = 1024;

// The thread's hook that hands mouse messages to the tooltip windows.
HHOOK tip_relay;

HWND tooltips_of(HWND dialog) {
    check_program_thread("a tooltip operation");
    auto* tips = static_cast<HWND>(GetPropA(dialog, kTooltipsProperty));
    return IsWindow(tips) ? tips : nullptr;
}

HWND make_tooltips(HWND dialog) {
    if (HWND tips = tooltips_of(dialog)) return tips;
    HWND tips = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    if (tips == nullptr) return nullptr;
    if (!SetPropA(dialog, kTooltipsProperty, tips)) {
        DestroyWindow(tips);
        return nullptr;
    }
    // Long tips wrap instead of running across the screen.
    SendMessageW(tips, TTM_SETMAXTIPWIDTH, 0, 400);
    return tips;
}

TTTOOLINFOW tool_of(HWND dialog, HWND control, WCHAR* text) {
    TTTOOLINFOW tool = {};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = text;
    return tool;
}

bool has_tool(HWND tips, HWND dialog, HWND control) {
    TTTOOLINFOW tool = tool_of(dialog, control, nullptr);
    return tips != nullptr && SendMessageW(tips, TTM_GETTOOLINFOW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
}

// Takes away the tools of controls that are gone: the tooltip window keeps a
// tool until it is deleted, so a dialog whose controls come and go would
// gather the tips of every control it ever had.
void forget_gone_tools(HWND tips) {
    for (UINT i = 0;;) {
        TTTOOLINFOW tool = tool_of(nullptr, nullptr, nullptr);
        if (SendMessageW(tips, TTM_ENUMTOOLSW, i, reinterpret_cast<LPARAM>(&tool)) == 0) return;
        LRESULT count = SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0);
        if ((tool.uFlags & TTF_IDISHWND) != 0 && !IsWindow(reinterpret_cast<HWND>(tool.uId)))
            SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        // The next tool moved into this place only when that one went.
        if (SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0) == count) ++i;
    }
}

// A mouse message taken from the queue for a control of a dialog with tips
// goes to the dialog's tooltip window, which shows the tip of a control that
// is one of its tools and hides it over any other.
LRESULT CALLBACK relay_mouse(int code, WPARAM wparam, LPARAM lparam) {
    auto* msg = reinterpret_cast<MSG*>(lparam);
    if (code == HC_ACTION && wparam == PM_REMOVE && msg->message >= WM_MOUSEMOVE && msg->message <= WM_MBUTTONDBLCLK) {
        HWND dialog = GetParent(msg->hwnd);
        auto* tips = dialog != nullptr ? static_cast<HWND>(GetPropA(dialog, kTooltipsProperty)) : nullptr;
        if (tips != nullptr) SendMessageW(tips, TTM_RELAYEVENT, 0, lparam);
    }
    return CallNextHookEx(tip_relay, code, wparam, lparam);
}

}  // namespace

BOOL set_control_tooltip(ProcFrame& f, HWND dialog, std::int32_t id) {
    expect_string_args(f, 1, "set_control_tooltip");
    BOOL done = FALSE;
    HWND control = GetDlgItem(dialog, id);
    Wide text(view_string(string_arg(f, 0)));
    if (control != nullptr && text.text() != nullptr && is_toolkit_dialog(dialog)) {
        WCHAR* w = text.text();
        if (lstrlenW(w) >= static_cast<int>(kTipUnits)) {
            // A character of two units (a surrogate pair) is kept whole or not at all.
            std::uint32_t end = kTipUnits - 1;
            if (w[end - 1] >= 0xD800 && w[end - 1] <= 0xDBFF) --end;
            w[end] = 0;
        }
        HWND tips = tooltips_of(dialog);
        if (w[0] == 0) {  // the empty text takes the tip away
            TTTOOLINFOW tool = tool_of(dialog, control, nullptr);
            if (has_tool(tips, dialog, control)) SendMessageW(tips, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
            done = TRUE;
        } else if (has_tool(tips, dialog, control)) {
            TTTOOLINFOW tool = tool_of(dialog, control, w);
            SendMessageW(tips, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
            done = TRUE;
        } else if ((tip_relay != nullptr || (tip_relay = SetWindowsHookExW(WH_GETMESSAGE, relay_mouse, nullptr,
                                                                           GetCurrentThreadId())) != nullptr) &&
                   (tips = make_tooltips(dialog)) != nullptr) {
            forget_gone_tools(tips);
            TTTOOLINFOW tool = tool_of(dialog, control, w);
            done = SendMessageW(tips, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != 0;
        }
    }
    pop_string_args(f, 1);
    return done;
}

void get_control_tooltip(ProcFrame& f, HWND dialog, std::int32_t id) {
    HWND control = GetDlgItem(dialog, id);
    HWND tips = tooltips_of(dialog);
    if (control == nullptr || !has_tool(tips, dialog, control)) {
        push_empty(f);
        return;
    }
    WideBuffer text(kTipUnits);
    if (text.units() == nullptr) {
        record_error(f, kOutOfMemory);
        push_empty(f);
        return;
    }
    TTTOOLINFOW tool = tool_of(dialog, control, text.units());
    SendMessageW(tips, TTM_GETTEXTW, kTipUnits, reinterpret_cast<LPARAM>(&tool));
    push_wide_text(f, tool.lpszText);
}

HWND get_dialog_tooltips(HWND dialog) { return tooltips_of(dialog); }
