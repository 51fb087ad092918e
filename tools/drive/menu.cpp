#include "tools/drive/menu.h"

#include <cstring>
#include <vector>

#include "tools/common/input.h"
#include "tools/common/poll.h"
#include "tools/common/text.h"
#include "tools/common/window_find.h"
#include "tools/drive/menu_query.h"

namespace {

// What one menu verb works with: each wait's limit and where a failure says
// what it waited for and what it saw.
struct MenuWalk {
    DWORD ms;
    std::string& error;

    std::string within() const { return " within " + std::to_string(ms) + " ms"; }
};

// The path's texts, split at '>', blanks around them and ampersands removed.
std::vector<std::string> path_texts(const std::string& path) {
    std::vector<std::string> texts;
    std::size_t start = 0;
    for (;;) {
        std::size_t end = path.find('>', start);
        std::string part = path.substr(start, end == std::string::npos ? std::string::npos : end - start);
        std::size_t first = part.find_first_not_of(' '), last = part.find_last_not_of(' ');
        part = first == std::string::npos ? "" : part.substr(first, last - first + 1);
        texts.push_back(without_ampersands(part));
        if (end == std::string::npos) return texts;
        start = end + 1;
    }
}

// The hook in the program's thread and the shared memory of the query, for
// as long as one menu verb runs.
class MenuReader {
public:
    MenuReader(const MenuWalk& walk, HWND top, const std::string& dll) : walk_(walk), top_(top) {
        module_ = LoadLibraryW(utf16_of(dll).c_str());
        // Through void*: FARPROC and HOOKPROC are incompatible function types.
        void* address = module_ ? reinterpret_cast<void*>(GetProcAddress(module_, kMenuHookProcName)) : nullptr;
        auto proc = reinterpret_cast<HOOKPROC>(address);
        if (proc == nullptr) {
            walk_.error = "cannot load " + dll + " (error " + std::to_string(GetLastError()) + ")";
            return;
        }
        DWORD program = 0;
        hook_ = SetWindowsHookExA(WH_CALLWNDPROC, proc, module_, GetWindowThreadProcessId(top, &program));
        char name[kMenuMemoryNameBytes];
        menu_memory_name(program, GetCurrentProcessId(), name);
        memory_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(MenuQuery), name);
        if (memory_ != nullptr) query_ = static_cast<MenuQuery*>(MapViewOfFile(memory_, FILE_MAP_ALL_ACCESS, 0, 0, 0));
        if (hook_ == nullptr || query_ == nullptr)
            walk_.error = "cannot hook the program's thread (error " + std::to_string(GetLastError()) + ")";
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
        SendMessageTimeoutA(top_, message, GetCurrentProcessId(), 0, SMTO_ABORTIFHUNG, walk_.ms, &ignored);
        if (query_->answered == serial_) return true;
        walk_.error = "the program did not answer drive_hook.dll's menu query" + walk_.within();
        return false;
    }
    const MenuQuery& answer() const { return *query_; }

private:
    const MenuWalk& walk_;
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

// Checks the whole path before any key is pressed. A path cut short names
// what it met: a window without a menu bar, an item that opens no menu, or
// the items of the menu where a text matched none.
bool check_path(const MenuWalk& walk, HWND top, MenuReader& menus, const std::vector<std::string>& texts) {
    if (!menus.ask(texts)) return false;
    const MenuQuery& q = menus.answer();
    int levels = static_cast<int>(texts.size());
    if (q.matched == 0 && GetMenu(top) == nullptr) {
        walk.error = "window " + quoted(window_text(top)) + " has no menu bar";
        return false;
    }
    if (q.matched > 0 && q.matched < levels && q.level[q.matched - 1].popup == 0) {
        walk.error = "menu item " + quoted(texts[q.matched - 1]) + " opens no menu, so it has no item " +
                     quoted(texts[q.matched]);
        return false;
    }
    if (q.matched < levels) {
        walk.error = "the menu has no item " + quoted(texts[q.matched]) +
                     (q.matched > 0 ? " under " + quoted(texts[q.matched - 1]) : "") +
                     "; its items: " + (q.seen[0] != '\0' ? q.seen : "none");
        return false;
    }
    for (int i = 0; i < levels; ++i) {
        bool last = i + 1 == levels;
        if (q.level[i].popup == (last ? 1 : 0)) {
            walk.error = "menu item " + quoted(texts[i]) + (last ? " opens a menu" : " opens no menu");
            return false;
        }
        if (q.level[i].disabled) {
            walk.error = "menu item " + quoted(texts[i]) + " is grayed";
            return false;
        }
    }
    return true;
}

// Presses key until the item at level is highlighted, each press waiting
// for the highlight to move. Under Wine a key pressed just after the menu
// bar became active was seen lost now and then (the highlight stayed put
// for the whole wait, the program answering), so a press the highlight does
// not follow within a quarter of the wait is made again; a press that was
// only slow and moves it twice is made good by the next turns, as the keys
// go round the menu.
bool highlight(const MenuWalk& walk, MenuReader& menus, const std::vector<std::string>& texts, int level, WORD key) {
    constexpr int kTries = 4;
    for (int presses = 0; presses < 64; ++presses) {
        if (!menus.ask(texts)) return false;
        int now = menus.answer().level[level].highlighted;
        if (now == menus.answer().level[level].index) return true;
        bool moved = false;
        for (int attempt = 0; attempt < kTries && !moved; ++attempt) {
            press_key(key);
            moved = poll_until(walk.ms / kTries,
                               [&] { return menus.ask(texts) && menus.answer().level[level].highlighted != now; });
        }
        if (!moved) {
            walk.error = "the menu's highlight did not move toward " + quoted(texts[level]) + walk.within() +
                         " (it stays on item " + std::to_string(now + 1) + " after " + std::to_string(kTries) +
                         " presses)";
            return false;
        }
    }
    walk.error = "menu item " + quoted(texts[level]) + " cannot be reached with the arrow keys";
    return false;
}

// With the item at level highlighted, opens its menu: Down opens a bar
// item's menu, Right a submenu's; the menu opens with its first item
// highlighted.
bool open_menu(const MenuWalk& walk, MenuReader& menus, const std::vector<std::string>& texts, int level) {
    press_key(level == 0 ? VK_DOWN : VK_RIGHT);
    if (poll_until(walk.ms, [&] { return menus.ask(texts) && menus.answer().level[level + 1].highlighted >= 0; }))
        return true;
    walk.error = "the menu of " + quoted(texts[level]) + " did not open" + walk.within();
    return false;
}

}  // namespace

