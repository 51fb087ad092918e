// drive's menu verb: the menu bar is opened with Alt and walked with the
// arrow keys until the wanted item is highlighted, then Enter chooses it, as
// a user does; the platform sends the program the item's WM_COMMAND. What
// is highlighted is read from inside the program by drive_hook.dll
// (menu_query.h).
#pragma once

#include <windows.h>

#include <string>

// Whether path names a menu item drive can choose: at most kMenuLevels
// texts, none empty or longer than the query carries. False with error
// set to what is wrong; a script's lines are checked so before any plays.
bool menu_path_ok(const std::string& path, std::string& error);

// Chooses the item of top's menu bar at path ("File>Exit", ampersands
// ignored, UTF-8) with the keyboard; hook_dll is drive_hook.dll's path, and each
// wait lasts up to ms. False with error set to what was waited for and seen.
bool choose_menu_item(HWND top, const std::string& path, const std::string& hook_dll, DWORD ms, std::string& error);
