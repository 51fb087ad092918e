#include "tools/drive_program.h"

#include <cstdio>
#include <vector>

#include "tools/numbers.h"
#include "tools/poll.h"
#include "tools/window_find.h"

namespace {

std::string ms_text(DWORD ms) { return std::to_string(ms) + " ms"; }

// The words from first on: the program's path and its arguments.
Words program_words(const Words& args, std::size_t first) { return Words(args.begin() + first, args.end()); }

bool inheritable(HANDLE h) {
    return h != nullptr && h != INVALID_HANDLE_VALUE &&
           SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

// How a program started by drive gets its standard handles.
enum class Output {
    kDrives,       // drive's own output and error: drive waits for the program (run, a script)
    kDrivesError,  // drive's error for both: drive ends first (start from the command line)
    kNone,         // none at all (a detached watcher)
};

// The program writes to drive's standard error, and to its output while
// drive waits for it, so that a checked program's reports land in drive's
// log (a GUI program on Windows gets no standard handles otherwise; Wine
// hands them on anyway). A program that outlives drive gets no handle of
// drive's output (a shell reading that through a pipe would wait for the
// program to end), and a detached watcher gets none at all.
bool start_process(Session& s, const Words& words, PROCESS_INFORMATION& pi, DWORD flags, Output output) {
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (output == Output::kDrivesError) {
        // Every inheritable handle goes to the program, so drive's output
        // (itself inherited, so inheritable) must stop being one.
        SetHandleInformation(out, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(GetStdHandle(STD_INPUT_HANDLE), HANDLE_FLAG_INHERIT, 0);
        out = err;
    }
    BOOL inherit = output != Output::kNone && inheritable(out) && inheritable(err);
    if (inherit) {
        si.dwFlags = STARTF_USESTDHANDLES;
        si.hStdInput = output == Output::kDrives ? GetStdHandle(STD_INPUT_HANDLE) : nullptr;
        si.hStdOutput = out;
        si.hStdError = err;
    }
    std::string line = command_line_of(words);
    std::wstring wide = utf16_of(line);
    if (CreateProcessW(nullptr, &wide[0], nullptr, nullptr, inherit, flags, nullptr, nullptr, &si, &pi)) return true;
    s.error = "cannot start " + line + " (error " + std::to_string(GetLastError()) + ")";
    return false;
}

void close_process(PROCESS_INFORMATION& pi) {
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

// Ends a process that still runs, waiting a little for it to go.
void end_process(HANDLE process) {
    if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) return;
    TerminateProcess(process, 0xDEAD);
    WaitForSingleObject(process, 5000);
}

// Waits up to ms for the process to end; false with the error set when it
// still runs.
bool wait_exit(Session& s, HANDLE process, DWORD ms, DWORD& code) {
    if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0) {
        s.error = "the program still runs after " + ms_text(ms) + "; visible windows: " + visible_titles();
        return false;
    }
    code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return true;
}

int exit_code_result(Session& s, DWORD code) {
    std::printf("exit code %lu\n", code);
    return code == 0 ? 0 : fail(s, "the program ended with exit code " + std::to_string(code));
}

// An optional "--limit MS" at a[first]: first moves past it. 0, or 2 with
// the error set when the time is missing or bad.
int limit_option(Session& s, const Words& a, std::size_t& first, DWORD& limit) {
    limit = kProgramLimit;
    if (first >= a.size() || a[first] != "--limit") return 0;
    if (first + 1 >= a.size()) return bad_usage(s, "--limit needs a time");
    if (!parse_ms(a[first + 1], limit)) return bad_usage(s, bad_ms("--limit", a[first + 1]));
    first += 2;
    return 0;
}

// ---- Programs started from the command line ------------------------------------------

// Each program that `drive start` leaves running has a state file in the
// user's temporary folder, named after its process id, of one line: "running
// W" while watcher W waits for it, "ended CODE", "abandoned MS TITLES" when
// the watcher ended it at its limit, or "failed WHY". exit removes the file
// once it has read the end.
const char kStatePrefix[] = "kestrowane-drive-";

std::string temp_folder() {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return folder;
}

std::string state_file(DWORD pid) { return temp_folder() + kStatePrefix + std::to_string(pid) + ".txt"; }

// Writes the state whole: a reader sees the old state or the new one.
void write_state(DWORD pid, const std::string& text) {
    std::string temporary = state_file(pid) + ".new";
    FILE* f = std::fopen(temporary.c_str(), "wb");
    if (f == nullptr) return;
    std::fputs(text.c_str(), f);
    std::fclose(f);
    // A reader shares the file for deletion, so the replacement goes through
    // but for a moment of the platform's own; it is tried for up to a second.
    std::string target = state_file(pid);
    poll_until(1000, [&] { return MoveFileExA(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) != 0; });
}

struct State {
    std::string word;  // "running", "ended", "abandoned", "failed", "busy", or "" for no state file
    std::string rest;
};

// The state of the program, "busy" while the file cannot be read (being
// replaced), or no word when there is no file.
State read_state(DWORD pid) {
    HANDLE file =
        CreateFileA(state_file(pid).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return {error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "" : "busy", ""};
    }
    char buf[4096];
    DWORD got = 0;
    std::string text;
    while (text.size() < 65536 && ReadFile(file, buf, sizeof buf, &got, nullptr) && got > 0) text.append(buf, got);
    CloseHandle(file);
    std::size_t blank = text.find(' ');
    if (blank == std::string::npos) return {text, ""};
    return {text.substr(0, blank), text.substr(blank + 1)};
}

bool process_lives(DWORD pid) {
    HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, pid);
    if (process == nullptr) return false;
    bool lives = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
    CloseHandle(process);
    return lives;
}

// Whether the state is one that a watcher no longer changes.
bool settled(const State& state) {
    DWORD watcher = 0;
    if (state.word == "busy") return false;
    if (state.word != "running") return true;
    return !parse_decimal(state.rest, watcher) || !process_lives(watcher);
}

// The process ids of the programs started from the command line that no exit
// has read the end of. A state that says running while its watcher is gone
// (ended with the Wine server) is dropped.
std::vector<DWORD> started_programs() {
    std::vector<DWORD> pids;
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((temp_folder() + kStatePrefix + "*.txt").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return pids;
    const std::size_t prefix = sizeof kStatePrefix - 1;
    do {
        std::string name = found.cFileName;
        DWORD pid = 0;
        if (name.size() <= prefix + 4 || !parse_decimal(name.substr(prefix, name.size() - prefix - 4), pid)) continue;
        State state = read_state(pid);
        // A watcher writes its last state before it ends: read again once it is gone.
        if (state.word == "running" && settled(state) && (state = read_state(pid)).word == "running") {
            DeleteFileA(state_file(pid).c_str());
            continue;
        }
        if (!state.word.empty()) pids.push_back(pid);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    return pids;
}

// The one program started from the command line and not yet waited for.
bool only_started_program(Session& s, DWORD& pid) {
    std::vector<DWORD> pids = started_programs();
    if (pids.size() == 1) {
        pid = pids[0];
        return true;
    }
    if (pids.empty()) {
        s.error = "no program was started with drive start (or exit has read its end)";
        return false;
    }
    std::string list;
    for (DWORD p : pids) list += (list.empty() ? "" : ", ") + std::to_string(p);
    s.error = "programs " + list + " were started with drive start; say which one: exit PID [MS]";
    return false;
}

// exit for a program started from the command line: waits for its watcher
// to record its end.
int exit_of_started(Session& s, DWORD pid, DWORD ms) {
    State state;
    bool done = poll_until(ms, [&] { return settled(state = read_state(pid)); });
    // The state read may be older than the watcher's end, which it writes
    // before it ends: once the watcher is gone, its last state is on file.
    if (done && state.word == "running") state = read_state(pid);
    std::string program = "program " + std::to_string(pid);
    if (!done) return fail(s, program + " still runs after " + ms_text(ms) + "; visible windows: " + visible_titles());
    if (state.word.empty())
        return fail(s, "no " + program + " was started with drive start (or exit has read its end)");
    DeleteFileA(state_file(pid).c_str());
    DWORD code = 0;
    if (state.word == "ended" && parse_decimal(state.rest, code)) return exit_code_result(s, code);
    if (state.word == "abandoned") {
        std::size_t blank = state.rest.find(' ');
        return fail(s, program + " still ran when its limit of " + state.rest.substr(0, blank) +
                           " ms ran out, and drive ended it; visible windows then: " + state.rest.substr(blank + 1));
    }
    if (state.word == "failed") return fail(s, state.rest);
    return fail(s, "drive's watcher of " + program + " ended before the program did");
}

// start from the command line: the program is made suspended, a watcher
// takes hold of it, and only then does it run, so that its end is recorded
// however soon it comes.
int start_watched(Session& s, const Words& a, std::size_t first, DWORD limit) {
    PROCESS_INFORMATION pi = {};
    if (!start_process(s, program_words(a, first), pi, CREATE_SUSPENDED, Output::kDrivesError)) return 1;
    DWORD pid = pi.dwProcessId;
    DeleteFileA(state_file(pid).c_str());
    PROCESS_INFORMATION watcher = {};
    Words watch = {s.self, "watch", std::to_string(pid), std::to_string(limit)};
    State state;
    bool held = start_process(s, watch, watcher, DETACHED_PROCESS, Output::kNone);
    if (held) {
        poll_until(s.timeout, [&] {
            state = read_state(pid);
            return (!state.word.empty() && state.word != "busy") ||
                   WaitForSingleObject(watcher.hProcess, 0) == WAIT_OBJECT_0;
        });
        close_process(watcher);
        held = state.word == "running";
        if (!held)
            s.error = "drive's watcher did not take hold of the program within " + ms_text(s.timeout) +
                      (state.word.empty() ? "" : ": " + state.rest);
    }
    if (!held) {
        end_process(pi.hProcess);
        DeleteFileA(state_file(pid).c_str());
    } else {
        ResumeThread(pi.hThread);
        std::printf("%lu\n", pid);
    }
    close_process(pi);
    return held ? 0 : 1;
}

}  // namespace

int check_start(Session& s, const Words& a) {
    std::size_t first = 0;
    DWORD limit = 0;
    if (int bad = limit_option(s, a, first, limit)) return bad;
    if (!s.in_script) return first < a.size() ? 0 : bad_usage(s, "start needs the program to start");
    if (first > 0) return bad_usage(s, "in a script the program lives as long as the script: start takes no --limit");
    if (a.empty() && s.program.empty()) return bad_usage(s, "start needs the program to start (the script has none)");
    return 0;
}

int verb_start(Session& s, const Words& a) {
    std::size_t first = 0;
    DWORD limit = 0;
    limit_option(s, a, first, limit);
    if (!s.in_script) return start_watched(s, a, first, limit);
    end_program(s);
    if (!start_process(s, a.empty() ? s.program : a, s.process, 0, Output::kDrives)) return 1;
    s.has_process = true;
    return 0;
}

int check_exit(Session& s, const Words& a) {
    DWORD n = 0;
    std::size_t ms_at = s.in_script ? 0 : 1;
    if (s.in_script && a.size() > 1) return bad_usage(s, "in a script, exit takes only MS");
    if (!s.in_script && !a.empty() && !parse_decimal(a[0], n))
        return bad_usage(s, "PID \"" + a[0] + "\" is not a process id: give the number that start printed");
    if (a.size() > ms_at && !parse_ms(a[ms_at], n)) return bad_usage(s, bad_ms("MS", a[ms_at]));
    return 0;
}

int verb_exit(Session& s, const Words& a) {
    DWORD ms = s.timeout;
    std::size_t ms_at = s.in_script ? 0 : 1;
    if (a.size() > ms_at) parse_ms(a[ms_at], ms);
    if (s.in_script) {
        if (!s.has_process) return fail(s, "no program was started");
        DWORD code = 0;
        if (!wait_exit(s, s.process.hProcess, ms, code)) return 1;
        close_process(s.process);
        s.has_process = false;
        return exit_code_result(s, code);
    }
    DWORD pid = 0;
    if (a.empty() && !only_started_program(s, pid)) return 1;
    if (!a.empty()) parse_decimal(a[0], pid);
    return exit_of_started(s, pid, ms);
}

int check_run(Session& s, const Words& a) {
    std::size_t first = 0;
    DWORD limit = 0;
    if (int bad = limit_option(s, a, first, limit)) return bad;
    return first < a.size() ? 0 : bad_usage(s, "run needs the program to run");
}

int verb_run(Session& s, const Words& a) {
    std::size_t first = 0;
    DWORD limit = 0;
    limit_option(s, a, first, limit);
    PROCESS_INFORMATION pi = {};
    if (!start_process(s, program_words(a, first), pi, 0, Output::kDrives)) return 1;
    DWORD code = 0;
    bool ended = wait_exit(s, pi.hProcess, limit, code);
    if (!ended) {
        end_process(pi.hProcess);
        s.error += "; drive ended it";
    }
    close_process(pi);
    if (!ended) return 1;
    std::printf("exit code %lu\n", code);
    return 0;
}

int check_watch(Session& s, const Words& a) {
    DWORD n = 0;
    return parse_decimal(a[0], n) && parse_ms(a[1], n) ? 0 : bad_usage(s, "watch takes a process id and a time");
}

int verb_watch(Session&, const Words& a) {
    DWORD pid = 0;
    DWORD limit = 0;
    parse_decimal(a[0], pid);
    parse_ms(a[1], limit);
    HANDLE program = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_INFORMATION | PROCESS_TERMINATE, FALSE, pid);
    if (program == nullptr) {
        write_state(pid, "failed drive's watcher cannot open process " + a[0] + " (error " +
                             std::to_string(GetLastError()) + ")");
        return 1;
    }
    write_state(pid, "running " + std::to_string(GetCurrentProcessId()));
    DWORD code = STILL_ACTIVE;
    if (WaitForSingleObject(program, limit) == WAIT_OBJECT_0 && GetExitCodeProcess(program, &code)) {
        write_state(pid, "ended " + std::to_string(code));
    } else {
        std::string titles = visible_titles();
        end_process(program);
        write_state(pid, "abandoned " + std::to_string(limit) + " " + titles);
    }
    CloseHandle(program);
    return 0;
}

void end_program(Session& s) {
    if (!s.has_process) return;
    end_process(s.process.hProcess);
    close_process(s.process);
    s.has_process = false;
}