bool menu_path_ok(const std::string& path, std::string& error) {
    std::vector<std::string> texts = path_texts(path);
    if (static_cast<int>(texts.size()) > kMenuLevels) {
        error = "a menu path has at most " + std::to_string(kMenuLevels) + " levels";
        return false;
    }
    for (std::size_t i = 0; i < texts.size(); ++i) {
        if (texts[i].empty()) {
            error = "menu path " + quoted(path) + " names no item at level " + std::to_string(i + 1);
            return false;
        }
        if (texts[i].size() < static_cast<std::size_t>(kMenuTextBytes)) continue;
        error = "menu item " + quoted(texts[i]) + " is longer than " + std::to_string(kMenuTextBytes - 1) + " bytes";
        return false;
    }
    return true;
}

bool choose_menu_item(HWND top, const std::string& path, const std::string& hook_dll, DWORD ms, std::string& error) {
    MenuWalk walk = {ms, error};
    if (!menu_path_ok(path, error)) return false;
    std::vector<std::string> texts = path_texts(path);
    MenuReader menus(walk, top, hook_dll);
    if (!menus.ready() || !check_path(walk, top, menus, texts)) return false;
    // Alt alone makes the menu bar active with its first item highlighted.
    press_key(VK_MENU);
    if (!poll_until(ms, [&] { return in_menu_mode(top); })) {
        error = "Alt did not make the menu bar active" + walk.within();
        return false;
    }
    int levels = static_cast<int>(texts.size());
    for (int level = 0; level < levels; ++level) {
        bool last = level + 1 == levels;
        if (!highlight(walk, menus, texts, level, level == 0 ? VK_RIGHT : VK_DOWN) ||
            (!last && !open_menu(walk, menus, texts, level))) {
            press_key(VK_MENU);  // leaves the menus as they were
            return false;
        }
    }
    press_key(VK_RETURN);
    if (poll_until(ms, [&] { return !in_menu_mode(top); })) return true;
    error = "the menu stayed open" + walk.within() + " after Enter on " + quoted(texts.back());
    return false;
}
