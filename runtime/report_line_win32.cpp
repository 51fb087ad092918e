// Where a checked program's reports go: the debugger's output (OutputDebugStringA,
// which a debugger shows and Wine prints with WINEDEBUG=+debugstr) and the
// process's standard error, which a program started from a shell under Wine
// inherits from that shell.
#include <windows.h>

#include "runtime/checked.h"

void write_report_line(const char* line, std::uint32_t n) {
    OutputDebugStringA(line);
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    DWORD written;
    if (err != nullptr && err != INVALID_HANDLE_VALUE) WriteFile(err, line, n, &written, nullptr);
}

std::uint32_t current_thread_id() { return GetCurrentThreadId(); }

void describe_code_address(const void* address, char* out, std::uint32_t size) {
    HMODULE module = nullptr;
    char path[MAX_PATH] = "?";
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       static_cast<const char*>(address), &module);
    if (module != nullptr) GetModuleFileNameA(module, path, sizeof path);
    const char* name = path;
    for (const char* p = path; *p != 0; ++p)
        if (*p == '\\' || *p == '/') name = p + 1;
    format_code_address(name, reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(module), out,
                        size);
}
