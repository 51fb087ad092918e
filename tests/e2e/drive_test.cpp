// drive itself, run as a user runs it: its verb table against the README's,
// its reading of numbers, words and UTF-8, its refusal of bad commands, the
// keys of shortcuts played on a window of the test's own, the programs it
// starts and waits for, and texts typed into and read from a program in code
// page 1252, each wait bounded; and the process class that drive and the
// drivers share. CTest runs it in tests/e2e of the build tree; drive is at
// ../../tools/drive.exe.
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/e2e/program_under_test.h"
#include "toolkit/shortcut_keys.h"
#include "tools/common/numbers.h"
#include "tools/common/process.h"
#include "tools/common/text.h"
#include "tools/common/window_find.h"
#include "tools/drive/menu_query.h"

namespace {

const char kDrive[] = "../../tools/drive.exe";
const char kInspect[] = "../../tools/inspect.exe";
const char kGreeting[] = "../../app/greeting.exe";
const char kDialogTitle[] = "What is your name?";
// A plain Win32 program in the system's code page (1252 here) with an ANSI
// dialog: its edit box 100, and static 101 showing what the program itself
// reads from the box (GetDlgItemTextA) after Enter. Its argument "w" makes
// its message loop use the W calls.
const char kBox[] = "code_page_box.exe";
const char kBoxTitle[] = "Boîte à texte";

// ---- Running drive ----------------------------------------------------------------------

struct Outcome {
    DWORD code = STILL_ACTIVE;
    std::string out;
    std::string err;
};

std::string temp_file(const char* name) {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "kw-drive-test-" + std::to_string(GetCurrentProcessId()) + "-" + name + ".txt";
}

HANDLE output_file(const std::string& path) {
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    return CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The file's bytes with any "\r" removed (DriveStart's pipe test checks that
// drive writes none).
std::string read_file(const std::string& path) {
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
        std::fclose(f);
    }
    std::string plain;
    for (char c : text)
        if (c != '\r') plain += c;
    return plain;
}

std::string take_file(const std::string& path) {
    std::string text = read_file(path);
    DeleteFileA(path.c_str());
    return text;
}

// Runs the tool (drive, inspect) with the arguments (a command line's tail,
// UTF-8), its output in files.
Outcome run_tool(const char* tool, const std::string& args) {
    std::string out_path = temp_file("out"), err_path = temp_file("err");
    StandardHandles handles;
    handles.output = output_file(out_path);
    handles.error = output_file(err_path);
    Process p;
    Outcome o;
    std::string error;
    bool started = p.start(std::string("\"") + tool + "\" " + args, error, &handles);
    bool ended = started && p.wait(kExitTimeout);
    o.code = p.exit_code();
    p.end(kExitTimeout);
    CloseHandle(handles.output);
    CloseHandle(handles.error);
    o.out = take_file(out_path);
    o.err = take_file(err_path);
    if (!started) o.err += "[" + error + "]";
    if (started && !ended)
        o.err += "[the test ended " + std::string(tool) + ": it was still running after " +
                 std::to_string(kExitTimeout) + " ms]";
    return o;
}

Outcome drive(const std::string& args) { return run_tool(kDrive, args); }

// The words as a command line's tail, after the program's path.
std::string arguments_of(Words words) {
    words.insert(words.begin(), "");
    return command_line_of(words).substr(3);  // past the path's quotes and the blank
}

std::string lines_of(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& l : lines) text += "  " + l + "\n";
    return text;
}

// ---- The verb table and the README -----------------------------------------------------

