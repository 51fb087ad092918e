// The list view (kind 16) in report view: columns, rows and their cells,
// the selection, sorting by a column's text, and what its notifications say.
// Texts go to and come from the control in UTF-16 (the W messages), converted
// from and to the program's code page, so a cell holds any script whatever
// the window's own character set. Rows and columns count from 1.
#include "runtime/checked.h"
#include "toolkit/toolkit_private.h"

// After windows.h, which toolkit_private.h brings.
#include <commctrl.h>

namespace {

// The list view's reply, or fallback when there is no such control (the
// platform answers 0 to a message for the null window, which could pass for
// a row).
LRESULT send(HWND view, UINT message, WPARAM wparam, LPARAM lparam, LRESULT fallback = 0) {
    return view != nullptr ? SendMessageW(view, message, wparam, lparam) : fallback;
}

// The list view (dialog, id) names, or null when it is no list view, whose
// messages another control could read otherwise.
HWND list_view(HWND dialog, std::int32_t id) {
    return control_of_class(dialog, id, WC_LISTVIEWA, "a list view operation");
}

std::int32_t row_count(HWND view) { return static_cast<std::int32_t>(send(view, LVM_GETITEMCOUNT, 0, 0)); }

std::int32_t column_count(HWND view) {
    HWND header = reinterpret_cast<HWND>(send(view, LVM_GETHEADER, 0, 0));
    LRESULT n = header != nullptr ? SendMessageW(header, HDM_GETITEMCOUNT, 0, 0) : 0;
    return n > 0 ? static_cast<std::int32_t>(n) : 0;
}

bool is_row(HWND view, std::int32_t row) { return row >= 1 && row <= row_count(view); }
bool is_column(HWND view, std::int32_t column) { return column >= 1 && column <= column_count(view); }

// The text of a cell, in the process heap (its length in units in length);
// null when it could not be allocated. The buffer grows until the text fits.
WCHAR* cell_text(HWND view, std::int32_t row, std::int32_t column, int& length) {
    LVITEMW item = {};
    item.iSubItem = column - 1;
    for (int room = 256;; room *= 2) {
        auto* text = static_cast<WCHAR*>(HeapAlloc(GetProcessHeap(), 0, static_cast<SIZE_T>(room) * sizeof(WCHAR)));
        if (text == nullptr) return nullptr;
        item.pszText = text;
        item.cchTextMax = room;
        text[0] = 0;
        LRESULT n = send(view, LVM_GETITEMTEXTW, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item));
        if (n < room - 1 || room >= 0x1000000) {
            length = n > 0 && n < room ? static_cast<int>(n) : 0;
            return text;
        }
        HeapFree(GetProcessHeap(), 0, text);
    }
}

// Sets or clears the selected state of a platform position (-1: every row).
void set_selected(HWND view, WPARAM position, bool selected, UINT extra = 0) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | extra;
    item.state = selected ? LVIS_SELECTED | extra : 0;
    send(view, LVM_SETITEMSTATE, position, reinterpret_cast<LPARAM>(&item));
}

// One column's texts, by the rows' positions before the sort (each row's
// item data while it sorts), and the order.
struct SortContext {
    WCHAR** texts;
    int* lengths;
    int direction;  // 1 ascending, -1 descending
};

int CALLBACK compare_rows(LPARAM a, LPARAM b, LPARAM context) {
    const auto* c = reinterpret_cast<const SortContext*>(context);
    // Runs of digits compare as numbers ("9" before "10", "file2" before
    // "file10"), as a person reads a column of sizes or numbered names. A
    // platform older than Windows 7 refuses that flag, and is asked again
    // without it.
    int order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE | SORT_DIGITSASNUMBERS, c->texts[a], c->lengths[a],
                               c->texts[b], c->lengths[b]);
    if (order == 0)
        order = CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, c->texts[a], c->lengths[a], c->texts[b],
                               c->lengths[b]);
    order = order == 0 ? 0 : order - CSTR_EQUAL;
    // Rows of equal text keep their order, in either direction.
    if (order == 0) return a < b ? -1 : a > b ? 1 : 0;
    return order * c->direction;
}

