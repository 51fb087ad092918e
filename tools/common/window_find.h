// Finding windows of other processes and reading what any process may read
// about them: shared by drive, inspect and the end-to-end drivers.
#pragma once

#include <windows.h>

#include <string>

// Whether a window title matches a pattern (both UTF-8): the pattern's text
// exactly, or, when the pattern ends in '*', any title that starts with the
// rest.
bool title_matches(const std::string& title, const char* pattern);
// The first visible top-level window whose title matches, or null.
HWND find_window(const char* title);
// find_window among the top-level windows of one process only.
HWND find_process_window(DWORD process_id, const char* title);
// The titles of the visible top-level windows, quoted and separated by
// commas, or "none", for messages that say what was there instead.
std::string visible_titles();

// The window's text, however long, read in UTF-16 (the program's own code
// page turns its bytes into characters) and given as UTF-8.
std::string window_text(HWND w);
// The window's class name ("Edit", "#32770").
std::string class_name(HWND w);
// The id of the process that owns the window (0 when it is no window).
DWORD window_process(HWND w);
// The focus window of the thread that owns w, or null; GetGUIThreadInfo
// answers for threads of other processes too.
HWND focus_of(HWND w);
// The outer rectangle in client coordinates of the parent; in screen
// coordinates for a top-level window.
RECT rect_in_parent(HWND w);
