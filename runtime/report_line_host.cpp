// Where a checked program's reports go on the host: standard error.
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>

#include "runtime/checked.h"

void write_report_line(const char* line, std::uint32_t n) { std::fwrite(line, 1, n, stderr); }

std::uint32_t current_thread_id() { return static_cast<std::uint32_t>(gettid()); }

void describe_code_address(const void* address, char* out, std::uint32_t size) {
    Dl_info info = {};
    if (dladdr(address, &info) == 0 || info.dli_fname == nullptr) info.dli_fname = "?";
    const char* name = info.dli_fname;
    for (const char* p = name; *p != 0; ++p)
        if (*p == '/') name = p + 1;
    format_code_address(
        name, reinterpret_cast<std::uintptr_t>(address) - reinterpret_cast<std::uintptr_t>(info.dli_fbase), out, size);
}
