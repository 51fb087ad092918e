// drive_hook.dll: loaded by the platform into a program that drive plays,
// through drive's WH_CALLWNDPROC hook on the program's thread, to read the
// program's menus from inside (see menu_query.h). It answers drive's query
// message and lets every message through unchanged.
#include <windows.h>

#include <cstring>
#include <string>

#include "tools/common/text.h"
#include "tools/drive/menu_query.h"

namespace {

// The item's name as a user reads it, as UTF-8: without its ampersands, and
// without the shortcut shown after a tab ("&Find...\tCtrl+F" is "Find...").
// It is read in UTF-16, so the program's code page does not change it.
std::string plain_text(HMENU menu, int position) {
    wchar_t text[kMenuTextBytes] = {};
    GetMenuStringW(menu, static_cast<UINT>(position), text, kMenuTextBytes, MF_BYPOSITION);
    std::string name = utf8_of(text);
    return without_ampersands(name.substr(0, name.find('\t')));
}

int find_item(HMENU menu, const char* wanted) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (plain_text(menu, i) == wanted) return i;
    return -1;
}

int highlighted_item(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i)
        if (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_HILITE) return i;
    return -1;
}

// The menu's item texts, quoted and separated by commas.
void list_items(HMENU menu, char* out, int capacity) {
    out[0] = '\0';
    int count = GetMenuItemCount(menu);
    int used = 0;
    for (int i = 0; i < count; ++i) {
        std::string text = plain_text(menu, i);
        if (text.empty()) continue;  // a separator
        int n = static_cast<int>(text.size());
        if (used + n + 5 >= capacity) break;
        if (used > 0) {
            std::memcpy(out + used, ", ", 2);
            used += 2;
        }
        out[used++] = '"';
        std::memcpy(out + used, text.data(), n);
        used += n;
        out[used++] = '"';
        out[used] = '\0';
    }
}

void answer(HWND window, MenuQuery& q) {
    HMENU menu = GetMenu(window);
    q.matched = 0;
    q.seen[0] = '\0';
    for (int level = 0; level < q.levels && level < kMenuLevels && menu != nullptr; ++level) {
        MenuLevel& l = q.level[level];
        l.index = find_item(menu, q.path[level]);
        l.highlighted = highlighted_item(menu);
        if (l.index < 0) {
            list_items(menu, q.seen, sizeof q.seen);
            return;
        }
        UINT state = GetMenuState(menu, static_cast<UINT>(l.index), MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, l.index);
        l.popup = sub != nullptr;
        l.disabled = (state & (MF_GRAYED | MF_DISABLED)) != 0;
        q.matched = level + 1;
        menu = sub;
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK drive_menu_hook(int code, WPARAM wparam, LPARAM lparam) {
    static UINT query_message = RegisterWindowMessageA(kMenuQueryMessage);
    auto* sent = reinterpret_cast<const CWPSTRUCT*>(lparam);
    if (code == HC_ACTION && sent != nullptr && sent->message == query_message) {
        char name[kMenuMemoryNameBytes];
        menu_memory_name(GetCurrentProcessId(), static_cast<DWORD>(sent->wParam), name);
        if (HANDLE memory = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name)) {
            if (auto* q =
                    static_cast<MenuQuery*>(MapViewOfFile(memory, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(MenuQuery)))) {
                answer(sent->hwnd, *q);
                q->answered = q->serial;
                UnmapViewOfFile(q);
            }
            CloseHandle(memory);
        }
    }
    return CallNextHookEx(nullptr, code, wparam, lparam);
}
