// A to-do list: type a task, give it a priority and maybe mark it urgent,
// add it to the list, remove it when done (after a question in a message box
// that belongs to the list). The title counts the tasks; the menu bar has
// File > Exit, Edit > Find (Ctrl+F), which opens a modeless Find dialog, and
// Help > About (F1), which shows an About dialog owned by the list. The list
// can be resized: the task box, the list and the status line stretch, the
// buttons keep to the right edge. An application of its own on the toolkit, built against the installed
// package, and played by its UI test (todo.script).
#include "runtime/startup.h"
#include "runtime/strings.h"
#include "toolkit/toolkit.h"

namespace {

enum : std::int32_t {
    kTaskBox = 101,
    kPriority = 102,
    kUrgent = 103,
    kAdd = 104,
    kRemove = 105,
    kTasks = 106,
    kStatus = 107,
    kAboutText = 108,
    kFindBox = 110,

    kMenuExit = 200,
    kMenuAbout = 201,
    kMenuFind = 202,
};

constexpr auto literals =
    make_literal_pool("To do", "", "Task:", "Priority:", "Low", "Normal", "High", "Urgent", "&Add", "&Remove",
                      "Type a task and press Add.", " (", ")", " [", "]", " !", "Added ", "Removed ", "Selected ",
                      "Type a task first.", "&File", "E&xit", "&Help", "&About\t", "About To do",
                      "To do: a list of tasks, built on the Kestrowane toolkit.", "OK", "&Edit", "&Find...\t", "Find",
                      "Find:", "&Next", "Close", "Found ", "Not found: ", "Remove task", "Remove ", "?");

enum Literal {
    kTitle,
    kEmpty,
    kTaskCaption,
    kPriorityCaption,
    kLow,
    kNormal,
    kHigh,
    kUrgentText,
    kAddText,
    kRemoveText,
    kWelcome,
    kOpen,
    kClose,
    kOpenBracket,
    kCloseBracket,
    kUrgentMark,
    kAdded,
    kRemoved,
    kSelected,
    kNoText,
    kFileMenu,
    kExitItem,
    kHelpMenu,
    kAboutItem,
    kAboutTitle,
    kAboutMessage,
    kOk,
    kEditMenu,
    kFindItem,
    kFindTitle,
    kFindCaption,
    kNextText,
    kCloseText,
    kFound,
    kNotFound,
    kRemoveTitle,
    kRemoveQuestion,
    kQuestionMark,
};

constexpr std::int32_t kPriorityCount = 3;

struct Globals {
    DynString priorities[kPriorityCount];
    std::int32_t tasks;  // how many tasks the list holds
    HWND list;           // the main dialog
    HWND find;           // the Find dialog while it is open
};
Globals globals;

// ---- Helpers on the caller's string argument stack -----------------------------

void push_number(ProcFrame& f, std::int32_t n) {
    char digits[12];
    std::uint32_t pos = sizeof digits;
    std::uint32_t v = static_cast<std::uint32_t>(n);
    do {
        digits[--pos] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    push_copy(f, digits + pos, sizeof digits - pos);
}

void append_literal(ProcFrame& f, Literal text) {
    push_literal(f, literals[text]);
    string_concat(f);
}

// The status line shows the top entry (consumed) or a literal.
void show_status(ProcFrame& f, HWND dialog) { write_control_text(f, dialog, kStatus); }
void show_status(ProcFrame& f, HWND dialog, Literal text) {
    push_literal(f, literals[text]);
    show_status(f, dialog);
}

// The status line names the selected task after text, and Remove can take it.
void show_selected(ProcFrame& f, HWND dialog, Literal text) {
    push_literal(f, literals[text]);
    list_get_selected(f, dialog, kTasks);
    string_concat(f);
    show_status(f, dialog);
    enable_control(dialog, kRemove, 1);
}

HWND add(ProcFrame& f, HWND dialog, std::int32_t id, ControlKind kind, Literal text, std::int32_t x, std::int32_t y,
         std::int32_t width, std::int32_t height, ControlCallback callback = nullptr, std::uint32_t style = 0,
         const ArrayDescriptor* items = nullptr) {
    push_empty(f);
    push_literal(f, literals[text]);
    return add_control(f, dialog, id, items, x, y, width, height, style, 0, callback, kind);
}

// The title counts the tasks: "To do (3)".
void show_count(ProcFrame& f, HWND dialog) {
    push_literal(f, literals[kTitle]);
    append_literal(f, kOpen);
    push_number(f, globals.tasks);
    string_concat(f);
    append_literal(f, kClose);
    set_dialog_title(f, dialog);
}

// ---- Callbacks ---------------------------------------------------------------------

// Add: "<task> [<priority>]", and " !" when urgent; the box is emptied for
// the next task.
std::int32_t on_add(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    read_control_text(f, dialog, kTaskBox);
    if (view_string(string_arg(f, 0)).count == 0) {
        pop_string(f);
        show_status(f, dialog, kNoText);
        focus_control(dialog, kTaskBox);
        return f.result;
    }
    append_literal(f, kOpenBracket);
    combo_get_selected(f, dialog, kPriority);
    string_concat(f);
    append_literal(f, kCloseBracket);
    if (get_control_check(dialog, kUrgent) == BST_CHECKED) append_literal(f, kUrgentMark);
    DynString task = 0;
    string_assign(f, task);
    push_borrowed(f, task);
    list_add_item(f, dialog, kTasks);
    ++globals.tasks;
    show_count(f, dialog);
    push_literal(f, literals[kAdded]);
    push_handle(f, task);
    string_concat(f);
    show_status(f, dialog);
    push_empty(f);
    write_control_text(f, dialog, kTaskBox);
    set_control_check(dialog, kUrgent, BST_UNCHECKED);
    focus_control(dialog, kTaskBox);
    return f.result;
}

// Remove: asks first, in a box that keeps the list disabled while it is
// open; the selected task goes; Remove waits for the next selection.
std::int32_t on_remove(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    std::int32_t selected = list_get_selected_index(dialog, kTasks);
    if (selected == 0) return f.result;
    push_literal(f, literals[kRemoveQuestion]);
    list_get_selected(f, dialog, kTasks);
    string_concat(f);
    append_literal(f, kQuestionMark);
    push_literal(f, literals[kRemoveTitle]);
    if (owned_message_box(f, dialog, MB_YESNO | MB_ICONQUESTION) != IDYES) return f.result;
    push_literal(f, literals[kRemoved]);
    list_get_selected(f, dialog, kTasks);
    string_concat(f);
    list_delete_item(dialog, kTasks, selected);
    --globals.tasks;
    show_count(f, dialog);
    show_status(f, dialog);
    enable_control(dialog, kRemove, 0);
    focus_control(dialog, kTaskBox);
    return f.result;
}

std::int32_t on_tasks(HWND dialog, UINT, WPARAM wparam, LPARAM) {
    ProcFrame f;
    if (HIWORD(wparam) != LBN_SELCHANGE) return f.result;
    show_selected(f, dialog, kSelected);
    return f.result;
}

// File > Exit, and Close in the Find dialog: ends the dialog it belongs to.
std::int32_t on_close(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 0);
    return f.result;
}

std::int32_t on_about_ok(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    close_dialog(dialog, 1);
    return f.result;
}

// Escape asks for IDCANCEL, which no control of the About dialog has: the
// dialog's own callback ends it.
std::int32_t on_about_event(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
    ProcFrame f;
    if (message == WM_COMMAND && LOWORD(wparam) == IDCANCEL) close_dialog(dialog, 0);
    return f.result;
}

// Help > About: a modal dialog owned by the list, which stays disabled
// until it ends.
std::int32_t on_about(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    std::int32_t result = 0;
    push_literal(f, literals[kAboutTitle]);
    HWND about = create_dialog(f, dialog, -1, -1, 180, 50, 0, 0);
    add(f, about, kAboutText, kLabel, kAboutMessage, 8, 8, 164, 10);
    add(f, about, IDOK, kPushButton, kOk, 67, 28, 46, 14, on_about_ok, BS_DEFPUSHBUTTON);
    run_dialog_modal(about, on_about_event, &result);
    return f.result;
}

// ---- The Find dialog ---------------------------------------------------------------

// Next (Enter, F3): selects the next task that begins with the text typed,
// after the selected one and round to the first.
std::int32_t on_find_next(HWND find, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    DynString text = 0;
    read_control_text(f, find, kFindBox);
    string_assign(f, text);
    HWND list = globals.list;
    WPARAM after = static_cast<WPARAM>(list_get_selected_index(list, kTasks) - 1);  // -1: from the first
    LRESULT found =
        SendDlgItemMessageA(list, kTasks, LB_FINDSTRING, after, reinterpret_cast<LPARAM>(view_string(text).bytes));
    if (found == LB_ERR) {
        push_literal(f, literals[kNotFound]);
        push_handle(f, text);
        string_concat(f);
        show_status(f, list);
        return f.result;
    }
    free_string(text);
    list_select_item(list, kTasks, static_cast<std::int32_t>(found) + 1);
    show_selected(f, list, kFound);
    return f.result;
}

std::int32_t on_find_event(HWND, UINT message, WPARAM, LPARAM) {
    ProcFrame f;
    if (message == WM_DESTROY) globals.find = nullptr;
    return f.result;
}

// F3 in the Find dialog is Next once more.
const DialogShortcut kFindShortcuts[] = {
    {VK_F3, IDOK, on_find_next},
    {0, 0, nullptr},
};

// Edit > Find (Ctrl+F): a modeless dialog owned by the list, which stays
// usable; a second Find goes back to the open one.
std::int32_t on_find(HWND dialog, UINT, WPARAM, LPARAM) {
    ProcFrame f;
    if (globals.find != nullptr) {
        focus_control(globals.find, kFindBox);
        return f.result;
    }
    push_literal(f, literals[kFindTitle]);
    HWND find = create_dialog(f, dialog, -1, -1, 160, 48, 0, 0);
    add(f, find, 0, kLabel, kFindCaption, 6, 8, 26, 8);
    add(f, find, kFindBox, kTextBox, kEmpty, 34, 6, 120, 12);
    add(f, find, IDOK, kPushButton, kNextText, 50, 26, 50, 14, on_find_next,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    add(f, find, IDCANCEL, kPushButton, kCloseText, 104, 26, 50, 14, on_close);
    set_dialog_shortcuts(find, kFindShortcuts);
    globals.find = find;
    show_dialog_modeless(find, on_find_event, nullptr);
    focus_control(find, kFindBox);
    return f.result;
}

// ---- Building the window ---------------------------------------------------------

void append_item(ProcFrame& f, HMENU menu, Literal text, std::uintptr_t id, ControlCallback callback) {
    push_literal(f, literals[text]);
    add_menu_item(f, menu, id, 0, 0, callback, 0);
}

// An item whose text ends with the text of its shortcut, after a tab.
void append_item_with_keys(ProcFrame& f, HMENU menu, Literal text, std::uint32_t keys, std::uintptr_t id,
                           ControlCallback callback) {
    push_literal(f, literals[text]);
    push_shortcut_text(f, keys);
    string_concat(f);
    add_menu_item(f, menu, id, 0, 0, callback, 0);
}

void append_popup(ProcFrame& f, HMENU menu, Literal text, HMENU popup) {
    push_literal(f, literals[text]);
    add_menu_item(f, menu, reinterpret_cast<std::uintptr_t>(popup), 0, 0, nullptr, MENU_FLAG_SUBMENU);
}

// The shortcuts of the list name the menu items they choose.
const DialogShortcut kListShortcuts[] = {
    {kShortcutCtrl | 'F', kMenuFind, nullptr},
    {VK_F1, kMenuAbout, nullptr},
    {0, 0, nullptr},
};

void build_menus(ProcFrame& f, HWND dialog) {
    HMENU bar = create_menu(0);
    HMENU file = create_menu(1);
    HMENU edit = create_menu(1);
    HMENU help = create_menu(1);
    append_item(f, file, kExitItem, kMenuExit, on_close);
    append_item_with_keys(f, edit, kFindItem, kShortcutCtrl | 'F', kMenuFind, on_find);
    append_item_with_keys(f, help, kAboutItem, VK_F1, kMenuAbout, on_about);
    append_popup(f, bar, kFileMenu, file);
    append_popup(f, bar, kEditMenu, edit);
    append_popup(f, bar, kHelpMenu, help);
    // The window grows by the bar's height: the controls keep the client area
    // they were laid out in, whatever the dialog font and resolution.
    attach_menu_keeping_client(dialog, bar);
    set_dialog_shortcuts(dialog, kListShortcuts);
}

void add_controls(ProcFrame& f, HWND dialog) {
    for (std::int32_t i = 0; i < kPriorityCount; ++i) {
        push_literal(f, literals[kLow + i]);
        string_assign(f, globals.priorities[i]);
    }
    ArrayDescriptor priorities = {globals.priorities, kArrayHasItems, kPriorityCount};
    add(f, dialog, 0, kLabel, kTaskCaption, 6, 8, 40, 8);
    add(f, dialog, kTaskBox, kTextBox, kEmpty, 48, 6, 126, 12);
    add(f, dialog, 0, kLabel, kPriorityCaption, 6, 24, 40, 8);
    // A drop-down list without sorting: the priorities keep their order.
    add(f, dialog, kPriority, kComboBox, kEmpty, 48, 22, 60, 60, nullptr,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWNLIST, &priorities);
    add(f, dialog, kUrgent, kCheckBox, kUrgentText, 116, 23, 58, 10);
    add(f, dialog, kAdd, kPushButton, kAddText, 180, 5, 50, 14, on_add,
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON);
    add(f, dialog, kRemove, kPushButton, kRemoveText, 180, 21, 50, 14, on_remove);
    // Tasks keep the order they were added in (no LBS_SORT); the list takes
    // the whole height it is stretched to, not a whole number of items.
    add(f, dialog, kTasks, kListBox, kEmpty, 6, 40, 224, 80, on_tasks,
        WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | WS_BORDER | LBS_NOINTEGRALHEIGHT);
    // The status line ends short of the size grip in the corner.
    add(f, dialog, kStatus, kLabel, kWelcome, 6, 124, 212, 10, nullptr, WS_CHILD | WS_VISIBLE | SS_SUNKEN);
    combo_select_item(dialog, kPriority, 2);  // Normal
    enable_control(dialog, kRemove, 0);
}

// What follows the dialog's size: the task box, the list and the status line
// stretch with its width, the list with its height too; the buttons keep to
// the right edge, the status line to the bottom.
void anchor_controls(HWND dialog) {
    set_control_anchors(dialog, kTaskBox, kAnchorLeft | kAnchorTop | kAnchorRight);
    set_control_anchors(dialog, kAdd, kAnchorRight | kAnchorTop);
    set_control_anchors(dialog, kRemove, kAnchorRight | kAnchorTop);
    set_control_anchors(dialog, kTasks, kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom);
    set_control_anchors(dialog, kStatus, kAnchorLeft | kAnchorRight | kAnchorBottom);
    make_dialog_resizable(dialog);
}

}  // namespace

KW_GLOBAL_AREA(globals);

std::int32_t main_procedure(void*, void*, const char*, std::int32_t) {
    ProcFrame f;
    std::int32_t result = 0;
    push_literal(f, literals[kTitle]);
    HWND dialog = create_dialog(f, nullptr, -1, -1, 236, 138, 0, 0);
    globals.list = dialog;
    build_menus(f, dialog);
    add_controls(f, dialog);
    anchor_controls(dialog);
    show_count(f, dialog);
    focus_control(dialog, kTaskBox);
    run_dialog_modal(dialog, nullptr, &result);
    return f.result;
}
