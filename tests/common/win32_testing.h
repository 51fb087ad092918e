// Set-up shared by the win32 test programs: the runtime state that start-up
// would have filled in a shipped program.
#pragma once

#include <windows.h>

#include "runtime/startup.h"
#include "runtime/state.h"

// Instance handle and runtime reset, as start-up leaves them for main.
inline void start_runtime_for_test() {
    runtime_state.instance = GetModuleHandleA(nullptr);
    runtime_state.globals = {nullptr, 0};
    reset_runtime();
}

// Handles every pending message of the thread.
inline void pump_messages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
