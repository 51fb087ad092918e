// drive's menu verb: the menu bar is opened with Alt and walked with the
// arrow keys until the wanted item is highlighted, then Enter chooses it, as
// a user does; the platform sends the program the item's WM_COMMAND. What
// is highlighted is read from inside the program (drive_menu.h).
#include <cstring>

#include "tools/drive_menu.h"
#include "tools/drive_verbs.h"
#include "tools/window_find.h"

namespace {

// The path's texts, split at '>', blanks around them and ampersands removed.
std::vector<std::string> path_texts(const std::string& path) {
    std::vector<std::string> texts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find('>', start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::size_t first = part.find_first_not_of(' '), last = part.find_last_not_of(' ');
        part = first == std::string::npos ? "" : part.substr(first, last - first + 1);
        std::string plain;
        for (std::size_t i = 0; i < part.size(); ++i) {
            if (part[i] == '&' && i + 1 < part.size()) ++i;
            plain += part[i];
        }
        texts.push_back(plain);
        if (end == std::string::npos) return texts;
        start = end + 1;
    }
}

// The hook in the program's thread and the shared memory of the query, for
// as long as one menu verb runs.
class MenuReader {
public:
    MenuReader(Session& s, HWND top) : s_(s), top_(top) {
        std::string dll = s.self.substr(0, s.self.find_last_of("\\/") + 1) + "drive_hook.dll";
        module_ = LoadLibraryA(dll.c_str());
        // Through void*: FARPROC and HOOKPROC are incompatible function types.
        void* address = module_ ? reinterpret_cast<void*>(GetProcAddress(module_, kMenuHookProcName)) : nullptr;
        auto proc = reinterpret_cast<HOOKPROC>(address);
        if (proc == nullptr) {
            s.error = "cannot load " + dll + " (error " + std::to_string(GetLastError()) + ")";
            return;
        }
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, proc, module_, GetWindowThreadProcessId(top, nullptr));
        memory_ =
            CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(MenuQuery), kMenuMemoryName);
        if (memory_ != nullptr) query_ = static_cast<MenuQuery*>(MapViewOfFile(memory_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (hook_ == nullptr || query_ == nullptr)
            s.error = "cannot hook the program's thread (error " + std::to_string(GetLastError()) + ")";
    }
    ~MenuReader() {
        if (query_ != nullptr) UnmapViewOfFile(query_);
        if (memory_ != nullptr) CloseHandle(memory_);
        if (hook_ != nullptr) UnhookWindowsHookEx(hook_);
        if (module_ != nullptr) FreeLibrary(module_);
    }
    MenuReader(const MenuReader&) = delete;
    MenuReader& operator=(const MenuReader&) = delete;

    bool ready() const { return hook_ != nullptr && query_ != nullptr; }

    // Asks the program about the path; false with the error set when it
    // does not answer.
    bool ask(const std::vector<std::string>& texts) {
        std::memset(query_, 0, sizeof *query_);
        query_->levels = static_cast<int>(texts.size());
        for (std::size_t i = 0; i < texts.size(); ++i) lstrcpynA(query_->path[i], texts[i].c_str(), kMenuTextBytes);
        query_->serial = ++serial_;
        DWORD_PTR ignored = 0;
        static const UINT message = RegisterWindowMessageA(kMenuQueryMessage);
        SendMessageTimeoutA(top_, message, 0, 0, SMTO_ABORTIFHUNG, s_.timeout, &ignored);
        if (query_->answered == serial_) return true;
        s_.error =
            "the program did not answer drive_hook.dll's menu query within " + std::to_string(s_.timeout) + " ms";
        return false;
    }
    const MenuQuery& answer() const { return *query_; }

private:
    Session& s_;
    HWND top_;
    HMODULE module_ = nullptr;
    HHOOK hook_ = nullptr;
    HANDLE memory_ = nullptr;
    MenuQuery* query_ = nullptr;
    int serial_ = 0;
};

bool in_menu_mode(HWND top) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(top, nullptr), &info) && (info.flags & GUI_INMENUMODE) != 0;
}

