// Platform and processor classification, fed with version records and
// processors that this machine cannot produce.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "runtime/platform.h"

namespace {

// The flag values, written out independently of runtime/platform.h.
constexpr std::uint16_t kFpuKey = 0x0002;
constexpr std::uint16_t kMmx = 0x0040;
constexpr std::uint16_t k950 = 0x0080;
constexpr std::uint16_t k1111 = 0x0100;
constexpr std::uint16_t k9xOther = 0x0200;
constexpr std::uint16_t kNt = 0x0400;

// Platform ids and architectures as the platform numbers them.
constexpr std::uint32_t kWin32s = 0, kWindows = 1, kNtId = 2;
constexpr std::uint16_t kIntel = 0, kArm = 5, kIa64 = 6, kAmd64 = 9;

// What the fake platform answers, and the calls it saw: 'C' for CPUID, 'R' for
// the registry probe.
std::uint32_t cpuid_edx;
bool fpu_key_present;
std::string calls;

std::uint32_t fake_cpuid() {
    calls += 'C';
    return cpuid_edx;
}

bool fake_fpu_key_probe() {
    calls += 'R';
    return fpu_key_present;
}

VersionRecord version_record(std::uint32_t major, std::uint32_t minor, std::uint32_t build, std::uint32_t id) {
    VersionRecord v{};
    v.dwOSVersionInfoSize = sizeof v;
    v.dwMajorVersion = major;
    v.dwMinorVersion = minor;
    v.dwBuildNumber = build;
    v.dwPlatformId = id;
    return v;
}

PlatformInfo classify(const VersionRecord& v, SystemInfoView system, std::uint32_t edx = 0, bool fpu_key = false) {
    cpuid_edx = edx;
    fpu_key_present = fpu_key;
    calls.clear();
    return classify_platform(v, system, fake_cpuid, fake_fpu_key_probe);
}

std::string hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%04X", value);
    return text;
}

// Typical records of each platform, and processors for them.
const VersionRecord kWindows95 = version_record(4, 0, 0x040003B6, kWindows);
const VersionRecord kWindowsNt4 = version_record(4, 0, 1381, kNtId);
const SystemInfoView kNoProcessor = {0, 0, 0};
const SystemInfoView kPentium9x = {586, kIntel, 0};
const SystemInfoView kPentiumNt = {586, kIntel, 5};
const SystemInfoView k486Nt = {486, kIntel, 4};

TEST(FlagBits, HaveThePlatformValues) {
    EXPECT_EQ(PLATFORM_FPU_KEY, kFpuKey);
    EXPECT_EQ(PLATFORM_MMX, kMmx);
    EXPECT_EQ(PLATFORM_9X_BUILD_950, k950);
    EXPECT_EQ(PLATFORM_9X_BUILD_1111, k1111);
    EXPECT_EQ(PLATFORM_9X_OTHER, k9xOther);
    EXPECT_EQ(PLATFORM_NT, kNt);
}

struct PlatformBitRow {
    std::uint32_t platform_id;
    std::uint32_t build;
    std::uint16_t flags;
};

const PlatformBitRow kPlatformBits[] = {
    {kWindows, 0x040003B6, k950},      // high word 0x0400, low word 950
    {kWindows, 0x04000457, k1111},     // low word 1111
    {kWindows, 950, k950},             // no high word
    {kWindows, 0x0A0A03B6, k950},      // any high word
    {kWindows, 0xFFFF0457, k1111},     //
    {kWindows, 0x040007CE, k9xOther},  // 1998
    {kWindows, 0x040008AE, k9xOther},  // 2222
    {kWindows, 0x000003B7, k9xOther},  // 951
    {kWindows, 0x03B60000, k9xOther},  // 950 in the high word only
    {kWindows, 0, k9xOther},           //
    {3, 950, k950},                    // bit 0 set: the 9x path, before NT
    {3, 7601, k9xOther},               //
    {0x101, 1111, k1111},              // only the low byte of the id counts
    {5, 2222, k9xOther},               //
    {kNtId, 950, kNt},                 // NT whatever the build
    {kNtId, 0x04000457, kNt},          //
    {kNtId, 7601, kNt},                //
    {6, 950, kNt},                     // bit 1 set, bit 0 clear
    {0xFFFFFF02, 1381, kNt},           //
    {kWin32s, 950, 0},                 // no platform bit
    {4, 950, 0},                       // neither bit 0 nor bit 1
    {0x100, 950, 0},                   // low byte 0
    {0x201, 950, k950},                //
};

TEST(PlatformBits, ComeFromTheLowByteOfThePlatformIdAndTheLowWordOfTheBuild) {
    for (const PlatformBitRow& row : kPlatformBits) {
        PlatformInfo info = classify(version_record(4, 0, row.build, row.platform_id), kNoProcessor);
        EXPECT_EQ(hex(info.platform_flags), hex(row.flags))
            << "platform id " << hex(row.platform_id) << ", build " << hex(row.build);
        EXPECT_EQ(info.processor_class, 3) << "platform id " << hex(row.platform_id);
    }
}

