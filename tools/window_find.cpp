#include "tools/window_find.h"

namespace {

struct Search {
    const char* title;
    HWND found;
};

BOOL CALLBACK match_title(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(w)) return TRUE;
    if (window_text(w) == s->title) {
        s->found = w;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

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
    int sx = GetSystemMetrics(SM_CXSCREEN) - 1;
    int sy = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in[3] = {};
    for (INPUT& i : in) i.type = INPUT_MOUSE;
    in[0].mi.dx = ((r.left + r.right) / 2) * 65535 / sx;
    in[0].mi.dy = ((r.top + r.bottom) / 2) * 65535 / sy;
    in[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(3, in, sizeof(INPUT)) == 3;
}
