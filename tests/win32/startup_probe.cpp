// A program linked exactly like a shipped one, whose main procedure reports
// what start-up handed it on its standard output:
//   tail=[...] show=N instance=1 globals_zeroed=1 codepage=N
// A command tail that begins with "exit=" and hex digits makes main return
// that number.
#include <windows.h>

#include "runtime/startup.h"
#include "runtime/strings.h"

namespace {

// Starts nonzero in the image, so that only start-up's reset can make it 0.
struct Globals {
    DynString scratch;
} globals = {1};

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
    put(" instance=");
    put_number(instance == GetModuleHandleA(nullptr) && previous == nullptr);
    put(" globals_zeroed=");
    put_number(globals.scratch == 0);
    put(" codepage=");
    put_number(GetACP());
    put("\n");
    return exit_value(tail);
}