struct VersionWordRow {
    std::uint32_t major, minor;
    std::uint16_t word;
};

const VersionWordRow kVersionWords[] = {
    {4, 0, 0x0400},
    {4, 10, 0x040A},
    {5, 1, 0x0501},
    {6, 1, 0x0601},
    {6, 2, 0x0602},
    {10, 0, 0x0A00},
    {0, 0, 0x0000},
    {0x105, 0, 0x0500},  // higher bytes of the major version dropped
    {4, 0x10A, 0x040A},  // and of the minor
    {0x12345678, 0x9ABCDEF0, 0x78F0},
    {0xFFFFFFFF, 0xFFFFFFFF, 0xFFFF},
};

TEST(VersionWord, IsTheLowBytesOfMajorAndMinor) {
    for (std::uint32_t id : {kWin32s, kWindows, kNtId}) {
        for (const VersionWordRow& row : kVersionWords) {
            PlatformInfo info = classify(version_record(row.major, row.minor, 950, id), kNoProcessor);
            EXPECT_EQ(hex(info.version_word), hex(row.word))
                << "version " << hex(row.major) << "." << hex(row.minor) << ", platform id " << id;
        }
    }
}

struct ProcessorRow {
    const char* what;
    SystemInfoView system;
    std::uint8_t processor_class;
    const char* calls;  // 'C' when CPUID runs
};

void expect_processor_rows(const VersionRecord& version, const ProcessorRow* rows, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        const ProcessorRow& row = rows[i];
        PlatformInfo info = classify(version, row.system);
        EXPECT_EQ(info.processor_class, row.processor_class) << row.what;
        EXPECT_EQ(calls, row.calls) << row.what;
    }
}

// On 9x only dwProcessorType counts.
const ProcessorRow kProcessors9x[] = {
    {"type 0", {0, kIntel, 0}, 3, "R"},
    {"type 386", {386, kIntel, 3}, 3, "R"},
    {"type 387", {387, kIntel, 3}, 4, "R"},
    {"type 486", {486, kIntel, 4}, 4, "R"},
    {"type 585", {585, kIntel, 5}, 4, "R"},
    {"type 586", {586, kIntel, 5}, 5, "CR"},
    {"type 686", {686, kIntel, 6}, 5, "CR"},
    {"type 0x80000000 (unsigned)", {0x80000000, kIntel, 0}, 5, "CR"},
    {"type 0xFFFFFFFF (unsigned)", {0xFFFFFFFF, kIntel, 0}, 5, "CR"},
    {"type 486, level 15 ignored", {486, kIntel, 15}, 4, "R"},
    {"type 386, level 6 ignored", {386, kIntel, 6}, 3, "R"},
    {"type 586, architecture ignored", {586, kIa64, 2}, 5, "CR"},
};

TEST(ProcessorClass, On9xFollowsTheProcessorType) {
    expect_processor_rows(kWindows95, kProcessors9x, std::size(kProcessors9x));
    // Platform id 3 has both bits: the 9x test comes first, so an NT reading
    // of this non-Intel processor (class 3) must not win.
    expect_processor_rows(version_record(4, 0, 950, 3), kProcessors9x, std::size(kProcessors9x));
}

// On NT only the architecture and the low byte of wProcessorLevel count.
const ProcessorRow kProcessorsNt[] = {
    {"level 0", {0, kIntel, 0}, 3, "R"},
    {"level 2", {386, kIntel, 2}, 3, "R"},
    {"level 3", {386, kIntel, 3}, 3, "R"},
    {"level 4", {486, kIntel, 4}, 4, "R"},
    {"level 5", {586, kIntel, 5}, 5, "CR"},
    {"level 6", {586, kIntel, 6}, 5, "CR"},
    {"level 15", {586, kIntel, 15}, 5, "CR"},
    {"level 0x0106 read as 6", {586, kIntel, 0x0106}, 5, "CR"},
    {"level 0x0104 read as 4", {486, kIntel, 0x0104}, 4, "R"},
    {"level 0x0302 read as 2", {386, kIntel, 0x0302}, 3, "R"},
    {"level 0x0080 (unsigned)", {586, kIntel, 0x0080}, 5, "CR"},
    {"level 0x00FF (unsigned)", {586, kIntel, 0x00FF}, 5, "CR"},
    {"level 6, type 386 ignored", {386, kIntel, 6}, 5, "CR"},
    {"level 2, type 586 ignored", {586, kIntel, 2}, 3, "R"},
    {"IA64, level 6", {0, kIa64, 6}, 3, "R"},
    {"AMD64, level 15", {8664, kAmd64, 15}, 3, "R"},
    {"ARM, level 4", {0, kArm, 4}, 3, "R"},
    {"architecture 0x0100, level 6", {586, 0x0100, 6}, 3, "R"},
};

