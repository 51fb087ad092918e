#include "tools/drive/verbs.h"

#include "tools/common/input.h"
#include "tools/common/lists.h"
#include "tools/common/numbers.h"
#include "tools/common/poll.h"
#include "tools/common/window_find.h"
#include "tools/drive/menu.h"
#include "tools/drive/program.h"
#include "tools/drive/watcher.h"

namespace {

// The optional time at a[i], or the session's limit; 2 with the error set
// when it is no time.
int ms_arg(Session& s, const Words& a, std::size_t i, DWORD& ms) {
    ms = s.timeout;
    if (a.size() <= i || parse_ms(a[i], ms)) return 0;
    return bad_usage(s, bad_ms("MS", a[i]));
}

// ---- Windows and controls ------------------------------------------------------------

struct TextSearch {
    const std::string* text;
    HWND found;
};

BOOL CALLBACK match_child_text(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<TextSearch*>(param);
    if (without_ampersands(window_text(w)) != *s->text) return TRUE;
    s->found = w;
    return FALSE;
}

// The control that spec names inside top: "window" for top itself, a
// decimal number for the child with that id, else the first descendant whose
// text is spec (ampersands ignored).
HWND control_of(HWND top, const std::string& spec) {
    if (spec == "window") return top;
    DWORD id = 0;
    if (parse_decimal(spec, id)) return GetDlgItem(top, static_cast<int>(id));
    std::string text = without_ampersands(spec);
    TextSearch search = {&text, nullptr};
    EnumChildWindows(top, match_child_text, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

BOOL CALLBACK add_control_name(HWND w, LPARAM param) {
    auto* names = reinterpret_cast<std::string*>(param);
    if (!names->empty()) *names += ", ";
    *names += std::to_string(GetDlgCtrlID(w)) + " " + quoted(without_ampersands(window_text(w)));
    return TRUE;
}

// What a "no control" failure shows instead: each control of the window as
// its id and its text (ampersands left out, as ID takes it).
std::string controls_of(HWND top) {
    std::string names;
    EnumChildWindows(top, add_control_name, reinterpret_cast<LPARAM>(&names));
    return names.empty() ? "none" : names;
}

std::string no_window(const std::string& title, DWORD ms) {
    return "no window " + quoted(title) + " within " + ms_text(ms) + "; visible windows: " + visible_titles();
}

// Waits for the window; false with the error set.
bool find_top(Session& s, const std::string& title, DWORD ms, HWND& top) {
    top = nullptr;
    if (poll_until(ms, [&] { return (top = find_window(title.c_str())) != nullptr; })) return true;
    s.error = no_window(title, ms);
    return false;
}

// Waits for the window and its control; false with the error set.
bool find_control(Session& s, const std::string& title, const std::string& spec, HWND& top, HWND& control) {
    top = control = nullptr;
    bool found = poll_until(s.timeout, [&] {
        top = find_window(title.c_str());
        control = top != nullptr ? control_of(top, spec) : nullptr;
        return control != nullptr;
    });
    if (found) return true;
    if (top == nullptr) {
        s.error = no_window(title, s.timeout);
    } else {
        s.error = "window " + quoted(title) + " has no control " + quoted(spec) + " within " + ms_text(s.timeout) +
                  "; its controls: " + controls_of(top);
    }
    return false;
}

// Brings top to the foreground, as a click on it would, and waits for it.
bool bring_to_front(Session& s, HWND top) {
    if (GetForegroundWindow() == top) return true;
    SetForegroundWindow(top);
    if (poll_until(s.timeout, [&] { return GetForegroundWindow() == top; })) return true;
    s.error = "window " + quoted(window_text(top)) + " did not come to the front within " + ms_text(s.timeout) +
              "; the front window is " + quoted(window_text(GetForegroundWindow()));
    return false;
}

// Waits until a user could use the control: shown, enabled, in an enabled
// top-level window that is in front.
bool wait_usable(Session& s, HWND top, HWND control) {
    bool usable = poll_until(
        s.timeout, [&] { return IsWindowVisible(control) && IsWindowEnabled(control) && IsWindowEnabled(top); });
    if (!usable) {
        const char* why = !IsWindowVisible(control)   ? "hidden"
                          : !IsWindowEnabled(control) ? "disabled"
                                                      : "in a disabled window";
        s.error = "control " + quoted(window_text(control)) + " (id " + std::to_string(GetDlgCtrlID(control)) +
                  ") of " + quoted(window_text(top)) + " stayed " + why + " for " + ms_text(s.timeout);
        return false;
    }
    return bring_to_front(s, top);
}

// ---- Facts about controls ------------------------------------------------------------

const char* const kFacts[] = {"text", "check", "selected", "enabled", "focus", "visible", "count"};

int check_fact(Session& s, const std::string& fact) {
    for (const char* f : kFacts)
        if (fact == f) return 0;
    return bad_usage(s, "no fact " + quoted(fact) + ": text, check, selected, enabled, focus, visible or count");
}

// One fact about a control, as text. A list box's text is its selected
// item's; selected is the selected item's index from 1, or 0 for none.
std::string fact_of(HWND top, HWND control, const std::string& fact) {
    ListKind kind = list_kind(control);
    if (fact == "text") {
        if (kind != ListKind::kList) return window_text(control);
        int i = selected_index(control);
        return i < 0 ? "" : list_item_text(control, i, false);
    }
    if (fact == "check") return std::to_string(SendMessageA(control, BM_GETCHECK, 0, 0));
    if (fact == "selected") return kind == ListKind::kNone ? "0" : std::to_string(selected_index(control) + 1);
    if (fact == "count") return std::to_string(item_count(control));
    if (fact == "enabled") return IsWindowEnabled(control) ? "1" : "0";
    if (fact == "visible") return IsWindowVisible(control) ? "1" : "0";
    HWND focus = focus_of(top);
    return focus == control || (focus != nullptr && GetParent(focus) == control) ? "1" : "0";  // a combo's edit
}

// ---- The checks of arguments ------------------------------------------------------------

// wait and gone: an optional time after the title.
int check_ms_after_title(Session& s, const Words& a) {
    DWORD ms = 0;
    return ms_arg(s, a, 1, ms);
}

// get and expect: a known fact.
int check_fact_arg(Session& s, const Words& a) { return check_fact(s, a[2]); }

// key: a combination of known keys.
int check_key(Session& s, const Words& a) { return combo_known(a.back(), s.error) ? 0 : 2; }

int check_timeout(Session& s, const Words& a) {
    DWORD ms = 0;
    if (!parse_ms(a[0], ms)) return bad_usage(s, bad_ms("MS", a[0]));
    return ms == 0 ? bad_usage(s, "the timeout must be more than 0 ms") : 0;
}

// ---- The verbs about windows ------------------------------------------------------------

int verb_wait(Session& s, const Words& a) {
    DWORD ms = 0;
    if (int bad = ms_arg(s, a, 1, ms)) return bad;
    HWND top = nullptr;
    return find_top(s, a[0], ms, top) ? 0 : 1;
}

int verb_gone(Session& s, const Words& a) {
    DWORD ms = 0;
    if (int bad = ms_arg(s, a, 1, ms)) return bad;
    if (poll_until(ms, [&] { return find_window(a[0].c_str()) == nullptr; })) return 0;
    return fail(s, "window " + quoted(a[0]) + " still there after " + ms_text(ms));
}

// type [TITLE] TEXT, key [TITLE] COMBO: with a title, that window is
// brought to the front first.
bool focus_window(Session& s, const Words& a) {
    if (a.size() < 2) return true;
    HWND top = nullptr;
    if (!find_top(s, a[0], s.timeout, top) || !bring_to_front(s, top)) return false;
    // Keys go to the focus, which the window sets once it is active.
    bool focused = poll_until(s.timeout, [&] {
        HWND focus = focus_of(top);
        return focus != nullptr && (focus == top || IsChild(top, focus));
    });
    if (!focused) s.error = "window " + quoted(a[0]) + " has no focus after " + ms_text(s.timeout);
    return focused;
}

int verb_type(Session& s, const Words& a) {
    if (!focus_window(s, a)) return 1;
    type_text(a.back());
    return 0;
}

int verb_key(Session& s, const Words& a) {
    return focus_window(s, a) && press_combo(a.back(), s.timeout, s.error) ? 0 : 1;
}

int verb_click(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control) || !wait_usable(s, top, control)) return 1;
    return click_window(control, s.timeout, s.error) ? 0 : 1;
}

int verb_select(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    ListKind kind = list_kind(control);
    if (kind == ListKind::kNone)
        return fail(s, "control " + quoted(a[1]) + " is a " + class_name(control) + ", not a list or combo box");
    bool combo = kind == ListKind::kCombo;
    int index = -1;
    if (!poll_until(s.timeout, [&] { return (index = item_named(control, combo, a[2])) >= 0; }))
        return fail(s, "no item " + quoted(a[2]) + " in " + quoted(a[1]) + " within " + ms_text(s.timeout) + " (" +
                           std::to_string(item_count(control)) + " items)");
    if (!wait_usable(s, top, control) || !click_item(control, index, s.timeout, s.error)) return 1;
    bool done = poll_until(s.timeout, [&] {
        return selected_index(control) == index && (!combo || SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) == 0);
    });
    if (done) return 0;
    return fail(s, "item " + std::to_string(index + 1) + " of " + quoted(a[1]) + " is not selected after " +
                       ms_text(s.timeout) + "; selected: " + std::to_string(selected_index(control) + 1));
}

