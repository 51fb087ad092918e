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
