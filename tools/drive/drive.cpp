// drive: plays running programs as a user would, from a shell or from a
// script of its commands, for people and for UI tests.
//
// Exit status 0 when the command (every line of a script) did what it says,
// 1 on a failure, which it explains in one line on stderr, 2 on bad usage.
#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "tools/common/numbers.h"
#include "tools/drive/program.h"
#include "tools/drive/verbs.h"

namespace {

// The lines of the file (UTF-8, a byte order mark at its start skipped).
bool read_lines(const std::string& path, std::vector<std::string>& lines) {
    FILE* f = _wfopen(utf16_of(path).c_str(), L"rb");
    if (f == nullptr) return false;
    std::string text;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) text.append(buf, n);
    std::fclose(f);
    std::size_t start = text.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return true;
}

// Says what went wrong with a command: a failure in one line, bad usage in
// one line and the verb's usage after it.
void report(int status, const std::string& place, const std::string& verb, const std::string& error) {
    if (status == 0) return;
    std::fprintf(stderr, "drive: %s%s\n", place.c_str(), error.c_str());
    std::string usage = verb_usage(verb);
    if (status == 2 && !usage.empty()) std::fprintf(stderr, "%s\n", usage.c_str());
}

// The words of one line of a script: 0, or 2 when the line is not UTF-8
// (named by its place and its first wrong byte) or leaves a quote open.
int line_words(const std::string& line, const std::string& place, Words& words) {
    std::size_t bad = utf8_error_at(line);
    if (bad != std::string::npos) {
        std::fprintf(stderr, "drive: %sthe line is not UTF-8: byte %zu is 0x%02X\n", place.c_str(), bad + 1,
                     static_cast<unsigned char>(line[bad]));
        return 2;
    }
    if (split_words(line, words)) return 0;
    std::fprintf(stderr, "drive: %sa quote is not closed\n", place.c_str());
    return 2;
}

// Saves a picture of the screen as a 24-bit BMP file: what a failed script
// leaves to see once it has ended its program.
bool save_screen(const std::string& path) {
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    if (width <= 0 || height <= 0) return false;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ before = SelectObject(memory, bitmap);
    bool ok = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY) != 0;
    SelectObject(memory, before);
    BITMAPINFOHEADER info = {};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // rows from the bottom up, as a BMP file keeps them
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    std::size_t row = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    std::vector<char> bits(row * static_cast<std::size_t>(height));
    ok = ok && GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), bits.data(),
                         reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS) == height;
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    if (!ok) return false;
    BITMAPFILEHEADER head = {};
    head.bfType = 0x4D42;  // "BM"
    head.bfOffBits = sizeof head + sizeof info;
    head.bfSize = static_cast<DWORD>(head.bfOffBits + bits.size());
    FILE* f = _wfopen(utf16_of(path).c_str(), L"wb");
    if (f == nullptr) return false;
    ok = std::fwrite(&head, sizeof head, 1, f) == 1 && std::fwrite(&info, sizeof info, 1, f) == 1 &&
         std::fwrite(bits.data(), 1, bits.size(), f) == bits.size();
    return std::fclose(f) == 0 && ok;
}