void* heap_array(std::int32_t count, SIZE_T size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, static_cast<SIZE_T>(count) * size);
}

}  // namespace

std::int32_t list_view_add_column(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t width,
                                  std::uint32_t alignment) {
    expect_string_args(f, 1, "list_view_add_column");
    HWND view = list_view(dialog, id);
    std::int32_t made = 0;
    Wide text(view_string(string_arg(f, 0)));
    if (view != nullptr && text.text() != nullptr) {
        std::int32_t at = column_count(view);
        // Dialog units to pixels, the width kept within 0 to 32,767 units so
        // the conversion cannot overflow.
        RECT r = {0, 0, width < 0 ? 0 : width > 0x7FFF ? 0x7FFF : width, 0};
        MapDialogRect(dialog, &r);
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
        column.fmt = alignment == kAlignRight ? LVCFMT_RIGHT : alignment == kAlignCentre ? LVCFMT_CENTER : LVCFMT_LEFT;
        column.cx = r.right;
        column.pszText = text.text();
        column.iSubItem = at;
        LRESULT position = send(view, LVM_INSERTCOLUMNW, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(&column));
        if (position >= 0) made = static_cast<std::int32_t>(position) + 1;
        if (made == 1) send(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    }
    pop_string_args(f, 1);
    return made;
}

std::int32_t list_view_column_count(HWND dialog, std::int32_t id) { return column_count(list_view(dialog, id)); }

std::int32_t list_view_insert_row(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t row) {
    expect_string_args(f, 1, "list_view_insert_row");
    HWND view = list_view(dialog, id);
    std::int32_t made = 0;
    std::int32_t count = row_count(view);
    Wide text(view_string(string_arg(f, 0)));
    if (view != nullptr && text.text() != nullptr && row >= 0 && row <= count + 1) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row == 0 ? count : row - 1;
        item.pszText = text.text();
        LRESULT position = send(view, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        if (position >= 0) made = static_cast<std::int32_t>(position) + 1;
    }
    pop_string_args(f, 1);
    return made;
}

BOOL list_view_set_cell(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t row, std::int32_t column) {
    expect_string_args(f, 1, "list_view_set_cell");
    HWND view = list_view(dialog, id);
    BOOL done = FALSE;
    Wide text(view_string(string_arg(f, 0)));
    if (is_row(view, row) && is_column(view, column) && text.text() != nullptr) {
        LVITEMW item = {};
        item.iSubItem = column - 1;
        item.pszText = text.text();
        done = send(view, LVM_SETITEMTEXTW, static_cast<WPARAM>(row - 1), reinterpret_cast<LPARAM>(&item)) != 0;
    }
    pop_string_args(f, 1);
    return done;
}

void list_view_get_cell(ProcFrame& f, HWND dialog, std::int32_t id, std::int32_t row, std::int32_t column) {
    HWND view = list_view(dialog, id);
    if (!is_row(view, row) || !is_column(view, column)) {
        push_empty(f);
        return;
    }
    int length = 0;
    WCHAR* text = cell_text(view, row, column, length);
    if (text == nullptr) {
        push_new_string(f, allocate_string(0));
        record_error(f, kOutOfMemory);
        return;
    }
    push_wide_text(f, text);
    HeapFree(GetProcessHeap(), 0, text);
}

BOOL list_view_delete_row(HWND dialog, std::int32_t id, std::int32_t row) {
    HWND view = list_view(dialog, id);
    return is_row(view, row) && send(view, LVM_DELETEITEM, static_cast<WPARAM>(row - 1), 0) != 0;
}

void list_view_clear(HWND dialog, std::int32_t id) { send(list_view(dialog, id), LVM_DELETEALLITEMS, 0, 0); }

std::int32_t list_view_row_count(HWND dialog, std::int32_t id) { return row_count(list_view(dialog, id)); }

std::int32_t list_view_selected_row(HWND dialog, std::int32_t id) { return list_view_nth_selected(dialog, id, 1); }

std::int32_t list_view_selected_count(HWND dialog, std::int32_t id) {
    return static_cast<std::int32_t>(send(list_view(dialog, id), LVM_GETSELECTEDCOUNT, 0, 0));
}

std::int32_t list_view_nth_selected(HWND dialog, std::int32_t id, std::int32_t n) {
    HWND view = list_view(dialog, id);
    if (view == nullptr || n < 1) return 0;
    LRESULT position = -1;
    for (std::int32_t k = 0; k < n; ++k) {
        position = send(view, LVM_GETNEXTITEM, static_cast<WPARAM>(position), LVNI_SELECTED, -1);
        if (position < 0) return 0;
    }
    return static_cast<std::int32_t>(position) + 1;
}

BOOL list_view_select_row(HWND dialog, std::int32_t id, std::int32_t row, std::int32_t add) {
    HWND view = list_view(dialog, id);
    if (row == 0 && view != nullptr) {
        set_selected(view, static_cast<WPARAM>(-1), false);
        return TRUE;
    }
    if (!is_row(view, row)) return FALSE;
    if (add == 0) set_selected(view, static_cast<WPARAM>(-1), false);
    set_selected(view, static_cast<WPARAM>(row - 1), true, LVIS_FOCUSED);
    send(view, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row - 1), FALSE);
    return TRUE;
}

