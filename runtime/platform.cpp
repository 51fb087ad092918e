// Platform and processor classification, and detect_platform, which feeds
// it with what the platform reports.
#include "runtime/platform.h"

namespace {

constexpr std::uint32_t kPlatformWin32Windows = 1;  // VER_PLATFORM_WIN32_WINDOWS, tested as a bit
constexpr std::uint32_t kPlatformWin32Nt = 2;       // VER_PLATFORM_WIN32_NT, tested as a bit
constexpr std::uint16_t kBuild950 = 950;
constexpr std::uint16_t kBuild1111 = 1111;
constexpr std::uint32_t kProcessorIntel386 = 386;      // PROCESSOR_INTEL_386
constexpr std::uint32_t kProcessorIntelPentium = 586;  // PROCESSOR_INTEL_PENTIUM
constexpr std::uint16_t kArchitectureIntel = 0;        // PROCESSOR_ARCHITECTURE_INTEL
constexpr std::uint32_t kCpuidEdxMmx = 0x00800000;     // CPUID leaf 1, EDX bit 23

// High byte: the major version's low 8 bits; low byte: the minor version's.
std::uint16_t version_word_of(const VersionRecord& version) {
    return static_cast<std::uint16_t>((version.dwMajorVersion & 0xFF) << 8 | (version.dwMinorVersion & 0xFF));
}

// A 9x platform tells its release by the low word of the build number; the
// high word carries the version on that platform and is ignored.
std::uint16_t windows_9x_bit(std::uint32_t build_number) {
    std::uint16_t build = static_cast<std::uint16_t>(build_number & 0xFFFF);
    if (build == kBuild950) return PLATFORM_9X_BUILD_950;
    if (build == kBuild1111) return PLATFORM_9X_BUILD_1111;
    return PLATFORM_9X_OTHER;
}

// The low byte of the platform id is tested bit by bit, 9x first.
std::uint16_t platform_bit_of(const VersionRecord& version) {
    std::uint32_t id = version.dwPlatformId & 0xFF;
    if (id & kPlatformWin32Windows) return windows_9x_bit(version.dwBuildNumber);
    if (id & kPlatformWin32Nt) return PLATFORM_NT;
    return 0;  // Win32s
}

// 9x reports the processor as a PROCESSOR_INTEL_* number.
std::uint8_t class_from_processor_type(std::uint32_t type) {
    if (type <= kProcessorIntel386) return 3;
    if (type < kProcessorIntelPentium) return 4;
    return 5;
}

// NT reports the processor family in wProcessorLevel, of which only the low
// byte counts; it means a family only on the Intel architecture.
std::uint8_t class_from_processor_level(std::uint16_t architecture, std::uint16_t level) {
    if (architecture != kArchitectureIntel) return 3;
    std::uint8_t family = static_cast<std::uint8_t>(level & 0xFF);
    if (family < 3) return 3;
    if (family > 5) return 5;
    return family;
}

std::uint8_t processor_class_of(std::uint16_t platform_flags, const SystemInfoView& system) {
    if (platform_flags & PLATFORM_9X_MASK) return class_from_processor_type(system.dwProcessorType);
    if (platform_flags & PLATFORM_NT)
        return class_from_processor_level(system.wProcessorArchitecture, system.wProcessorLevel);
    return 3;
}

}  // namespace

PlatformInfo classify_platform(const VersionRecord& version, const SystemInfoView& system, CpuidSource cpuid,
                               FpuKeyProbe fpu_key_probe) {
    PlatformInfo info{};
    info.version_word = version_word_of(version);
    info.platform_flags = platform_bit_of(version);
    info.processor_class = processor_class_of(info.platform_flags, system);
    // Class 5 is taken to have CPUID; the lower classes never execute it.
    if (info.processor_class == 5 && (cpuid() & kCpuidEdxMmx)) info.platform_flags |= PLATFORM_MMX;
    if (fpu_key_probe()) info.platform_flags |= PLATFORM_FPU_KEY;
    return info;
}

void detect_platform(const VersionRecord& version) {
    PlatformInfo info = classify_platform(version, read_system_info(), cpuid_leaf_1_edx, fpu_key_opens);
    runtime_state.platform_flags = info.platform_flags;
    runtime_state.version_word = info.version_word;
    runtime_state.processor_class = info.processor_class;
}
