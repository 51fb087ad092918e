// detect_platform on the real platform, checked against what the platform
// tells the test through its own calls.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>

#include "runtime/platform.h"

namespace {

const char kFpuKeyName[] = "HARDWARE\\DESCRIPTION\\System\\FloatingPointProcessor";

// Every bit that detection may set; the others stay 0.
constexpr std::uint16_t kKnownBits = 0x0002 | 0x0040 | 0x0080 | 0x0100 | 0x0200 | 0x0400;

VersionRecord platform_version() {
    VersionRecord v{};
    v.dwOSVersionInfoSize = 148;
    GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&v));
    return v;
}

SYSTEM_INFO platform_system_info() {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    return info;
}

bool platform_has_fpu_key() {
    HKEY key;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFpuKeyName, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

bool platform_has_mmx() { return IsProcessorFeaturePresent(PF_MMX_INSTRUCTIONS_AVAILABLE) != 0; }

// Runs detection on the given record as start-up would, over fields that
// hold garbage beforehand.
void detect_with(const VersionRecord& version) {
    runtime_state.platform_flags = 0xFFFF;
    runtime_state.version_word = 0xFFFF;
    runtime_state.processor_class = 0xFF;
    detect_platform(version);
}

// The class NT's wProcessorLevel gives: the family, clamped to 3..5.
unsigned class_from_level(const SYSTEM_INFO& info) {
    if (info.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL) return 3;
    unsigned family = info.wProcessorLevel & 0xFF;
    return family < 3 ? 3 : family > 5 ? 5 : family;
}

// The class 9x's dwProcessorType gives.
unsigned class_from_type(const SYSTEM_INFO& info) {
    if (info.dwProcessorType <= PROCESSOR_INTEL_386) return 3;
    return info.dwProcessorType < PROCESSOR_INTEL_PENTIUM ? 4 : 5;
}

std::uint16_t feature_bits(unsigned processor_class) {
    std::uint16_t bits = platform_has_fpu_key() ? 0x0002 : 0;
    if (processor_class == 5 && platform_has_mmx()) bits |= 0x0040;
    return bits;
}

TEST(DetectPlatform, AgreesWithThePlatformsOwnVersionProcessorAndRegistry) {
    VersionRecord version = platform_version();
    SYSTEM_INFO system = platform_system_info();
    std::printf("platform: version %u.%u build %u, platform id %u; processor type %lu, architecture %u, level %u\n",
                version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber, version.dwPlatformId,
                system.dwProcessorType, system.wProcessorArchitecture, system.wProcessorLevel);
    std::printf("platform: MMX %d, floating-point processor key %d\n", platform_has_mmx(), platform_has_fpu_key());
    // Wine's default Windows version is an NT one on the Intel architecture,
    // or, for a 64-bit program, on AMD64 (where the processor class is 3).
    ASSERT_EQ(version.dwPlatformId, static_cast<DWORD>(VER_PLATFORM_WIN32_NT));
#ifdef _WIN64
    ASSERT_EQ(system.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_AMD64);
#else
    ASSERT_EQ(system.wProcessorArchitecture, PROCESSOR_ARCHITECTURE_INTEL);
#endif

    detect_with(version);
    std::printf("detected: flags 0x%04X, version word 0x%04X, processor class %u\n", runtime_state.platform_flags,
                runtime_state.version_word, runtime_state.processor_class);
    unsigned expected_class = class_from_level(system);
    EXPECT_EQ(runtime_state.processor_class, expected_class) << "wProcessorLevel " << system.wProcessorLevel;
    EXPECT_EQ(runtime_state.version_word, (version.dwMajorVersion & 0xFF) << 8 | (version.dwMinorVersion & 0xFF));
    EXPECT_EQ(runtime_state.platform_flags, 0x0400 | feature_bits(expected_class));
}

TEST(DetectPlatform, ReadsTheVersionRecordThatStartUpLeft) {
    SYSTEM_INFO system = platform_system_info();
    VersionRecord windows_95{};
    windows_95.dwOSVersionInfoSize = 148;
    windows_95.dwMajorVersion = 4;
    windows_95.dwBuildNumber = 0x040003B6;
    windows_95.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    detect_with(windows_95);
    unsigned expected_class = class_from_type(system);
    EXPECT_EQ(runtime_state.processor_class, expected_class) << "dwProcessorType " << system.dwProcessorType;
    EXPECT_EQ(runtime_state.version_word, 0x0400);
    EXPECT_EQ(runtime_state.platform_flags, 0x0080 | feature_bits(expected_class));

    VersionRecord windows_98 = windows_95;
    windows_98.dwMinorVersion = 10;
    windows_98.dwBuildNumber = 0x040A07CE;
    detect_with(windows_98);
    EXPECT_EQ(runtime_state.version_word, 0x040A);
    EXPECT_EQ(runtime_state.platform_flags, 0x0200 | feature_bits(expected_class));
}

TEST(DetectPlatform, AZeroRecordGivesNoPlatformBitClass3AndStillProbesTheKey) {
    detect_with(VersionRecord{});
    EXPECT_EQ(runtime_state.platform_flags, feature_bits(3));
    EXPECT_EQ(runtime_state.version_word, 0);
    EXPECT_EQ(runtime_state.processor_class, 3);
}

TEST(DetectPlatform, SetsOnlyKnownBits) {
    for (std::uint32_t id : {0u, 1u, 2u, 3u}) {
        VersionRecord version = platform_version();
        version.dwPlatformId = id;
        detect_with(version);
        EXPECT_EQ(runtime_state.platform_flags & ~kKnownBits, 0) << "platform id " << id;
        EXPECT_LE(__builtin_popcount(runtime_state.platform_flags & 0x0780), 1) << "platform id " << id;
    }
}

// Wine answers GetProcessHandleCount with 0, but it gives every new handle
// the lowest free slot: a key that detection left open would hold the slot
// that the next key opened here gets.
HKEY next_key_handle() {
    HKEY key = nullptr;
    RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFpuKeyName, 0, KEY_READ, &key);
    RegCloseKey(key);
    return key;
}

TEST(DetectPlatform, ClosesTheKeyItOpens) {
    ASSERT_TRUE(platform_has_fpu_key()) << "this platform has no floating-point processor key to open";
    VersionRecord version = platform_version();
    HKEY free_slot = next_key_handle();
    for (int i = 0; i < 3; ++i) {
        detect_with(version);
        EXPECT_EQ(next_key_handle(), free_slot) << "a handle stayed open after detection " << i + 1;
    }

    // The slot does show a key left open.
    HKEY held;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFpuKeyName, 0, KEY_READ, &held), ERROR_SUCCESS);
    EXPECT_EQ(held, free_slot);
    EXPECT_NE(next_key_handle(), free_slot);
    RegCloseKey(held);
}

}  // namespace
