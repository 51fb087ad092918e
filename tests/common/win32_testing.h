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

// Declares var as this program's import slot of the platform function name,
// which takes arg_bytes bytes of arguments: the symbol "__imp_NAME" on
// x86-64, "__imp__NAME@ARGBYTES" on i386 (a leading underscore and the
// stdcall argument size).
#ifdef _WIN64
#define KW_IMPORT_SLOT(var, name, arg_bytes) extern "C" void* var asm("__imp_" #name)
#else
#define KW_IMPORT_SLOT(var, name, arg_bytes) extern "C" void* var asm("__imp__" #name "@" #arg_bytes)
#endif

// Swaps an import slot for a recorder for the length of a scope: the runtime
// and the toolkit are linked into the program, so their calls to the
// platform go through the same slot. original() is the real function, for
// the recorder to call through.
class ImportSwap {
public:
    ImportSwap(void*& slot, void* replacement) : slot_(slot), original_(slot) {
        VirtualProtect(&slot_, sizeof(void*), PAGE_READWRITE, &protection_);
        slot_ = replacement;
    }
    ~ImportSwap() {
        slot_ = original_;
        VirtualProtect(&slot_, sizeof(void*), protection_, &protection_);
    }
    ImportSwap(const ImportSwap&) = delete;
    ImportSwap& operator=(const ImportSwap&) = delete;
    void* original() const { return original_; }

private:
    void*& slot_;
    void* original_;
    DWORD protection_ = 0;
};
