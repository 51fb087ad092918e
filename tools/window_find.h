// Finding and poking top-level windows of other processes: shared by the
// driver, the inspector and the end-to-end tests.
#pragma once

#include <windows.h>

#include <string>

// The first visible top-level window whose title is exactly title, or null.
HWND find_window(const char* title);
// find_window, retried every 10 ms for up to ms milliseconds.
HWND wait_for_window(const char* title, DWORD ms);
// True once no top-level window has that title (within ms milliseconds).
bool wait_for_no_window(const char* title, DWORD ms);
// The window with the keyboard focus in the foreground thread, or null.
HWND focused_window();
// A left click with SendInput in the middle of the window.
bool click_window(HWND w);
// The window's text as bytes, however long.
std::string window_text(HWND w);