BOOL list_view_sort(HWND dialog, std::int32_t id, std::int32_t column, std::int32_t descending) {
    HWND view = list_view(dialog, id);
    if (!is_column(view, column)) return FALSE;
    std::int32_t rows = row_count(view);
    if (rows < 2) return TRUE;
    SortContext c = {static_cast<WCHAR**>(heap_array(rows, sizeof(WCHAR*))),
                     static_cast<int*>(heap_array(rows, sizeof(int))), descending != 0 ? -1 : 1};
    bool read = c.texts != nullptr && c.lengths != nullptr;
    // Each row's item data becomes its position before the sort, which is
    // what the comparison is handed: the positions the platform itself would
    // hand it change while it sorts.
    for (std::int32_t r = 0; read && r < rows; ++r) {
        c.texts[r] = cell_text(view, r + 1, column, c.lengths[r]);
        LVITEMW item = {};
        item.mask = LVIF_PARAM;
        item.iItem = r;
        item.lParam = r;
        read = c.texts[r] != nullptr && send(view, LVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item)) != 0;
    }
    BOOL sorted =
        read && send(view, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&c), reinterpret_cast<LPARAM>(compare_rows)) != 0;
    for (std::int32_t r = 0; c.texts != nullptr && r < rows; ++r)
        if (c.texts[r] != nullptr) HeapFree(GetProcessHeap(), 0, c.texts[r]);
    if (c.texts != nullptr) HeapFree(GetProcessHeap(), 0, c.texts);
    if (c.lengths != nullptr) HeapFree(GetProcessHeap(), 0, c.lengths);
    return sorted;
}

ListViewEvent list_view_event(UINT message, LPARAM lparam) {
    ListViewEvent event = {0, 0, 0};
    if (message != WM_NOTIFY || lparam == 0) return event;
    const auto* header = reinterpret_cast<const NMHDR*>(lparam);
    event.code = header->code;
    switch (header->code) {
        // Activation by Enter may come as a bare NMHDR (seen under Wine), so
        // nothing past it is read: the activated row is the focused one,
        // which a double click makes the row under the pointer.
        case LVN_ITEMACTIVATE: {
            LRESULT focused = SendMessageW(header->hwndFrom, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
            event.row = focused >= 0 ? static_cast<std::int32_t>(focused) + 1 : 0;
            break;
        }
        // Each of these carries an NMLISTVIEW.
        case LVN_COLUMNCLICK:
        case LVN_ITEMCHANGING:
        case LVN_ITEMCHANGED:
        case LVN_INSERTITEM:
        case LVN_DELETEITEM:
        case LVN_BEGINDRAG:
        case LVN_BEGINRDRAG: {
            const auto* n = reinterpret_cast<const NMLISTVIEW*>(lparam);
            event.row = n->iItem >= 0 ? n->iItem + 1 : 0;
            event.column = n->iSubItem >= 0 ? n->iSubItem + 1 : 0;
            break;
        }
        default:
            break;
    }
    return event;
}
