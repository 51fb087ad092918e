// List boxes and combo boxes of any process: reading their items and
// choosing one with the mouse, as a user does.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

enum class ListKind { kNone, kList, kCombo };

// A list box (also a combo box's drop-down list), a combo box, or neither.
ListKind list_kind(HWND w);
// The selected item's index from 0, -1 for none; of a list box that selects
// several items (LBS_MULTIPLESEL, LBS_EXTENDEDSEL), the first selected from
// the top, where LB_GETCURSEL would name the caret item, selected or not.
int selected_index(HWND w);
// Every selected item's index from 0, from the top: of a combo box or a list
// box that selects one item, that item or none.
std::vector<int> selected_items(HWND w);
// Whether item index (from 0) is selected.
bool item_selected(HWND w, int index);
// Whether a click on an item of the list box toggles it (LBS_MULTIPLESEL)
// rather than selecting it alone, as in every other list box.
bool click_toggles(HWND list);
// The number of items, 0 for a control that is no list.
int item_count(HWND w);

// The text of item index (from 0) of a list box, or of a combo box's list,
// as UTF-8; "" when there is no such item.
std::string list_item_text(HWND list, int index, bool combo);
// The index (from 0) of the item that which names: its decimal number from
// 1, or else its exact text; -1 while there is none.
int item_named(HWND list, bool combo, const std::string& which);

// Clicks item index of a list box, or opens the combo box with a click on
// its arrow and clicks the item in its drop-down list; each wait up to ms.
// False with error set when the list does not open or a click fails.
bool click_item(HWND control, int index, DWORD ms, std::string& error);