int verb_get(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    std::printf("%s\n", fact_of(top, control, a[2]).c_str());
    return 0;
}

int verb_expect(Session& s, const Words& a) {
    std::string seen;
    bool matched = poll_until(s.timeout, [&] {
        HWND top = find_window(a[0].c_str());
        HWND control = top != nullptr ? control_of(top, a[1]) : nullptr;
        if (control == nullptr) return false;
        seen = fact_of(top, control, a[2]);
        return seen == a[3];
    });
    if (matched) return 0;
    HWND top = find_window(a[0].c_str());
    if (top == nullptr) return fail(s, no_window(a[0], s.timeout));
    if (control_of(top, a[1]) == nullptr)
        return fail(s, "window " + quoted(a[0]) + " has no control " + quoted(a[1]) + " within " + ms_text(s.timeout) +
                           "; its controls: " + controls_of(top));
    // A text names its first difference: a "?" that the program's code page
    // put in place of a character is told apart from the character.
    std::string difference = a[2] == "text" ? ": " + first_difference(seen, a[3]) : "";
    return fail(s, "waited " + ms_text(s.timeout) + " for " + a[2] + " " + quoted(a[3]) + " of " + quoted(a[1]) +
                       ", last saw " + quoted(seen) + difference);
}

int verb_menu(Session& s, const Words& a) {
    HWND top = nullptr;
    if (!find_top(s, a[0], s.timeout, top)) return 1;
    bool usable = poll_until(s.timeout, [&] { return IsWindowEnabled(top) != 0; });
    if (!usable) return fail(s, "window " + quoted(a[0]) + " stayed disabled for " + ms_text(s.timeout));
    if (!bring_to_front(s, top)) return 1;
    std::string hook_dll = s.self.substr(0, s.self.find_last_of("\\/") + 1) + "drive_hook.dll";
    return choose_menu_item(top, a[1], hook_dll, s.timeout, s.error) ? 0 : 1;
}

