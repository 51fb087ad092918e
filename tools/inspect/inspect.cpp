// inspect: prints the window tree of a running program's top-level window,
// found by its title (exactly, or by its start when TITLE ends in '*'), for
// people and scripts.
//
//   inspect TITLE [TIMEOUT]    wait up to TIMEOUT for it: milliseconds in
//                              decimal, with ms or s after them or nothing
//                              (default 10000)
//
// For the window and each descendant: class, id, text (UTF-8; bytes below
// 0x20, 0x7F, backslash and quote as \xNN), style and extended style,
// enabled/visible, the rectangle in pixels (screen for the top level, the
// parent's client area for a child) and in dialog units, the font; for the
// top level also the dialog's default id and the focus window. Each figure
// that is not read straight from the window says where it comes from.
//
// Exit status 0 when the window was found, 1 on a timeout, 2 on bad usage.
#include <windows.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "toolkit/units.h"
#include "tools/common/dialog_units.h"
#include "tools/common/numbers.h"
#include "tools/common/poll.h"
#include "tools/common/text.h"
#include "tools/common/window_find.h"

namespace {

// How many pixels 1000 dialog units are, and whether the window said so itself.
struct Scale {
    LONG x = 0;
    LONG y = 0;
    bool from_window = false;
};

// MapDialogRect on the window itself works only inside its own process; for a
// foreign dialog (Wine: error 1400) the reference dialog of this process, with
// the same 8-point "MS Sans Serif" font, stands in.
Scale scale_for(HWND top) {
    RECT r = {0, 0, 1000, 1000};
    if (MapDialogRect(top, &r)) return {r.right, r.bottom, true};
    std::printf("MapDialogRect on the window: refused (error %lu)\n", GetLastError());
    r = {0, 0, 1000, 1000};
    if (!map_reference_dialog_rect(r)) r = {0, 0, 0, 0};
    return {r.right, r.bottom, false};
}

void print_scale(const Scale& s) {
    std::printf("scale: %ld x %ld pixels per 1000 dialog units", s.x, s.y);
    if (s.from_window) {
        std::printf(" (MapDialogRect on the window itself)\n");
        return;
    }
    RECT base = {0, 0, 4, 8};
    map_reference_dialog_rect(base);
    std::printf(", base units %ld x %ld (MapDialogRect on a hidden 8-point \"MS Sans Serif\" dialog of this process)\n",
                base.right, base.bottom);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(reference_dialog(), WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    if (font != nullptr && GetObjectA(font, sizeof lf, &lf) != 0)
        std::printf("reference font: \"%s\" height %ld (WM_GETFONT of that dialog)\n", lf.lfFaceName, lf.lfHeight);
}

std::string escaped(const std::string& bytes) {
    std::string out;
    for (unsigned char c : bytes) {
        if (c < 0x20 || c == 0x7F || c == '\\' || c == '"') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

LONG units(LONG pixels, LONG scale) { return scale_pixels_to_units(pixels, scale); }

// Wine does not carry WM_GETFONT to another process: SendMessageTimeoutA fails
// without an error code and SendMessageA answers 0.
void print_font(HWND w, const char* indent) {
    bool foreign = window_process(w) != GetCurrentProcessId();
    DWORD_PTR answer = 0;
    SetLastError(ERROR_SUCCESS);
    BOOL answered = SendMessageTimeoutA(w, WM_GETFONT, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer) != 0;
    if (!answered && GetLastError() == ERROR_TIMEOUT) {
        std::printf("%sfont: no answer to WM_GETFONT within 2 s\n", indent);
        return;
    }
    if (answer == 0) {
        if (foreign) {
            std::printf("%sfont: unknown (not readable from another process)\n", indent);
        } else {
            std::printf("%sfont: the system font (WM_GETFONT 0)\n", indent);
        }
        return;
    }
    LOGFONTA lf = {};
    if (GetObjectA(reinterpret_cast<HFONT>(answer), sizeof lf, &lf) == 0) {
        std::printf("%sfont: handle 0x%08lX (WM_GETFONT), not readable in this process\n", indent,
                    static_cast<unsigned long>(answer));
        return;
    }
    std::printf("%sfont: \"%s\" height %ld (WM_GETFONT, GetObject)\n", indent, lf.lfFaceName, lf.lfHeight);
}

// A window handle as a number to print, whatever the pointer size.
unsigned long long handle_number(HWND w) { return reinterpret_cast<std::uintptr_t>(w); }

void print_header(HWND w, int depth) {
    std::string pad(2 * depth, ' ');
    std::printf("%s0x%08llX class \"%s\"", pad.c_str(), handle_number(w), class_name(w).c_str());
    if (depth > 0) std::printf(" id %d", GetDlgCtrlID(w));
    std::printf(" text \"%s\"\n", escaped(window_text(w)).c_str());
    std::printf("%s    style 0x%08lX exstyle 0x%08lX %s %s\n", pad.c_str(),
                static_cast<unsigned long>(GetWindowLongA(w, GWL_STYLE)),
                static_cast<unsigned long>(GetWindowLongA(w, GWL_EXSTYLE)), IsWindowEnabled(w) ? "enabled" : "disabled",
                IsWindowVisible(w) ? "visible" : "hidden");
}

void print_top_geometry(HWND w, const Scale& s) {
    RECT r = rect_in_parent(w);
    RECT c = {0, 0, 0, 0};
    GetClientRect(w, &c);
    std::printf("    pixels %ld,%ld to %ld,%ld (%ld x %ld) on the screen; client area %ld x %ld\n", r.left, r.top,
                r.right, r.bottom, r.right - r.left, r.bottom - r.top, c.right, c.bottom);
    std::printf("    dialog units: client area %ld x %ld (by the scale above)\n", units(c.right, s.x),
                units(c.bottom, s.y));
}

void print_child_geometry(HWND w, int depth, const Scale& s) {
    std::string pad(2 * depth + 4, ' ');
    RECT r = rect_in_parent(w);
    std::printf("%spixels %ld,%ld to %ld,%ld (%ld x %ld) in the parent's client area\n", pad.c_str(), r.left, r.top,
                r.right, r.bottom, r.right - r.left, r.bottom - r.top);
    LONG left = units(r.left, s.x), top = units(r.top, s.y);
    LONG right = units(r.right, s.x), bottom = units(r.bottom, s.y);
    std::printf("%sdialog units %ld,%ld to %ld,%ld (%ld x %ld) (edges by the scale above)\n", pad.c_str(), left, top,
                right, bottom, right - left, bottom - top);
}

void print_dialog_state(HWND top, HWND focus) {
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(top, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer)) {
        std::printf("    default id: no answer to DM_GETDEFID\n");
    } else if (HIWORD(answer) == DC_HASDEFID) {
        std::printf("    default id: %u (DM_GETDEFID)\n", LOWORD(answer));
    } else {
        std::printf("    default id: none (DM_GETDEFID answered 0x%08lX)\n", static_cast<unsigned long>(answer));
    }
    if (focus == nullptr) {
        std::printf("    focus: none in the window's thread (GetGUIThreadInfo)\n");
    } else {
        std::printf("    focus: 0x%08llX class \"%s\" id %d (GetGUIThreadInfo)\n", handle_number(focus),
                    class_name(focus).c_str(), GetDlgCtrlID(focus));
    }
}

void print_children(HWND parent, int depth, const Scale& s, HWND focus) {
    for (HWND w = GetWindow(parent, GW_CHILD); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        print_header(w, depth);
        print_child_geometry(w, depth, s);
        std::string pad(2 * depth + 4, ' ');
        print_font(w, pad.c_str());
        if (w == focus) std::printf("%shas the focus\n", pad.c_str());
        print_children(w, depth + 1, s, focus);
    }
}

const char kUsage[] =
    "usage: inspect TITLE [TIMEOUT]\n"
    "\n"
    "Prints the window tree of the visible top-level window with that title\n"
    "(one that ends in * matches any title that starts with the rest): for\n"
    "each window its class, id, text (UTF-8), styles, state, rectangle in\n"
    "pixels and dialog units and font, for the top level its default id and\n"
    "focus. It waits for the window up to TIMEOUT: 250 or 250ms, or 5s for\n"
    "seconds (10000 ms unless given). Exit status 0 when the window was\n"
    "found, 1 when it did not come, 2 on bad usage.\n";

}  // namespace

int main() {
    use_utf8_lines();
    Words argv = command_line_words();  // the title in UTF-8, as the platform keeps it
    std::size_t argc = argv.size();
    if (argc == 2 && (argv[1] == "--help" || argv[1] == "-h")) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "inspect: takes a TITLE and an optional TIMEOUT, not %zu arguments\n%s", argc - 1, kUsage);
        return 2;
    }
    DWORD ms = 10000;
    if (argc > 2 && !parse_ms(argv[2], ms)) {
        std::fprintf(stderr, "inspect: %s\n%s", bad_ms("TIMEOUT", argv[2]).c_str(), kUsage);
        return 2;
    }
    HWND top = nullptr;
    if (!poll_until(ms, [&] { return (top = find_window(argv[1].c_str())) != nullptr; })) {
        std::fprintf(stderr, "inspect: no window %s within %lu ms; visible windows: %s\n", quoted(argv[1]).c_str(), ms,
                     visible_titles().c_str());
        return 1;
    }
    Scale s = scale_for(top);
    print_scale(s);
    HWND focus = focus_of(top);
    print_header(top, 0);
    print_top_geometry(top, s);
    print_font(top, "    ");
    print_dialog_state(top, focus);
    print_children(top, 1, s, focus);
    std::fflush(stdout);
    return 0;
}
