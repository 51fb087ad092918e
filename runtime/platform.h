// Platform and processor classification: the portable decisions behind
// detect_platform, fed with what the platform reports.
#pragma once

#include <cstdint>

#include "runtime/state.h"

// Bits of RuntimeState::platform_flags; every other bit is always 0. At most
// one of the four platform bits (0x0780) is set.
constexpr std::uint16_t PLATFORM_FPU_KEY = 0x0002;        // the floating-point processor key opens
constexpr std::uint16_t PLATFORM_MMX = 0x0040;            // class 5 and CPUID leaf 1 reports MMX
constexpr std::uint16_t PLATFORM_9X_BUILD_950 = 0x0080;   // Windows 9x, build 950
constexpr std::uint16_t PLATFORM_9X_BUILD_1111 = 0x0100;  // Windows 9x, build 1111
constexpr std::uint16_t PLATFORM_9X_OTHER = 0x0200;       // Windows 9x, any other build
constexpr std::uint16_t PLATFORM_NT = 0x0400;             // Windows NT
constexpr std::uint16_t PLATFORM_9X_MASK = PLATFORM_9X_BUILD_950 | PLATFORM_9X_BUILD_1111 | PLATFORM_9X_OTHER;

// The three fields of the platform's SYSTEM_INFO that classification reads.
struct SystemInfoView {
    std::uint32_t dwProcessorType;
    std::uint16_t wProcessorArchitecture;
    std::uint16_t wProcessorLevel;
};

// Executes CPUID with EAX = 1 and gives EDX.
using CpuidSource = std::uint32_t (*)();
// Tries to open the floating-point processor key, closing it again when it
// opened; true when it opened.
using FpuKeyProbe = bool (*)();

// The three platform fields of RuntimeState.
struct PlatformInfo {
    std::uint16_t platform_flags;
    std::uint16_t version_word;
    std::uint8_t processor_class;  // 3, 4 or 5
};

// Classifies the platform from its version record and SYSTEM_INFO. Calls
// cpuid once when the processor class is 5 and never otherwise, then
// fpu_key_probe once on every platform, in that order. Cannot fail.
PlatformInfo classify_platform(const VersionRecord& version, const SystemInfoView& system, CpuidSource cpuid,
                               FpuKeyProbe fpu_key_probe);

// What the platform reports, one binding for each build (platform_win32.cpp,
// platform_host.cpp); detect_platform hands them to classify_platform.
SystemInfoView read_system_info();
// Executes CPUID with EAX = 1 and gives EDX.
std::uint32_t cpuid_leaf_1_edx();
// Tries to open the floating-point processor key, closing it again when it
// opened; true when it opened.
bool fpu_key_opens();

// Platform and processor detection, run once by start-up: fills
// platform_flags, version_word and processor_class of RuntimeState from the
// version record start-up read (GetVersionExA) and what the platform reports.
// A 64-bit program is told of the AMD64 architecture, not Intel's, so there
// the class is 3 and PLATFORM_MMX is never set. The version is what
// GetVersionExA reports to the program: 6.2 on Windows 8.1 and later (the
// program's manifest names no later version), 6.1 under Wine 8 here.
void detect_platform(const VersionRecord& version);
