// Waiting for a state of another process: the one way drive, inspect and
// the end-to-end drivers wait, always with a limit.
#pragma once

#include <windows.h>

// Tries every 10 ms until done() holds (true) or ms have passed (false);
// done() is tried at least once, and once more at the limit. The caller
// says, when it is false, what it waited for and what it saw.
template <class Condition>
bool poll_until(DWORD ms, Condition done) {
    DWORD start = GetTickCount();
    for (;;) {
        if (done()) return true;
        DWORD spent = GetTickCount() - start;
        if (spent >= ms) return false;
        Sleep(ms - spent < 10 ? ms - spent : 10);
    }
}
