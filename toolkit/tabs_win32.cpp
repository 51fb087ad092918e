// Tab controls with pages. A control given to a page carries two window
// properties, the tab control it belongs to and its page; the tab control
// shows the controls of the selected tab's page and hides the others. The
// tab control is subclassed when it gets its first tab, so the toolkit sees
// every change of its selection (a click, the arrow keys, TCM_SETCURSEL from
// anyone, tabs_select) whatever callback the program gives it, and keeps the
// page shown in a third property. Ctrl+Tab and Ctrl+Shift+Tab are seen in a
// message filter of the thread (WH_MSGFILTER), which IsDialogMessageW calls
// for every message the modal loop hands it, so run_dialog_modal needs no
// line of its own for them.
#include "runtime/checked.h"
#include "toolkit/toolkit_private.h"

#include <commctrl.h>

namespace {

constexpr char kTabsOfProperty[] = "KestrowaneTabsOf";    // on a page's control: its tab control
constexpr char kPageProperty[] = "KestrowanePage";        // on a page's control: its page, from 1
constexpr char kShownProperty[] = "KestrowaneShownPage";  // on a tab control: the page shown, from 1
constexpr char kProcProperty[] = "KestrowaneTabsProc";    // on a tab control: its own window procedure

// A tab's text is read into this many UTF-16 units at most.
constexpr std::uint32_t kTabTextUnits = 1024;

HHOOK tab_key_filter = nullptr;

// The tab control (dialog, id) names, or null when it is no tab control.
HWND tabs_of(HWND dialog, std::int32_t id) { return control_of_class(dialog, id, WC_TABCONTROLA, "a tab operation"); }

std::int32_t tab_count(HWND tabs) { return static_cast<std::int32_t>(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0)); }
std::int32_t selected_tab(HWND tabs) {
    return static_cast<std::int32_t>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)) + 1;  // -1 (none) gives 0
}

// Shows the controls of the page and hides those of the other pages; a
// focused control that is hidden hands the focus to the tab control. The
// page shown is noted first, so the messages this sends the tab control
// find it shown already.
void show_page(HWND tabs, std::int32_t page) {
    SetPropA(tabs, kShownProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(page)));
    HWND focus = GetFocus();
    for (HWND child = GetWindow(GetParent(tabs), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetPropA(child, kTabsOfProperty) != tabs) continue;
        bool shown = reinterpret_cast<INT_PTR>(GetPropA(child, kPageProperty)) == page;
        if (!shown && (child == focus || IsChild(child, focus))) SetFocus(tabs);
        ShowWindow(child, shown ? SW_SHOWNA : SW_HIDE);
    }
}

// Takes the controls of the tab control's pages off them, shown or hidden as
// they are, when the tab control goes: their property would name a window
// that is gone, which Ctrl+Tab from one of them would look for instead of a
// tab control made later (one with the same id too).
void let_go_of_pages(HWND tabs) {
    for (HWND child = GetWindow(GetParent(tabs), GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
        if (GetPropA(child, kTabsOfProperty) != tabs) continue;
        RemovePropA(child, kTabsOfProperty);
        RemovePropA(child, kPageProperty);
    }
}

// The tab control's procedure once it has tabs or pages: its own, then the
// pages follow the selection whenever that has changed. The selection is
// read from its own procedure, since a message sent to the tab control would
// come back here.
LRESULT CALLBACK tabs_proc(HWND tabs, UINT message, WPARAM wparam, LPARAM lparam) {
    auto own = reinterpret_cast<WNDPROC>(GetPropA(tabs, kProcProperty));
    if (message == WM_NCDESTROY) {
        RemovePropA(tabs, kProcProperty);
        RemovePropA(tabs, kShownProperty);
        SetWindowLongPtrW(tabs, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        return CallWindowProcW(own, tabs, message, wparam, lparam);
    }
    if (message == WM_DESTROY) let_go_of_pages(tabs);
    LRESULT r = CallWindowProcW(own, tabs, message, wparam, lparam);
    if (message == WM_DESTROY) return r;  // the control's own data may be gone
    auto page = static_cast<std::int32_t>(CallWindowProcW(own, tabs, TCM_GETCURSEL, 0, 0)) + 1;
    if (reinterpret_cast<INT_PTR>(GetPropA(tabs, kShownProperty)) != page) show_page(tabs, page);
    return r;
}

// Ctrl+Tab selects the next tab, Ctrl+Shift+Tab the one before, both going
// round, as a click would: the dialog hears TCN_SELCHANGING, which it may
// refuse (DWLP_MSGRESULT nonzero), and TCN_SELCHANGE. The tab control is the
// one whose page holds the focus, or else the dialog's first tab control with
// tabs.
HWND tabs_for_keys(HWND dialog, HWND focus) {
    for (HWND w = focus; w != nullptr && w != dialog; w = GetParent(w))
        if (auto* tabs = static_cast<HWND>(GetPropA(w, kTabsOfProperty))) return tabs;
    for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT))
        if (GetPropA(child, kProcProperty) != nullptr && IsWindowEnabled(child)) return child;
    return nullptr;
}

