#include "tools/drive_verbs.h"

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "tools/window_find.h"

namespace {

int fail(Session& s, const std::string& message) {
    s.error = message;
    return 1;
}

std::string quoted(const std::string& text) { return "\"" + to_utf8(text) + "\""; }
std::string ms_text(DWORD ms) { return std::to_string(ms) + " ms"; }

bool parse_number(const std::string& text, long& n) {
    if (text.empty()) return false;
    char* end = nullptr;
    n = std::strtol(text.c_str(), &end, 0);
    return *end == '\0';
}

std::string lower(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// ---- Windows and controls ------------------------------------------------------------

std::string without_ampersands(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;  // "&&" stands for one "&"
        out += text[i];
    }
    return out;
}

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

// The control that spec names inside top: "window" for top itself, a number
// for the child with that id, else the first descendant whose text is spec
// (ampersands ignored).
HWND control_of(HWND top, const std::string& spec) {
    if (spec == "window") return top;
    long id = 0;
    if (parse_number(spec, id)) return GetDlgItem(top, static_cast<int>(id));
    std::string text = without_ampersands(spec);
    TextSearch search = {&text, nullptr};
    EnumChildWindows(top, match_child_text, reinterpret_cast<LPARAM>(&search));
    return search.found;
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
        s.error = "window " + quoted(title) + " has no control " + quoted(spec) + " within " + ms_text(s.timeout);
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

// ---- Keys -------------------------------------------------------------------------

struct KeyName {
    const char* name;
    WORD vk;
};

constexpr KeyName kKeyNames[] = {
    {"enter", VK_RETURN},    {"return", VK_RETURN}, {"escape", VK_ESCAPE},  {"esc", VK_ESCAPE},
    {"tab", VK_TAB},         {"space", VK_SPACE},   {"backspace", VK_BACK}, {"delete", VK_DELETE},
    {"del", VK_DELETE},      {"insert", VK_INSERT}, {"home", VK_HOME},      {"end", VK_END},
    {"pageup", VK_PRIOR},    {"pagedown", VK_NEXT}, {"up", VK_UP},          {"down", VK_DOWN},
    {"left", VK_LEFT},       {"right", VK_RIGHT},   {"plus", VK_OEM_PLUS},  {"ctrl", VK_CONTROL},
    {"control", VK_CONTROL}, {"alt", VK_MENU},      {"shift", VK_SHIFT},
};

bool is_modifier(WORD vk) { return vk == VK_CONTROL || vk == VK_MENU || vk == VK_SHIFT; }

// The virtual key of a key name (case-insensitive), or 0. A single letter,
// digit or sign names its key; Shift, when the sign needs it, is added to
// the modifiers.
WORD key_of(const std::string& name, std::vector<WORD>& modifiers) {
    std::string n = lower(name);
    for (const KeyName& k : kKeyNames)
        if (n == k.name) return k.vk;
    long f = 0;
    if (n.size() >= 2 && n[0] == 'f' && parse_number(n.substr(1), f) && f >= 1 && f <= 12)
        return static_cast<WORD>(VK_F1 + f - 1);
    if (name.size() != 1) return 0;
    SHORT vk = VkKeyScanA(name[0]);
    if (vk == -1 || (vk & 0x600) != 0) return 0;
    if ((vk & 0x100) != 0 && !std::isalpha(static_cast<unsigned char>(name[0]))) modifiers.push_back(VK_SHIFT);
    return static_cast<WORD>(vk & 0xFF);
}

// Presses a combination such as "Ctrl+Shift+Tab", "Alt+F4" or "F1": the
// modifiers go down in order, the key is pressed, the modifiers come up.
bool press_combo(Session& s, const std::string& combo) {
    std::vector<WORD> keys;
    std::vector<WORD> modifiers;
    std::size_t start = 0;
    for (;;) {
        std::size_t plus = combo.find('+', start);
        std::string part = combo.substr(start, plus == std::string::npos ? std::string::npos : plus - start);
        WORD vk = key_of(part, modifiers);
        if (vk == 0) {
            s.error = "no key named " + quoted(part) + " in " + quoted(combo);
            return false;
        }
        keys.push_back(vk);
        if (plus == std::string::npos) break;
        start = plus + 1;
    }
    for (std::size_t i = 0; i + 1 < keys.size(); ++i) {
        if (!is_modifier(keys[i])) {
            s.error = quoted(combo) + ": only Ctrl, Alt and Shift can come before the last key";
            return false;
        }
        modifiers.insert(modifiers.begin() + static_cast<long>(i), keys[i]);
    }
    for (WORD m : modifiers) key_input(m, false);
    press_key(keys.back());
    for (auto m = modifiers.rbegin(); m != modifiers.rend(); ++m) key_input(*m, true);
    return true;
}

// Types the text: keys the keyboard layout has, the other characters as
// input-method characters, all through the input queue and so in order.
void type_text(const std::string& text) {
    for (unsigned char c : text) {
        if (type_key_for(c)) continue;
        wchar_t w = 0;
        char byte = static_cast<char>(c);
        if (MultiByteToWideChar(CP_ACP, 0, &byte, 1, &w, 1) == 1) type_character(w);
    }
}

// ---- Facts about controls ------------------------------------------------------------

enum class ListKind { kNone, kList, kCombo };

ListKind list_kind(HWND w) {
    std::string c = lower(class_name(w));
    if (c == "listbox" || c == "combolbox") return ListKind::kList;
    if (c == "combobox") return ListKind::kCombo;
    return ListKind::kNone;
}

LRESULT list_ask(HWND w, UINT list_message, UINT combo_message, WPARAM wparam = 0) {
    return SendMessageA(w, list_kind(w) == ListKind::kCombo ? combo_message : list_message, wparam, 0);
}

int selected_index(HWND w) { return static_cast<int>(list_ask(w, LB_GETCURSEL, CB_GETCURSEL)); }
int item_count(HWND w) { return static_cast<int>(list_ask(w, LB_GETCOUNT, CB_GETCOUNT)); }

const char* const kFacts[] = {"text", "check", "selected", "enabled", "focus", "visible", "count"};

bool known_fact(const std::string& fact) {
    for (const char* f : kFacts)
        if (fact == f) return true;
    return false;
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
    if (fact == "count") return kind == ListKind::kNone ? "0" : std::to_string(item_count(control));
    if (fact == "enabled") return IsWindowEnabled(control) ? "1" : "0";
    if (fact == "visible") return IsWindowVisible(control) ? "1" : "0";
    HWND focus = focus_of(top);
    return focus == control || (focus != nullptr && GetParent(focus) == control) ? "1" : "0";  // a combo's edit
}

// ---- Selecting list items --------------------------------------------------------------

// The index (from 0) of the item that which names: its number from 1 or its
// exact text; -1 while there is none.
int item_named(HWND list, bool combo, const std::string& which) {
    long n = 0;
    int count = static_cast<int>(SendMessageA(list, combo ? CB_GETCOUNT : LB_GETCOUNT, 0, 0));
    if (parse_number(which, n)) return n >= 1 && n <= count ? static_cast<int>(n - 1) : -1;
    for (int i = 0; i < count; ++i)
        if (list_item_text(list, i, combo) == which) return i;
    return -1;
}

// Clicks item index of a list box (also a combo box's drop-down list), first
// scrolling it into view as the scroll bar would. The place comes from the
// item height and the top index, numbers that cross processes unchanged.
bool click_list_item(HWND list, int index) {
    RECT client;
    GetClientRect(list, &client);
    int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, index, 0));
    if (height <= 0) return false;
    int top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    if (index < top || (index - top + 1) * height > client.bottom) {
        SendMessageA(list, LB_SETTOPINDEX, index, 0);
        top = static_cast<int>(SendMessageA(list, LB_GETTOPINDEX, 0, 0));
    }
    POINT p = {8, (index - top) * height + height / 2};
    return ClientToScreen(list, &p) && click_screen(p);
}

