// What drive asks about a program's menus (menu.cpp) and what drive_hook.dll answers
// from inside the program. A menu belongs to the process that made it: Wine
// keeps a menu's items in that process, and its menu functions
// (GetMenuItemCount, GetMenuStringW, GetMenuItemRect) fail on another
// process's menu handle. drive hooks the program's thread (WH_CALLWNDPROC) with
// drive_hook.dll, which the platform loads into the program, and sends the
// menu bar's window the query message; the hook reads the menus there and
// writes the answer into shared memory.
#pragma once

#include <windows.h>

constexpr int kMenuLevels = 8;
constexpr int kMenuTextBytes = 128;
constexpr int kMenuSeenBytes = 1024;

// The message the hook answers. Its WPARAM is the id of the drive process
// that asks; the shared memory is named after that process and the program's
// (menu_memory_name), so drives that play programs side by side on one host
// never read or write each other's queries.
constexpr char kMenuQueryMessage[] = "KestrowaneDriveMenuQuery";
constexpr char kMenuMemoryPrefix[] = "KestrowaneDriveMenuQuery.";
// "KestrowaneDriveMenuQuery.<program's process id>.<drive's process id>".
constexpr int kMenuMemoryNameBytes = sizeof kMenuMemoryPrefix + 2 * 11;

inline void menu_memory_name(DWORD program, DWORD drive, char (&name)[kMenuMemoryNameBytes]) {
    wsprintfA(name, "%s%lu.%lu", kMenuMemoryPrefix, static_cast<unsigned long>(program),
              static_cast<unsigned long>(drive));
}
// The hook procedure's exported name in drive_hook.dll.
constexpr char kMenuHookProcName[] = "drive_menu_hook";  // linked with --kill-at

struct MenuLevel {
    int index;        // the item's position in its menu, or -1 when no text matched
    int highlighted;  // the position highlighted now in that menu, or -1
    int popup;        // 1 when the item opens a menu
    int disabled;     // 1 when the item is grayed or disabled
};

struct MenuQuery {
    // Asked: the texts of the path (UTF-8), ampersands removed; levels of them.
    char path[kMenuLevels][kMenuTextBytes];
    int levels;
    int serial;  // the hook copies it into answered when it has answered
    // Answered: one record for each level, up to the first that did not match.
    int answered;
    int matched;  // levels that matched
    MenuLevel level[kMenuLevels];
    char seen[kMenuSeenBytes];  // when a level did not match: its menu's item texts (UTF-8)
};
