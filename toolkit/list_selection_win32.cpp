// A list box's selection, in boxes that select one item and in boxes the user
// selects several items of (LBS_MULTIPLESEL, LBS_EXTENDEDSEL). Such a box
// answers LB_GETCURSEL with its caret item, selected or not (the first item
// when none is selected), and refuses LB_SETCURSEL, so its selection is read
// and set item by item (docs/platform.md).
#include "toolkit/toolkit_private.h"

namespace {

LRESULT send(HWND box, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) {
    return SendMessageA(box, message, wparam, lparam);
}

HWND list_box(HWND dialog, std::int32_t id) { return item_box_of(dialog, id, "ListBox"); }

// The position (from 0) of the n-th selected item from the top (n from 1);
// -1 when fewer are selected or there is no list box.
LRESULT nth_selected_position(HWND box, std::int32_t n) {
    if (box == nullptr || n < 1) return -1;
    if (!is_multiple_selection(box)) return n == 1 ? send(box, LB_GETCURSEL) : -1;
    if (n > send(box, LB_GETSELCOUNT)) return -1;
    if (n == 1) {
        int first = -1;  // LB_GETSELITEMS fills in ascending order
        return send(box, LB_GETSELITEMS, 1, reinterpret_cast<LPARAM>(&first)) == 1 ? first : -1;
    }
    LRESULT count = send(box, LB_GETCOUNT);
    for (LRESULT i = 0, seen = 0; i < count; ++i)
        if (send(box, LB_GETSEL, static_cast<WPARAM>(i)) > 0 && ++seen == n) return i;
    return -1;
}

// A platform position (from 0) as an item index (from 1); -1 (LB_ERR) gives 0.
std::int32_t index_of(LRESULT position) { return position >= 0 ? static_cast<std::int32_t>(position) + 1 : 0; }

// Selects the item in a box that selects several, as list_view_select_row
// selects a row: add 0 deselects every other item first; the item gets the
// caret and is scrolled into view. Index 0 deselects every item. FALSE, and
// nothing changed, when there is no such item.
BOOL select_among_several(HWND box, std::int32_t index, std::int32_t add) {
    if (index < 0 || index > send(box, LB_GETCOUNT)) return FALSE;
    if (index == 0 || add == 0) send(box, LB_SETSEL, FALSE, -1);
    if (index == 0) return TRUE;
    LPARAM at = index - 1;
    send(box, LB_SETSEL, TRUE, at);
    send(box, LB_SETCARETINDEX, static_cast<WPARAM>(at), FALSE);
    return TRUE;
}

}  // namespace

std::int32_t list_get_selected_index(HWND dialog, std::int32_t id) {
    return index_of(nth_selected_position(list_box(dialog, id), 1));
}

void list_get_selected(ProcFrame& f, HWND dialog, std::int32_t id) {
    list_get_item_text(f, dialog, id, list_get_selected_index(dialog, id));
}

std::int32_t list_selected_count(HWND dialog, std::int32_t id) {
    HWND box = list_box(dialog, id);
    if (box == nullptr) return 0;
    if (is_multiple_selection(box)) return static_cast<std::int32_t>(send(box, LB_GETSELCOUNT));
    return send(box, LB_GETCURSEL) >= 0 ? 1 : 0;
}

std::int32_t list_nth_selected(HWND dialog, std::int32_t id, std::int32_t n) {
    return index_of(nth_selected_position(list_box(dialog, id), n));
}

// A box that selects one item keeps LB_SETCURSEL, sent to whatever control
// has the id, as this operation always did.
void list_select_item(HWND dialog, std::int32_t id, std::int32_t index) {
    check_program_thread("a control operation");
    HWND box = list_box(dialog, id);
    if (box != nullptr && is_multiple_selection(box))
        select_among_several(box, index, 0);
    else
        send(GetDlgItem(dialog, id), LB_SETCURSEL, item_position(index));
}

BOOL list_select_item_add(HWND dialog, std::int32_t id, std::int32_t index) {
    check_program_thread("a control operation");
    HWND box = list_box(dialog, id);
    if (box == nullptr) return FALSE;
    if (is_multiple_selection(box)) return select_among_several(box, index, 1);
    if (index < 0 || index > send(box, LB_GETCOUNT)) return FALSE;
    send(box, LB_SETCURSEL, item_position(index));
    return TRUE;
}