// The synopses that drive --verbs prints, in its order.
std::vector<std::string> drive_synopses() {
    Outcome o = drive("--verbs");
    EXPECT_EQ(o.code, 0u) << o.err;
    std::vector<std::string> synopses;
    for (std::size_t start = 0, end; (end = o.out.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string line = o.out.substr(start, end - start);
        std::size_t tab = line.find('\t');
        EXPECT_NE(tab, std::string::npos) << "no tab in " << line;
        if (tab != std::string::npos) synopses.push_back(line.substr(tab + 1));
    }
    return synopses;
}

// The synopses in the first column of the README's verb table ("| verb |
// what it does |"), in its order: each `...` there, "\|" read as "|".
std::vector<std::string> readme_synopses() {
    std::string readme = read_file(KW_README);
    std::vector<std::string> synopses;
    std::size_t at = readme.find("| verb | what it does |");
    EXPECT_NE(at, std::string::npos) << "no verb table in " << KW_README;
    if (at == std::string::npos) return synopses;
    at = readme.find('\n', readme.find('\n', at) + 1) + 1;  // past the header and the rule
    for (std::size_t end; readme.compare(at, 2, "| ") == 0; at = end + 1) {
        end = readme.find('\n', at);
        std::string cell = readme.substr(at + 2, readme.find(" | ", at) - at - 2);
        for (std::size_t open = 0; (open = cell.find('`', open)) != std::string::npos;) {
            std::size_t close = cell.find('`', open + 1);
            std::string synopsis = cell.substr(open + 1, close - open - 1);
            for (std::size_t bar; (bar = synopsis.find("\\|")) != std::string::npos;) synopsis.erase(bar, 1);
            synopses.push_back(synopsis);
            open = close + 1;
        }
    }
    return synopses;
}

TEST(DriveVerbs, ReadmeTableListsEveryVerbWithItsSynopsis) {
    std::vector<std::string> verbs = drive_synopses(), readme = readme_synopses();
    EXPECT_FALSE(verbs.empty());
    EXPECT_EQ(readme, verbs) << "the README's table:\n" << lines_of(readme) << "drive --verbs:\n" << lines_of(verbs);
}

TEST(DriveVerbs, UsageShowsEveryVerbAndNotTheInternalOne) {
    Outcome o = drive("");
    EXPECT_EQ(o.code, 2u);
    for (const std::string& synopsis : drive_synopses())
        EXPECT_NE(o.err.find("  " + synopsis + " "), std::string::npos) << synopsis << " missing from:\n" << o.err;
    EXPECT_EQ(o.err.find("watch PID"), std::string::npos) << o.err;
    EXPECT_EQ(drive("--help").out, o.err) << "--help prints the same usage on stdout";
    EXPECT_EQ(drive("-h").out, o.err) << "as -h does, as the scripts and inspect take it";
}

// ---- Numbers and words ------------------------------------------------------------------

struct NumberRow {
    const char* text;
    bool time_ok;
    unsigned long time;  // ms, when time_ok
    bool decimal_ok;
};

const NumberRow kNumbers[] = {
    {"250", true, 250, true},
    {"250ms", true, 250, false},
    {"5s", true, 5000, false},
    {"010", true, 10, true},  // decimal, not octal
    {"0", true, 0, true},
    {"2147483647", true, 2147483647, true},
    {"2147483s", true, 2147483000, false},
    {"2147483648", false, 0, true},  // past the longest time
    {"2147484s", false, 0, false},
    {"4294967295", false, 0, true},
    {"4294967296", false, 0, false},
    {"0x10", false, 0, false},
    {"-1", false, 0, false},
    {"+1", false, 0, false},
    {"5 s", false, 0, false},
    {"5m", false, 0, false},
    {"ms", false, 0, false},
    {"s", false, 0, false},
    {"", false, 0, false},
};

TEST(DriveWords, TimesAndNumbersAreDecimalWithOptionalUnits) {
    for (const NumberRow& row : kNumbers) {
        SCOPED_TRACE(std::string("\"") + row.text + "\"");
        unsigned long ms = 12345, n = 0;
        EXPECT_EQ(parse_ms(row.text, ms), row.time_ok);
        if (row.time_ok) {
            EXPECT_EQ(ms, row.time);
        }
        EXPECT_EQ(parse_decimal(row.text, n), row.decimal_ok);
    }
}

TEST(DriveWords, AmpersandsMarkAccessKeysAndTwoStandForOne) {
    EXPECT_EQ(without_ampersands("&Add"), "Add");
    EXPECT_EQ(without_ampersands("Fish && Chips"), "Fish & Chips");
    EXPECT_EQ(without_ampersands("&&&Save"), "&Save");
    EXPECT_EQ(without_ampersands("Save&"), "Save&");
}

TEST(DriveWords, ScriptLinesSplitAtBlanksOutsideQuotes) {
    Words words;
    ASSERT_TRUE(split_words("  type \"a  b\" c#d # note", words));
    EXPECT_EQ(words, (Words{"type", "a  b", "c#d"}));
    ASSERT_TRUE(split_words("key \"say \\\"hi\\\" \\\\\"", words));
    EXPECT_EQ(words, (Words{"key", "say \"hi\" \\"}));
    ASSERT_TRUE(split_words("\t# only a comment\r", words));
    EXPECT_TRUE(words.empty());
    EXPECT_FALSE(split_words("type \"open", words));
}

// Arguments that a command line must quote or escape: each reaches the
// program as itself, through the platform's reading of a command line.
const char* const kArguments[] = {
    "",  // empty: kept, as ""
    "plain",
    "two words",
    "tab\there",
    "say \"hi\"",               // quotes inside
    "\"",                       // a quote alone
    "ends\\",                   // a trailing backslash, which would escape the closing quote
    "C:\\a b\\",                // blanks and a trailing backslash
    "\\\\server\\share",        // backslashes not before a quote stay as they are
    "a\\\"b",                   // a backslash and then a quote
    "a\\\\\"b c",               // two backslashes and then a quote
    "Zo\xC3\xAB \xE6\x9D\x8E",  // "Zoë 李"
};

TEST(DriveWords, ACommandLineCarriesEveryArgumentAsItIs) {
    Words words = {"C:\\Program Files\\p.exe"};
    words.insert(words.end(), std::begin(kArguments), std::end(kArguments));
    std::string line = command_line_of(words);
    int count = 0;
    LPWSTR* argv = CommandLineToArgvW(utf16_of(line).c_str(), &count);
    ASSERT_NE(argv, nullptr);
    Words read;
    for (int i = 0; i < count; ++i) read.push_back(utf8_of(argv[i]));
    LocalFree(argv);
    EXPECT_EQ(read, words) << "the command line: " << line;
}

// ---- UTF-8 --------------------------------------------------------------------------------

struct Utf8Row {
    const char* bytes;
    std::size_t error_at;  // where it stops being UTF-8, npos when it is
};

const Utf8Row kUtf8[] = {
    {"Zo\xC3\xAB \xE6\x9D\x8E \xF0\x9F\x98\x80", std::string::npos},  // "Zoë 李 😀"
    {"Zo\xEB", 2},                                                    // code page 1252's "ë"
    {"a\xC3", 1},                                                     // cut short
    {"a\xC3\x41", 1},                                                 // no continuation
    {"\x80", 0},                                                      // a stray continuation
    {"\xC0\x80", 0},                                                  // an overlong zero
    {"\xE0\x9F\xBF", 0},                                              // an overlong U+07FF
    {"\xED\xA0\x80", 0},                                              // a surrogate
    {"\xF4\x90\x80\x80", 0},                                          // past U+10FFFF
};

TEST(DriveWords, ScriptTextIsUtf8UpToItsFirstWrongByte) {
    for (const Utf8Row& row : kUtf8) {
        SCOPED_TRACE(row.bytes);
        EXPECT_EQ(utf8_error_at(row.bytes), row.error_at);
    }
}

TEST(DriveWords, Utf16AndUtf8CarryEveryCodePoint) {
    const std::wstring wide = L"Zo\u00EB \u674E \U0001F600";
    EXPECT_EQ(utf16_of(kUtf8[0].bytes), wide);
    EXPECT_EQ(utf8_of(wide), kUtf8[0].bytes);
    EXPECT_EQ(utf8_of(std::wstring(1, wchar_t(0xD800)) + L"a"),
              "\xEF\xBF\xBD"
              "a")
        << "a lone surrogate is U+FFFD";
}

struct DifferenceRow {
    const char* seen;
    const char* wanted;
    const char* said;
};

const DifferenceRow kDifferences[] = {
    {"Zoë ?? ?????", "Zoë 李雷 Ελένη", "character 5 is \"?\" (U+003F) where the script has \"李\" (U+674E)"},
    {"😀?", "😀李", "character 2 is \"?\" (U+003F) where the script has \"李\" (U+674E)"},  // counted in characters
    {"Zo", "Zoë", "the text ends before character 3, where the script has \"ë\" (U+00EB)"},
    {"Zoë", "Zo", "character 3 is \"ë\" (U+00EB) where the script's text has ended"},
    {"Zoë", "Zoë", ""},
};

TEST(DriveWords, ADifferenceNamesItsFirstCharacterOnBothSides) {
    for (const DifferenceRow& row : kDifferences) {
        SCOPED_TRACE(row.seen);
        EXPECT_EQ(first_difference(row.seen, row.wanted), row.said);
    }
}

// ---- The menu query ----------------------------------------------------------------------

// drive and drive_hook.dll name the query's shared memory alike from the
// program's process id and drive's; two drives playing two programs on one
// host, or one program, never share it.
TEST(DriveMenuQuery, SharedMemoryIsNamedAfterTheProgramAndTheDrive) {
    const struct {
        DWORD program, drive;
        const char* name;
    } rows[] = {
        {1234, 5678, "KestrowaneDriveMenuQuery.1234.5678"},
        {5678, 1234, "KestrowaneDriveMenuQuery.5678.1234"},
        {1234, 9999, "KestrowaneDriveMenuQuery.1234.9999"},
        {4294967295u, 4294967295u, "KestrowaneDriveMenuQuery.4294967295.4294967295"},  // the longest
    };
    for (const auto& row : rows) {
        char name[kMenuMemoryNameBytes];
        menu_memory_name(row.program, row.drive, name);
        EXPECT_STREQ(name, row.name);
    }
}

// ---- Bad commands ------------------------------------------------------------------------

struct CommandRow {
    const char* args;  // drive's command line after its path
    DWORD code;
    const char* said;  // in stderr; for code 0, the whole of stdout
};

// The outcome of drive played with a row's command line is the row's.
void expect_row(const CommandRow& row, const Outcome& o) {
    EXPECT_EQ(o.code, row.code) << o.err;
    if (row.code == 0) {
        EXPECT_EQ(o.out, row.said) << o.err;
    } else {
        EXPECT_NE(o.err.find(row.said), std::string::npos) << o.err;
    }
}

// No window has this title, so each wait runs to its limit and says it.
const CommandRow kCommands[] = {
    {"wait \"No such window\" 010", 1, "no window \"No such window\" within 10 ms"},
    {"--timeout 250ms wait \"No such window\"", 1, "within 250 ms"},
    {"wait \"No such window\" 1s", 1, "within 1000 ms"},
    {"wait \"No such window\" 5x", 2, "MS \"5x\" is not a time"},
    {"gone \"No such window\" 0x10", 2, "MS \"0x10\" is not a time"},
    {"--timeout 5x wait \"No such window\"", 2, "--timeout \"5x\" is not a time"},
    {"--timeout 0 wait \"No such window\"", 2, "--timeout must be more than 0 ms"},
    {"--timeout", 2, "--timeout needs a time"},
    {"exit 010x", 2, "PID \"010x\" is not a process id"},
    {"exit 1 5x", 2, "MS \"5x\" is not a time"},
    {"run --limit 5x greeting.exe", 2, "--limit \"5x\" is not a time"},
    {"run --limit 5s", 2, "run needs the program to run"},
    {"start --limit 0 greeting.exe", 2, "--limit must be more than 0 ms"},
    {"run \"\"", 2, "EXE is empty: give the program's path"},
    {"menu \"No such window\" File>>Exit", 2, "menu path \"File>>Exit\" names no item at level 2"},
    {"click \"No such window\"", 2, "click takes 2 arguments, not 1"},
    {"timeout 5s", 2, "timeout is for scripts"},
    {"watching", 2, "no verb \"watching\""},
    {"get \"No such window\" 1 colour", 2, "no fact \"colour\""},
    {"get \"No such window\" 1 cell:0:1", 2, "no fact \"cell:0:1\""},  // rows and columns count from 1
    {"get \"No such window\" 1 part:2:1", 2, "no fact \"part:2:1\""},
    {"slide \"No such window\" 1 x", 2, "VALUE \"x\" is not a whole number"},
    {"resize \"No such window\" 300 0", 2, "HEIGHT \"0\" is not a whole number of dialog units from 1 to 10000"},
    {"get \"No such window\" 1 rects", 2, "no fact \"rects\""},
    // A program that is not there, or a file that is no program, says so.
    {"run no-such-program.exe", 1, "cannot start \"no-such-program.exe\" (error 2: no such file)"},
    {"start CTestTestfile.cmake", 1, "(error 193: no Windows program that this Wine or Windows can run)"},
    {"script no-such.script", 1, "cannot read the script \"no-such.script\": No such file or directory"},
};

TEST(DriveCommands, BadCommandsAreRefusedWithWhatIsWrong) {
    for (const CommandRow& row : kCommands) {
        SCOPED_TRACE(row.args);
        expect_row(row, drive(row.args));
    }
}

const CommandRow kScriptLines[] = {
    {"watch 1 5s", 2, ":1: no verb \"watch\""},
    {"wiat \"To do\"", 2,
     ":1: no verb \"wiat\"; the verbs: wait, gone, type, key, click, select, activate, header, slide, pick, menu, "
     "resize, get, expect, start, exit, run, timeout\n"},
    {"script other.script", 2, ":1: script cannot be used in a script"},
    {"wait", 2, ":1: wait takes 1 to 2 arguments, not 0"},
    {"exit 1 5s", 2, ":1: in a script, exit takes only MS"},
    {"timeout 0", 2, ":1: the timeout must be more than 0 ms"},
    {"menu \"To do*\" A>B>C>D>E>F>G>H>I", 2, ":1: a menu path has at most 8 levels"},
    {"start --limit 5s", 2, ":1: in a script the program lives as long as the script"},
    {"type \"open", 2, ":1: a quote is not closed"},
    {"type \"Zo\xEB\"", 2, ":1: the line is not UTF-8: byte 9 is 0xEB"},  // code page 1252's "ë"
    // A mistake after lines that would wait is found before any line plays.
    {"wait \"No such window\" 20s\nkey A+Enter", 2,
     ":2: \"A+Enter\": only Ctrl, Alt and Shift can come before the last key"},
    {"timeout 20s\n\n# a note\nwait \"No such window\"\ngone \"No such window\" 5x", 2, ":5: MS \"5x\" is not a time"},
    {"wait \"No such window\" 20s\nstart", 2, ":2: start needs the program to start (the script has none)"},
};

TEST(DriveCommands, ScriptLinesAreCheckedAgainstTheVerbTable) {
    std::string path = temp_file("script");
    for (const CommandRow& row : kScriptLines) {
        SCOPED_TRACE(row.args);
        FILE* f = std::fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fputs(row.args, f);
        std::fclose(f);
        Outcome o = drive("script \"" + path + "\"");
        expect_row(row, o);
        EXPECT_EQ(o.out, "") << "a script with a bad line plays none of its lines";
    }
    DeleteFileA(path.c_str());
}

// inspect: help on its output, bad usage named, a window that never comes
// waited for up to its limit.
TEST(Inspect, BadUsageAndAMissingWindowAreNamed) {
    const CommandRow rows[] = {
        {"", 2, "inspect: takes a TITLE and an optional TIMEOUT, not 0 arguments\nusage: inspect TITLE [TIMEOUT]"},
        {"\"No such window\" 5x", 2, "inspect: TIMEOUT \"5x\" is not a time"},
        {"\"No such window\" 100ms 1", 2, "not 3 arguments"},
        {"\"No such window\" 100ms", 1, "inspect: no window \"No such window\" within 100 ms; visible windows: "},
    };
    for (const CommandRow& row : rows) {
        SCOPED_TRACE(row.args);
        expect_row(row, run_tool(kInspect, row.args));
    }
    Outcome help = run_tool(kInspect, "--help");
    EXPECT_EQ(help.code, 0u) << help.err;
    EXPECT_EQ(help.out.compare(0, 31, "usage: inspect TITLE [TIMEOUT]\n"), 0) << help.out;
}

// ---- Programs started and waited for ------------------------------------------------------

// Programs that drive start left running; whatever a failing test leaves is
// ended with it, and its end read, so that no later exit sees it.
class StartedPrograms {
public:
    StartedPrograms() = default;
    StartedPrograms(const StartedPrograms&) = delete;
    StartedPrograms& operator=(const StartedPrograms&) = delete;
    ~StartedPrograms() {
        for (DWORD pid : pids_) {
            Process program;
            if (!program.open(pid)) continue;
            program.end(kExitTimeout);
            drive("exit " + std::to_string(pid) + " 5s");
        }
    }

    // drive start with the arguments; the process id it printed, or 0.
    DWORD start(const std::string& args) {
        Outcome o = drive("start " + args);
        EXPECT_EQ(o.code, 0u) << o.err;
        return adopt(o.out);
    }

    // The process id that start printed, or 0; the program is ended with this.
    DWORD adopt(const std::string& printed) {
        DWORD pid = std::strtoul(printed.c_str(), nullptr, 10);
        EXPECT_NE(pid, 0u) << "start printed \"" << printed << "\"";
        if (pid != 0) pids_.push_back(pid);
        return pid;
    }

private:
    std::vector<DWORD> pids_;
};

// Closes the greeting dialog of the process as its system menu would.
::testing::AssertionResult close_dialog_of(DWORD pid) {
    HWND dialog = nullptr;
    if (!poll_until(kStartTimeout, [&] { return (dialog = find_process_window(pid, kDialogTitle)) != nullptr; }))
        return ::testing::AssertionFailure()
               << "process " << pid << " shows no dialog; visible windows: " << visible_titles();
    PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
    return ::testing::AssertionSuccess();
}

TEST(DriveStart, EachStartedProgramIsWaitedForByItsProcessId) {
    StartedPrograms programs;
    DWORD first = programs.start(kGreeting);
    DWORD second = programs.start(kGreeting);
    ASSERT_NE(first, second);

    Outcome both = drive("exit");
    EXPECT_EQ(both.code, 1u);
    EXPECT_NE(both.err.find("programs "), std::string::npos) << both.err;
    EXPECT_NE(both.err.find(std::to_string(first)), std::string::npos) << both.err;
    EXPECT_NE(both.err.find(std::to_string(second)), std::string::npos) << both.err;

    ASSERT_TRUE(close_dialog_of(second));
    Outcome o = drive("exit " + std::to_string(second) + " 20s");
    EXPECT_EQ(o.code, 0u) << o.err;
    EXPECT_EQ(o.out, "exit code 0\n");
    EXPECT_NE(find_process_window(first, kDialogTitle), nullptr) << "the first program runs on";

    ASSERT_TRUE(close_dialog_of(first));
    o = drive("exit");  // the only one left
    EXPECT_EQ(o.code, 0u) << o.err;
    EXPECT_EQ(o.out, "exit code 0\n");
    o = drive("exit " + std::to_string(first));
    EXPECT_EQ(o.code, 1u) << "an end is read once";
    EXPECT_NE(o.err.find("no program " + std::to_string(first) + " was started"), std::string::npos) << o.err;
}

// A shell reads drive start's output through a pipe until it closes: the
// program that start leaves running must not hold it open.
TEST(DriveStart, AStartedProgramHoldsNoHandleOfDrivesOutput) {
    StartedPrograms programs;
    SECURITY_ATTRIBUTES inherited = {sizeof inherited, nullptr, TRUE};
    HANDLE reader = nullptr, writer = nullptr;
    ASSERT_TRUE(CreatePipe(&reader, &writer, &inherited, 0));
    SetHandleInformation(reader, HANDLE_FLAG_INHERIT, 0);
    std::string err_path = temp_file("err");
    StandardHandles handles;
    handles.output = writer;
    handles.error = output_file(err_path);
    Process drive_start;
    std::string error;
    bool started = drive_start.start(command_line_of({kDrive, "start", kGreeting}), error, &handles);
    CloseHandle(writer);
    CloseHandle(handles.error);
    ASSERT_TRUE(started) << error;
    EXPECT_TRUE(drive_start.wait(kExitTimeout)) << "drive start did not end";
    std::string out;
    bool closed = poll_until(kStepTimeout, [&] {
        DWORD ready = 0;
        if (!PeekNamedPipe(reader, nullptr, 0, nullptr, &ready, nullptr)) return GetLastError() == ERROR_BROKEN_PIPE;
        char buf[256];
        DWORD got = 0;
        if (ready > 0 && ReadFile(reader, buf, ready < sizeof buf ? ready : sizeof buf, &got, nullptr))
            out.append(buf, got);
        return false;
    });
    CloseHandle(reader);
    DWORD pid = programs.adopt(out);
    EXPECT_EQ(out, std::to_string(pid) + "\n") << "a shell's $(drive start ...) must be the process id alone";
    EXPECT_TRUE(closed) << "drive's output was still open " << kStepTimeout << " ms after drive ended; it printed \""
                        << out << "\"; errors: " << take_file(err_path);
    ASSERT_TRUE(close_dialog_of(pid)) << "the program runs on after drive start";
    EXPECT_EQ(drive("exit " + std::to_string(pid) + " 20s").code, 0u);
}

// Each argument reaches the started program as itself: drive runs drive,
// whose refusal of a time quotes the argument it was given.
TEST(DriveRun, EveryArgumentReachesTheProgramAsItIs) {
    for (const char* argument : kArguments) {
        SCOPED_TRACE(std::string("\"") + argument + "\"");
        Outcome o = drive(arguments_of({"run", kDrive, "--timeout", "100ms", "wait", "No such window", argument}));
        EXPECT_EQ(o.code, 0u) << o.err;
        EXPECT_EQ(o.out, "exit code 2\n") << o.err;
        EXPECT_NE(o.err.find("MS \"" + std::string(argument) + "\" is not a time"), std::string::npos) << o.err;
    }
}

// A script that fails ends the program it started, once it has saved the
// screen where $KESTROWANE_DRIVE_PICTURE says: a BMP of the whole screen.
TEST(DriveScript, AScriptEndsItsProgramWhenItFails) {
    std::string picture = temp_file("picture");
    DeleteFileA(picture.c_str());
    SetEnvironmentVariableA("KESTROWANE_DRIVE_PICTURE", picture.c_str());
    std::string path = temp_file("failing");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fprintf(f, "wait \"%s\" 20s\nwait \"No such window\" 300ms\n", kDialogTitle);
    std::fclose(f);
    Outcome o = drive("script \"" + path + "\" " + kGreeting);
    DeleteFileA(path.c_str());
    EXPECT_EQ(o.code, 1u) << o.err;
    EXPECT_NE(o.err.find(":2: no window \"No such window\" within 300 ms"), std::string::npos) << o.err;
    EXPECT_TRUE(poll_until(kStepTimeout, [] { return find_window(kDialogTitle) == nullptr; }))
        << "the program runs on after its script failed; visible windows: " << visible_titles();
    SetEnvironmentVariableA("KESTROWANE_DRIVE_PICTURE", nullptr);
    EXPECT_NE(o.err.find("drive: the screen at the failure: " + picture), std::string::npos) << o.err;
    WIN32_FILE_ATTRIBUTE_DATA file = {};
    ASSERT_TRUE(GetFileAttributesExA(picture.c_str(), GetFileExInfoStandard, &file)) << "no picture at " << picture;
    std::size_t pixels = static_cast<std::size_t>(GetSystemMetrics(SM_CXSCREEN)) * GetSystemMetrics(SM_CYSCREEN);
    EXPECT_EQ(take_file(picture).compare(0, 2, "BM"), 0) << "the picture is no BMP file";
    EXPECT_GE(file.nFileSizeLow, 54 + pixels * 3) << "the picture is smaller than the screen";
}

// A window that never comes because the program has ended says so: drive
// started with no arguments ends at once with 2.
TEST(DriveScript, AFailedLineSaysThatTheProgramHadEnded) {
    std::string path = temp_file("ended");
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fputs("wait \"No such window\" 2s\n", f);
    std::fclose(f);
    Outcome o = drive("script \"" + path + "\" " + kDrive);
    DeleteFileA(path.c_str());
    EXPECT_EQ(o.code, 1u) << o.err;
    EXPECT_NE(o.err.find(":1: no window \"No such window\" within 2000 ms; visible windows: "), std::string::npos)
        << o.err;
    EXPECT_NE(o.err.find("; the program had ended, with exit code 2\n"), std::string::npos) << o.err;
}

TEST(DriveControls, ANoControlFailureListsTheControlsThereAre) {
    StartedPrograms programs;
    DWORD pid = programs.start(kGreeting);
    // The dialog first: the short limit is for the control alone.
    Outcome shown = drive(std::string("wait \"") + kDialogTitle + "\" 20s");
    ASSERT_EQ(shown.code, 0u) << shown.err;
    Outcome o = drive(std::string("--timeout 300ms click \"") + kDialogTitle + "\" Okay");
    EXPECT_EQ(o.code, 1u);
    EXPECT_NE(o.err.find("has no control \"Okay\" within 300 ms; its controls: 100 \"\", 1 \"OK\", 2 \"Cancel\""),
              std::string::npos)
        << o.err;
    ASSERT_TRUE(close_dialog_of(pid));
    EXPECT_EQ(drive("exit " + std::to_string(pid) + " 20s").code, 0u);
}

TEST(DriveStart, WatcherEndsAProgramThatOutlivesItsLimit) {
    StartedPrograms programs;
    DWORD pid = programs.start(std::string("--limit 500ms ") + kGreeting);
    Outcome o = drive("exit " + std::to_string(pid) + " 20s");
    EXPECT_EQ(o.code, 1u);
    EXPECT_NE(o.err.find("still ran when its limit of 500 ms ran out, and drive ended it; visible windows then: "),
              std::string::npos)
        << o.err;
    EXPECT_EQ(find_process_window(pid, kDialogTitle), nullptr);
}

TEST(DriveRun, RunEndsAProgramThatOutlivesItsLimit) {
    Outcome o = drive(std::string("run --limit 500ms ") + kGreeting);
    EXPECT_EQ(o.code, 1u);
    EXPECT_NE(o.err.find("the program still runs after 500 ms; visible windows: "), std::string::npos) << o.err;
    EXPECT_NE(o.err.find("drive ended it"), std::string::npos) << o.err;
    EXPECT_TRUE(poll_until(kStepTimeout, [] { return find_window(kDialogTitle) == nullptr; }))
        << "still there: " << visible_titles();
}

// ---- Common controls ------------------------------------------------------------------

// controls_box: a list view (200) of 4 rows and 3 columns, a progress bar
// (220), a slider (230) from 0 to 20, a status bar (250) of 3 parts, a
// list box with LBS_MULTIPLESEL (271), a label (300). Its script plays each
// verb that works; here each says what it did not find.
const char kControls[] = "controls_box.exe";
const char kControlsTitle[] = "Common controls";

const CommandRow kControlFailures[] = {
    {"select 200 Nobody", 1, "no row \"Nobody\" in \"200\" within 300 ms (4 rows)"},
    {"activate 200 5", 1,
     "no row \"5\" in \"200\" within 300 ms (4 rows; a number names a row by its position, not its text)"},
    {"header 200 Città", 1, "no column \"Città\" in \"200\" within 300 ms (3 columns)"},
    {"header 200 4", 1, "(3 columns; a number names a column by its position, not its text)"},
    {"get 200 cell:5:1", 1, "\"200\": no row 5 (there are 4)"},
    {"get 200 cell:1:4", 1, "\"200\": no column 4 (there are 3)"},
    {"get 250 part:4", 1, "\"250\": no part 4 (there are 3)"},
    {"get 220 cell:1:1", 1, "\"220\": \"cell:1:1\" is no fact of a progress bar"},
    {"get 300 position", 1, "\"300\": \"position\" is no fact of a Static"},
    {"get 220 selection", 1, "\"220\": \"selection\" is no fact of a progress bar"},
    // Facts of buttons and lists alone: another control's would read 0.
    {"get 300 check", 1, "\"300\": \"check\" is no fact of a Static"},
    {"get 230 selected", 1, "\"230\": \"selected\" is no fact of a slider"},
    {"expect 220 count 0", 1, "waited 300 ms for count \"0\" of \"220\": \"count\" is no fact of a progress bar"},
    {"expect 200 cell:2:2 Athens", 1, "last saw \"Αθήνα\": character 1 is \"Α\" (U+0391)"},
    {"expect 250 part:9 Prêt", 1, "waited 300 ms for part:9 \"Prêt\" of \"250\": no part 9 (there are 3)"},
    {"slide 230 21", 1, "slider \"230\" goes from 0 to 20, not to 21"},
    {"slide 220 3", 1, "control \"220\" is a progress bar, not a slider"},
    {"select 220 1", 1, "control \"220\" is a progress bar, not a list, combo box, list view or tab control"},
    {"pick C:\\x", 1,
     "window \"Common controls\" is no file or folder picker: it has no name box (control 1152) within 300 ms"},
    {"menu File>Exit", 1, "window \"Common controls\" has no menu bar"},
    // A second click on an item of a multiple-selection list box would
    // deselect it: select refuses it.
    {"select 271 9", 1, "items; a number names an item by its position, not its text)"},
    {"select 271 2", 0, ""},
    {"select 271 2", 1, "item 2 of \"271\" is selected already: a click would deselect it"},
    {"get 271 selection", 0, "2\n"},
};

TEST(DriveControls, CommonControlFailuresSayWhatWasThere) {
    StartedPrograms programs;
    DWORD pid = programs.start(kControls);
    Outcome shown = drive(std::string("wait \"") + kControlsTitle + "\" 20s");
    ASSERT_EQ(shown.code, 0u) << shown.err;
    for (const CommandRow& row : kControlFailures) {
        SCOPED_TRACE(row.args);
        std::string args = row.args;
        std::size_t blank = args.find(' ');
        expect_row(row, drive("--timeout 300ms " + args.substr(0, blank) + " \"" + kControlsTitle + "\"" +
                              args.substr(blank)));
    }
    Outcome o = drive(std::string("get \"") + kControlsTitle + "\" 200 cell:3:1");
    EXPECT_EQ(o.out, "Ελένη\n") << "get prints UTF-8; " << o.err;
    EXPECT_EQ(drive(std::string("click \"") + kControlsTitle + "\" Close").code, 0u);
    EXPECT_EQ(drive("exit " + std::to_string(pid) + " 20s").code, 0u);
}

// Played on the to-do list (236 by 138 dialog units, its least size; menus
// File>Exit, Edit>Find..., Help>About). A menu path cut short says what it
// met: an item that opens no menu, or the items of the menu where a text
// matched none. Resized as a user drags it: Add (104) keeps to the right
// edge, the list (106) stretches both ways, the status line (107) keeps to
// the bottom and stretches across; a smaller size than the least is kept
// from it, and a window without a sizing frame, or one disabled under a
// modal dialog, is not resized.
const CommandRow kToDo[] = {
    {"--timeout 5s menu \"To do*\" File>Exit>Now", 1, "menu item \"Exit\" opens no menu, so it has no item \"Now\""},
    {"--timeout 5s menu \"To do*\" View", 1, "the menu has no item \"View\"; its items: \"File\", \"Edit\", \"Help\""},
    {"--timeout 5s menu \"To do*\" File>Open", 1, "the menu has no item \"Open\" under \"File\"; its items: \"Exit\""},
    {"get \"To do*\" window rect", 0, "0 0 236 138\n"},
    {"resize \"To do*\" 300 200", 0, "300 200\n"},
    {"get \"To do*\" window rect", 0, "0 0 300 200\n"},
    {"get \"To do*\" Add rect", 0, "244 5 50 14\n"},
    {"get \"To do*\" 106 rect", 0, "6 40 288 142\n"},
    {"get \"To do*\" 107 rect", 0, "6 186 276 10\n"},
    {"resize \"To do*\" 100 50", 0, "236 138 (asked 100 50)\n"},
    {"get \"To do*\" Add rect", 0, "180 5 50 14\n"},
    {"key \"To do*\" F1", 0, ""},
    {"wait \"About To do\"", 0, ""},
    {"--timeout 300ms resize \"About To do\" 300 200", 1,
     "window \"About To do\" cannot be resized: it has no sizing frame"},
    {"--timeout 300ms resize \"To do*\" 300 200", 1, "window \"To do*\" stayed disabled for 300 ms"},
    {"key \"About To do\" Escape", 0, ""},
};

TEST(DriveToDo, MenuPathsCutShortAndResizesSayWhatTheyMet) {
    StartedPrograms programs;
    DWORD pid = programs.start("../../examples/todo/todo.exe");
    Outcome shown = drive("wait \"To do (0)\" 20s");
    ASSERT_EQ(shown.code, 0u) << shown.err;
    for (const CommandRow& row : kToDo) {
        SCOPED_TRACE(row.args);
        expect_row(row, drive(row.args));
    }
    EXPECT_EQ(drive("menu \"To do*\" File>Exit").code, 0u);
    EXPECT_EQ(drive("exit " + std::to_string(pid) + " 20s").code, 0u);
}

// ---- The process class of drive and the drivers ------------------------------------------

// A Process ends the program it holds when it goes, leaves running one it
// released, waits no longer than it is told, and says why a start failed.
TEST(Process, EndsWhatItHoldsAndLetsGoOfWhatItReleases) {
    auto shows_dialog = [](DWORD pid) {
        return poll_until(kStartTimeout, [&] { return find_process_window(pid, kDialogTitle) != nullptr; });
    };
    std::string error;
    DWORD ended = 0, released = 0;
    {
        Process held, let_go;
        ASSERT_TRUE(held.start(command_line_of({kGreeting}), error)) << error;
        ASSERT_TRUE(let_go.start(command_line_of({kGreeting}), error)) << error;
        ended = held.id();
        released = let_go.id();
        ASSERT_TRUE(shows_dialog(ended) && shows_dialog(released)) << "visible windows: " << visible_titles();
        EXPECT_FALSE(held.wait(100)) << "the greeting ended with its dialog open";
        EXPECT_EQ(held.exit_code(), static_cast<DWORD>(STILL_ACTIVE));
        let_go.release();
    }
    EXPECT_TRUE(poll_until(kStepTimeout, [&] { return !process_running(ended); }))
        << "a Process that went left its program running";
    Process opened;  // ends the released program, whatever fails below
    ASSERT_TRUE(opened.open(released)) << "a released program did not run on";
    EXPECT_TRUE(opened.running());
    opened.end(kExitTimeout);
    EXPECT_FALSE(process_running(released));
    EXPECT_FALSE(opened.start("\"no such program.exe\"", error));
    EXPECT_EQ(error, "cannot start \"no such program.exe\" (error 2: no such file)");
}

// A top-level window of the test's own on a thread of its own, which pumps
// its messages until the window is destroyed (its procedure posts the quit
// message on WM_DESTROY). The window's creation parameter is param.
class WindowThread {
public:
    WindowThread(const char* class_name, const char* title, WNDPROC proc, void* param)
        : class_name_(class_name), title_(title), proc_(proc), param_(param) {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
        WaitForSingleObject(ready_, kStartTimeout);
    }
    WindowThread(const WindowThread&) = delete;
    WindowThread& operator=(const WindowThread&) = delete;
    // Closes the window and waits for its thread to end.
    ~WindowThread() {
        PostMessageA(window_, WM_CLOSE, 0, 0);
        WaitForSingleObject(thread_, kExitTimeout);
        CloseHandle(thread_);
        CloseHandle(ready_);
    }

    HWND window() const { return window_; }

private:
    static DWORD WINAPI run(void* self) {
        auto* t = static_cast<WindowThread*>(self);
        WNDCLASSA c = {};
        c.lpfnWndProc = t->proc_;
        c.hInstance = GetModuleHandleA(nullptr);
        c.lpszClassName = t->class_name_;
        RegisterClassA(&c);
        t->window_ = CreateWindowExA(0, c.lpszClassName, t->title_, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300,
                                     200, nullptr, nullptr, c.hInstance, t->param_);
        SetEvent(t->ready_);
        MSG m;
        while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
        return 0;
    }

    const char* class_name_;
    const char* title_;
    WNDPROC proc_;
    void* param_;
    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    HWND window_ = nullptr;
};

// ---- Keys ------------------------------------------------------------------------------

// A window of the test's own, on a thread of its own, that writes down each
// key pressed on it as a shortcut's text, with the modifiers held then; or,
// made to refuse the focus, that gives it away whenever it gets it.
const char kKeysTitle[] = "Keys heard";

class KeysHeard {
public:
    explicit KeysHeard(bool takes_focus = true)
        : takes_focus_(takes_focus), window_("KwKeysHeard", kKeysTitle, proc, this) {}

    HWND window() const { return window_.window(); }

    // The texts of the keys heard so far.
    std::vector<std::string> heard() {
        EnterCriticalSection(&lock_.section);
        std::vector<std::string> copy = heard_;
        LeaveCriticalSection(&lock_.section);
        return copy;
    }

private:
    // A critical section for the list of keys, kept from before the
    // window is made until after its thread has ended.
    struct Lock {
        CRITICAL_SECTION section;
        Lock() { InitializeCriticalSection(&section); }
        ~Lock() { DeleteCriticalSection(&section); }
        Lock(const Lock&) = delete;
        Lock& operator=(const Lock&) = delete;
    };

    static bool held(int vk) { return GetKeyState(vk) < 0; }

    static LRESULT CALLBACK proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_NCCREATE)
            SetWindowLongPtrA(w, GWLP_USERDATA,
                              reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTA*>(lparam)->lpCreateParams));
        auto* k = reinterpret_cast<KeysHeard*>(GetWindowLongPtrA(w, GWLP_USERDATA));
        if (message == WM_SETFOCUS && k != nullptr && !k->takes_focus_) {
            SetFocus(nullptr);
            return 0;
        }
        bool key = message == WM_KEYDOWN || message == WM_SYSKEYDOWN;
        if (key && k != nullptr && wparam != VK_SHIFT && wparam != VK_CONTROL && wparam != VK_MENU) {
            std::uint32_t keys = static_cast<std::uint32_t>(wparam) | (held(VK_SHIFT) ? kShortcutShift : 0) |
                                 (held(VK_CONTROL) ? kShortcutCtrl : 0) | (held(VK_MENU) ? kShortcutAlt : 0);
            char text[kShortcutTextSize];
            std::string heard(text, shortcut_text(keys, text));
            EnterCriticalSection(&k->lock_.section);
            k->heard_.push_back(heard.empty() ? "key " + std::to_string(wparam) : heard);
            LeaveCriticalSection(&k->lock_.section);
            return 0;
        }
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcA(w, message, wparam, lparam);
    }

    bool takes_focus_;
    Lock lock_;
    std::vector<std::string> heard_;
    WindowThread window_;  // last: made after the lock and the list, closed before them
};

