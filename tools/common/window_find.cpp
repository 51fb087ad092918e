#include "tools/common/window_find.h"

#include <cstring>

#include "tools/common/text.h"

namespace {

// The largest buffer a window's text is read again into, for a window that
// fills every buffer it is given: far above any control's text.
constexpr std::size_t kLongestText = std::size_t{1} << 22;

struct Search {
    DWORD process_id;  // 0 for any process
    const char* title;
    HWND found;
};

BOOL CALLBACK match_title(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<Search*>(param);
    if (!IsWindowVisible(w)) return TRUE;
    if (s->process_id != 0 && window_process(w) != s->process_id) return TRUE;
    if (!title_matches(window_text(w), s->title)) return TRUE;
    s->found = w;
    return FALSE;
}

BOOL CALLBACK add_title(HWND w, LPARAM param) {
    auto* titles = reinterpret_cast<std::string*>(param);
    if (!IsWindowVisible(w)) return TRUE;
    if (!titles->empty()) *titles += ", ";
    *titles += quoted(window_text(w));
    return TRUE;
}

}  // namespace

bool title_matches(const std::string& title, const char* pattern) {
    std::size_t n = std::strlen(pattern);
    if (n > 0 && pattern[n - 1] == '*') return title.compare(0, n - 1, pattern, n - 1) == 0;
    return title == pattern;
}

HWND find_window(const char* title) { return find_process_window(0, title); }

HWND find_process_window(DWORD process_id, const char* title) {
    Search s = {process_id, title, nullptr};
    EnumWindows(match_title, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

std::string visible_titles() {
    std::string titles;
    EnumWindows(add_title, reinterpret_cast<LPARAM>(&titles));
    return titles.empty() ? "none" : titles;
}

std::string window_text(HWND w) {
    // WM_GETTEXTLENGTH may overstate the length, and the program may change
    // the text between the two messages: a text that fills the buffer may
    // have been cut short, so it is read again into one twice as large.
    int n = static_cast<int>(SendMessageW(w, WM_GETTEXTLENGTH, 0, 0));
    std::wstring s;
    for (std::size_t size = static_cast<std::size_t>(n > 0 ? n : 0) + 2;; size *= 2) {
        s.assign(size, L'\0');
        int got = static_cast<int>(SendMessageW(w, WM_GETTEXT, size, reinterpret_cast<LPARAM>(&s[0])));
        std::size_t kept = got > 0 ? static_cast<std::size_t>(got) : 0;
        if (kept + 1 < size || size >= kLongestText) {
            s.resize(kept < size ? kept : size - 1);
            return utf8_of(s);
        }
    }
}

std::string class_name(HWND w) {
    wchar_t buf[256] = {};
    int n = GetClassNameW(w, buf, sizeof buf / sizeof buf[0]);
    return utf8_of(std::wstring(buf, n > 0 ? static_cast<std::size_t>(n) : 0));
}

DWORD window_process(HWND w) {
    DWORD process_id = 0;
    if (GetWindowThreadProcessId(w, &process_id) == 0) return 0;
    return process_id;
}

HWND focus_of(HWND w) {
    DWORD thread = GetWindowThreadProcessId(w, nullptr);
    if (thread == 0) return nullptr;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(thread, &info)) return nullptr;
    return info.hwndFocus;
}

RECT rect_in_parent(HWND w) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(w, &r);
    if (GetWindowLongA(w, GWL_STYLE) & WS_CHILD)
        MapWindowPoints(nullptr, GetParent(w), reinterpret_cast<POINT*>(&r), 2);
    return r;
}
