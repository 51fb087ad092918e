// What the host reports to platform detection: there is no Windows platform
// to ask, so an empty SYSTEM_INFO, no CPUID and no floating-point processor
// key. A version record is then classified as class 3 without the MMX bit.
#include "runtime/platform.h"

SystemInfoView read_system_info() { return SystemInfoView{}; }
std::uint32_t cpuid_leaf_1_edx() { return 0; }
bool fpu_key_opens() { return false; }