struct KeyRow {
    const char* combo;  // as a script names it
    const char* heard;  // as a menu item shows it
};

// Every key a shortcut's text names can be played, in the shortcut's words
// or in any case.
const KeyRow kKeys[] = {
    {"Shift+F13", "Shift+F13"},
    {"f24", "F24"},
    {"Ctrl+Shift+pagedown", "Ctrl+Shift+PageDown"},
    {"ctrl+Z", "Ctrl+Z"},
};

TEST(DriveKeys, EveryShortcutKeyReachesTheProgramWithItsModifiers) {
    KeysHeard window;
    ASSERT_NE(window.window(), nullptr);
    std::vector<std::string> expected;
    for (const KeyRow& row : kKeys) {
        SCOPED_TRACE(row.combo);
        Outcome o = drive(std::string("key \"") + kKeysTitle + "\" " + row.combo);
        EXPECT_EQ(o.code, 0u) << o.err;
        expected.push_back(row.heard);
        EXPECT_TRUE(poll_until(kStepTimeout, [&] { return window.heard().size() >= expected.size(); }))
            << "waited " << kStepTimeout << " ms for " << row.heard << "; heard " << window.heard().size() << " keys";
        EXPECT_EQ(window.heard(), expected);
    }
}

// A window in front that keeps no focus takes no keys: the failure says
// where the focus is.
TEST(DriveKeys, AWindowWithoutTheFocusSaysWhereTheFocusIs) {
    KeysHeard window(false);
    ASSERT_NE(window.window(), nullptr);
    Outcome o = drive(std::string("--timeout 300ms key \"") + kKeysTitle + "\" A");
    EXPECT_EQ(o.code, 1u) << o.err;
    EXPECT_NE(o.err.find("has no focus after 300 ms; no window of its program has the focus"), std::string::npos)
        << o.err;
    EXPECT_TRUE(window.heard().empty());
}