struct DropDownSearch {
    DWORD thread;
    HWND found;
};

BOOL CALLBACK match_drop_down(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<DropDownSearch*>(param);
    if (GetWindowThreadProcessId(w, nullptr) != s->thread || !IsWindowVisible(w)) return TRUE;
    if (lower(class_name(w)) != "combolbox") return TRUE;
    s->found = w;
    return FALSE;
}

// The visible drop-down list of the combo box's thread, or null.
HWND drop_down_of(HWND combo) {
    DropDownSearch s = {GetWindowThreadProcessId(combo, nullptr), nullptr};
    EnumWindows(match_drop_down, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// A combo box's item is chosen as a user does: a click on the arrow at the
// right of the closed box opens the list, a click on the item chooses it and
// closes the list.
bool choose_combo_item(Session& s, HWND combo, int index) {
    RECT r;
    GetWindowRect(combo, &r);
    POINT arrow = {r.right - GetSystemMetrics(SM_CXVSCROLL) / 2 - 2, (r.top + r.bottom) / 2};
    HWND list = nullptr;
    if (!click_screen(arrow) || !poll_until(s.timeout, [&] { return (list = drop_down_of(combo)) != nullptr; })) {
        s.error = "the drop-down list of combo box " + std::to_string(GetDlgCtrlID(combo)) + " did not open within " +
                  ms_text(s.timeout);
        return false;
    }
    if (click_list_item(list, index)) return true;
    s.error = "cannot click item " + std::to_string(index + 1) + " of the drop-down list";
    return false;
}

// ---- The program ------------------------------------------------------------------------

std::string command_line(const Words& args, std::size_t first) {
    std::string line;
    for (std::size_t i = first; i < args.size(); ++i) {
        if (!line.empty()) line += ' ';
        bool quote = args[i].find(' ') != std::string::npos || i == first;
        line += quote ? "\"" + args[i] + "\"" : args[i];
    }
    return line;
}

bool start_process(Session& s, std::string line, PROCESS_INFORMATION& pi, DWORD flags = 0) {
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    if (CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, flags, nullptr, nullptr, &si, &pi)) return true;
    s.error = "cannot start " + line + " (error " + std::to_string(GetLastError()) + ")";
    return false;
}

// Waits for the process to end; false with the error set on a timeout.
bool wait_exit(Session& s, HANDLE process, DWORD ms, DWORD& code) {
    if (WaitForSingleObject(process, ms) != WAIT_OBJECT_0) {
        s.error = "the program still runs after " + ms_text(ms) + "; visible windows: " + visible_titles();
        return false;
    }
    code = STILL_ACTIVE;
    GetExitCodeProcess(process, &code);
    return true;
}

// ---- The verbs --------------------------------------------------------------------------

DWORD ms_or(const Words& a, std::size_t i, DWORD fallback) {
    return a.size() > i ? std::strtoul(a[i].c_str(), nullptr, 10) : fallback;
}

int verb_wait(Session& s, const Words& a) {
    HWND top = nullptr;
    return find_top(s, a[0], ms_or(a, 1, s.timeout), top) ? 0 : 1;
}

int verb_gone(Session& s, const Words& a) {
    DWORD ms = ms_or(a, 1, s.timeout);
    if (poll_until(ms, [&] { return find_window(a[0].c_str()) == nullptr; })) return 0;
    return fail(s, "window " + quoted(a[0]) + " still there after " + ms_text(ms));
}

// type [TITLE] TEXT, key [TITLE] COMBO: with a title, that window is
// brought to the front first.
int verb_type_or_key(Session& s, const Words& a, bool key) {
    if (a.size() == 2) {
        HWND top = nullptr;
        if (!find_top(s, a[0], s.timeout, top) || !bring_to_front(s, top)) return 1;
        // Keys go to the focus, which the window sets once it is active.
        bool focused = poll_until(s.timeout, [&] {
            HWND focus = focus_of(top);
            return focus != nullptr && (focus == top || IsChild(top, focus));
        });
        if (!focused) return fail(s, "window " + quoted(a[0]) + " has no focus after " + ms_text(s.timeout));
    }
    if (!key) {
        type_text(a.back());
        return 0;
    }
    return press_combo(s, a.back()) ? 0 : 1;
}

int verb_click(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control) || !wait_usable(s, top, control)) return 1;
    return click_window(control) ? 0 : fail(s, "the click on " + quoted(a[1]) + " could not be sent");
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
    if (!wait_usable(s, top, control)) return 1;
    if (combo ? !choose_combo_item(s, control, index) : !click_list_item(control, index))
        return s.error.empty() ? fail(s, "cannot click item " + quoted(a[2])) : 1;
    bool done = poll_until(s.timeout, [&] {
        return selected_index(control) == index && (!combo || SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) == 0);
    });
    if (done) return 0;
    return fail(s, "item " + std::to_string(index + 1) + " of " + quoted(a[1]) + " is not selected after " +
                       ms_text(s.timeout) + "; selected: " + std::to_string(selected_index(control) + 1));
}

