#include "tools/drive/watcher.h"

#include <cstdio>
#include <vector>

#include "tools/common/numbers.h"
#include "tools/common/poll.h"
#include "tools/common/process.h"
#include "tools/common/window_find.h"
#include "tools/drive/program.h"

namespace {

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

// Whether the state is one that a watcher no longer changes.
bool settled(const State& state) {
    DWORD watcher = 0;
    if (state.word == "busy") return false;
    if (state.word != "running") return true;
    return !parse_decimal(state.rest, watcher) || !process_running(watcher);
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

// Waits for the watcher of program pid to record its end.
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

}  // namespace

// The program is made suspended, a watcher takes hold of it, and only then
// does it run, so that its end is recorded however soon it comes.
int start_watched(Session& s, const Words& words, DWORD limit) {
    Process program;
    if (!start_process(s, words, program, CREATE_SUSPENDED, Output::kDrivesError)) return 1;
    DWORD pid = program.id();
    DeleteFileA(state_file(pid).c_str());
    Process watcher;
    Words watch = {s.self, "watch", std::to_string(pid), std::to_string(limit)};
    State state;
    bool held = start_process(s, watch, watcher, DETACHED_PROCESS, Output::kNone);
    if (held) {
        poll_until(s.timeout, [&] {
            state = read_state(pid);
            return (!state.word.empty() && state.word != "busy") || !watcher.running();
        });
        held = state.word == "running";
        if (!held)
            s.error = "drive's watcher did not take hold of the program within " + ms_text(s.timeout) +
                      (state.word.empty() ? "" : ": " + state.rest);
    }
    if (!held) {
        // The watcher goes first, so that it records nothing more.
        watcher.end();
        program.end();
        DeleteFileA(state_file(pid).c_str());
        return 1;
    }
    watcher.release();
    program.resume();
    program.release();
    std::printf("%lu\n", pid);
    return 0;
}

int exit_started(Session& s, const Words& a, DWORD ms) {
    DWORD pid = 0;
    if (a.empty() && !only_started_program(s, pid)) return 1;
    if (!a.empty()) parse_decimal(a[0], pid);
    return exit_of_started(s, pid, ms);
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
    Process program;
    if (!program.open(pid)) {
        write_state(pid, "failed drive's watcher cannot open process " + a[0] + " (error " +
                             std::to_string(GetLastError()) + ")");
        return 1;
    }
    write_state(pid, "running " + std::to_string(GetCurrentProcessId()));
    if (program.wait(limit)) {
        write_state(pid, "ended " + std::to_string(program.exit_code()));
    } else {
        std::string titles = visible_titles();
        program.end();
        write_state(pid, "abandoned " + std::to_string(limit) + " " + titles);
    }
    return 0;
}