// ---- Texts that change while drive reads them ----------------------------------------------

// A window of the test's own, on a thread of its own, whose text has grown
// after it answered its length: it answers WM_GETTEXTLENGTH with 2, as the
// length of an earlier text.
const char kGrowingTitle[] = "Growing text, read as it grows";

class GrowingText {
public:
    HWND window() const { return window_.window(); }

private:
    static LRESULT CALLBACK proc(HWND w, UINT message, WPARAM wparam, LPARAM lparam) {
        if (message == WM_GETTEXTLENGTH) return 2;
        if (message == WM_DESTROY) PostQuitMessage(0);
        return DefWindowProcA(w, message, wparam, lparam);
    }

    WindowThread window_{"KwGrowingText", kGrowingTitle, proc, nullptr};
};

// get prints the whole text, and expect sees it, where a read sized by the
// earlier length would cut it short.
TEST(DriveTexts, ATextThatGrewAfterItsLengthIsReadWhole) {
    GrowingText window;
    ASSERT_NE(window.window(), nullptr);
    std::string title = kGrowingTitle;
    Outcome o = drive("--timeout 300ms get \"" + title.substr(0, 7) + "*\" window text");
    EXPECT_EQ(o.code, 0u) << o.err;
    EXPECT_EQ(o.out, title + "\n");
    o = drive("--timeout 300ms expect \"" + title + "\" window text \"" + title + "\"");
    EXPECT_EQ(o.code, 0u) << o.err;
}