int verb_get(Session& s, const Words& a) {
    if (!known_fact(a[2])) return 2;
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    std::printf("%s\n", to_utf8(fact_of(top, control, a[2])).c_str());
    return 0;
}

int verb_expect(Session& s, const Words& a) {
    if (!known_fact(a[2])) return 2;
    std::string seen = "(no such control)";
    bool matched = poll_until(s.timeout, [&] {
        HWND top = find_window(a[0].c_str());
        HWND control = top != nullptr ? control_of(top, a[1]) : nullptr;
        if (control == nullptr) return false;
        seen = fact_of(top, control, a[2]);
        return seen == a[3];
    });
    if (matched) return 0;
    if (find_window(a[0].c_str()) == nullptr) return fail(s, no_window(a[0], s.timeout));
    return fail(s, "waited " + ms_text(s.timeout) + " for " + a[2] + " " + quoted(a[3]) + " of " + quoted(a[1]) +
                       ", last saw " + (seen == "(no such control)" ? seen : quoted(seen)));
}

int verb_menu(Session& s, const Words& a) {
    HWND top = nullptr;
    if (!find_top(s, a[0], s.timeout, top)) return 1;
    bool usable = poll_until(s.timeout, [&] { return IsWindowEnabled(top) != 0; });
    if (!usable) return fail(s, "window " + quoted(a[0]) + " stayed disabled for " + ms_text(s.timeout));
    if (!bring_to_front(s, top)) return 1;
    return choose_menu_item(s, top, a[1]) ? 0 : 1;
}

