#include "tools/drive/program.h"

#include <cstdio>

#include "tools/common/numbers.h"
#include "tools/common/window_find.h"
#include "tools/drive/watcher.h"

namespace {

// The words from first on: the program's path and its arguments.
Words program_words(const Words& args, std::size_t first) { return Words(args.begin() + first, args.end()); }

bool inheritable(HANDLE h) {
    return h != nullptr && h != INVALID_HANDLE_VALUE &&
           SetHandleInformation(h, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
}

// Waits up to ms for the program to end; false with the error set when it
// still runs.
bool wait_exit(Session& s, const Process& p, DWORD ms) {
    if (p.wait(ms)) return true;
    s.error = "the program still runs after " + ms_text(ms) + "; visible windows: " + visible_titles();
    return false;
}

// An optional "--limit MS" at a[first]: first moves past it, to the
// program's path if there is one. 0, or 2 with the error set when the time
// is missing, bad or 0, or the path is empty.
int limit_option(Session& s, const Words& a, std::size_t& first, DWORD& limit) {
    limit = kProgramLimit;
    if (first < a.size() && a[first] == "--limit") {
        if (first + 1 >= a.size()) return bad_usage(s, "--limit needs a time");
        if (!parse_ms(a[first + 1], limit)) return bad_usage(s, bad_ms("--limit", a[first + 1]));
        if (limit == 0) return bad_usage(s, "--limit must be more than 0 ms");
        first += 2;
    }
    return first < a.size() && a[first].empty() ? bad_usage(s, "EXE is empty: give the program's path") : 0;
}

}  // namespace

// The program writes to drive's standard error, and to its output while
// drive waits for it, so that a checked program's reports land in drive's
// log (a GUI program on Windows gets no standard handles otherwise; Wine
// hands them on anyway). A program that outlives drive gets no handle of
// drive's output (a shell reading that through a pipe would wait for the
// program to end), and a detached watcher gets none at all.
bool start_process(Session& s, const Words& words, Process& p, DWORD flags, Output output) {
    StandardHandles handles;
    handles.output = GetStdHandle(STD_OUTPUT_HANDLE);
    handles.error = GetStdHandle(STD_ERROR_HANDLE);
    if (output == Output::kDrivesError) {
        // Every inheritable handle goes to the program, so drive's output
        // (itself inherited, so inheritable) must stop being one.
        SetHandleInformation(handles.output, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(GetStdHandle(STD_INPUT_HANDLE), HANDLE_FLAG_INHERIT, 0);
        handles.output = handles.error;
    }
    if (output == Output::kDrives) handles.input = GetStdHandle(STD_INPUT_HANDLE);
    bool inherit = output != Output::kNone && inheritable(handles.output) && inheritable(handles.error);
    if (p.start(command_line_of(words), s.error, inherit ? &handles : nullptr, flags)) return true;
    // A program of the other architecture than drive's may not start at all
    // (Wine on a kernel that refuses 32-bit code ends its start with error
    // 1359), and where it starts, drive's menu hook cannot go into it.
    DWORD type = 0;
    const DWORD own = sizeof(void*) == 8 ? SCS_64BIT_BINARY : SCS_32BIT_BINARY;
    if (GetBinaryTypeW(utf16_of(words[0]).c_str(), &type) && (type == SCS_32BIT_BINARY || type == SCS_64BIT_BINARY) &&
        type != own)
        s.error += std::string("; it is a ") + (type == SCS_64BIT_BINARY ? "64" : "32") +
                   "-bit program and this drive is " + (own == SCS_64BIT_BINARY ? "64" : "32") +
                   "-bit: play it with the drive of its architecture";
    return false;
}

int exit_code_result(Session& s, DWORD code) {
    std::printf("exit code %lu\n", code);
    return code == 0 ? 0 : fail(s, "the program ended with exit code " + std::to_string(code));
}

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
    if (!s.in_script) return start_watched(s, program_words(a, first), limit);
    return start_process(s, a.empty() ? s.program : a, s.started, 0, Output::kDrives) ? 0 : 1;
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
        if (!s.started.held()) return fail(s, "no program was started");
        if (!wait_exit(s, s.started, ms)) return 1;
        DWORD code = s.started.exit_code();
        s.started.release();
        return exit_code_result(s, code);
    }
    return exit_started(s, a, ms);
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
    Process program;
    if (!start_process(s, program_words(a, first), program, 0, Output::kDrives)) return 1;
    if (!wait_exit(s, program, limit)) {
        program.end();
        return fail(s, s.error + "; drive ended it");
    }
    std::printf("exit code %lu\n", program.exit_code());
    return 0;
}
