// The verbs of drive, shared by its command line and its scripts. Each one
// acts on running programs as a user would, waits for states (never for a
// time), and has a time limit.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

using Words = std::vector<std::string>;

struct Session {
    DWORD timeout = 10000;        // every wait's limit, unless the verb names one
    bool in_script = false;       // start and exit keep the program in this process
    Words program;                // what a script's `start` without arguments starts
    std::string self;             // drive.exe's own path (drive_hook.dll is beside it)
    PROCESS_INFORMATION process;  // the program started last in this process
    bool has_process = false;
    DWORD exit_code = 0;  // of the program, once exit has seen it end
    std::string error;    // what the last failed verb waited for and what it saw
};

// Tries every 10 ms until done() holds (true) or ms have passed (false).
template <class Condition>
bool poll_until(DWORD ms, Condition done) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        if (GetTickCount() - start >= ms) return false;
        Sleep(10);
    }
}

// Runs one verb with its arguments: 0 when it did what it says, 1 on a
// failure (s.error says what was expected and what was seen), 2 on bad usage.
int run_verb(Session& s, const std::string& verb, const Words& args);

// Ends the program started last if it still runs (after a script).
void end_program(Session& s);

// ---- Texts ---------------------------------------------------------------------

// A script's UTF-8 text in the code page of this process (the one the
// programs' A windows use); bytes that are not UTF-8 stay as they are.
std::string from_utf8(const std::string& text);
// The code page's bytes as UTF-8, for output.
std::string to_utf8(const std::string& text);

// ---- The menu verb (drive_menu.cpp) -----------------------------------------------

// Chooses the item of top's menu bar at path ("File>Exit", ampersands
// ignored) with the keyboard, as a user does. False with s.error set.
bool choose_menu_item(Session& s, HWND top, const std::string& path);
