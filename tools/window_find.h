// Finding and poking top-level windows of other processes: shared by the
// driver, the inspector and the end-to-end tests.
#pragma once

#include <windows.h>

#include <string>

// Whether a window title matches a pattern: the pattern's text exactly, or,
// when the pattern ends in '*', any title that starts with the rest.
bool title_matches(const std::string& title, const char* pattern);
// The first visible top-level window whose title matches, or null.
HWND find_window(const char* title);
// The titles of the visible top-level windows, quoted and separated by
// commas, for messages that say what was there instead.
std::string visible_titles();
// find_window, retried every 10 ms for up to ms milliseconds.
HWND wait_for_window(const char* title, DWORD ms);
// True once no top-level window has that title (within ms milliseconds).
bool wait_for_no_window(const char* title, DWORD ms);
// The window with the keyboard focus in the foreground thread, or null.
HWND focused_window();
// A left click with SendInput in the middle of the window.
bool click_window(HWND w);
// A left click with SendInput at a point of the screen.
bool click_screen(POINT target);
// The window's text as bytes, however long.
std::string window_text(HWND w);

// ---- Windows of one process ------------------------------------------------------

// The id of the process that owns the window (0 when it is no window).
DWORD window_process(HWND w);
// find_window among the top-level windows of one process only.
HWND find_process_window(DWORD process_id, const char* title);
// find_process_window, retried every 10 ms for up to ms milliseconds.
HWND wait_for_process_window(DWORD process_id, const char* title, DWORD ms);
// The focus window of the thread that owns w, or null; GetGUIThreadInfo
// answers for threads of other processes too.
HWND focus_of(HWND w);
// The window's class name ("Edit", "#32770").
std::string class_name(HWND w);
// The outer rectangle in client coordinates of the parent; in screen
// coordinates for a top-level window.
RECT rect_in_parent(HWND w);

// ---- Dialog units in this process --------------------------------------------------

// MapDialogRect refuses a dialog of another process (Wine: error 1400), so a
// foreign dialog's scale is measured on a hidden dialog of this process made
// from a template with the same font, 8-point "MS Sans Serif". The dialog is
// made on first use and lives as long as the process.
HWND reference_dialog();
// r from dialog units to pixels with the reference dialog's MapDialogRect.
bool map_reference_dialog_rect(RECT& r);

// ---- Keyboard ---------------------------------------------------------------------

// One key down or up with SendInput, to the foreground window's thread, with
// its scan code, and marked extended for the keys of the navigation block.
void key_input(WORD vk, bool up);
// A key pressed and released.
void press_key(WORD vk);
// Types the byte with the key the keyboard layout has for it (with Shift when
// needed); false, with nothing sent, for a byte the layout cannot type.
bool type_key_for(unsigned char c);
// Types a character the keyboard layout has no key for, as an input method
// does: a key event that carries the character itself (KEYEVENTF_UNICODE).
// It travels through the input queue, so it keeps its place among keys.
void type_character(wchar_t c);

// ---- List and combo boxes of any process -----------------------------------------

// The text of item index (from 0) of a list box, or of a combo box's list,
// in the code page of this process; "" when there is no such item.
std::string list_item_text(HWND list, int index, bool combo);