int verb_timeout(Session& s, const Words& a) {
    parse_ms(a[0], s.timeout);
    return 0;
}

// ---- The verb table ----------------------------------------------------------------------

enum Where : unsigned {
    kCommandLine = 1,  // drive VERB ARGS
    kScript = 2,       // a line of a script
    kAnywhere = kCommandLine | kScript,
    kInternal = 4,  // started by drive itself; not shown to people
};

constexpr std::size_t kMany = 1000;  // ARGS: the program's own arguments

struct Verb {
    const char* name;
    std::size_t min_args;
    std::size_t max_args;
    unsigned where;
    const char* synopsis;
    const char* help;                    // lines separated by '\n'
    int (*run)(Session&, const Words&);  // null for script, which drive's main runs
    // Checks the arguments beyond their number (times, facts, options), so
    // that a whole script is checked before any line plays; null for none.
    int (*check)(Session&, const Words&);
};

const Verb kVerbs[] = {
    {"wait", 1, 2, kAnywhere, "wait TITLE [MS]", "wait until a visible window has that title", verb_wait,
     check_ms_after_title},
    {"gone", 1, 2, kAnywhere, "gone TITLE [MS]", "wait until no visible window has it", verb_gone,
     check_ms_after_title},
    {"type", 1, 2, kAnywhere, "type [TITLE] TEXT",
     "type the text into the focus (TITLE: bring\nthat window to the front first)", verb_type, nullptr},
    {"key", 1, 2, kAnywhere, "key [TITLE] COMBO",
     "press a key: Enter, Escape, Tab, Space,\nBackspace, Delete, Insert, Home, End,\nPageUp, PageDown, Up, Down, "
     "Left, Right,\nF1...F24, a letter, digit or sign; with\nCtrl+, Alt+, Shift+ before it (Alt+F4)",
     verb_key, check_key},
    {"click", 2, 2, kAnywhere, "click TITLE ID", "click the control in its middle", verb_click, nullptr},
    {"select", 3, 3, kAnywhere, "select TITLE ID N|TEXT",
     "select a list or combo box item by its\nnumber from 1 or its text, with the mouse", verb_select, nullptr},
    {"menu", 2, 2, kAnywhere, "menu TITLE PATH", "choose a menu bar item, e.g. File>Exit", verb_menu, nullptr},
    {"get", 3, 3, kAnywhere, "get TITLE ID FACT",
     "print a fact: text, check, selected (item\nnumber, 0 for none), enabled, focus,\nvisible (1 or 0), count (list "
     "items)",
     verb_get, check_fact_arg},
    {"expect", 4, 4, kAnywhere, "expect TITLE ID FACT VALUE", "wait until the fact reads VALUE", verb_expect,
     check_fact_arg},
    {"start", 0, kMany, kAnywhere, "start [--limit MS] [EXE [ARGS]]",
     "start a program without waiting and print\nits process id; a watcher ends it after\nMS (an hour). In a script: "
     "start it in\ndrive; alone, start the script's program",
     verb_start, check_start},
    {"exit", 0, 2, kAnywhere, "exit [PID [MS]]",
     "wait for the program PID (alone: the only\none started and not waited for) to end,\nprint its exit code; fail "
     "unless it is 0.\nIn a script: exit [MS], for its program",
     verb_exit, check_exit},
    {"run", 1, kMany, kAnywhere, "run [--limit MS] EXE [ARGS]",
     "start a program, wait for it up to MS (an\nhour), print its exit code", verb_run, check_run},
    {"script", 1, kMany, kCommandLine, "script FILE [EXE [ARGS]]",
     "run FILE's lines, each a command without\nthe word drive (\"quotes\" keep blanks, #\nstarts a comment); with "
     "EXE, start it\nfirst and want its exit code 0 at the\nend. Texts are UTF-8.",
     nullptr, nullptr},
    {"timeout", 1, 1, kScript, "timeout MS", "in a script: the limit of each following\nwait", verb_timeout,
     check_timeout},
    {"watch", 2, 2, kCommandLine | kInternal, "watch PID MS", "wait for a program that start made", verb_watch,
     check_watch},
};

