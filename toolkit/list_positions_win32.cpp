// Combo box and list box items by position: the selected index, and
// inserting and replacing an item at an index.
#include "toolkit/toolkit_private.h"

namespace {

// The class and the messages of one kind of item box.
struct ItemMessages {
    const char* class_name;
    UINT get_selection, get_count, insert, remove, select;
};
constexpr ItemMessages kComboMessages = {"ComboBox",      CB_GETCURSEL,    CB_GETCOUNT,
                                         CB_INSERTSTRING, CB_DELETESTRING, CB_SETCURSEL};
constexpr ItemMessages kListMessages = {"ListBox",       LB_GETCURSEL,    LB_GETCOUNT,
                                        LB_INSERTSTRING, LB_DELETESTRING, LB_SETCURSEL};

// The box (dialog, id) names when it is of the kind, else null: a control
// of another kind answers these messages with 0, which would read as the
// first item, selected or inserted.
HWND item_box(HWND dialog, std::int32_t id, const ItemMessages& m) {
    HWND box = GetDlgItem(dialog, id);
    char name[16];
    if (box == nullptr || GetClassNameA(box, name, sizeof name) == 0 || lstrcmpiA(name, m.class_name) != 0)
        return nullptr;
    return box;
}

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

// The platform has no message that changes an item's text: the new item goes
// in at the old one's position, the old one (now one further) goes, and the
// selection is put back when it was on that item.
std::int32_t replace_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index, const ItemMessages& m,
                          const char* operation) {
    expect_string_args(f, 1, operation);
    HWND control = item_box(dialog, id, m);
    std::int32_t replaced = 0;
    if (index >= 1 && index <= send(control, m.get_count)) {
        WPARAM at = item_position(index);
        bool was_selected = send(control, m.get_selection) == static_cast<LRESULT>(at);
        LPARAM text = reinterpret_cast<LPARAM>(view_string(string_arg(f, 0)).bytes);
        if (send(control, m.insert, at, text) >= 0) {
            send(control, m.remove, at + 1);
            if (was_selected) send(control, m.select, at);
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

std::int32_t list_get_selected_index(HWND dialog, std::int32_t id) { return selected_index(dialog, id, kListMessages); }

std::int32_t list_insert_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    return insert_item(f, dialog, id, index, kListMessages, "list_insert_item");
}

std::int32_t list_replace_item(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t index) {
    return replace_item(f, dialog, id, index, kListMessages, "list_replace_item");
}