TEST(ProcessorClass, OnNtFollowsTheLowByteOfTheLevelOnIntelOnly) {
    expect_processor_rows(kWindowsNt4, kProcessorsNt, std::size(kProcessorsNt));
    expect_processor_rows(version_record(10, 0, 19045, 0xFFFFFF02), kProcessorsNt, std::size(kProcessorsNt));
}

// With no platform bit nothing about the processor counts.
const ProcessorRow kProcessorsWin32s[] = {
    {"type 586, level 6", {586, kIntel, 6}, 3, "R"},
    {"type 486, level 4", {486, kIntel, 4}, 3, "R"},
    {"type 0xFFFFFFFF, level 0xFFFF", {0xFFFFFFFF, kIntel, 0xFFFF}, 3, "R"},
};

TEST(ProcessorClass, WithoutPlatformBitStays3) {
    expect_processor_rows(version_record(3, 10, 950, kWin32s), kProcessorsWin32s, std::size(kProcessorsWin32s));
    expect_processor_rows(version_record(3, 10, 950, 4), kProcessorsWin32s, std::size(kProcessorsWin32s));
}

struct MmxRow {
    const char* what;
    const VersionRecord* version;
    SystemInfoView system;
    std::uint32_t edx;
    std::uint16_t flags;
    const char* calls;
};

const MmxRow kMmxRows[] = {
    {"9x class 5, MMX", &kWindows95, kPentium9x, 0x00800000, k950 | kMmx, "CR"},
    {"9x class 5, every EDX bit", &kWindows95, kPentium9x, 0xFFFFFFFF, k950 | kMmx, "CR"},
    {"9x class 5, no MMX", &kWindows95, kPentium9x, 0, k950, "CR"},
    {"9x class 5, all but MMX", &kWindows95, kPentium9x, 0xFF7FFFFF, k950, "CR"},
    {"NT class 5, MMX", &kWindowsNt4, kPentiumNt, 0x00800000, kNt | kMmx, "CR"},
    {"NT class 5, bit 22 only", &kWindowsNt4, kPentiumNt, 0x00400000, kNt, "CR"},
    {"NT class 5, bit 24 only", &kWindowsNt4, kPentiumNt, 0x01000000, kNt, "CR"},
    {"9x class 4 with an MMX source", &kWindows95, {486, kIntel, 4}, 0xFFFFFFFF, k950, "R"},
    {"9x class 3 with an MMX source", &kWindows95, {386, kIntel, 3}, 0xFFFFFFFF, k950, "R"},
    {"NT class 4 with an MMX source", &kWindowsNt4, k486Nt, 0xFFFFFFFF, kNt, "R"},
    {"NT non-Intel with an MMX source", &kWindowsNt4, {0, kIa64, 6}, 0xFFFFFFFF, kNt, "R"},
};

TEST(Mmx, IsSetOnlyForClass5WhenCpuidReportsIt) {
    for (const MmxRow& row : kMmxRows) {
        PlatformInfo info = classify(*row.version, row.system, row.edx);
        EXPECT_EQ(hex(info.platform_flags), hex(row.flags)) << row.what;
        EXPECT_EQ(calls, row.calls) << row.what;
    }
}

struct FpuKeyRow {
    const char* what;
    VersionRecord version;
    SystemInfoView system;
    std::uint16_t flags;  // without the key
    std::uint16_t version_word;
    std::uint8_t processor_class;
};

const FpuKeyRow kFpuKeyRows[] = {
    {"all-zero record", VersionRecord{}, kNoProcessor, 0, 0x0000, 3},
    {"all-zero record, Pentium", VersionRecord{}, kPentiumNt, 0, 0x0000, 3},
    {"9x, 386", kWindows95, {386, kIntel, 3}, k950, 0x0400, 3},
    {"9x, Pentium with MMX", version_record(4, 10, 0x040A07CE, kWindows), kPentium9x, k9xOther | kMmx, 0x040A, 5},
    {"NT, 486", version_record(5, 1, 2600, kNtId), k486Nt, kNt, 0x0501, 4},
    {"NT, Pentium with MMX", version_record(6, 2, 9200, kNtId), kPentiumNt, kNt | kMmx, 0x0602, 5},
};

TEST(FpuKey, IsProbedOnEveryPlatformAndSetsOnlyItsBit) {
    for (const FpuKeyRow& row : kFpuKeyRows) {
        for (bool present : {false, true}) {
            PlatformInfo info = classify(row.version, row.system, 0x00800000, present);
            std::uint16_t flags = row.flags | (present ? kFpuKey : 0);
            EXPECT_EQ(hex(info.platform_flags), hex(flags)) << row.what << ", key present " << present;
            EXPECT_EQ(hex(info.version_word), hex(row.version_word)) << row.what;
            EXPECT_EQ(info.processor_class, row.processor_class) << row.what;
            EXPECT_EQ(calls.back(), 'R') << row.what << ": the probe comes last, after CPUID";
            EXPECT_EQ(calls.find('R'), calls.size() - 1) << row.what << ": the probe runs once";
        }
    }
}

}  // namespace
