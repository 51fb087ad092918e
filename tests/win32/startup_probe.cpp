// A program linked exactly like a shipped one, whose main procedure reports
// what start-up handed it on its standard output:
//   tail=[...] show=N started=1 instance=1 empty=1 codepage=N
// A command tail that begins with "exit=" and hex digits makes main return
// that number.
#include <windows.h>

#include "runtime/state.h"
#include "runtime/strings.h"

namespace {

struct Globals {
    DynString scratch;
} globals;

void put(const char* text, DWORD n) {
    DWORD written;
    WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text, n, &written, nullptr);
}

void put(const char* text) {
    DWORD n = 0;
    while (text[n]) ++n;
    put(text, n);
}

void put_number(std::uint32_t v) {
    char digits[12];
    int i = sizeof digits;
    do {
        digits[--i] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    put(digits + i, sizeof digits - i);
}

std::int32_t exit_value(const char* tail) {
    const char prefix[] = "exit=";
    for (int i = 0; i < 5; ++i)
        if (tail[i] != prefix[i]) return 0;
    std::uint32_t v = 0;
    for (const char* p = tail + 5;; ++p) {
        char c = *p;
        if (c >= '0' && c <= '9')
            v = v * 16 + (c - '0');
        else if (c >= 'a' && c <= 'f')
            v = v * 16 + (c - 'a' + 10);
        else
            break;
    }
    return static_cast<std::int32_t>(v);
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void* instance, void* previous, const char* tail, std::int32_t show) {
    put("tail=[");
    put(tail);
    put("] show=");
    put_number(static_cast<std::uint32_t>(show));
    put(" started=");
    put_number(runtime_state.started_as_executable);
    put(" instance=");
    put_number(instance == GetModuleHandleA(nullptr) && previous == nullptr);
    put(" empty=");
    put_number(runtime_state.string_state_empty == static_empty_string() && globals.scratch == 0);
    put(" codepage=");
    put_number(GetACP());
    put("\n");
    return exit_value(tail);
}
