// Combo box and list box items by position: a combo box's selected index,
// and inserting and replacing an item at an index. (A list box's selection
// is list_selection_win32.cpp's.)
#include "toolkit/toolkit_private.h"

namespace {

// The class and the messages of one kind of item box; several: whether a
// box of the kind may select several items.
struct ItemMessages {
    const char* class_name;
    UINT get_selection, get_count, insert, remove, select;
    bool several;
};
constexpr ItemMessages kComboMessages = {"ComboBox",      CB_GETCURSEL, CB_GETCOUNT, CB_INSERTSTRING,
                                         CB_DELETESTRING, CB_SETCURSEL, false};
constexpr ItemMessages kListMessages = {"ListBox",       LB_GETCURSEL, LB_GETCOUNT, LB_INSERTSTRING,
                                        LB_DELETESTRING, LB_SETCURSEL, true};

HWND item_box(HWND dialog, std::int32_t id, const ItemMessages& m) { return item_box_of(dialog, id, m.class_name); }

// The box's reply, or -1 (CB_ERR, LB_ERR) when there is no such control: the
// platform answers 0, a valid position, to a message for the null window.
LRESULT send(HWND box, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return box != nullptr ? SendMessageA(box, message, wparam, lparam) : -1;
}

// A platform position (from 0) as an item index (from 1); a negative reply
// (CB_ERR, LB_ERR, CB_ERRSPACE, LB_ERRSPACE) gives 0.
std::int32_t index_of(LRESULT position) { return position >= 0 ? static_cast<std::int32_t>(position) + 1 : 0; }

std::int32_t selected_index(HWND dialog, std::int32_t id, const ItemMessages& m) {
    return index_of(send(item_box(dialog, id, m), m.get_selection));
}

// Inserts the top entry's text at the index and pops it; the new item's index.
std::int32_t insert_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index, const ItemMessages& m,
                         const char* operation) {
    expect_string_args(f, 1, operation);
    LPARAM text = reinterpret_cast<LPARAM>(view_string(string_arg(f, 0)).bytes);
    std::int32_t made = index_of(send(item_box(dialog, id, m), m.insert, item_position(index), text));
    pop_string_args(f, 1);
    return made;
}

// Whether the item at the position is selected, and selecting it again. A
// box that selects several items names its caret item, selected or not, as
// its selection, and refuses the select message: its items' own selection
// states count there.
bool several_selected(HWND box, const ItemMessages& m) { return m.several && is_multiple_selection(box); }

bool is_selected(HWND box, WPARAM at, const ItemMessages& m) {
    if (several_selected(box, m)) return send(box, LB_GETSEL, at) > 0;
    return send(box, m.get_selection) == static_cast<LRESULT>(at);
}

void reselect(HWND box, WPARAM at, const ItemMessages& m) {
    if (several_selected(box, m))
        send(box, LB_SETSEL, TRUE, static_cast<LPARAM>(at));
    else
        send(box, m.select, at);
}

// The platform has no message that changes an item's text: the new item goes
// in at the old one's position, the old one (now one further) goes, and the
// item's selection is put back when it had it.
std::int32_t replace_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index, const ItemMessages& m,
                          const char* operation) {
    expect_string_args(f, 1, operation);
    HWND control = item_box(dialog, id, m);
    std::int32_t replaced = 0;
    if (index >= 1 && index <= send(control, m.get_count)) {
        WPARAM at = item_position(index);
        bool was_selected = is_selected(control, at, m);
        LPARAM text = reinterpret_cast<LPARAM>(view_string(string_arg(f, 0)).bytes);
        if (send(control, m.insert, at, text) >= 0) {
            send(control, m.remove, at + 1);
            if (was_selected) reselect(control, at, m);
            replaced = index;
        }
    }
    pop_string_args(f, 1);
    return replaced;
}

}  // namespace

std::int32_t combo_get_selected_index(HWND dialog, std::int32_t id) {
    return selected_index(dialog, id, kComboMessages);
}

std::int32_t combo_insert_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    return insert_item(f, dialog, id, index, kComboMessages, "combo_insert_item");
}

std::int32_t combo_replace_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    return replace_item(f, dialog, id, index, kComboMessages, "combo_replace_item");
}

std::int32_t list_insert_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    return insert_item(f, dialog, id, index, kListMessages, "list_insert_item");
}

std::int32_t list_replace_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    return replace_item(f, dialog, id, index, kListMessages, "list_replace_item");
}