// Checks the whole path before any key is pressed.
bool check_path(Session& s, MenuReader& menus, const std::vector<std::string>& texts) {
    if (!menus.ask(texts)) return false;
    const MenuQuery& q = menus.answer();
    int levels = static_cast<int>(texts.size());
    if (q.matched < levels) {
        s.error = "the menu has no item \"" + to_utf8(texts[q.matched]) + "\"" +
                  (q.matched > 0 ? " under \"" + to_utf8(texts[q.matched - 1]) + "\"" : "") +
                  "; its items: " + to_utf8(q.seen);
        return false;
    }
    for (int i = 0; i < levels; ++i) {
        bool last = i + 1 == levels;
        if (q.level[i].popup == (last ? 1 : 0)) {
            s.error = "menu item \"" + to_utf8(texts[i]) + (last ? "\" opens a menu" : "\" opens no menu");
            return false;
        }
        if (q.level[i].disabled) {
            s.error = "menu item \"" + to_utf8(texts[i]) + "\" is grayed";
            return false;
        }
    }
    return true;
}

// Presses key until the item at level is highlighted, each press waiting
// for the highlight to move.
bool highlight(Session& s, MenuReader& menus, const std::vector<std::string>& texts, int level, WORD key) {
    for (int presses = 0; presses < 64; ++presses) {
        if (!menus.ask(texts)) return false;
        int now = menus.answer().level[level].highlighted;
        if (now == menus.answer().level[level].index) return true;
        press_key(key);
        bool moved =
            poll_until(s.timeout, [&] { return menus.ask(texts) && menus.answer().level[level].highlighted != now; });
        if (!moved) {
            s.error = "the menu's highlight did not move toward \"" + to_utf8(texts[level]) + "\" within " +
                      std::to_string(s.timeout) + " ms";
            return false;
        }
    }
    s.error = "menu item \"" + to_utf8(texts[level]) + "\" cannot be reached with the arrow keys";
    return false;
}

}  // namespace

bool choose_menu_item(Session& s, HWND top, const std::string& path) {
    std::vector<std::string> texts = path_texts(path);
    if (static_cast<int>(texts.size()) > kMenuLevels) {
        s.error = "a menu path has at most " + std::to_string(kMenuLevels) + " levels";
        return false;
    }
    MenuReader menus(s, top);
    if (!menus.ready() || !check_path(s, menus, texts)) return false;
    // Alt alone makes the menu bar active with its first item highlighted.
    press_key(VK_MENU);
    if (!poll_until(s.timeout, [&] { return in_menu_mode(top); })) {
        s.error = "Alt did not make the menu bar active within " + std::to_string(s.timeout) + " ms";
        return false;
    }
    int levels = static_cast<int>(texts.size());
    for (int level = 0; level < levels; ++level) {
        if (!highlight(s, menus, texts, level, level == 0 ? VK_RIGHT : VK_DOWN)) {
            press_key(VK_MENU);  // leaves the menus as they were
            return false;
        }
        if (level + 1 == levels) break;
        // Down opens a bar item's menu, Right a submenu's; the menu opens
        // with its first item highlighted.
        press_key(level == 0 ? VK_DOWN : VK_RIGHT);
        if (!poll_until(s.timeout,
                        [&] { return menus.ask(texts) && menus.answer().level[level + 1].highlighted >= 0; })) {
            s.error = "the menu of \"" + to_utf8(texts[level]) + "\" did not open within " + std::to_string(s.timeout) +
                      " ms";
            press_key(VK_MENU);
            return false;
        }
    }
    press_key(VK_RETURN);
    if (poll_until(s.timeout, [&] { return !in_menu_mode(top); })) return true;
    s.error = "the menu stayed open after Enter on \"" + to_utf8(texts.back()) + "\"";
    return false;
}
