// The keyboard and the mouse as a user works them: input through SendInput,
// which reaches the program's queue in order with the user's own.
#pragma once

#include <windows.h>

#include <string>

// One key down or up, to the foreground window's thread, with its scan code,
// and marked extended for the keys of the navigation block.
void key_input(WORD vk, bool up);
// A key pressed and released.
void press_key(WORD vk);

// Presses a combination such as "Ctrl+Shift+Tab", "Alt+F4" or "F1": the
// modifiers go down in order, the key is pressed, the modifiers come up.
// Key names are those of shortcuts (shortcut_keys.h: Enter, Escape, Tab,
// Space, Backspace, Delete, Insert, Home, End, PageUp, PageDown, the arrows,
// F1 to F24, a letter or digit), or a sign (any case). False, with nothing pressed and error set, for an unknown name,
// and when the modifiers cannot be held down for the key within ms.
bool press_combo(const std::string& combo, DWORD ms, std::string& error);
// Whether press_combo knows every key of the combination; false with error
// set as press_combo sets it.
bool combo_known(const std::string& combo, std::string& error);

// Types the text (UTF-8), whatever code page the program uses: ASCII
// characters that need no modifier with the keys the keyboard layout has for
// them, every other character (capitals included) as an input-method
// character that carries its UTF-16 code units, all through the input queue
// and so in order.
void type_text(const std::string& text);

// A left click at a point of the screen. The press waits until the pointer
// is over the window there, and the release until a window that takes the
// mouse on a press (a button, box, list or scroll bar) holds it, each for up
// to ms; false with error set when a wait runs out or input cannot be sent.
// A click at the place of this process's click before, within the
// platform's double-click time, first waits for that time to run out: it
// stays a click and never completes a double click.
bool click_screen(POINT target, DWORD ms, std::string& error);
// Two clicks at the point, one right after the other: a double click.
bool double_click_screen(POINT target, DWORD ms, std::string& error);
// click_screen in the middle of the window.
bool click_window(HWND w, DWORD ms, std::string& error);