const Verb* verb_named(const std::string& name) {
    for (const Verb& v : kVerbs)
        if (name == v.name) return &v;
    return nullptr;
}

const char kUsageHead[] =
    "usage: drive [--timeout MS] VERB ARGS...\n"
    "       drive --verbs    (one line for each verb)\n"
    "\n"
    "TITLE is a top-level window's title; one that ends in * matches any title\n"
    "that starts with the rest. ID is a control's id, its text (ampersands\n"
    "ignored) or the word window for the window itself. Each verb waits for\n"
    "what it needs up to the timeout (10000 ms unless --timeout or MS says).\n"
    "MS is a time in decimal: 250 or 250ms, or 5s for seconds.\n"
    "\n";

constexpr int kHelpColumn = 34;

}  // namespace

int check_verb(Session& s, const std::string& verb, const Words& args) {
    s.error.clear();
    const Verb* v = verb_named(verb);
    unsigned here = s.in_script ? kScript : kCommandLine;
    if (v == nullptr || (v->where & kInternal && s.in_script)) return bad_usage(s, "no verb " + quoted(verb));
    if (!(v->where & here))
        return bad_usage(s, s.in_script ? verb + " cannot be used in a script"
                                        : verb + " is for scripts (on the command line: --timeout MS)");
    if (args.size() >= v->min_args && args.size() <= v->max_args) return v->check != nullptr ? v->check(s, args) : 0;
    std::string count = v->max_args == kMany ? "at least " + std::to_string(v->min_args)
                        : v->min_args == v->max_args
                            ? std::to_string(v->min_args)
                            : std::to_string(v->min_args) + " to " + std::to_string(v->max_args);
    return bad_usage(s, verb + " takes " + count + (v->max_args == 1 ? " argument" : " arguments") + ", not " +
                            std::to_string(args.size()));
}

int run_verb(Session& s, const std::string& verb, const Words& args) {
    if (int bad = check_verb(s, verb, args)) return bad;
    const Verb* v = verb_named(verb);
    return v->run != nullptr ? v->run(s, args) : bad_usage(s, verb + " is run by drive itself");
}

void print_usage(std::FILE* out) {
    std::fputs(kUsageHead, out);
    for (const Verb& v : kVerbs) {
        if (v.where & kInternal) continue;
        std::fprintf(out, "  %-*s", kHelpColumn - 2, v.synopsis);
        for (const char* line = v.help; *line != '\0';) {
            const char* end = line;
            while (*end != '\0' && *end != '\n') ++end;
            std::fprintf(out, "%.*s\n", static_cast<int>(end - line), line);
            line = *end == '\n' ? end + 1 : end;
            if (*line != '\0') std::fprintf(out, "%*s", kHelpColumn, "");
        }
    }
}

void print_verbs(std::FILE* out) {
    for (const Verb& v : kVerbs)
        if (!(v.where & kInternal)) std::fprintf(out, "%s\t%s\n", v.name, v.synopsis);
}

std::string verb_usage(const std::string& verb) {
    const Verb* v = verb_named(verb);
    return v == nullptr || v->where & kInternal ? "" : std::string("usage: drive ") + v->synopsis;
}
