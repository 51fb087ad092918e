// What Windows reports to platform detection: GetSystemInfo, CPUID and the
// registry probe.
#include <cpuid.h>
#include <windows.h>

#include "runtime/platform.h"

static_assert(KEY_READ == 0x20019, "KEY_READ");

SystemInfoView read_system_info() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return {info.dwProcessorType, info.wProcessorArchitecture, info.wProcessorLevel};
}

// The instruction itself: <cpuid.h> expands to inline assembly, no library call.
std::uint32_t cpuid_leaf_1_edx() {
    unsigned eax, ebx, ecx, edx;
    __cpuid(1, eax, ebx, ecx, edx);
    return edx;
}

// Only the key's presence counts; no value under it is read.
bool fpu_key_opens() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DESCRIPTION\\System\\FloatingPointProcessor", 0, KEY_READ, &key) !=
        ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}