// run EXE [ARGS]: starts the program, waits for it, prints its exit code.
int verb_run(Session& s, const Words& a) {
    PROCESS_INFORMATION pi = {};
    if (!start_process(s, command_line(a, 0), pi)) return 1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    std::printf("exit code %lu\n", code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}

// ---- start and exit across drive processes ------------------------------------------

// From the command line, start hands the program to a watcher: a drive
// process of its own that starts it, waits for it and writes what became of
// it to a state file, which a later `drive exit` reads.
std::string state_file() {
    char folder[MAX_PATH] = {};
    GetTempPathA(sizeof folder, folder);
    return std::string(folder) + "kestrowane-drive-program.txt";
}

void write_state(const std::string& text) {
    std::string temporary = state_file() + ".new";
    if (FILE* f = std::fopen(temporary.c_str(), "w")) {
        std::fputs(text.c_str(), f);
        std::fclose(f);
        MoveFileExA(temporary.c_str(), state_file().c_str(), MOVEFILE_REPLACE_EXISTING);
    }
}

std::string read_state() {
    std::string text;
    if (FILE* f = std::fopen(state_file().c_str(), "r")) {
        char line[512] = {};
        if (std::fgets(line, sizeof line, f)) text = line;
        std::fclose(f);
    }
    return text;
}

int verb_watch(Session& s, const Words& a) {
    PROCESS_INFORMATION pi = {};
    if (!start_process(s, command_line(a, 0), pi)) {
        write_state("failed " + s.error);
        return 1;
    }
    write_state("running " + std::to_string(pi.dwProcessId));
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    write_state("ended " + std::to_string(code));
    return 0;
}

int verb_start(Session& s, const Words& a) {
    const Words& args = a.empty() ? s.program : a;
    if (args.empty()) return 2;
    if (s.in_script) {
        end_program(s);
        if (!start_process(s, command_line(args, 0), s.process)) return 1;
        s.has_process = true;
        return 0;
    }
    DeleteFileA(state_file().c_str());
    PROCESS_INFORMATION watcher = {};
    std::string watch = "\"" + s.self + "\" watch " + command_line(args, 0);
    if (!start_process(s, watch, watcher, DETACHED_PROCESS)) return 1;
    CloseHandle(watcher.hThread);
    CloseHandle(watcher.hProcess);
    std::string state;
    if (!poll_until(s.timeout, [&] { return !(state = read_state()).empty(); }))
        return fail(s, "the program did not start within " + ms_text(s.timeout));
    return state.compare(0, 7, "running") == 0 ? 0 : fail(s, state.substr(state.find(' ') + 1));
}

// exit [MS]: waits for the program, prints its exit code; fails on a timeout
// or when the code is not 0.
int verb_exit(Session& s, const Words& a) {
    DWORD ms = ms_or(a, 0, s.timeout);
    DWORD code = 0;
    if (s.in_script) {
        if (!s.has_process) return fail(s, "no program was started");
        if (!wait_exit(s, s.process.hProcess, ms, code)) return 1;
        CloseHandle(s.process.hThread);
        CloseHandle(s.process.hProcess);
        s.has_process = false;
    } else {
        std::string state;
        if (!poll_until(ms, [&] { return (state = read_state()).compare(0, 5, "ended") == 0; }))
            return fail(s, state.empty() ? "no program was started"
                                         : "the program still runs after " + ms_text(ms) +
                                               "; visible windows: " + visible_titles());
        code = std::strtoul(state.c_str() + 6, nullptr, 10);
    }
    s.exit_code = code;
    std::printf("exit code %lu\n", code);
    return code == 0 ? 0 : fail(s, "the program ended with exit code " + std::to_string(code));
}

int verb_timeout(Session& s, const Words& a) {
    long ms = 0;
    if (!parse_number(a[0], ms) || ms <= 0) return 2;
    s.timeout = static_cast<DWORD>(ms);
    return 0;
}

struct Verb {
    const char* name;
    std::size_t min_args;
    std::size_t max_args;
    int (*run)(Session&, const Words&);
};

const Verb kVerbs[] = {
    {"wait", 1, 2, verb_wait},
    {"gone", 1, 2, verb_gone},
    {"type", 1, 2, [](Session& s, const Words& a) { return verb_type_or_key(s, a, false); }},
    {"key", 1, 2, [](Session& s, const Words& a) { return verb_type_or_key(s, a, true); }},
    {"click", 2, 2, verb_click},
    {"select", 3, 3, verb_select},
    {"get", 3, 3, verb_get},
    {"expect", 4, 4, verb_expect},
    {"menu", 2, 2, verb_menu},
    {"run", 1, 99, verb_run},
    {"start", 0, 99, verb_start},
    {"exit", 0, 1, verb_exit},
    {"watch", 1, 99, verb_watch},
    {"timeout", 1, 1, verb_timeout},
};

}  // namespace

