// drive: plays running programs as a user would, from a shell or from a
// script of its commands, for people and for UI tests.
//
// Exit status 0 when the command (every line of a script) did what it says,
// 1 on a failure, which it explains in one line on stderr, 2 on bad usage.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "tools/drive_verbs.h"

namespace {

const char kUsage[] =
    "usage: drive [--timeout MS] VERB ARGS...\n"
    "\n"
    "TITLE is a top-level window's title; one that ends in * matches any title\n"
    "that starts with the rest. ID is a control's id, its text (ampersands\n"
    "ignored) or the word window for the window itself. Each verb waits for\n"
    "what it needs up to the timeout (10000 ms unless --timeout or MS says).\n"
    "\n"
    "  wait TITLE [MS]              wait until a visible window has that title\n"
    "  gone TITLE [MS]              wait until no visible window has it\n"
    "  type [TITLE] TEXT            type the text into the focus (TITLE: bring\n"
    "                               that window to the front first)\n"
    "  key [TITLE] COMBO            press a key: Enter, Escape, Tab, Space,\n"
    "                               Backspace, Delete, Insert, Home, End,\n"
    "                               PageUp, PageDown, Up, Down, Left, Right,\n"
    "                               F1...F12, a letter, digit or sign; with\n"
    "                               Ctrl+, Alt+, Shift+ before it (Alt+F4)\n"
    "  click TITLE ID               click the control in its middle\n"
    "  select TITLE ID N|TEXT       select a list or combo box item by its\n"
    "                               number from 1 or its text, with the mouse\n"
    "  menu TITLE PATH              choose a menu bar item, e.g. File>Exit\n"
    "  get TITLE ID FACT            print a fact: text, check, selected (item\n"
    "                               number, 0 for none), enabled, focus,\n"
    "                               visible (1 or 0), count (list items)\n"
    "  expect TITLE ID FACT VALUE   wait until the fact reads VALUE\n"
    "  start EXE [ARGS]             start a program without waiting\n"
    "  exit [MS]                    wait for it to end, print its exit code;\n"
    "                               fails unless the code is 0\n"
    "  run EXE [ARGS]               start a program, wait, print its exit code\n"
    "  script FILE [EXE [ARGS]]     run FILE's lines, each a command without\n"
    "                               the word drive (\"quotes\" keep blanks, #\n"
    "                               starts a comment, timeout MS sets the\n"
    "                               limit); with EXE, start it first (start\n"
    "                               alone starts it again) and require its\n"
    "                               exit code 0 at the end. Texts are UTF-8.\n";

int usage() {
    std::fputs(kUsage, stderr);
    return 2;
}

// Splits a script line into words: blanks separate them, double quotes keep
// blanks inside a word (\" and \\ stand for " and \ there), and # outside
// quotes starts a comment. False for a quote left open.
bool split_line(const std::string& line, Words& words) {
    words.clear();
    std::size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#') break;
        std::string word;
        if (c != '"') {
            while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') word += line[i++];
            words.push_back(word);
            continue;
        }
        for (++i;; ++i) {
            if (i >= line.size()) return false;
            if (line[i] == '"') break;
            if (line[i] == '\\' && i + 1 < line.size() && (line[i + 1] == '"' || line[i + 1] == '\\')) ++i;
            word += line[i];
        }
        ++i;
        words.push_back(word);
    }
    return true;
}

std::string joined(const Words& words) {
    std::string line;
    for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
    return line;
}

bool read_lines(const char* path, std::vector<std::string>& lines) {
    FILE* f = std::fopen(path, "rb");
    if (f == nullptr) return false;
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

// script FILE [EXE [ARGS]]: each line echoed, then run; the first failure
// ends the script with the line's place and what went wrong. The program is
// left running then, so that its state can be seen.
int run_script(Session& s, const Words& args) {
    std::vector<std::string> lines;
    if (!read_lines(args[0].c_str(), lines)) {
        std::fprintf(stderr, "drive: cannot read the script %s\n", args[0].c_str());
        return 1;
    }
    s.in_script = true;
    if (args.size() > 1) {
        s.program.assign(args.begin() + 1, args.end());
        if (run_verb(s, "start", {}) != 0) {
            std::fprintf(stderr, "drive: %s\n", s.error.c_str());
            return 1;
        }
    }
    for (std::size_t n = 0; n < lines.size(); ++n) {
        Words words;
        std::string place = args[0] + ":" + std::to_string(n + 1) + ": ";
        if (!split_line(lines[n], words)) {
            std::fprintf(stderr, "drive: %sa quote is not closed\n", place.c_str());
            return 2;
        }
        if (words.empty()) continue;
        std::printf("%s%s\n", place.c_str(), joined(words).c_str());
        std::fflush(stdout);
        std::string verb = words[0];
        words.erase(words.begin());
        for (std::string& w : words) w = from_utf8(w);
        int status = verb == "script" || verb == "watch" ? 2 : run_verb(s, verb, words);
        if (status == 2) std::fprintf(stderr, "drive: %sbad command (see drive's usage)\n", place.c_str());
        if (status == 1) std::fprintf(stderr, "drive: %s%s\n", place.c_str(), s.error.c_str());
        if (status != 0) return status;
    }
    if (!s.has_process) return 0;
    if (run_verb(s, "exit", {}) == 0) return 0;
    std::fprintf(stderr, "drive: %s: at the end: %s\n", args[0].c_str(), s.error.c_str());
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    Session s;
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, sizeof self);
    s.self = self;
    int first = 1;
    if (argc > 2 && std::strcmp(argv[1], "--timeout") == 0) {
        s.timeout = std::strtoul(argv[2], nullptr, 10);
        first = 3;
    }
    if (argc <= first || s.timeout == 0) return usage();
    std::string verb = argv[first];
    Words args(argv + first + 1, argv + argc);
    if (verb == "script") {
        if (args.empty()) return usage();
        int status = run_script(s, args);
        std::fflush(stdout);
        return status == 2 ? usage() : status;
    }
    int status = run_verb(s, verb, args);
    if (status == 2) return usage();
    if (status == 1) std::fprintf(stderr, "drive: %s: %s\n", verb.c_str(), s.error.c_str());
    return status;
}
