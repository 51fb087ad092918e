#include "tools/common/lists.h"

#include "tools/common/input.h"
#include "tools/common/numbers.h"
#include "tools/common/poll.h"
#include "tools/common/text.h"
#include "tools/common/window_find.h"

namespace {

LRESULT list_ask(HWND w, UINT list_message, UINT combo_message) {
    return SendMessageA(w, list_kind(w) == ListKind::kCombo ? combo_message : list_message, 0, 0);
}

// Clicks item index of a list box (also a combo box's drop-down list), first
// scrolling it into view as the scroll bar would. The place comes from the
// item height and the top index, numbers that cross processes unchanged.
bool click_list_item(HWND list, int index, DWORD ms, std::string& error) {
    RECT client;
    GetClientRect(list, &client);
    int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, index, 0));
    if (height <= 0) {
        error = "the list box answers no height for item " + std::to_string(index + 1);
        return false;
    }
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    if (index < top || (index - top + 1) * height > client.bottom) {
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
        top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    }
    POINT p = {8, (index - top) * height + height / 2};
    if (ClientToScreen(list, &p)) return click_screen(p, ms, error);
    error = "the list box is gone";
    return false;
}

struct DropDownSearch {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK match_drop_down(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<DropDownSearch*>(param);
    if (GetWindowThreadProcessId(w, nullptr) != s->thread || !IsWindowVisible(w)) return TRUE;
    if (lower(class_name(w)) != "combolbox") return TRUE;
    s->found = w;
    return FALSE;
}

// The visible drop-down list of the combo box's thread, or null.
HWND drop_down_of(HWND combo) {
    DropDownSearch s = {GetWindowThreadProcessId(combo, nullptr), nullptr};
    EnumWindows(match_drop_down, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A combo box's item is chosen as a user does: a click on the arrow at the
// right of the closed box opens the list, a click on the item chooses it and
// closes the list.
bool choose_combo_item(HWND combo, int index, DWORD ms, std::string& error) {
    RECT r;
    GetWindowRect(combo, &r);
    POINT arrow = {r.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 2, (r.top + r.bottom) / 2};
    if (!click_screen(arrow, ms, error)) return false;
    HWND list = nullptr;
    if (!poll_until(ms, [&] { return (list = drop_down_of(combo)) != nullptr; })) {
        error = "the drop-down list of combo box " + std::to_string(GetDlgCtrlID(combo)) + " did not open within " +
                std::to_string(ms) + " ms after a click on its arrow";
        return false;
    }
    return click_list_item(list, index, ms, error);
}

}  // namespace

ListKind list_kind(HWND w) {
    std::string c = lower(class_name(w));
    if (c == "listbox" || c == "combolbox") return ListKind::kList;
    if (c == "combobox") return ListKind::kCombo;
    return ListKind::kNone;
}

// A list box that selects several items answers LB_GETSELCOUNT with their
// count, one that selects one item with LB_ERR. Both answer LB_GETSEL for
// any item; the messages carry no addresses, so they cross processes as
// they are.
std::vector<int> selected_items(HWND w) {
    std::vector<int> out;
    ListKind kind = list_kind(w);
    LRESULT several = kind == ListKind::kList ? SendMessageA(w, LB_GETSELCOUNT, 0, 0) : LB_ERR;
    if (several == LB_ERR) {
        int i = kind == ListKind::kNone ? -1 : static_cast<int>(list_ask(w, LB_GETCURSEL, CB_GETCURSEL));
        if (i >= 0) out.push_back(i);
        return out;
    }
    int count = item_count(w);
    for (int i = 0; i < count && static_cast<LRESULT>(out.size()) < several; ++i)
        if (SendMessageA(w, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) out.push_back(i);
    return out;
}

int selected_index(HWND w) {
    std::vector<int> selected = selected_items(w);
    return selected.empty() ? -1 : selected[0];
}

bool item_selected(HWND w, int index) {
    if (list_kind(w) == ListKind::kList) return SendMessageA(w, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
    return selected_index(w) == index;
}

bool click_toggles(HWND list) {
    LONG style = list_kind(list) == ListKind::kList ? GetWindowLongW(list, GWL_STYLE) : 0;
    return (style & LBS_MULTIPLESEL) != 0 && (style & LBS_EXTENDEDSEL) == 0;
}

int item_count(HWND w) {
    return list_kind(w) == ListKind::kNone ? 0 : static_cast<int>(list_ask(w, LB_GETCOUNT, CB_GETCOUNT));
}

// Read in UTF-16: Wine answers LB_GETTEXT and CB_GETLBTEXT from another
// process's A caller with UTF-16 text in the byte buffer anyway.
std::string list_item_text(HWND list, int index, bool combo) {
    UINT get_length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT get_text = combo ? CB_GETLBTEXT : LB_GETTEXT;
    LRESULT n = SendMessageW(list, get_length, static_cast<WPARAM>(index), 0);
    if (n <= 0) return "";
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    LRESULT got = SendMessageW(list, get_text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&w[0]));
    if (got <= 0) return "";
    w.resize(static_cast<std::size_t>(got));
    return utf8_of(w);
}

int item_named(HWND list, bool combo, const std::string& which) {
    int count = static_cast<int>(SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    DWORD n = 0;
    if (parse_decimal(which, n))
        return n >= 1 && count > 0 && n <= static_cast<DWORD>(count) ? static_cast<int>(n - 1) : -1;
    for (int i = 0; i < count; ++i)
        if (list_item_text(list, i, combo) == which) return i;
    return -1;
}

bool click_item(HWND control, int index, DWORD ms, std::string& error) {
    if (list_kind(control) == ListKind::kCombo) return choose_combo_item(control, index, ms, error);
    return click_list_item(control, index, ms, error);
}