// After a failed line, with $KESTROWANE_DRIVE_PICTURE set: the screen as it
// was, saved there before the script ends its program.
void picture_of_failure() {
    wchar_t path[MAX_PATH] = {};
    DWORD n = GetEnvironmentVariableW(L"KESTROWANE_DRIVE_PICTURE", path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return;
    std::string where = utf8_of(path);
    if (save_screen(where)) {
        std::fprintf(stderr, "drive: the screen at the failure: %s\n", where.c_str());
    } else {
        std::fprintf(stderr, "drive: could not save the screen at the failure to %s\n", where.c_str());
    }
}

// script FILE [EXE [ARGS]]: every line is checked against the verb table
// first, and a script with a bad line plays none (each bad line is named).
// Then each line is echoed and run; the first failure ends the script with
// the line's place and what went wrong. The program ends with the script:
// a script that fails, or leaves it running, ends it (after a failure, with
// $KESTROWANE_DRIVE_PICTURE set, once the screen is saved there).
int run_script(Session& s, const Words& args) {
    std::vector<std::string> lines;
    if (!read_lines(args[0], lines)) {
        std::fprintf(stderr, "drive: cannot read the script %s: %s\n", quoted(args[0]).c_str(), std::strerror(errno));
        return 1;
    }
    s.in_script = true;
    if (args.size() > 1) s.program.assign(args.begin() + 1, args.end());
    std::vector<Words> script(lines.size());
    int bad = 0;
    for (std::size_t n = 0; n < lines.size(); ++n) {
        std::string place = args[0] + ":" + std::to_string(n + 1) + ": ";
        Words& words = script[n];
        if (line_words(lines[n], place, words) != 0) {
            bad = 2;
        } else if (!words.empty()) {
            int status = check_verb(s, words[0], Words(words.begin() + 1, words.end()));
            report(status, place, words[0], s.error);
            if (status != 0) bad = status;
        }
    }
    if (bad != 0) return bad;
    int status = 0;
    if (args.size() > 1) {
        status = run_verb(s, "start", {});
        report(status, "", "start", s.error);
    }
    for (std::size_t n = 0; status == 0 && n < script.size(); ++n) {
        if (script[n].empty()) continue;
        std::string place = args[0] + ":" + std::to_string(n + 1) + ": ";
        std::printf("%s%s\n", place.c_str(), joined(script[n]).c_str());
        std::fflush(stdout);
        const std::string& verb = script[n][0];
        status = run_verb(s, verb, Words(script[n].begin() + 1, script[n].end()));
        // A window that never came, or a control, may be the program's end.
        if (status == 1 && s.started.held() && !s.started.running())
            s.error += "; the program had ended, with exit code " + std::to_string(s.started.exit_code());
        report(status, place, verb, s.error);
    }
    if (status == 0 && s.started.held() && run_verb(s, "exit", {}) != 0) {
        std::fprintf(stderr, "drive: %s: at the end: %s\n", args[0].c_str(), s.error.c_str());
        status = 1;
    }
    if (status == 1) picture_of_failure();
    s.started.end();
    return status;
}

int run_command(Session& s, const std::string& verb, const Words& args) {
    if (verb == "script") {
        int status = check_verb(s, verb, args);
        if (status == 0) status = run_script(s, args);
        if (status == 2 && !s.in_script) report(status, "script: ", verb, s.error);
        return status;
    }
    int status = run_verb(s, verb, args);
    report(status, verb + ": ", verb, s.error);
    if (status == 2 && verb_usage(verb).empty()) print_usage(stderr);
    return status;
}

}  // namespace

// The words come from the platform's UTF-16 command line, as UTF-8: the
// argv of main holds them in the code page, where a character outside it is
// already "?".
int main() {
    Session s;
    wchar_t self[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    s.self = utf8_of(self);
    use_utf8_lines();
    Words args = command_line_words();
    std::size_t argc = args.size(), first = 1;
    if (argc == 2 && args[1] == "--verbs") {
        print_verbs(stdout);
        return 0;
    }
    if (argc > 1 && args[1] == "--timeout") {
        std::string bad = argc < 3                        ? "--timeout needs a time"
                          : !parse_ms(args[2], s.timeout) ? bad_ms("--timeout", args[2])
                          : s.timeout == 0                ? "--timeout must be more than 0 ms"
                                                          : "";
        if (!bad.empty()) {
            std::fprintf(stderr, "drive: %s\n", bad.c_str());
            return 2;
        }
        first = 3;
    }
    if (argc <= first || args[first] == "--help" || args[first] == "-h") {
        print_usage(argc <= first ? stderr : stdout);
        return argc <= first ? 2 : 0;
    }
    int status = run_command(s, args[first], Words(args.begin() + first + 1, args.end()));
    std::fflush(stdout);
    return status;
}
