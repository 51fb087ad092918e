#include "tools/drive/verbs.h"

#include <commctrl.h>

#include <vector>

#include "tools/common/common_controls.h"
#include "tools/common/dialog_units.h"
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

// Where the focus of top's program thread is, for a failure that found it
// elsewhere: a control (its id, text and window), a window, or nowhere.
std::string where_focus_is(HWND top) {
    HWND focus = focus_of(top);
    if (focus == nullptr) return "no window of its program has the focus";
    if (!(GetWindowLongA(focus, GWL_STYLE) & WS_CHILD)) return "the focus is on window " + quoted(window_text(focus));
    HWND owner = GetAncestor(focus, GA_ROOT);
    return "the focus is on control " + std::to_string(GetDlgCtrlID(focus)) + " " +
           quoted(without_ampersands(window_text(focus))) + " (" + class_name(focus) + ") of " +
           quoted(window_text(owner));
}

std::string no_window(const std::string& title, DWORD ms) {
    return "no window " + quoted(title) + " within " + ms_text(ms) + "; visible windows: " + visible_titles();
}

std::string no_control(const std::string& title, const std::string& spec, DWORD ms, HWND top) {
    return "window " + quoted(title) + " has no control " + quoted(spec) + " within " + ms_text(ms) +
           "; its controls: " + controls_of(top);
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
    s.error = top == nullptr ? no_window(title, s.timeout) : no_control(title, spec, s.timeout, top);
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

const char* const kFacts[] = {"text",  "check",   "selected", "selection", "enabled",
                              "focus", "visible", "count",    "position",  "rect"};

// A fact with numbers from 1 after its name, each after a colon: "cell:2:3"
// (row, column), "part:2". True, with the numbers from 0, when fact is name
// and count such numbers.
bool numbered_fact(const std::string& fact, const std::string& name, std::size_t count, int* numbers) {
    if (fact.compare(0, name.size() + 1, name + ":") != 0) return false;
    std::size_t at = name.size() + 1;
    for (std::size_t i = 0; i < count; ++i) {
        std::size_t end = i + 1 < count ? fact.find(':', at) : fact.size();
        DWORD n = 0;
        if (end == std::string::npos || !parse_decimal(fact.substr(at, end - at), n) || n == 0 || n > 0x7FFFFFFF)
            return false;
        numbers[i] = static_cast<int>(n - 1);
        at = end + 1;
    }
    return true;
}

int check_fact(Session& s, const std::string& fact) {
    for (const char* f : kFacts)
        if (fact == f) return 0;
    int n[2];
    if (numbered_fact(fact, "cell", 2, n) || numbered_fact(fact, "part", 1, n)) return 0;
    return bad_usage(s, "no fact " + quoted(fact) +
                            ": text, check, selected, selection, enabled, focus, visible, count, position, "
                            "rect, cell:ROW:COLUMN or part:N");
}

// The fact as text in value; false, with value saying why, for a fact that
// the control does not have.
bool not_a_fact(HWND control, const std::string& fact, std::string& value) {
    CommonKind kind = common_kind(control);
    value = quoted(fact) + " is no fact of " +
            (kind == CommonKind::kNone ? "a " + class_name(control) : std::string("a ") + common_kind_name(kind));
    return false;
}

// "X Y W H": where the control lies in top's client area, or for top itself
// its client area ("0 0 W H"), in dialog units of the toolkit's dialog font,
// each number rounded to the nearest unit from the pixels it has.
bool rect_of(HWND top, HWND control, std::string& value) {
    RECT r = {0, 0, 0, 0};
    if (control == top) {
        GetClientRect(top, &r);
    } else {
        GetWindowRect(control, &r);
        MapWindowPoints(nullptr, top, reinterpret_cast<POINT*>(&r), 2);
    }
    // Each number on its own: the width is rounded from the width in pixels,
    // not from the rounded edges.
    RECT place = {r.left, r.top, r.right - r.left, r.bottom - r.top};
    if (!unmap_reference_dialog_rect(place)) {
        value = "the dialog units could not be measured";
        return false;
    }
    value = std::to_string(place.left) + " " + std::to_string(place.top) + " " + std::to_string(place.right) + " " +
            std::to_string(place.bottom);
    return true;
}

// One fact about a control, as text. A list box's text is its selected
// item's, a list view's its selected row's first cell, a tab control's its
// selected tab's; selected is the selected item's, row's or tab's number
// from 1, or 0 for none (of several selected, the first from the top);
// selection is every selected item's or row's, with commas.
// False, with value saying why, for a fact the control does not have.
bool fact_of(HWND top, HWND control, const std::string& fact, std::string& value) {
    ListKind kind = list_kind(control);
    CommonKind common = common_kind(control);
    bool rows = common == CommonKind::kListView, tabs = common == CommonKind::kTabs;
    int n[2];
    if (numbered_fact(fact, "cell", 2, n)) {
        std::string error;
        if (!rows) return not_a_fact(control, fact, value);
        if (cell_text(control, n[0], n[1], value, error)) return true;
        value = error;
        return false;
    }
    if (numbered_fact(fact, "part", 1, n)) {
        std::string error;
        if (common != CommonKind::kStatus) return not_a_fact(control, fact, value);
        if (part_text(control, n[0], value, error)) return true;
        value = error;
        return false;
    }
    if (fact == "rect") return rect_of(top, control, value);
    if (fact == "position") {
        int position = 0;
        if (!common_position(control, position)) return not_a_fact(control, fact, value);
        value = std::to_string(position);
        return true;
    }
    if (fact == "selection") {
        if (!rows && kind != ListKind::kList) return not_a_fact(control, fact, value);
        value.clear();
        for (int i : rows ? selected_rows(control) : selected_items(control))
            value += (value.empty() ? "" : ",") + std::to_string(i + 1);
        return true;
    }
    if (fact == "text" && (rows || tabs)) {
        std::vector<int> selection = rows ? selected_rows(control) : std::vector<int>();
        int i = rows ? (selection.empty() ? -1 : selection[0]) : selected_tab(control);
        std::string error;
        value.clear();
        if (i < 0 || (rows ? cell_text(control, i, 0, value, error) : tab_text(control, i, value, error))) return true;
        value = error;
        return false;
    }
    // The facts of some kinds alone: read from another control, each would
    // read as 0 whatever the control shows.
    bool lists = kind != ListKind::kNone || rows || tabs;
    if ((fact == "check" && lower(class_name(control)) != "button") || (fact == "selected" && !lists) ||
        (fact == "count" && !lists && common != CommonKind::kStatus))
        return not_a_fact(control, fact, value);
    if (fact == "text") {
        int i = kind == ListKind::kList ? selected_index(control) : -1;
        value = kind != ListKind::kList ? window_text(control) : i < 0 ? "" : list_item_text(control, i, false);
    } else if (fact == "check") {
        value = std::to_string(SendMessageA(control, BM_GETCHECK, 0, 0));
    } else if (fact == "selected") {
        std::vector<int> selection = rows ? selected_rows(control) : std::vector<int>();
        int i = rows                      ? (selection.empty() ? -1 : selection[0])
                : tabs                    ? selected_tab(control)
                : kind == ListKind::kNone ? -1
                                          : selected_index(control);
        value = std::to_string(i + 1);
    } else if (fact == "count") {
        value =
            std::to_string(rows || tabs || common == CommonKind::kStatus ? common_count(control) : item_count(control));
    } else if (fact == "enabled") {
        value = IsWindowEnabled(control) ? "1" : "0";
    } else if (fact == "visible") {
        value = IsWindowVisible(control) ? "1" : "0";
    } else {
        HWND focus = focus_of(top);
        value = focus == control || (focus != nullptr && GetParent(focus) == control) ? "1" : "0";  // a combo's edit
    }
    return true;
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
    if (!focused)
        s.error = "window " + quoted(a[0]) + " has no focus after " + ms_text(s.timeout) + "; " + where_focus_is(top);
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

// "control ID is a CLASS, not WANTED", for a verb played on the wrong kind.
int wrong_kind(Session& s, const std::string& spec, HWND control, const std::string& wanted) {
    CommonKind kind = common_kind(control);
    return fail(s, "control " + quoted(spec) + " is a " +
                       (kind == CommonKind::kNone ? class_name(control) : std::string(common_kind_name(kind))) +
                       ", not " + wanted);
}

// How many items of a kind there are, for a failure to find one; for a
// which that is a number, also that a number names an item by its position,
// never by its text (a row whose first cell reads "10" is not row 10).
std::string count_note(const std::string& which, int count, const std::string& what) {
    DWORD n = 0;
    std::string note = "(" + std::to_string(count) + " " + what + "s";
    if (parse_decimal(which, n))
        note += std::string("; a number names ") + (what[0] == 'i' ? "an " : "a ") + what +
                " by its position, not its text";
    return note + ")";
}

// Waits for the row of a list view or the tab of a tab control that which
// names; -1 with the error set when none comes.
int wait_common_item(Session& s, HWND control, const std::string& spec, const std::string& which) {
    int index = -1;
    if (poll_until(s.timeout, [&] { return (index = common_item_named(control, which)) >= 0; })) return index;
    const char* what = common_kind(control) == CommonKind::kTabs ? "tab" : "row";
    fail(s, "no " + std::string(what) + " " + quoted(which) + " in " + quoted(spec) + " within " + ms_text(s.timeout) +
                " " + count_note(which, common_count(control), what));
    return -1;
}

// select on a list view's row or a tab, and activate on a row: a click (two
// for activate) on the row's first cell or on the tab, then a wait until it
// is selected.
int select_common(Session& s, const Words& a, HWND top, HWND control, bool activate) {
    bool tabs = common_kind(control) == CommonKind::kTabs;
    int index = wait_common_item(s, control, a[1], a[2]);
    if (index < 0 || !wait_usable(s, top, control)) return 1;
    POINT p;
    if (!(tabs ? tab_point(control, index, p, s.error) : row_point(control, index, p, s.error))) return 1;
    if (!(activate ? double_click_screen(p, s.timeout, s.error) : click_screen(p, s.timeout, s.error))) return 1;
    auto selected = [&] {
        if (tabs) return selected_tab(control) == index;
        for (int row : selected_rows(control))
            if (row == index) return true;
        return false;
    };
    if (poll_until(s.timeout, selected)) return 0;
    std::string now;
    fact_of(top, control, tabs ? "selected" : "selection", now);
    return fail(s, std::string(tabs ? "tab " : "row ") + std::to_string(index + 1) + " of " + quoted(a[1]) +
                       " is not selected " + ms_text(s.timeout) +
                       " after a click on it; selected: " + (now.empty() ? "none" : now));
}

int verb_select(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    CommonKind common = common_kind(control);
    if (common == CommonKind::kListView || common == CommonKind::kTabs) return select_common(s, a, top, control, false);
    ListKind kind = list_kind(control);
    if (kind == ListKind::kNone) return wrong_kind(s, a[1], control, "a list, combo box, list view or tab control");
    bool combo = kind == ListKind::kCombo;
    int index = -1;
    if (!poll_until(s.timeout, [&] { return (index = item_named(control, combo, a[2])) >= 0; }))
        return fail(s, "no item " + quoted(a[2]) + " in " + quoted(a[1]) + " within " + ms_text(s.timeout) + " " +
                           count_note(a[2], item_count(control), "item"));
    if (click_toggles(control) && item_selected(control, index))
        return fail(s, "item " + std::to_string(index + 1) + " of " + quoted(a[1]) +
                           " is selected already: a click would deselect it (LBS_MULTIPLESEL)");
    if (!wait_usable(s, top, control) || !click_item(control, index, s.timeout, s.error)) return 1;
    bool done = poll_until(s.timeout, [&] {
        return item_selected(control, index) && (!combo || SendMessageA(control, CB_GETDROPPEDSTATE, 0, 0) == 0);
    });
    if (done) return 0;
    std::string now;
    for (int i : selected_items(control)) now += (now.empty() ? "" : ",") + std::to_string(i + 1);
    return fail(s, "item " + std::to_string(index + 1) + " of " + quoted(a[1]) + " is not selected after " +
                       ms_text(s.timeout) + "; selected: " + (now.empty() ? "none" : now));
}

int verb_activate(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    if (common_kind(control) != CommonKind::kListView) return wrong_kind(s, a[1], control, "a list view");
    return select_common(s, a, top, control, true);
}

int verb_header(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    if (common_kind(control) != CommonKind::kListView) return wrong_kind(s, a[1], control, "a list view");
    int column = -1;
    if (!poll_until(s.timeout, [&] { return (column = column_named(control, a[2])) >= 0; }))
        return fail(s, "no column " + quoted(a[2]) + " in " + quoted(a[1]) + " within " + ms_text(s.timeout) + " " +
                           count_note(a[2], column_count(control), "column"));
    POINT p;
    return wait_usable(s, top, control) && column_point(control, column, p, s.error) &&
                   click_screen(p, s.timeout, s.error)
               ? 0
               : 1;
}

// A whole number, perhaps negative, for slide's VALUE.
bool parse_value(const std::string& text, int& value) {
    bool negative = !text.empty() && text[0] == '-';
    DWORD n = 0;
    if (!parse_decimal(negative ? text.substr(1) : text, n) || n > 0x7FFFFFFF) return false;
    value = negative ? -static_cast<int>(n) : static_cast<int>(n);
    return true;
}

int check_value(Session& s, const Words& a) {
    int value = 0;
    return parse_value(a[2], value) ? 0 : bad_usage(s, "VALUE " + quoted(a[2]) + " is not a whole number");
}

// A user takes the slider's thumb with a click, which gives it the focus,
// and moves it with the arrow keys, a line at a time (Home and End for the
// ends of the range); then the position is waited for.
int verb_slide(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    if (common_kind(control) != CommonKind::kSlider) return wrong_kind(s, a[1], control, "a slider");
    int target = 0, position = 0;
    parse_value(a[2], target);
    int low = static_cast<int>(SendMessageW(control, TBM_GETRANGEMIN, 0, 0));
    int high = static_cast<int>(SendMessageW(control, TBM_GETRANGEMAX, 0, 0));
    if (target < low || target > high)
        return fail(s, "slider " + quoted(a[1]) + " goes from " + std::to_string(low) + " to " + std::to_string(high) +
                           ", not to " + a[2]);
    POINT thumb;
    if (!wait_usable(s, top, control) || !thumb_point(control, thumb, s.error) ||
        !click_screen(thumb, s.timeout, s.error))
        return 1;
    if (!poll_until(s.timeout, [&] { return focus_of(top) == control; }))
        return fail(s, "slider " + quoted(a[1]) + " has no focus " + ms_text(s.timeout) +
                           " after a click on its thumb; " + where_focus_is(top));
    common_position(control, position);
    int line = static_cast<int>(SendMessageW(control, TBM_GETLINESIZE, 0, 0));
    if (line < 1) line = 1;
    bool left_is_more = (GetWindowLongW(control, GWL_STYLE) & TBS_DOWNISLEFT) != 0;
    WORD more = left_is_more ? VK_LEFT : VK_RIGHT, less = left_is_more ? VK_RIGHT : VK_LEFT;
    if (target == low || target == high) {
        press_key(target == low ? VK_HOME : VK_END);
    } else if ((target - position) % line != 0) {
        return fail(s, "slider " + quoted(a[1]) + " moves in steps of " + std::to_string(line) + " from " +
                           std::to_string(position) + "; it cannot stop at " + a[2]);
    } else {
        for (int i = 0; i < (target > position ? target - position : position - target) / line; ++i)
            press_key(target > position ? more : less);
    }
    if (poll_until(s.timeout, [&] { return common_position(control, position) && position == target; })) return 0;
    return fail(s, "waited " + ms_text(s.timeout) + " for slider " + quoted(a[1]) + " at " + a[2] + ", last saw " +
                       std::to_string(position));
}

// The item dialog's name box and its default button, and how a picker that
// took a name goes: it closes, or disables itself for a box of its own (a
// question before overwriting).
constexpr int kPickerNameBox = 1152;
constexpr int kPickerDefaultButton = 1;

int verb_pick(Session& s, const Words& a) {
    HWND picker, box;
    if (!find_control(s, a[0], std::to_string(kPickerNameBox), picker, box)) {
        // A window without the name box is no picker (yet): say so, not just its controls.
        if (picker != nullptr)
            s.error = "window " + quoted(a[0]) + " is no file or folder picker: it has no name box (control " +
                      std::to_string(kPickerNameBox) + ") within " + ms_text(s.timeout) +
                      "; its controls: " + controls_of(picker);
        return 1;
    }
    if (!wait_usable(s, picker, box) || !click_window(box, s.timeout, s.error)) return 1;
    if (!poll_until(s.timeout, [&] { return focus_of(picker) == box; }))
        return fail(s, "the name box of " + quoted(a[0]) + " has no focus " + ms_text(s.timeout) + " after a click; " +
                           where_focus_is(picker));
    // The typed path replaces whatever the box holds.
    if (!press_combo("Home", s.timeout, s.error) || !press_combo("Shift+End", s.timeout, s.error)) return 1;
    type_text(a[1]);
    if (!poll_until(s.timeout, [&] { return window_text(box) == a[1]; }))
        return fail(s, "the name box of " + quoted(a[0]) + " reads " + quoted(window_text(box)) + " " +
                           ms_text(s.timeout) + " after typing " + quoted(a[1]));
    HWND button = GetDlgItem(picker, kPickerDefaultButton);
    if (button == nullptr || !wait_usable(s, picker, button) || !click_window(button, s.timeout, s.error))
        return button == nullptr ? fail(s, quoted(a[0]) + " has no default button") : 1;
    if (poll_until(s.timeout, [&] { return !IsWindowVisible(picker) || !IsWindowEnabled(picker); })) return 0;
    return fail(s, "picker " + quoted(a[0]) + " still shows " + ms_text(s.timeout) + " after " + quoted(a[1]) +
                       " was typed and its default button clicked; its name box reads " + quoted(window_text(box)));
}

int verb_get(Session& s, const Words& a) {
    HWND top, control;
    if (!find_control(s, a[0], a[1], top, control)) return 1;
    std::string value;
    if (!fact_of(top, control, a[2], value)) return fail(s, quoted(a[1]) + ": " + value);
    std::printf("%s\n", value.c_str());
    return 0;
}

int verb_expect(Session& s, const Words& a) {
    std::string seen, why;
    bool matched = poll_until(s.timeout, [&] {
        HWND top = find_window(a[0].c_str());
        HWND control = top != nullptr ? control_of(top, a[1]) : nullptr;
        if (control == nullptr) return false;
        std::string value;
        if (!fact_of(top, control, a[2], value)) {
            why = value;
            return false;
        }
        why.clear();
        seen = value;
        return seen == a[3];
    });
    if (matched) return 0;
    HWND top = find_window(a[0].c_str());
    if (top == nullptr) return fail(s, no_window(a[0], s.timeout));
    if (control_of(top, a[1]) == nullptr) return fail(s, no_control(a[0], a[1], s.timeout, top));
    if (!why.empty())
        return fail(s, "waited " + ms_text(s.timeout) + " for " + a[2] + " " + quoted(a[3]) + " of " + quoted(a[1]) +
                           ": " + why);
    // A text names its first difference: a "?" that the program's code page
    // put in place of a character is told apart from the character.
    bool text = a[2] == "text" || a[2].compare(0, 5, "cell:") == 0 || a[2].compare(0, 5, "part:") == 0;
    std::string difference = text ? ": " + first_difference(seen, a[3]) : "";
    return fail(s, "waited " + ms_text(s.timeout) + " for " + a[2] + " " + quoted(a[3]) + " of " + quoted(a[1]) +
                       ", last saw " + quoted(seen) + difference);
}

int check_menu(Session& s, const Words& a) { return menu_path_ok(a[1], s.error) ? 0 : 2; }

int verb_menu(Session& s, const Words& a) {
    HWND top = nullptr;
    if (!find_top(s, a[0], s.timeout, top)) return 1;
    bool usable = poll_until(s.timeout, [&] { return IsWindowEnabled(top) != 0; });
    if (!usable) return fail(s, "window " + quoted(a[0]) + " stayed disabled for " + ms_text(s.timeout));
    if (!bring_to_front(s, top)) return 1;
    std::string hook_dll = s.self.substr(0, s.self.find_last_of("\\/") + 1) + "drive_hook.dll";
    return choose_menu_item(top, a[1], hook_dll, s.timeout, s.error) ? 0 : 1;
}

// resize's WIDTH and HEIGHT: whole dialog units from 1 to kMostUnits.
constexpr DWORD kMostUnits = 10000;

int check_size(Session& s, const Words& a) {
    const char* names[] = {"WIDTH", "HEIGHT"};
    for (int i = 0; i < 2; ++i) {
        DWORD n = 0;
        if (!parse_decimal(a[1 + i], n) || n == 0 || n > kMostUnits)
            return bad_usage(s, std::string(names[i]) + " " + quoted(a[1 + i]) +
                                    " is not a whole number of dialog units from 1 to " + std::to_string(kMostUnits));
    }
    return 0;
}

// The window's client size in pixels.
POINT client_pixels(HWND top) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(top, &r);
    return {r.right, r.bottom};
}

// "W H": a client size in pixels as dialog units.
std::string units_text(POINT pixels) {
    RECT r = {0, 0, pixels.x, pixels.y};
    unmap_reference_dialog_rect(r);
    return std::to_string(r.right) + " " + std::to_string(r.bottom);
}

// A user's drag of the sizing frame ends in a change of the window's size,
// which the program sees as WM_WINDOWPOSCHANGING (where the platform holds
// the least size the program gives in WM_GETMINMAXINFO), WM_SIZE and
// WM_WINDOWPOSCHANGED: resize makes that change, asked of the program's own
// thread without waiting on it, and then waits until the program has taken
// it. The window grows or shrinks by what its client area lacks, measured,
// so frame and menu bar count as they are; a menu bar that wraps at the new
// width is made up for by a second change. The program may keep another
// size: resize prints the client size it got, in dialog units, and the size
// asked when they differ.
int verb_resize(Session& s, const Words& a) {
    HWND top = nullptr;
    if (!find_top(s, a[0], s.timeout, top)) return 1;
    LONG style = GetWindowLongA(top, GWL_STYLE);
    if (!(style & WS_THICKFRAME))
        return fail(s, "window " + quoted(a[0]) +
                           " cannot be resized: it has no sizing frame, so a user cannot resize it either");
    if (IsIconic(top) || IsZoomed(top))
        return fail(s, "window " + quoted(a[0]) + " cannot be resized while it is " +
                           (IsIconic(top) ? "minimized" : "maximized"));
    if (!poll_until(s.timeout, [&] { return IsWindowEnabled(top) != 0; }))
        return fail(s, "window " + quoted(a[0]) + " stayed disabled for " + ms_text(s.timeout));
    DWORD width = 0, height = 0;
    parse_decimal(a[1], width);
    parse_decimal(a[2], height);
    RECT asked = {0, 0, static_cast<LONG>(width), static_cast<LONG>(height)};
    if (!map_reference_dialog_rect(asked)) return fail(s, "the dialog units could not be measured");
    POINT target = {asked.right, asked.bottom};
    POINT got = client_pixels(top);
    for (int change = 0; change < 2 && (got.x != target.x || got.y != target.y); ++change) {
        RECT outer = {0, 0, 0, 0};
        GetWindowRect(top, &outer);
        SetWindowPos(top, nullptr, 0, 0, outer.right - outer.left + target.x - got.x,
                     outer.bottom - outer.top + target.y - got.y,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_ASYNCWINDOWPOS);
        // Messages sent to one thread are taken in order: once it answers
        // this one, it has made the change.
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutA(top, WM_NULL, 0, 0, SMTO_NORMAL, s.timeout, &answer))
            return fail(s, "window " + quoted(a[0]) + " did not take a change of size within " + ms_text(s.timeout));
        POINT before = got;
        got = client_pixels(top);
        if (got.x == before.x && got.y == before.y) break;  // the program keeps the size it has
    }
    std::string size = units_text(got);
    if (got.x != target.x || got.y != target.y)
        size += " (asked " + std::to_string(width) + " " + std::to_string(height) + ")";
    std::printf("%s\n", size.c_str());
    return 0;
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
     "select a list or combo box item, a list\nview's row (TEXT: its first column's) or\na tab, by its number from 1 "
     "or its\ntext, with the mouse (a list box with\nLBS_MULTIPLESEL: adds it to the selection)",
     verb_select, nullptr},
    {"activate", 3, 3, kAnywhere, "activate TITLE ID N|TEXT", "double-click a list view's row", verb_activate, nullptr},
    {"header", 3, 3, kAnywhere, "header TITLE ID N|TEXT", "click a list view's column header", verb_header, nullptr},
    {"slide", 3, 3, kAnywhere, "slide TITLE ID VALUE",
     "move a slider to VALUE: click its thumb,\nthen press the arrow keys", verb_slide, check_value},
    {"pick", 2, 2, kAnywhere, "pick TITLE PATH",
     "answer a file or folder picker: type PATH\ninto its name box, click its default\nbutton", verb_pick, nullptr},
    {"menu", 2, 2, kAnywhere, "menu TITLE PATH", "choose a menu bar item, e.g. File>Exit", verb_menu, check_menu},
    {"resize", 3, 3, kAnywhere, "resize TITLE WIDTH HEIGHT",
     "resize a window with a sizing frame, as a\ndrag of its frame would, to a client area\nof WIDTH by HEIGHT dialog "
     "units; print\nthe size it got (the program may keep a\nleast size), and the size asked when\nthey differ",
     verb_resize, check_size},
    {"get", 3, 3, kAnywhere, "get TITLE ID FACT",
     "print a fact: text, check, selected (item,\nrow or tab number, 0 for none; of several,\nthe first), selection "
     "(selected items\nor rows: 1,3), enabled, focus, visible (1\nor 0), count (items, rows, tabs, parts),\nposition "
     "(progress bar, slider, up-down),\ncell:ROW:COLUMN (list view), part:N\n(status bar), rect (X Y W H in the "
     "client\narea, in dialog units rounded from pixels;\nof window: 0 0 and the client area's size)",
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
    if (v == nullptr || (v->where & kInternal && s.in_script)) {
        std::string names;
        for (const Verb& known : kVerbs)
            if (known.where & here && !(known.where & kInternal)) names += std::string(", ") + known.name;
        return bad_usage(s, "no verb " + quoted(verb) + "; the verbs: " + names.substr(2));
    }
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
