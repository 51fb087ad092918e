// Start-up seen from outside: the probe program is started with CreateProcess
// and reports what its main procedure received; the images of the probe and
// of the greeting program are checked for what a shipped program must be.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

const char kProbe[] = "startup_probe.exe";
const char kGreeting[] = "../../app/greeting.exe";

struct ProbeRun {
    std::string report;
    DWORD exit_code = 0xFFFFFFFF;
};

// Starts the probe (or another program) with the given command line and
// optional show command; its standard output and error become the report.
ProbeRun run_probe(const std::string& command_line, int show = -1, const char* program = kProbe) {
    ProbeRun run;
    SECURITY_ATTRIBUTES sa = {sizeof sa, nullptr, TRUE};
    HANDLE read_end, write_end;
    if (!CreatePipe(&read_end, &write_end, &sa, 0)) return run;
    SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write_end;
    si.hStdError = write_end;
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    if (show >= 0) {
        si.dwFlags |= STARTF_USESHOWWINDOW;
        si.wShowWindow = static_cast<WORD>(show);
    }
    PROCESS_INFORMATION pi = {};
    std::string line = command_line;
    BOOL ok = CreateProcessA(program, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    CloseHandle(write_end);
    if (!ok) {
        CloseHandle(read_end);
        ADD_FAILURE() << "cannot start the probe: error " << GetLastError();
        return run;
    }
    char buf[512];
    DWORD n;
    while (ReadFile(read_end, buf, sizeof buf, &n, nullptr) && n > 0) run.report.append(buf, n);
    CloseHandle(read_end);
    WaitForSingleObject(pi.hProcess, 10000);
    GetExitCodeProcess(pi.hProcess, &run.exit_code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return run;
}

std::string tail_of(const ProbeRun& run) {
    std::size_t from = run.report.find("tail=[");
    std::size_t to = run.report.rfind("] show=");
    if (from == std::string::npos || to == std::string::npos) return "<no report: " + run.report + ">";
    return run.report.substr(from + 6, to - from - 6);
}

struct TailRow {
    const char* command_line;
    const char* tail;
};

const TailRow kTails[] = {
    {"\"C:\\Program Files\\probe.exe\"  alpha beta", "alpha beta"},
    {"\"probe with blank.exe\"arg", "arg"},
    {"probe.exe", ""},
    {"probe.exe    one  two", "one  two"},
    {"probe.exe\tafter tab", "\tafter tab"},
    {"\"no closing quote.exe one", ""},
    {"probe.exe \tx", "\tx"},
};

TEST(StartupCommandTail, MainReceivesTheTailAfterTheProgramName) {
    for (const TailRow& row : kTails) {
        ProbeRun run = run_probe(row.command_line);
        EXPECT_EQ(tail_of(run), row.tail) << "command line [" << row.command_line << "]";
        EXPECT_EQ(run.exit_code, 0u) << row.command_line;
    }
}

TEST(StartupShowCommand, IsWShowWindowOnlyWithStartfUseShowWindow) {
    EXPECT_NE(run_probe("probe.exe", SW_SHOWMINNOACTIVE).report.find("show=7 "), std::string::npos);
    EXPECT_NE(run_probe("probe.exe", SW_HIDE).report.find("show=0 "), std::string::npos);
    EXPECT_NE(run_probe("probe.exe").report.find("show=10 "), std::string::npos);
}

// Main gets the program's instance handle and no previous instance, and
// finds the program's global variables zeroed.
TEST(StartupState, MainGetsItsInstanceAndZeroedGlobals) {
    ProbeRun run = run_probe("probe.exe");
    EXPECT_NE(run.report.find(" instance=1 globals_zeroed=1 "), std::string::npos) << run.report;
}

// A program's manifest makes UTF-8 its code page; one built with CODE_PAGE
// ANSI (here also without a manifest at all) keeps the system's.
TEST(StartupState, CodePageIsUtf8UnlessTheProgramOptsOut) {
    EXPECT_NE(run_probe("probe.exe").report.find(" codepage=65001\n"), std::string::npos);
    ProbeRun ansi = run_probe("probe.exe", -1, "startup_probe_ansi.exe");
    EXPECT_EQ(ansi.report.find(" codepage=65001"), std::string::npos) << ansi.report;
    EXPECT_NE(ansi.report.find(" codepage=" + std::to_string(GetACP()) + "\n"), std::string::npos) << ansi.report;
}

// A program linked with the checked libraries reports each misuse of its
// string argument stack, and each string or control operation made on a
// thread other than its own, on standard error and counts it (its exit code
// is the count).
TEST(CheckedProgram, ReportsStackMisuseAndCallsFromAnotherThread) {
    ProbeRun run = run_probe("checked_probe.exe", -1, "checked_probe.exe");
    EXPECT_EQ(run.exit_code, 4u) << run.report;
    EXPECT_EQ(run.report,
              "kestrowane: push_empty: push onto a full string argument stack (5 entries)\n"
              "kestrowane: a procedure returned with 1 entry on its string argument stack\n"
              "kestrowane: push_empty: called from a thread other than the program's\n"
              "kestrowane: a control operation: called from a thread other than the program's\n");
}

TEST(StartupExitCode, IsMainsResultUnclipped) {
    EXPECT_EQ(run_probe("probe.exe exit=12345").exit_code, 0x12345u);
    EXPECT_EQ(run_probe("probe.exe exit=100").exit_code, 0x100u);
    EXPECT_EQ(run_probe("probe.exe exit=0").exit_code, 0u);
}

// ---- The images -----------------------------------------------------------------

// The image format of this build's programs: PE32 for i386, PE32+ for
// x86-64, whose optional header's data directories begin 16 bytes later.
#ifdef _WIN64
constexpr std::uint16_t kMachine = IMAGE_FILE_MACHINE_AMD64;  // 0x8664
constexpr std::uint16_t kOptionalMagic = 0x020B;              // PE32+
constexpr std::size_t kDataDirectories = 112;
#else
constexpr std::uint16_t kMachine = IMAGE_FILE_MACHINE_I386;  // 0x014C
constexpr std::uint16_t kOptionalMagic = 0x010B;             // PE32
constexpr std::size_t kDataDirectories = 96;
#endif

struct Image {
    std::vector<unsigned char> bytes;
    std::uint32_t u32(std::size_t at) const {
        std::uint32_t v = 0;
        if (at + 4 <= bytes.size()) std::memcpy(&v, &bytes[at], 4);
        return v;
    }
    std::uint16_t u16(std::size_t at) const {
        std::uint16_t v = 0;
        if (at + 2 <= bytes.size()) std::memcpy(&v, &bytes[at], 2);
        return v;
    }
    std::size_t pe() const { return u32(0x3C); }
    std::size_t optional() const { return pe() + 24; }
    // File offset of a relative virtual address, through the section table.
    std::size_t offset_of(std::uint32_t rva) const {
        std::size_t sections = optional() + u16(pe() + 20);
        for (int i = 0; i < u16(pe() + 6); ++i) {
            std::size_t s = sections + 40 * i;
            std::uint32_t va = u32(s + 12), size = u32(s + 8), raw = u32(s + 20);
            if (rva >= va && rva < va + size) return raw + (rva - va);
        }
        return 0;
    }
    std::string cstring(std::size_t at) const {
        std::string s;
        while (at < bytes.size() && bytes[at] != 0) s += static_cast<char>(bytes[at++]);
        return s;
    }
    std::set<std::string> imported_dlls() const {
        std::set<std::string> dlls;
        std::uint32_t rva = u32(optional() + kDataDirectories + 8);  // data directory 1: imports
        if (rva == 0) return dlls;
        for (std::size_t d = offset_of(rva); d != 0 && u32(d + 12) != 0; d += 20) {
            std::string name = cstring(offset_of(u32(d + 12)));
            for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
            dlls.insert(name);
        }
        return dlls;
    }
};

Image load_image(const char* path) {
    Image image;
    std::ifstream in(path, std::ios::binary);
    image.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return image;
}

class ShippedImage : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedImage, IsAGuiProgramOfThisArchitecture) {
    Image image = load_image(GetParam());
    ASSERT_GT(image.bytes.size(), 512u) << "cannot read " << GetParam();
    ASSERT_EQ(image.u32(image.pe()), 0x00004550u) << "PE signature";
    EXPECT_EQ(image.u16(image.pe() + 4), kMachine) << "machine";
    EXPECT_EQ(image.u16(image.optional()), kOptionalMagic) << "optional header";
    EXPECT_EQ(image.u16(image.optional() + 68), IMAGE_SUBSYSTEM_WINDOWS_GUI);
}

// Loaded at a random address (on x86-64 anywhere in the 64-bit space), with
// data that cannot be executed.
TEST_P(ShippedImage, HasAslrAndNx) {
    Image image = load_image(GetParam());
    ASSERT_GT(image.bytes.size(), 512u) << "cannot read " << GetParam();
    std::uint16_t dll = image.u16(image.optional() + 70);
    std::uint16_t file = image.u16(image.pe() + 22);
    EXPECT_NE(dll & IMAGE_DLLCHARACTERISTICS_DYNAMIC_BASE, 0) << "DllCharacteristics 0x" << std::hex << dll;
    EXPECT_NE(dll & IMAGE_DLLCHARACTERISTICS_NX_COMPAT, 0) << "DllCharacteristics 0x" << std::hex << dll;
#ifdef _WIN64
    EXPECT_NE(dll & IMAGE_DLLCHARACTERISTICS_HIGH_ENTROPY_VA, 0) << "DllCharacteristics 0x" << std::hex << dll;
    EXPECT_NE(file & IMAGE_FILE_LARGE_ADDRESS_AWARE, 0) << "high-entropy ASLR needs the whole address space";
#else
    EXPECT_EQ(file & IMAGE_FILE_LARGE_ADDRESS_AWARE, 0) << "string handles use bit 31 as the borrowed mark";
#endif
}

TEST_P(ShippedImage, ImportsOnlyTheFourSystemDlls) {
    Image image = load_image(GetParam());
    const std::set<std::string> allowed = {"KERNEL32.DLL", "USER32.DLL", "ADVAPI32.DLL", "OLEAUT32.DLL"};
    std::set<std::string> dlls = image.imported_dlls();
    EXPECT_FALSE(dlls.empty());
    for (const std::string& dll : dlls) EXPECT_TRUE(allowed.count(dll)) << GetParam() << " imports " << dll;
}

// However the layout merges sections, no page is both writable and
// executable, and the loader finds the imports and the manifest.
TEST_P(ShippedImage, HasNoWritableCodeAndFindsItsDirectories) {
    Image image = load_image(GetParam());
    ASSERT_GT(image.bytes.size(), 512u) << "cannot read " << GetParam();
    std::size_t sections = image.optional() + image.u16(image.pe() + 20);
    for (int i = 0; i < image.u16(image.pe() + 6); ++i) {
        std::uint32_t flags = image.u32(sections + 40 * i + 36);
        EXPECT_FALSE((flags & IMAGE_SCN_MEM_WRITE) && (flags & IMAGE_SCN_MEM_EXECUTE))
            << GetParam() << ": section " << i << " is writable code (0x" << std::hex << flags << ")";
    }
    for (int directory : {1, 2, 5}) {  // imports, resources (the manifest), base relocations
        std::uint32_t rva = image.u32(image.optional() + kDataDirectories + 8 * directory);
        EXPECT_NE(image.offset_of(rva), 0u)
            << GetParam() << ": data directory " << directory << " at 0x" << std::hex << rva << " lies in no section";
    }
}

INSTANTIATE_TEST_SUITE_P(Programs, ShippedImage, ::testing::Values(kProbe, kGreeting));

// The greeting's footprint, as built for shipping with its manifest: a page
// of headers and three sections (code and constants; resources, imports and
// data; relocations).
#ifdef _WIN64
constexpr std::size_t kGreetingBar = 7680;
#else
constexpr std::size_t kGreetingBar = 7168;
#endif
TEST(GreetingImage, FitsInItsFootprint) {
    Image image = load_image(kGreeting);
    ASSERT_GT(image.bytes.size(), 512u) << "cannot read " << kGreeting;
    EXPECT_LE(image.bytes.size(), kGreetingBar);
}

}  // namespace