// ---- Texts across code pages --------------------------------------------------------------

// drive with the command, which must end with the code; its error output.
std::string drive_says(const std::string& args, DWORD code) {
    Outcome o = drive(args);
    EXPECT_EQ(o.code, code) << args << "\n" << o.err;
    return o.err;
}

std::string on_box(const std::string& verb, const std::string& rest) { return verb + " \"" + kBoxTitle + "\" " + rest; }

// Ends the box with Escape and wants its exit code 0.
void end_box(DWORD pid) {
    drive_says(on_box("key", "Escape"), 0);
    EXPECT_EQ(drive("exit " + std::to_string(pid) + " 20s").code, 0u);
}

// With the A calls in its loop, a program in code page 1252 keeps "ë" and
// turns "李" into "?": expect sees the "?" and names the character it stands for.
TEST(DriveTexts, ACharacterTheCodePageCannotKeepFailsNamingIt) {
    StartedPrograms programs;
    DWORD pid = programs.start(kBox);
    drive_says(on_box("type", "Zoë"), 0);
    drive_says(on_box("expect", "100 text Zoë"), 0);
    drive_says(on_box("type", "\" 李雷 Ελένη\""), 0);
    drive_says(on_box("expect", "100 text \"Zoë ?? ?????\""), 0);
    std::string err = drive_says("--timeout 300ms " + on_box("expect", "100 text \"Zoë 李雷 Ελένη\""), 1);
    EXPECT_NE(err.find("last saw \"Zoë ?? ?????\": character 5 is \"?\" (U+003F) where the script has \"李\" (U+674E)"),
              std::string::npos)
        << err;
    err = drive_says("--timeout 300ms " + on_box("expect", "100 text \"Zoë 王五 Ελένη\""), 1);
    EXPECT_NE(err.find("where the script has \"王\" (U+738B)"), std::string::npos) << err;
    end_box(pid);
}

// With the W calls in its loop, the same program's ANSI edit box keeps every
// typed character, though the program's own GetDlgItemTextA reads "?".
TEST(DriveTexts, EveryTypedCharacterReachesAWideLoopAsItself) {
    StartedPrograms programs;
    DWORD pid = programs.start(std::string(kBox) + " w");
    drive_says(on_box("type", "\"Zoë 李雷 Ελένη\""), 0);
    drive_says(on_box("expect", "100 text \"Zoë 李雷 Ελένη\""), 0);
    Outcome o = drive(on_box("get", "100 text"));
    EXPECT_EQ(o.out, "Zoë 李雷 Ελένη\n") << "get prints UTF-8";
    drive_says(on_box("key", "Enter"), 0);
    drive_says(on_box("expect", "101 text \"Zoë ?? ?????\""), 0);
    std::string err = drive_says("wait \"Boîte à textes\" 10ms", 1);
    EXPECT_NE(err.find("\"" + std::string(kBoxTitle) + "\""), std::string::npos) << "titles in UTF-8:\n" << err;
    end_box(pid);
}

}  // namespace
