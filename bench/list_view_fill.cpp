// Filling a list view with 10,000 rows (or as many as the second argument
// says): a dialog with a report-view list view of one column, every row
// inserted, the dialog destroyed. Ours: add_control and list_view_insert_row
// from strings on the string argument stack; the baseline: the raw calls a
// Win32 C program makes (CreateWindowExA, LVM_INSERTCOLUMNA, LVM_INSERTITEMA)
// with the same texts.
#include <windows.h>

#include <cstdio>

#include "bench/timing.h"
#include "runtime/startup.h"
#include "runtime/state.h"
#include "toolkit/toolkit.h"

// After windows.h.
#include <commctrl.h>

namespace {

constexpr int kView = 100;
constexpr int kMaxRows = 100000;
char row_text[kMaxRows][16];
int row_length[kMaxRows];

void make_texts(long rows) {
    for (long i = 0; i < rows && i < kMaxRows; ++i)
        row_length[i] = std::snprintf(row_text[i], sizeof row_text[i], "Row %ld", i + 1);
}

HWND new_dialog() {
    ProcFrame f;
    push_copy(f, "Rows", 4);
    return create_dialog(f, nullptr, 10, 10, 200, 150, 0, 0);
}

void fill_ours(long rows) {
    HWND dialog = new_dialog();
    ProcFrame f;
    push_empty(f);
    push_empty(f);
    add_control(f, dialog, kView, nullptr, 4, 4, 190, 140, 0, 0, nullptr, kListView);
    push_copy(f, "Name", 4);
    list_view_add_column(f, dialog, kView, 100, kAlignLeft);
    for (long i = 0; i < rows; ++i) {
        push_copy(f, row_text[i], static_cast<std::uint32_t>(row_length[i]));
        list_view_insert_row(f, dialog, kView, 0);
    }
    DestroyWindow(dialog);
}

void fill_raw(long rows) {
    HWND dialog = new_dialog();
    RECT box = {4, 4, 194, 144};
    MapDialogRect(dialog, &box);
    HWND view =
        CreateWindowExA(WS_EX_CLIENTEDGE, "SysListView32", "",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS, box.left,
                        box.top, box.right - box.left, box.bottom - box.top, dialog,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(kView)), GetModuleHandleA(nullptr), nullptr);
    SendMessageA(view, WM_SETFONT, static_cast<WPARAM>(SendMessageA(dialog, WM_GETFONT, 0, 0)), TRUE);
    RECT width = {0, 0, 100, 0};
    MapDialogRect(dialog, &width);
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    column.cx = width.right;
    column.pszText = const_cast<char*>("Name");
    SendMessageA(view, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    SendMessageA(view, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    for (long i = 0; i < rows; ++i) {
        item.iItem = static_cast<int>(i);
        item.pszText = row_text[i];
        SendMessageA(view, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    }
    DestroyWindow(dialog);
}

}  // namespace

int main(int argc, char** argv) {
    runtime_state.instance = GetModuleHandleA(nullptr);
    runtime_state.globals = {nullptr, 0};
    reset_runtime();
    long rows = count_argument(argc, argv, 2, 10000);
    if (rows > kMaxRows) rows = kMaxRows;
    make_texts(rows);
    load_common_controls();
    interleave(
        "list_view_fill", pairs_argument(argc, argv, 5), rows,
        [](long n) {
            fill_ours(n);
            drain_queue();
        },
        [](long n) {
            fill_raw(n);
            drain_queue();
        });
    return 0;
}