int run_verb(Session& s, const std::string& verb, const Words& args) {
    s.error.clear();
    for (const Verb& v : kVerbs) {
        if (verb != v.name) continue;
        if (args.size() < v.min_args || args.size() > v.max_args) return 2;
        return v.run(s, args);
    }
    return 2;
}

void end_program(Session& s) {
    if (!s.has_process) return;
    if (WaitForSingleObject(s.process.hProcess, 0) != WAIT_OBJECT_0) {
        TerminateProcess(s.process.hProcess, 0xDEAD);
        WaitForSingleObject(s.process.hProcess, 5000);
    }
    CloseHandle(s.process.hThread);
    CloseHandle(s.process.hProcess);
    s.has_process = false;
}

namespace {

// The text in code page `to`, read in code page `from`; the text unchanged when
// it is not valid there (with MB_ERR_INVALID_CHARS in check).
std::string recode(const std::string& text, UINT from, UINT to, DWORD check) {
    int n = MultiByteToWideChar(from, check, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (n <= 0) return text;
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(from, 0, text.data(), static_cast<int>(text.size()), &w[0], n);
    int bytes = WideCharToMultiByte(to, 0, w.data(), n, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0) WideCharToMultiByte(to, 0, w.data(), n, &out[0], bytes, nullptr, nullptr);
    return out;
}

}  // namespace

std::string from_utf8(const std::string& text) { return recode(text, CP_UTF8, CP_ACP, MB_ERR_INVALID_CHARS); }

std::string to_utf8(const std::string& text) { return recode(text, CP_ACP, CP_UTF8, 0); }
