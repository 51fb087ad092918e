#include "tools/window_find.h"

#include <cstring>

namespace {

struct Search {
    const char* title;
    HWND found;
};

BOOL CALLBACK match_title(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(w)) return TRUE;
    if (title_matches(window_text(w), s->title)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK add_title(HWND w, LPARAM param) {
    auto* titles = reinterpret_cast<std::string*>(param);
    if (!IsWindowVisible(w)) return TRUE;
    if (!titles->empty()) *titles += ", ";
    *titles += "\"" + window_text(w) + "\"";
    return TRUE;
}

}  // namespace

bool title_matches(const std::string& title, const char* pattern) {
    std::size_t n = std::strlen(pattern);
    if (n > 0 && pattern[n - 1] == '*') return title.compare(0, n - 1, pattern, n - 1) == 0;
    return title == pattern;
}

std::string visible_titles() {
    std::string titles;
    EnumWindows(add_title, reinterpret_cast<LPARAM>(&titles));
    return titles.empty() ? "none" : titles;
}

std::string window_text(HWND w) {
    // WM_GETTEXTLENGTH may overstate (never understate) the length.
    int n = static_cast<int>(SendMessageA(w, WM_GETTEXTLENGTH, 0, 0));
    std::string s(static_cast<std::size_t>(n) + 1, '\0');
    int got = static_cast<int>(SendMessageA(w, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(&s[0])));
    s.resize(got > 0 ? static_cast<std::size_t>(got) : 0);
    return s;
}

HWND find_window(const char* title) {
    Search s = {title, nullptr};
    EnumWindows(match_title, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND wait_for_window(const char* title, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND w = find_window(title)) return w;
        if (GetTickCount() - start >= ms) return nullptr;
        Sleep(10);
    }
}

bool wait_for_no_window(const char* title, DWORD ms) {
    DWORD start = GetTickCount();
    while (find_window(title) != nullptr) {
        if (GetTickCount() - start >= ms) return false;
        Sleep(10);
    }
    return true;
}

HWND focused_window() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(0, &info)) return nullptr;
    return info.hwndFocus;
}