// The dialog's answer: for TCN_SELCHANGING, nonzero refuses the change.
LRESULT notify_dialog(HWND tabs, UINT code) {
    NMHDR header = {tabs, static_cast<UINT_PTR>(GetDlgCtrlID(tabs)), code};
    return SendMessageW(GetParent(tabs), WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

bool switch_tab_by_key(const MSG& msg) {
    if (msg.message != WM_KEYDOWN || msg.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return false;
    HWND dialog = GetAncestor(msg.hwnd, GA_ROOT);
    if (!is_toolkit_dialog(dialog)) return false;
    HWND tabs = tabs_for_keys(dialog, msg.hwnd);
    std::int32_t count = tab_count(tabs);
    if (tabs == nullptr || count <= 0) return false;
    std::int32_t step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
    auto next = static_cast<WPARAM>((selected_tab(tabs) - 1 + count + step) % count);
    if (notify_dialog(tabs, TCN_SELCHANGING) != 0) return true;
    SendMessageW(tabs, TCM_SETCURSEL, next, 0);
    notify_dialog(tabs, TCN_SELCHANGE);
    return true;
}

LRESULT CALLBACK filter_tab_keys(int code, WPARAM wparam, LPARAM lparam) {
    if (code == MSGF_DIALOGBOX && switch_tab_by_key(*reinterpret_cast<const MSG*>(lparam))) return 1;
    return CallNextHookEx(tab_key_filter, code, wparam, lparam);
}

// Subclasses the tab control once, and installs the thread's key filter.
bool follow_selection(HWND tabs) {
    if (tab_key_filter == nullptr)
        tab_key_filter = SetWindowsHookExW(WH_MSGFILTER, filter_tab_keys, nullptr, GetCurrentThreadId());
    if (GetPropA(tabs, kProcProperty) != nullptr) return true;
    auto own = GetWindowLongPtrW(tabs, GWLP_WNDPROC);
    if (own == 0 || !SetPropA(tabs, kProcProperty, reinterpret_cast<HANDLE>(own))) return false;
    SetWindowLongPtrW(tabs, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(tabs_proc));
    return true;
}

}  // namespace

std::int32_t tabs_add(ProcFrame& f, HWND dialog, std::int32_t id) {
    expect_string_args(f, 1, "tabs_add");
    std::int32_t made = 0;
    HWND tabs = tabs_of(dialog, id);
    Wide text(view_string(string_arg(f, 0)));
    if (tabs != nullptr && text.text() != nullptr && follow_selection(tabs)) {
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text.text();
        LRESULT at =
            SendMessageW(tabs, TCM_INSERTITEMW, static_cast<WPARAM>(tab_count(tabs)), reinterpret_cast<LPARAM>(&item));
        if (at >= 0) made = static_cast<std::int32_t>(at) + 1;
    }
    pop_string_args(f, 1);
    return made;
}

std::int32_t tabs_get_count(HWND dialog, std::int32_t id) {
    HWND tabs = tabs_of(dialog, id);
    return tabs != nullptr ? tab_count(tabs) : 0;
}

void tabs_get_text(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    HWND tabs = tabs_of(dialog, id);
    if (tabs == nullptr || index < 1 || index > tab_count(tabs)) {
        push_empty(f);
        return;
    }
    WideBuffer text(kTabTextUnits);
    if (text.units() == nullptr) {
        record_error(f, kOutOfMemory);
        push_empty(f);
        return;
    }
    TCITEMW item = {};
    item.mask = TCIF_TEXT;
    item.pszText = text.units();
    item.cchTextMax = kTabTextUnits;
    SendMessageW(tabs, TCM_GETITEMW, item_position(index), reinterpret_cast<LPARAM>(&item));
    // The control may answer with a text of its own instead of copying.
    push_wide_text(f, item.pszText);
}

std::int32_t tabs_get_selected(HWND dialog, std::int32_t id) {
    HWND tabs = tabs_of(dialog, id);
    return tabs != nullptr ? selected_tab(tabs) : 0;
}

BOOL tabs_select(HWND dialog, std::int32_t id, std::int32_t index) {
    HWND tabs = tabs_of(dialog, id);
    if (tabs == nullptr || index < 1 || index > tab_count(tabs)) return FALSE;
    SendMessageW(tabs, TCM_SETCURSEL, item_position(index), 0);
    show_page(tabs, selected_tab(tabs));
    return TRUE;
}

BOOL tabs_set_page(HWND dialog, std::int32_t tabs_id, std::int32_t control_id, std::int32_t page) {
    HWND tabs = tabs_of(dialog, tabs_id);
    HWND control = GetDlgItem(dialog, control_id);
    if (tabs == nullptr || control == nullptr || control == tabs || page < 0) return FALSE;
    if (page == 0) {
        RemovePropA(control, kTabsOfProperty);
        RemovePropA(control, kPageProperty);
        ShowWindow(control, SW_SHOWNA);
        return TRUE;
    }
    if (!follow_selection(tabs) || !SetPropA(control, kTabsOfProperty, tabs) ||
        !SetPropA(control, kPageProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(page))))
        return FALSE;
    show_page(tabs, selected_tab(tabs));
    return TRUE;
}
