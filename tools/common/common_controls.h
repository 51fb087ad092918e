// The platform's common controls of any process, read and worked as a user
// does: list views in report view, tab controls, progress bars, sliders,
// up-downs and status bars. Their texts and rectangles cross processes only
// through memory of the program's own (messages such as LVM_GETITEMTEXTW
// write to a pointer in the program), which these functions hold for each
// reading and lay out for the program's pointer size.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class CommonKind { kNone, kListView, kTabs, kProgress, kSlider, kUpDown, kStatus };

// The kind of common control w is, by its class.
CommonKind common_kind(HWND w);
// What a user calls the kind ("list view", "slider"), for messages.
const char* common_kind_name(CommonKind kind);

// The rows of a list view, the tabs of a tab control, the parts of a status
// bar; 0 for any other window.
int common_count(HWND w);
// The position of a progress bar, slider or up-down; false for another kind.
bool common_position(HWND w, int& position);

// Texts, as UTF-8, with indexes from 0; false with error set when the
// control has no such row, column, tab or part or cannot be read.
bool cell_text(HWND list_view, int row, int column, std::string& text, std::string& error);
bool column_text(HWND list_view, int column, std::string& text, std::string& error);
bool tab_text(HWND tabs, int tab, std::string& text, std::string& error);
bool part_text(HWND status, int part, std::string& text, std::string& error);

// The columns of a list view (its header's items).
int column_count(HWND list_view);
// The selected rows of a list view, from 0 and in order.
std::vector<int> selected_rows(HWND list_view);
// The selected tab from 0, -1 for none.
int selected_tab(HWND tabs);

// The row (of a list view, by its first column) or the tab that which names:
// its number from 1, else its exact text; the column, likewise, by its
// header's text. -1 while there is none.
int common_item_named(HWND w, const std::string& which);
int column_named(HWND list_view, const std::string& which);

// Where a user clicks, in screen coordinates: a row's first cell (scrolled
// into view first), a tab, a column's header, a slider's thumb. False with
// error set when the control answers no rectangle.
bool row_point(HWND list_view, int row, POINT& p, std::string& error);
bool tab_point(HWND tabs, int tab, POINT& p, std::string& error);
bool column_point(HWND list_view, int column, POINT& p, std::string& error);
bool thumb_point(HWND slider, POINT& p, std::string& error);