bool click_window(HWND w) {
    RECT r;
    if (!GetWindowRect(w, &r)) return false;
    return click_screen({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

bool click_screen(POINT target) {
    int sx = GetSystemMetrics(SM_CXSCREEN) - 1;
    int sy = GetSystemMetrics(SM_CYSCREEN) - 1;
    // Every event of the click carries the target: under Wine the pointer can
    // jump back for a moment to where the X pointer still is (seen when a
    // window has just appeared under the old position), and a press or
    // release without a position of its own lands there, outside the control.
    INPUT events[3] = {};
    for (INPUT& in : events) {
        in.type = INPUT_MOUSE;
        in.mi.dx = target.x * 65535 / sx;
        in.mi.dy = target.y * 65535 / sy;
    }
    events[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    events[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTDOWN;
    events[2].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_LEFTUP;
    if (SendInput(1, &events[0], sizeof(INPUT)) != 1) return false;
    // The window under the pointer sees it arrive before the press.
    for (int i = 0; i < 100; ++i) {
        POINT at;
        if (GetCursorPos(&at) && WindowFromPoint(at) == WindowFromPoint(target)) break;
        Sleep(5);
    }
    if (SendInput(1, &events[1], sizeof(INPUT)) != 1) return false;
    // Buttons, lists and boxes capture the mouse when they take the press;
    // the release waits for that, so a busy program sees both in order.
    HWND under = WindowFromPoint(target);
    for (int i = 0; i < 100; ++i) {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        if (GetGUIThreadInfo(GetWindowThreadProcessId(under, nullptr), &info) && info.hwndCapture != nullptr) break;
        Sleep(5);
    }
    return SendInput(1, &events[2], sizeof(INPUT)) == 1;
}

namespace {

struct ProcessSearch {
    DWORD process_id;
    const char* title;
    HWND found;
};

BOOL CALLBACK match_process_title(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<ProcessSearch*>(param);
    if (window_process(w) != s->process_id || !IsWindowVisible(w)) return TRUE;
    if (title_matches(window_text(w), s->title)) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

// A plain DLGTEMPLATE with no items: style, no class, no menu, title "", then
// the font block 8, "MS Sans Serif". Units are 16-bit, the record 4-aligned.
struct alignas(4) ReferenceTemplate {
    WORD units[64];
};

ReferenceTemplate reference_template() {
    ReferenceTemplate t = {};
    DWORD style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT;
    WORD* u = t.units;
    *u++ = LOWORD(style);
    *u++ = HIWORD(style);
    u += 2;      // extended style 0
    u += 1;      // no items
    u += 2;      // x, y 0
    *u++ = 100;  // width
    *u++ = 50;   // height
    u += 3;      // no menu, the dialog class, empty title
    *u++ = 8;    // point size
    for (const char* p = "MS Sans Serif"; *p; ++p) *u++ = static_cast<unsigned char>(*p);
    return t;  // the typeface ends with the zero unit left in place
}

INT_PTR CALLBACK reference_proc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

}  // namespace

DWORD window_process(HWND w) {
    DWORD process_id = 0;
    if (GetWindowThreadProcessId(w, &process_id) == 0) return 0;
    return process_id;
}

HWND find_process_window(DWORD process_id, const char* title) {
    ProcessSearch s = {process_id, title, nullptr};
    EnumWindows(match_process_title, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

HWND wait_for_process_window(DWORD process_id, const char* title, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        if (HWND w = find_process_window(process_id, title)) return w;
        if (GetTickCount() - start >= ms) return nullptr;
        Sleep(10);
    }
}

HWND focus_of(HWND w) {
    DWORD thread = GetWindowThreadProcessId(w, nullptr);
    if (thread == 0) return nullptr;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

std::string class_name(HWND w) {
    char buf[256] = {};
    int n = GetClassNameA(w, buf, sizeof buf);
    return std::string(buf, n > 0 ? static_cast<std::size_t>(n) : 0);
}

RECT rect_in_parent(HWND w) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(w, &r);
    if (GetWindowLongA(w, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

HWND reference_dialog() {
    static HWND dialog = nullptr;
    if (dialog == nullptr) {
        ReferenceTemplate t = reference_template();
        dialog = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(t.units),
                                            nullptr, reference_proc, 0);
    }
    return dialog;
}

bool map_reference_dialog_rect(RECT& r) {
    HWND dialog = reference_dialog();
    return dialog != nullptr && MapDialogRect(dialog, &r);
}

namespace {

// The keys that share their scan codes with the numeric keypad's and differ
// from them by the extended flag, as a keyboard sends them.
bool extended_key(WORD vk) {
    switch (vk) {
        case VK_INSERT:
        case VK_DELETE:
        case VK_HOME:
        case VK_END:
        case VK_PRIOR:
        case VK_NEXT:
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
        case VK_RCONTROL:
        case VK_RMENU:
        case VK_DIVIDE:
            return true;
        default:
            return false;
    }
}

}  // namespace

void key_input(WORD vk, bool up) {
    INPUT in = {};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.wScan = static_cast<WORD>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC));
    in.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (extended_key(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    SendInput(1, &in, sizeof in);
}

void press_key(WORD vk) {
    key_input(vk, false);
    key_input(vk, true);
}

bool type_key_for(unsigned char c) {
    SHORT vk = c < 0x80 ? VkKeyScanA(static_cast<char>(c)) : -1;
    if (vk == -1 || (vk & 0x600) != 0) return false;  // none, or only with Ctrl or Alt
    bool shift = (vk & 0x100) != 0;
    if (shift) key_input(VK_SHIFT, false);
    press_key(static_cast<WORD>(vk & 0xFF));
    if (shift) key_input(VK_SHIFT, true);
    return true;
}

void type_character(wchar_t c) {
    INPUT in[2] = {};
    for (INPUT& i : in) {
        i.type = INPUT_KEYBOARD;
        i.ki.wScan = static_cast<WORD>(c);
        i.ki.dwFlags = KEYEVENTF_UNICODE;
    }
    in[1].ki.dwFlags |= KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
}

// Wine answers LB_GETTEXT and CB_GETLBTEXT from another process's A caller
// with UTF-16 text in the byte buffer; the W messages come back intact and
// are converted here.
std::string list_item_text(HWND list, int index, bool combo) {
    UINT get_length = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    UINT get_text = combo ? CB_GETLBTEXT : LB_GETTEXT;
    LRESULT n = SendMessageW(list, get_length, static_cast<WPARAM>(index), 0);
    if (n <= 0) return "";
    std::wstring w(static_cast<std::size_t>(n) + 1, L'\0');
    LRESULT got = SendMessageW(list, get_text, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&w[0]));
    if (got <= 0) return "";
    int bytes = WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(got), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(CP_ACP, 0, w.c_str(), static_cast<int>(got), &s[0], bytes, nullptr, nullptr);
    return s;
}
