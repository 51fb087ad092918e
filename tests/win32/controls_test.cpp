// Controls on the real platform: creation by kind, items, images, and every
// control operation, including ids that name no control.
#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/common/control_kind_cases.h"
#include "tests/common/string_testing.h"
#include "tests/common/win32_testing.h"
#include "toolkit/toolkit.h"

namespace {

constexpr auto pool = make_literal_pool("Dialog", "SQUARE", "DISC", "NOSUCH", "Text");
enum { kTitle, kSquare, kDisc, kNoSuch, kText };

std::int32_t seen_callback(HWND, UINT, WPARAM, LPARAM) { return 0; }

class Controls : public StringRuntimeTest {
protected:
    void SetUp() override {
        StringRuntimeTest::SetUp();
        start_runtime_for_test();
        ProcFrame f;
        push_literal(f, pool[kTitle]);
        dialog_ = create_dialog(f, nullptr, 10, 10, 200, 150, 0, 0);
        ASSERT_NE(dialog_, nullptr);
    }
    void TearDown() override {
        DestroyWindow(dialog_);
        pump_messages();
        StringRuntimeTest::TearDown();
    }
    // add_control with an empty class name and the given text.
    HWND add(ControlKind kind, std::int32_t id, const std::string& text, std::uint32_t style = 0,
             std::uint32_t exstyle = 0, const ArrayDescriptor* items = nullptr, std::int32_t w = 60,
             std::int32_t h = 14, ControlCallback cb = nullptr) {
        ProcFrame f;
        push_empty(f);
        push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
        HWND c = add_control(f, dialog_, id, items, 4, 4, w, h, style, exstyle, cb, kind);
        EXPECT_EQ(f.strings.depth, 0u) << "both string arguments consumed";
        return c;
    }
    // The text an operation pushes; its error word is left in last_error_.
    std::string read_text(std::int32_t id) { return selected(read_control_text, id); }
    template <typename Op>
    std::string selected(Op op, std::int32_t id) {
        ProcFrame f;
        op(f, dialog_, id);
        EXPECT_EQ(f.strings.depth, 1u);
        std::string s = bytes_of(string_arg(f, 0));
        pop_string(f);
        last_error_ = f.error_word;
        return s;
    }
    void add_item(void (*op)(ProcFrame&, HWND, std::int32_t), std::int32_t id, const std::string& text) {
        ProcFrame f;
        push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
        op(f, dialog_, id);
        EXPECT_EQ(f.strings.depth, 0u);
    }
    // An operation by position (insert or replace) on control id, handed text;
    // the text is taken off the stack whatever the operation gives.
    std::int32_t at_index(std::int32_t (*op)(ProcFrame&, HWND, std::int32_t, std::int32_t), std::int32_t id,
                          std::int32_t index, const std::string& text) {
        ProcFrame f;
        push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
        std::int32_t r = op(f, dialog_, id, index);
        EXPECT_EQ(f.strings.depth, 0u) << "the text is taken";
        return r;
    }
    HWND dialog_ = nullptr;
    std::uint16_t last_error_ = 0;
};

DWORD style_of(HWND w) { return static_cast<DWORD>(GetWindowLongA(w, GWL_STYLE)); }
DWORD exstyle_of(HWND w) { return static_cast<DWORD>(GetWindowLongA(w, GWL_EXSTYLE)); }

std::string class_of(HWND w) {
    char name[64] = {};
    GetClassNameA(w, name, sizeof name);
    return name;
}

// ---- add_control ------------------------------------------------------------------

TEST_F(Controls, GreetingControlsGetTheirStylesFontCallbackAndDefaultButton) {
    HWND name = add(kTextBox, 100, "");
    HWND ok = add(kPushButton, IDOK, "OK", BS_DEFPUSHBUTTON, 0, nullptr, 40, 14, seen_callback);
    HWND cancel = add(kPushButton, IDCANCEL, "Cancel", 0, 0, nullptr, 40, 14, seen_callback);
    EXPECT_EQ(style_of(name), 0x50010080u);
    EXPECT_EQ(exstyle_of(name), 0x200u);
    EXPECT_EQ(style_of(ok), 0x50000001u);
    EXPECT_EQ(style_of(cancel), 0x50010000u);
    EXPECT_EQ(LOWORD(SendMessageA(dialog_, DM_GETDEFID, 0, 0)), IDOK);
    for (HWND c : {name, ok, cancel}) {
        EXPECT_EQ(SendMessageA(c, WM_GETFONT, 0, 0), SendMessageA(dialog_, WM_GETFONT, 0, 0));
        EXPECT_EQ(GetParent(c), dialog_);
    }
    EXPECT_EQ(GetWindowLongPtrA(ok, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(seen_callback));
    EXPECT_EQ(GetWindowLongPtrA(name, GWLP_USERDATA), 0);
    EXPECT_EQ(GetDlgCtrlID(ok), IDOK);
}

TEST_F(Controls, PushButtonWithStyleZeroIsNotTheDefault) {
    add(kPushButton, 7, "B");
    EXPECT_NE(LOWORD(SendMessageA(dialog_, DM_GETDEFID, 0, 0)), 7);
}

TEST_F(Controls, RectangleIsConvertedByItsEdges) {
    ProcFrame f;
    push_empty(f);
    push_empty(f);
    HWND c = add_control(f, dialog_, 5, nullptr, 3, 5, 7, 9, 0, 0, nullptr, kLabel);
    RECT expected = {3, 5, 3 + 7, 5 + 9};
    MapDialogRect(dialog_, &expected);
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog_, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, expected.left);
    EXPECT_EQ(r.top, expected.top);
    EXPECT_EQ(r.right, expected.right);
    EXPECT_EQ(r.bottom, expected.bottom);
}

TEST_F(Controls, EveryBuiltInKindReadsBackWithItsClassAndStyle) {
    // Style 0, a wide control; image kinds name a bitmap that exists.
    for (const ControlKindCase& row : kControlKindCases) {
        HWND c = add(row.kind, 200 + static_cast<int>(row.kind), is_image_kind(row.kind) ? "SQUARE" : "x");
        ASSERT_NE(c, nullptr) << "kind " << row.kind;
        EXPECT_STRCASEEQ(class_of(c).c_str(), row.class_name) << "kind " << row.kind;
        // A list box without LBS_DISABLENOSCROLL drops WS_VSCROLL while its
        // items fit (seen under Wine); the next test shows it was there.
        DWORD readback_mask = row.kind == kListBox ? ~(WS_CLIPSIBLINGS | WS_VSCROLL) : ~WS_CLIPSIBLINGS;
        EXPECT_EQ(style_of(c) & readback_mask, row.from_zero_style & readback_mask) << "kind " << row.kind;
        EXPECT_EQ(exstyle_of(c) & ~WS_EX_NOPARENTNOTIFY, row.from_zero_exstyle) << "kind " << row.kind;
    }
}

TEST_F(Controls, DefaultListBoxHasItsVerticalScrollBarOnceItemsOverflow) {
    HWND list = add(kListBox, 10, "", 0, 0, nullptr, 60, 20);
    for (int i = 0; i < 20; ++i) add_item(list_add_item, 10, "item " + std::to_string(i));
    EXPECT_NE(style_of(list) & WS_VSCROLL, 0u);
    HWND plain = add(kListBox, 11, "", 0x50000000, 0, nullptr, 60, 20);
    for (int i = 0; i < 20; ++i) add_item(list_add_item, 11, "item " + std::to_string(i));
    EXPECT_EQ(style_of(plain) & WS_VSCROLL, 0u) << "a given style without WS_VSCROLL gets none";
}

TEST_F(Controls, ScrollBarWithStyleZeroIsVerticalExactlyWhenNarrowerThanHigh) {
    const std::int32_t sizes[][2] = {{8, 60}, {60, 8}, {20, 20}, {12, 20}, {20, 12}, {40, 40}};
    std::int32_t id = 60;
    for (const auto& size : sizes) {
        HWND bar = add(kScrollBar, id++, "", 0, 0, nullptr, size[0], size[1]);
        RECT r;
        GetWindowRect(bar, &r);
        bool narrow = r.right - r.left < r.bottom - r.top;
        EXPECT_EQ((style_of(bar) & SBS_VERT) != 0, narrow) << size[0] << " x " << size[1] << " units";
    }
    EXPECT_NE(style_of(GetDlgItem(dialog_, 60)) & SBS_VERT, 0u);
    EXPECT_EQ(style_of(GetDlgItem(dialog_, 61)) & SBS_VERT, 0u);
}

TEST_F(Controls, CustomKindTakesTheCallersClassAndStyleUnchanged) {
    ProcFrame f;
    push_copy(f, "BUTTON", 6);
    push_copy(f, "Custom", 6);
    HWND c = add_control(f, dialog_, 9, nullptr, 1, 1, 30, 10, WS_CHILD | BS_CHECKBOX, 0, seen_callback, kCustom);
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(style_of(c) & ~WS_CLIPSIBLINGS, static_cast<DWORD>(WS_CHILD | BS_CHECKBOX)) << "no WS_VISIBLE added";
    EXPECT_EQ(GetWindowLongPtrA(c, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(seen_callback));
    EXPECT_EQ(live(), 0);
}

TEST_F(Controls, CustomKindWithoutAClassMakesNothingAndConsumesBoth) {
    ProcFrame f;
    push_copy(f, "NoSuchClassHere", 15);
    push_literal(f, pool[kText]);
    EXPECT_EQ(add_control(f, dialog_, 9, nullptr, 1, 1, 30, 10, 0, 0, nullptr, kCustom), nullptr);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(live(), 0);
}

TEST_F(Controls, KindAbove21MakesNothingAndConsumesBoth) {
    ProcFrame f;
    push_copy(f, "BUTTON", 6);
    push_literal(f, pool[kText]);
    EXPECT_EQ(add_control(f, dialog_, 9, nullptr, 1, 1, 30, 10, 0, 0, nullptr, 22), nullptr);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(GetDlgItem(dialog_, 9), nullptr);
}

TEST_F(Controls, BorrowedStringArgumentsAreReadAndKept) {
    DynString cls = make("ignored class");
    DynString text = make("Label text");
    ProcFrame f;
    push_borrowed(f, cls);
    push_borrowed(f, text);
    HWND c = add_control(f, dialog_, 3, nullptr, 1, 1, 50, 10, 0, 0, nullptr, kLabel);
    EXPECT_EQ(read_text(3), "Label text");
    EXPECT_NE(c, nullptr);
    EXPECT_EQ(bytes_of(text), "Label text");
    EXPECT_EQ(live(), 2);
    free_string(cls);
    free_string(text);
}

// ---- Items ---------------------------------------------------------------------------

TEST_F(Controls, ItemListStopsAtTheFirstEmptyElement) {
    std::vector<DynString> h = {make("pear"), make("apple"), 0, make("fig"), make("kiwi")};
    ArrayDescriptor items = {h.data(), kArrayHasItems, 5};
    HWND list = add(kListBox, 10, "", 0, 0, &items, 60, 40);
    ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
    list_select_item(dialog_, 10, 1);
    EXPECT_EQ(selected(list_get_selected, 10), "apple") << "the default list box sorts";
    for (DynString s : h) free_string(s);
}

TEST_F(Controls, ItemListNeedsFlagBitTwoAndACount) {
    std::vector<DynString> h = {make("a"), make("b")};
    ArrayDescriptor no_flag = {h.data(), 0x3, 2};
    ArrayDescriptor no_count = {h.data(), kArrayHasItems, 0};
    ArrayDescriptor one = {h.data(), kArrayHasItems | 0x8, 1};
    EXPECT_EQ(SendMessageA(add(kListBox, 1, "", 0, 0, &no_flag, 60, 40), LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(add(kListBox, 2, "", 0, 0, &no_count, 60, 40), LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageA(add(kComboBox, 3, "", 0, 0, &one, 60, 40), CB_GETCOUNT, 0, 0), 1);
    // Another kind gets LB_ADDSTRING: a list box of kind 0 takes the items too.
    ProcFrame f;
    push_copy(f, "LISTBOX", 7);
    push_empty(f);
    ArrayDescriptor both = {h.data(), kArrayHasItems, 2};
    HWND custom = add_control(f, dialog_, 4, &both, 1, 1, 50, 40, WS_CHILD | WS_VISIBLE, 0, nullptr, kCustom);
    EXPECT_EQ(SendMessageA(custom, LB_GETCOUNT, 0, 0), 2);
    for (DynString s : h) free_string(s);
}

TEST_F(Controls, ComboAndListSelectionIsOneBased) {
    add(kComboBox, 20, "", 0x50010003 /* CBS_DROPDOWNLIST, unsorted */, 0, nullptr, 60, 60);
    add(kListBox, 21, "", 0x50000001 /* unsorted */, 0, nullptr, 60, 40);
    for (const char* item : {"one", "two", "three"}) {
        add_item(combo_add_item, 20, item);
        add_item(list_add_item, 21, item);
    }
    combo_select_item(dialog_, 20, 1);
    list_select_item(dialog_, 21, 3);
    EXPECT_EQ(selected(combo_get_selected, 20), "one");
    EXPECT_EQ(selected(list_get_selected, 21), "three");
    combo_select_item(dialog_, 20, 0);
    list_select_item(dialog_, 21, 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 20, CB_GETCURSEL, 0, 0), CB_ERR) << "index 0 clears the selection";
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 21, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(selected(combo_get_selected, 20), "") << "nothing selected gives the empty string";
    EXPECT_EQ(selected(list_get_selected, 21), "");

    combo_delete_item(dialog_, 20, 0);
    list_delete_item(dialog_, 21, 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 20, CB_GETCOUNT, 0, 0), 3) << "index 0 deletes nothing";
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 21, LB_GETCOUNT, 0, 0), 3);
    combo_delete_item(dialog_, 20, 1);
    list_delete_item(dialog_, 21, 1);
    combo_select_item(dialog_, 20, 1);
    list_select_item(dialog_, 21, 1);
    EXPECT_EQ(selected(combo_get_selected, 20), "two") << "index 1 deleted the first";
    EXPECT_EQ(selected(list_get_selected, 21), "two");

    combo_reset(dialog_, 20);
    list_reset(dialog_, 21);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 20, CB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 21, LB_GETCOUNT, 0, 0), 0);
}

// The operations by position, once for combo boxes and once for list boxes.
struct ItemBox {
    const char* name;
    ControlKind kind;
    std::uint32_t style;  // 0: the kind's own (sorted)
    void (*add_item)(ProcFrame&, HWND, std::int32_t);
    void (*select_item)(HWND, std::int32_t, std::int32_t);
    std::int32_t (*selected_index)(HWND, std::int32_t);
    std::int32_t (*insert_item)(ProcFrame&, HWND, std::int32_t, std::int32_t);
    std::int32_t (*replace_item)(ProcFrame&, HWND, std::int32_t, std::int32_t);
    void (*item_text)(ProcFrame&, HWND, std::int32_t, std::int32_t);
    UINT get_count, get_text, get_selection;
};
const ItemBox kItemBoxes[] = {
    {"combo box", kComboBox, 0, combo_add_item, combo_select_item, combo_get_selected_index, combo_insert_item,
     combo_replace_item, combo_get_item_text, CB_GETCOUNT, CB_GETLBTEXT, CB_GETCURSEL},
    {"list box", kListBox, 0, list_add_item, list_select_item, list_get_selected_index, list_insert_item,
     list_replace_item, list_get_item_text, LB_GETCOUNT, LB_GETTEXT, LB_GETCURSEL},
    // The default style, sorted, with one of the styles that select several
    // items: there LB_GETCURSEL names the caret item, selected or not.
    {"multiple-selection list box", kListBox, 0x50A10003 | LBS_MULTIPLESEL, list_add_item, list_select_item,
     list_get_selected_index, list_insert_item, list_replace_item, list_get_item_text, LB_GETCOUNT, LB_GETTEXT,
     LB_GETCURSEL},
    {"extended-selection list box", kListBox, 0x50A10003 | LBS_EXTENDEDSEL, list_add_item, list_select_item,
     list_get_selected_index, list_insert_item, list_replace_item, list_get_item_text, LB_GETCOUNT, LB_GETTEXT,
     LB_GETCURSEL},
};

// Every item's text, in the box's order, read back from the platform.
std::vector<std::string> items_of(HWND box, const ItemBox& kind) {
    std::vector<std::string> out;
    LRESULT n = SendMessageA(box, kind.get_count, 0, 0);
    for (LRESULT i = 0; i < n; ++i) {
        char text[64] = {};
        SendMessageA(box, kind.get_text, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        out.push_back(text);
    }
    return out;
}

TEST_F(Controls, SelectedIndexCountsFromOneAndIsZeroForNone) {
    for (const ItemBox& kind : kItemBoxes) {
        SCOPED_TRACE(kind.name);
        add(kind.kind, 30, "", kind.style, 0, nullptr, 60, 60);
        for (const char* item : {"a", "b", "c"}) add_item(kind.add_item, 30, item);
        EXPECT_EQ(kind.selected_index(dialog_, 30), 0) << "nothing selected yet";
        kind.select_item(dialog_, 30, 3);
        EXPECT_EQ(kind.selected_index(dialog_, 30), 3);
        kind.select_item(dialog_, 30, 1);
        EXPECT_EQ(kind.selected_index(dialog_, 30), 1);
        kind.select_item(dialog_, 30, 0);
        EXPECT_EQ(kind.selected_index(dialog_, 30), 0);
        EXPECT_EQ(kind.selected_index(dialog_, 4242), 0) << "an id that names no control";
        add(kTextBox, 31, "");
        EXPECT_EQ(kind.selected_index(dialog_, 31), 0) << "a control of another kind";
        kill_control(dialog_, 31);
        kill_control(dialog_, 30);
    }
}

TEST_F(Controls, ItemTextByIndexCountsFromOneAndIsEmptyOutsideTheItems) {
    for (const ItemBox& kind : kItemBoxes) {
        SCOPED_TRACE(kind.name);
        add(kind.kind, 30, "", kind.style, 0, nullptr, 60, 60);
        // Appended by insert, which a sorted box does not sort.
        for (const char* item : {"first", "Zoë 李雷", ""}) at_index(kind.insert_item, 30, 0, item);
        auto text = [&](std::int32_t id, std::int32_t index) {
            return selected([&](ProcFrame& f, HWND d, std::int32_t i) { kind.item_text(f, d, i, index); }, id);
        };
        EXPECT_EQ(text(30, 1), "first");
        EXPECT_EQ(text(30, 2), "Zoë 李雷");
        EXPECT_EQ(text(30, 3), "");
        for (std::int32_t outside : {0, 4, -1, INT32_MAX, INT32_MIN}) {
            EXPECT_EQ(text(30, outside), "") << "index " << outside;
            EXPECT_EQ(last_error_, 0) << "index " << outside;
        }
        EXPECT_EQ(text(4242, 1), "") << "an id that names no control";
        fail_allocation(1);
        EXPECT_EQ(text(30, 2), "");
        EXPECT_EQ(last_error_, 0x8007);
        fail_allocation(0);
        kill_control(dialog_, 30);
    }
}

TEST_F(Controls, InsertPutsTheItemAtItsIndexUnsortedAndZeroAppends) {
    for (const ItemBox& kind : kItemBoxes) {
        SCOPED_TRACE(kind.name);
        HWND box = add(kind.kind, 30, "", kind.style, 0, nullptr, 60, 60);
        for (const char* item : {"b", "d"}) add_item(kind.add_item, 30, item);
        auto insert = [&](std::int32_t index, const char* text) { return at_index(kind.insert_item, 30, index, text); };
        EXPECT_EQ(insert(2, "z"), 2);
        EXPECT_EQ(insert(1, "y"), 1);
        EXPECT_EQ(insert(0, "a"), 5) << "index 0 appends";
        EXPECT_EQ(items_of(box, kind), (std::vector<std::string>{"y", "b", "z", "d", "a"}));
        EXPECT_EQ(insert(9, "q"), 0) << "past the end";
        add(kPushButton, 31, "");
        EXPECT_EQ(at_index(kind.insert_item, 31, 0, "x"), 0) << "into a control of another kind";
        kill_control(dialog_, 31);
        kill_control(dialog_, 30);
        EXPECT_EQ(insert(2, "x"), 0) << "into a control that is gone";
        EXPECT_EQ(live(), 0);
    }
}

TEST_F(Controls, ReplaceKeepsTheItemsPlaceAndSelection) {
    for (const ItemBox& kind : kItemBoxes) {
        SCOPED_TRACE(kind.name);
        HWND box = add(kind.kind, 30, "", kind.style, 0, nullptr, 60, 60);
        for (const char* item : {"a", "b", "c"}) add_item(kind.add_item, 30, item);
        kind.select_item(dialog_, 30, 2);
        auto replace = [&](std::int32_t index, const char* text) {
            return at_index(kind.replace_item, 30, index, text);
        };
        EXPECT_EQ(replace(2, "zz"), 2);
        EXPECT_EQ(replace(3, "C"), 3);
        EXPECT_EQ(items_of(box, kind), (std::vector<std::string>{"a", "zz", "C"})) << "no sorting, same places";
        EXPECT_EQ(kind.selected_index(dialog_, 30), 2) << "the replaced item stays selected";
        EXPECT_EQ(replace(1, "A"), 1);
        EXPECT_EQ(kind.selected_index(dialog_, 30), 2) << "replacing another item leaves the selection";
        if (kind.kind == kListBox) {
            SendMessageA(box, LB_SETCARETINDEX, 0, FALSE);  // the caret on the unselected first item
            EXPECT_EQ(replace(1, "a"), 1);
            EXPECT_EQ(kind.selected_index(dialog_, 30), 2) << "the item under the caret was not selected";
            EXPECT_EQ(SendMessageA(box, LB_GETSEL, 0, 0), 0);
        }
        for (std::int32_t bad : {0, 4, -1}) EXPECT_EQ(replace(bad, "x"), 0) << "index " << bad;
        EXPECT_EQ(items_of(box, kind), (std::vector<std::string>{kind.kind == kListBox ? "a" : "A", "zz", "C"}));
        kill_control(dialog_, 30);
        EXPECT_EQ(live(), 0);
    }
}

// The selection of every kind of list box, read and set as a whole. A box
// that selects one item holds at most one; adding replaces it there.
TEST_F(Controls, ListSelectionReadsFromTheTopAndAddKeepsTheOthers) {
    for (const ItemBox& kind : kItemBoxes) {
        if (kind.kind != kListBox) continue;
        SCOPED_TRACE(kind.name);
        bool several = kind.style != 0;
        HWND box = add(kind.kind, 30, "", kind.style, 0, nullptr, 60, 30);
        for (const char* item : {"a", "b", "c", "d", "e", "f", "g", "h"}) add_item(kind.add_item, 30, item);
        auto picked = [&] {  // the count, then every selected index from the top
            std::vector<std::int32_t> out = {list_selected_count(dialog_, 30)};
            for (std::int32_t n = 1; list_nth_selected(dialog_, 30, n) != 0; ++n)
                out.push_back(list_nth_selected(dialog_, 30, n));
            return out;
        };
        EXPECT_EQ(picked(), (std::vector<std::int32_t>{0}));
        EXPECT_EQ(list_select_item_add(dialog_, 30, 8), TRUE);
        EXPECT_EQ(list_select_item_add(dialog_, 30, 2), TRUE);
        EXPECT_EQ(picked(), several ? (std::vector<std::int32_t>{2, 2, 8}) : (std::vector<std::int32_t>{1, 2}));
        EXPECT_LE(SendMessageA(box, LB_GETTOPINDEX, 0, 0), 1) << "the item added last is scrolled into view";
        SendMessageA(box, LB_SETCARETINDEX, 4, FALSE);  // the caret on an unselected item
        EXPECT_EQ(list_get_selected_index(dialog_, 30), 2) << "the first selected, not the caret's";
        EXPECT_EQ(selected(list_get_selected, 30), "b");
        for (std::int32_t bad : {9, -1})
            EXPECT_EQ(list_select_item_add(dialog_, 30, bad), FALSE) << "index " << bad << " changes nothing";
        list_select_item(dialog_, 30, 99);
        EXPECT_EQ(picked()[0], several ? 2 : 1) << "selecting no item changes nothing";
        list_select_item(dialog_, 30, 5);
        EXPECT_EQ(picked(), (std::vector<std::int32_t>{1, 5})) << "the others are deselected";
        EXPECT_EQ(SendMessageA(box, LB_GETCARETINDEX, 0, 0), 4) << "the item gets the caret";
        for (std::int32_t n : {0, -1, 2, INT32_MAX}) EXPECT_EQ(list_nth_selected(dialog_, 30, n), 0) << "n " << n;
        EXPECT_EQ(list_select_item_add(dialog_, 30, 0), TRUE);
        EXPECT_EQ(picked(), (std::vector<std::int32_t>{0})) << "index 0 deselects every item";
        EXPECT_EQ(selected(list_get_selected, 30), "");
        kill_control(dialog_, 30);
    }
    add(kComboBox, 31, "", 0x50010003, 0, nullptr, 60, 60);
    add_item(combo_add_item, 31, "x");
    combo_select_item(dialog_, 31, 1);
    for (std::int32_t id : {31, 4242}) {
        EXPECT_EQ(list_selected_count(dialog_, id), 0) << "id " << id << " names no list box";
        EXPECT_EQ(list_nth_selected(dialog_, id, 1), 0) << "id " << id;
        EXPECT_EQ(list_select_item_add(dialog_, id, 1), FALSE) << "id " << id;
    }
    EXPECT_EQ(combo_get_selected_index(dialog_, 31), 1) << "the combo box is left alone";
}

// The program's code page is UTF-8: a title past ASCII is shown as it is.
TEST_F(Controls, SetDialogTitleShowsTheTextAndTakesIt) {
    DynString title = make("Åsa 王五 (2)");
    ProcFrame f;
    push_borrowed(f, title);
    set_dialog_title(f, dialog_);
    EXPECT_EQ(f.strings.depth, 0u);
    char caption[32] = {};
    GetWindowTextA(dialog_, caption, sizeof caption);
    EXPECT_STREQ(caption, "Åsa 王五 (2)");
    EXPECT_EQ(bytes_of(title), "Åsa 王五 (2)") << "a borrowed title stays its variable's";
    push_empty(f);
    set_dialog_title(f, dialog_);
    EXPECT_EQ(GetWindowTextA(dialog_, caption, sizeof caption), 0);
    free_string(title);
}

TEST_F(Controls, EmptyItemSelectedGivesTheEmptyString) {
    add(kListBox, 21, "", 0x50000001, 0, nullptr, 60, 40);
    add_item(list_add_item, 21, "");
    list_select_item(dialog_, 21, 1);
    EXPECT_EQ(SendDlgItemMessageA(dialog_, 21, LB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(selected(list_get_selected, 21), "");
}

// The program's code page is UTF-8: every script's bytes come back whole.
TEST_F(Controls, SelectedItemKeepsEveryScript) {
    add(kListBox, 21, "", 0x50000001, 0, nullptr, 60, 40);
    add_item(list_add_item, 21, "Zoë 李雷 Ελένη");
    list_select_item(dialog_, 21, 1);
    EXPECT_EQ(selected(list_get_selected, 21), "Zoë 李雷 Ελένη");
}

// A list box that overstates its item lengths, as the platform may.
WNDPROC real_list_proc;
LRESULT CALLBACK overstating_list(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    LRESULT r = CallWindowProcA(real_list_proc, w, m, wp, lp);
    return m == LB_GETTEXTLEN && r >= 0 ? r + 5 : r;
}

TEST_F(Controls, OverstatedItemLengthLeavesNoUninitialisedBytes) {
    HWND list = add(kListBox, 21, "", 0x50000001, 0, nullptr, 60, 40);
    real_list_proc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(overstating_list)));
    add_item(list_add_item, 21, "abc");
    list_select_item(dialog_, 21, 1);
    EXPECT_EQ(SendMessageA(list, LB_GETTEXTLEN, 0, 0), 8);
    std::string s = selected(list_get_selected, 21);
    EXPECT_EQ(s, "abc") << "only the bytes the platform wrote";
}

TEST_F(Controls, SelectedItemUnderMemoryFailureGivesEmptyRecordsSevenAndLeavesNothing) {
    // An exact length needs one allocation; an overstated one a second to cut it.
    HWND list = add(kListBox, 21, "", 0x50000001, 0, nullptr, 60, 40);
    add(kComboBox, 20, "", 0x50010003, 0, nullptr, 60, 60);
    add_item(list_add_item, 21, "abc");
    add_item(combo_add_item, 20, "abc");
    list_select_item(dialog_, 21, 1);
    combo_select_item(dialog_, 20, 1);
    fail_allocation(1);
    EXPECT_EQ(selected(combo_get_selected, 20), "");
    EXPECT_EQ(last_error_, 0x8007);
    EXPECT_EQ(live(), 0);
    real_list_proc =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(list, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(overstating_list)));
    for (std::uint32_t k = 1; k <= 2; ++k) {
        fail_allocation(k);
        EXPECT_EQ(selected(list_get_selected, 21), "") << "failing allocation " << k;
        EXPECT_EQ(last_error_, 0x8007) << "failing allocation " << k;
        EXPECT_EQ(live(), 0) << "failing allocation " << k;
    }
    EXPECT_EQ(selected(list_get_selected, 21), "abc");
    EXPECT_EQ(last_error_, 0);
    list_select_item(dialog_, 21, 0);
    EXPECT_EQ(selected(list_get_selected, 21), "");
    EXPECT_EQ(last_error_, 0) << "nothing selected is no failure";
}

TEST_F(Controls, ItemArgumentsAreConsumedOwnedOrBorrowed) {
    add(kComboBox, 20, "", 0, 0, nullptr, 60, 60);
    DynString item = make("borrowed");
    ProcFrame f;
    push_borrowed(f, item);
    combo_add_item(f, dialog_, 20);
    push_borrowed(f, item);
    list_add_item(f, dialog_, 999);  // no such control: popped all the same
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(bytes_of(item), "borrowed");
    add_item(combo_add_item, 20, "owned");
    EXPECT_EQ(live(), 1);
    free_string(item);
}

// ---- Text ---------------------------------------------------------------------------------

TEST_F(Controls, ReadTextPushesTheTextOrTheEmptyString) {
    add(kTextBox, 100, "");
    EXPECT_EQ(read_text(100), "");
    ProcFrame f;
    read_control_text(f, dialog_, 100);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u) << "empty text is handle 0";
    pop_string(f);
    add_item(write_control_text, 100, "Hello été 李雷");
    EXPECT_EQ(read_text(100), "Hello été 李雷");
}

TEST_F(Controls, ReadTextCutsPast32769Bytes) {
    HWND e = add(kTextBox, 100, "");
    SendMessageA(e, EM_LIMITTEXT, 0, 0);
    std::string big(40000, 'q');
    big[32768] = 'E';
    SetWindowTextA(e, big.c_str());
    ASSERT_EQ(GetWindowTextLengthA(e), 40000);
    std::string got = read_text(100);
    EXPECT_EQ(got.size(), 32769u);
    EXPECT_EQ(got.back(), 'E');
}

TEST_F(Controls, ReadTextUnderMemoryFailureGivesEmptyRecordsSevenAndLeavesNothing) {
    add(kTextBox, 100, "some text");
    for (std::uint32_t k = 1; k <= 2; ++k) {
        fail_allocation(k);
        EXPECT_EQ(read_text(100), "") << "failing allocation " << k;
        EXPECT_EQ(last_error_, 0x8007) << "failing allocation " << k;
        EXPECT_EQ(live(), 0);
    }
    EXPECT_EQ(read_text(100), "some text");
    EXPECT_EQ(last_error_, 0);
    add(kTextBox, 101, "");
    for (std::int32_t id : {101, 999}) {
        EXPECT_EQ(read_text(id), "");
        EXPECT_EQ(last_error_, 0) << "an empty text (id " << id << ") is no failure";
    }
}

TEST_F(Controls, ReadTextFollowedByAssignMovesTheString) {
    add(kTextBox, 100, "moved");
    ProcFrame f;
    read_control_text(f, dialog_, 100);
    DynString pushed = string_arg(f, 0).handle();
    DynString var = 0;
    string_assign(f, var);
    EXPECT_EQ(var, pushed);
    free_string(var);
}

// ---- State operations -------------------------------------------------------------------------

TEST_F(Controls, CheckStatesOfBoxesAndOptionButtons) {
    add(kThreeStateBox, 30, "3");
    add(kCheckBox, 31, "c");
    EXPECT_EQ(get_control_check(dialog_, 30), 0);
    set_control_check(dialog_, 30, 2);
    EXPECT_EQ(get_control_check(dialog_, 30), 2) << "indeterminate";
    set_control_check(dialog_, 31, 1);
    EXPECT_EQ(get_control_check(dialog_, 31), 1);
}

TEST_F(Controls, EnableControlWithMinusOneAddressesTheDialog) {
    HWND b = add(kPushButton, 5, "b");
    enable_control(dialog_, 5, 0);
    EXPECT_FALSE(IsWindowEnabled(b));
    enable_control(dialog_, 5, 7);
    EXPECT_TRUE(IsWindowEnabled(b));
    enable_control(dialog_, -1, 0);
    EXPECT_FALSE(IsWindowEnabled(dialog_));
    EXPECT_TRUE(IsWindowEnabled(b));
    enable_control(dialog_, -1, 1);
    EXPECT_TRUE(IsWindowEnabled(dialog_));
}

// Disabling the control with the focus hands the focus on as Tab would,
// never to nowhere.
TEST_F(Controls, DisablingTheFocusedControlHandsTheFocusOn) {
    ShowWindow(dialog_, SW_SHOW);
    HWND first = add(kPushButton, 5, "first", 0x50010000);
    HWND box = add(kTextBox, 6, "");
    HWND last = add(kPushButton, 7, "last", 0x50010000);
    focus_control(dialog_, 6);
    enable_control(dialog_, 5, 0);
    EXPECT_EQ(GetFocus(), box) << "a control without the focus leaves it where it is";
    enable_control(dialog_, 6, 0);
    EXPECT_EQ(GetFocus(), last) << "the next control in the tab order";
    EXPECT_FALSE(IsWindowEnabled(first) || IsWindowEnabled(box));
}

// With no other control to take it, the focus goes to the dialog itself:
// Escape still reaches the dialog as its cancel command, and Tab finds a
// control enabled again later.
TEST_F(Controls, DisablingTheLastFocusableControlLeavesTheFocusOnTheDialog) {
    static std::vector<WPARAM> commands;
    static HWND focus_after_tab;
    commands.clear();
    focus_after_tab = nullptr;
    ShowWindow(dialog_, SW_SHOW);
    add(kPushButton, 5, "start", 0x50010000);
    HWND other = add(kPushButton, 6, "other", 0x50010000);
    enable_control(dialog_, 6, 0);
    focus_control(dialog_, 5);
    enable_control(dialog_, 5, 0);
    ASSERT_EQ(GetFocus(), dialog_) << "the keyboard still reaches the dialog";
    auto callback = [](HWND d, UINT m, WPARAM w, LPARAM) -> std::int32_t {
        if (m == WM_COMMAND) commands.push_back(LOWORD(w));
        if (m == WM_APP) {
            enable_control(d, 6, 1);
            PostMessageA(GetFocus(), WM_KEYDOWN, VK_TAB, 0);
            PostMessageA(d, WM_APP + 1, 0, 0);
        }
        if (m == WM_APP + 1) {
            focus_after_tab = GetFocus();
            close_dialog(d, 1);
        }
        return 0;
    };
    PostMessageA(dialog_, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(dialog_, WM_APP, 0, 0);
    std::int32_t end = 0;
    run_dialog_modal(dialog_, callback, &end);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(commands, std::vector<WPARAM>{IDCANCEL}) << "Escape, from the dialog's own focus";
    EXPECT_EQ(focus_after_tab, other) << "Tab moves the focus into the controls again";
}

TEST_F(Controls, FocusKillAndCallbackReplacement) {
    ShowWindow(dialog_, SW_SHOW);
    HWND a = add(kTextBox, 1, "");
    add(kTextBox, 2, "");
    focus_control(dialog_, 1);
    EXPECT_EQ(GetFocus(), a);
    set_control_callback(dialog_, 1, seen_callback);
    EXPECT_EQ(GetWindowLongPtrA(a, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(seen_callback));
    set_control_callback(dialog_, 1, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(a, GWLP_USERDATA), 0);
    kill_control(dialog_, 2);
    EXPECT_EQ(GetDlgItem(dialog_, 2), nullptr);
    focus_control(dialog_, 77);
    EXPECT_EQ(GetFocus(), nullptr) << "a missing id leaves no window with the focus";
}

TEST_F(Controls, OperationsOnAnIdThatNamesNoControl) {
    const std::int32_t none = 4242;
    EXPECT_EQ(read_text(none), "");
    EXPECT_EQ(selected(combo_get_selected, none), "");
    EXPECT_EQ(selected(list_get_selected, none), "");
    EXPECT_EQ(get_control_check(dialog_, none), 0);
    set_control_check(dialog_, none, 1);
    set_control_callback(dialog_, none, seen_callback);
    enable_control(dialog_, none, 0);
    EXPECT_TRUE(IsWindowEnabled(dialog_));
    kill_control(dialog_, none);
    EXPECT_TRUE(IsWindow(dialog_));
    combo_delete_item(dialog_, none, 1);
    combo_reset(dialog_, none);
    combo_select_item(dialog_, none, 1);
    list_delete_item(dialog_, none, 1);
    list_reset(dialog_, none);
    list_select_item(dialog_, none, 1);
    add_item(write_control_text, none, "x");
    add_item(combo_add_item, none, "x");
    add_item(list_add_item, none, "x");
    ProcFrame f;
    push_literal(f, pool[kSquare]);
    set_control_image(f, dialog_, none, 3);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(live(), 0);
}

// ---- Images ------------------------------------------------------------------------------------

struct ImageSeen {
    WPARAM type;
    HANDLE handle;
};

// The image a static or button holds, and whether it is a bitmap or an icon.
// Wine answers STM_GETIMAGE and BM_GETIMAGE with the current image whatever
// type wParam names, so the type is read off the handle itself.
ImageSeen image_on(HWND c, bool button) {
    auto h = reinterpret_cast<HANDLE>(SendMessageA(c, button ? BM_GETIMAGE : STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (h == nullptr) h = reinterpret_cast<HANDLE>(SendMessageA(c, button ? BM_GETIMAGE : STM_GETIMAGE, IMAGE_ICON, 0));
    ICONINFO info = {};
    bool icon = h != nullptr && GetIconInfo(static_cast<HICON>(h), &info);
    if (icon) {
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
    }
    return {icon ? static_cast<WPARAM>(IMAGE_ICON) : static_cast<WPARAM>(IMAGE_BITMAP), h};
}

SIZE bitmap_size(HANDLE h) {
    BITMAP bm = {};
    GetObjectA(h, sizeof bm, &bm);
    return {bm.bmWidth, bm.bmHeight};
}

TEST_F(Controls, ImageKindsShowTheBitmapOfTheirName) {
    HWND image = add(kImage, 40, "SQUARE");
    HWND stretched = add(kStretchedImage, 41, "SQUARE", 0, 0, nullptr, 40, 30);
    HWND button = add(kImageButton, 42, "SQUARE");
    HWND stretched_button = add(kStretchedImageButton, 43, "SQUARE", 0, 0, nullptr, 40, 30);
    ImageSeen i = image_on(image, false);
    EXPECT_EQ(i.type, static_cast<WPARAM>(IMAGE_BITMAP));
    EXPECT_EQ(bitmap_size(i.handle).cx, 16) << "at its own size";
    RECT r;
    GetWindowRect(stretched, &r);
    ImageSeen s = image_on(stretched, false);
    EXPECT_EQ(s.type, static_cast<WPARAM>(IMAGE_BITMAP));
    EXPECT_EQ(bitmap_size(s.handle).cx, r.right - r.left) << "fitted to the control";
    EXPECT_EQ(bitmap_size(s.handle).cy, r.bottom - r.top);
    ImageSeen b = image_on(button, true);
    EXPECT_EQ(b.type, static_cast<WPARAM>(IMAGE_BITMAP));
    EXPECT_EQ(bitmap_size(b.handle).cx, 16);
    ImageSeen sb = image_on(stretched_button, true);
    GetWindowRect(stretched_button, &r);
    EXPECT_EQ(bitmap_size(sb.handle).cx, r.right - r.left);
}

TEST_F(Controls, ImageKindsFallBackToAnIconOfTheirName) {
    HWND image = add(kImage, 40, "DISC");
    HWND stretched = add(kStretchedImage, 41, "DISC", 0, 0, nullptr, 40, 30);
    HWND button = add(kImageButton, 42, "DISC");
    HWND stretched_button = add(kStretchedImageButton, 43, "DISC", 0, 0, nullptr, 40, 30);
    EXPECT_EQ(style_of(image) & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(style_of(stretched) & SS_TYPEMASK, static_cast<DWORD>(SS_ICON));
    EXPECT_EQ(style_of(button) & (BS_BITMAP | BS_ICON), static_cast<DWORD>(BS_ICON));
    EXPECT_EQ(style_of(stretched_button) & (BS_BITMAP | BS_ICON), static_cast<DWORD>(BS_ICON));
    for (HWND c : {image, stretched}) {
        ImageSeen i = image_on(c, false);
        EXPECT_EQ(i.type, static_cast<WPARAM>(IMAGE_ICON));
        EXPECT_NE(i.handle, nullptr);
    }
    for (HWND c : {button, stretched_button}) {
        ImageSeen i = image_on(c, true);
        EXPECT_EQ(i.type, static_cast<WPARAM>(IMAGE_ICON));
        EXPECT_NE(i.handle, nullptr);
    }
}

TEST_F(Controls, ImageControlsTakeTheirBitmapWithThemAndLeaveSharedIcons) {
    struct Case {
        ControlKind kind;
        const char* name;
        bool button;
        bool bitmap;
    } cases[] = {{kImage, "SQUARE", false, true},      {kStretchedImage, "SQUARE", false, true},
                 {kImageButton, "SQUARE", true, true}, {kStretchedImageButton, "SQUARE", true, true},
                 {kImage, "DISC", false, false},       {kImageButton, "DISC", true, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " " << c.name);
        ImageSeen seen = image_on(add(c.kind, 40, c.name, 0, 0, nullptr, 40, 30), c.button);
        ASSERT_NE(seen.handle, nullptr);
        kill_control(dialog_, 40);
        if (c.bitmap) {
            EXPECT_EQ(GetObjectType(seen.handle), 0u) << "the bitmap went with its control";
        } else {
            ICONINFO info = {};
            EXPECT_TRUE(GetIconInfo(static_cast<HICON>(seen.handle), &info)) << "the shared icon stays";
            DeleteObject(info.hbmColor);
            DeleteObject(info.hbmMask);
        }
    }
}

TEST_F(Controls, MissingImageLeavesNoImage) {
    HWND stretched = add(kStretchedImage, 41, "NOSUCH", 0, 0, nullptr, 40, 30);
    HWND button = add(kImageButton, 42, "NOSUCH");
    EXPECT_EQ(image_on(stretched, false).handle, nullptr);
    EXPECT_EQ(image_on(button, true).handle, nullptr);
    EXPECT_EQ(style_of(button) & BS_ICON, static_cast<DWORD>(BS_ICON));
}

TEST_F(Controls, SetControlImageByMode) {
    HWND stat = add(kLabel, 50, "", 0x5000000E, 0, nullptr, 40, 30);
    HWND button = add(kPushButton, 51, "", 0x50000080, 0, nullptr, 40, 30);
    auto set = [&](std::int32_t id, std::uint32_t mode, const char* name) {
        ProcFrame f;
        push_copy(f, name, static_cast<std::uint32_t>(std::strlen(name)));
        set_control_image(f, dialog_, id, mode);
        EXPECT_EQ(f.strings.depth, 0u);
    };
    set(50, 0, "SQUARE");
    HANDLE replaced = image_on(stat, false).handle;
    EXPECT_EQ(bitmap_size(replaced).cx, 16);
    set(50, 1, "SQUARE");
    EXPECT_EQ(GetObjectType(replaced), 0u) << "the replaced bitmap is deleted";
    RECT client;
    GetClientRect(stat, &client);
    EXPECT_EQ(bitmap_size(image_on(stat, false).handle).cx, client.right) << "mode 1 fits the client area";
    set(51, 2, "SQUARE");
    EXPECT_EQ(bitmap_size(image_on(button, true).handle).cx, 16);
    set(51, 3, "SQUARE");
    GetClientRect(button, &client);
    HANDLE last = image_on(button, true).handle;
    EXPECT_EQ(bitmap_size(last).cx, client.right);
    DestroyWindow(button);
    EXPECT_EQ(GetObjectType(last), 0u) << "the control's own bitmap goes with it";
    // Wine keeps a BS_BITMAP button's bitmap when handed an icon, so the
    // icon fallback is shown on buttons and statics made for icons.
    HWND icon_button = add(kPushButton, 52, "", 0x50000040, 0, nullptr, 40, 30);
    HWND icon_static = add(kLabel, 53, "", 0x50000003, 0, nullptr, 40, 30);
    set(52, 2, "DISC");
    set(53, 0, "DISC");
    ImageSeen on_button = image_on(icon_button, true);
    ImageSeen on_static = image_on(icon_static, false);
    EXPECT_EQ(on_button.type, static_cast<WPARAM>(IMAGE_ICON)) << "only an icon of that name";
    EXPECT_NE(on_button.handle, nullptr);
    EXPECT_EQ(on_static.type, static_cast<WPARAM>(IMAGE_ICON));
    EXPECT_NE(on_static.handle, nullptr);
    EXPECT_EQ(live(), 0);
}

// The bitmaps the toolkit loads, recorded by swapping this program's import
// slot of LoadImageA for the length of one operation (the toolkit is linked
// into the program, so its calls go through the same slot).
KW_IMPORT_SLOT(imported_load_image, LoadImageA, 24);

std::vector<HANDLE> loaded_images;

template <typename Op>
std::vector<HANDLE> images_loaded_by(Op op) {
    static HANDLE(WINAPI * real)(HINSTANCE, LPCSTR, UINT, int, int, UINT);
    ImportSwap swap(imported_load_image,
                    reinterpret_cast<void*>(+[](HINSTANCE i, LPCSTR n, UINT t, int w, int h, UINT f) WINAPI {
                        HANDLE image = real(i, n, t, w, h, f);
                        if (image != nullptr) loaded_images.push_back(image);
                        return image;
                    }));
    real = reinterpret_cast<decltype(real)>(swap.original());
    loaded_images.clear();
    op();
    return loaded_images;
}

TEST_F(Controls, AnImageTheControlRefusesIsDeleted) {
    // A text box, a static addressed as a button, a button addressed as a
    // static, a check box and a push button without BS_BITMAP show no bitmap.
    const struct {
        ControlKind kind;
        std::uint32_t style;
        std::uint32_t mode;
    } cases[] = {{kTextBox, 0, 0},
                 {kLabel, 0x5000000E, kImageModeButton},
                 {kPushButton, 0x50000080, 0},
                 {kCheckBox, 0, kImageModeButton},
                 {kPushButton, 0, kImageModeButton}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << "kind " << c.kind << " mode " << c.mode);
        HWND control = add(c.kind, 60, "", c.style, 0, nullptr, 40, 30);
        std::vector<HANDLE> loaded = images_loaded_by([&] {
            ProcFrame f;
            push_literal(f, pool[kSquare]);
            set_control_image(f, dialog_, 60, c.mode);
        });
        ASSERT_EQ(loaded.size(), 1u) << "SQUARE is a bitmap";
        EXPECT_EQ(image_on(control, c.mode == kImageModeButton).handle, nullptr) << "the control took it after all";
        EXPECT_EQ(GetObjectType(loaded[0]), 0u) << "the refused bitmap is left to no one";
        kill_control(dialog_, 60);
    }
}

// ---- Mouse pointer --------------------------------------------------------------------------------

TEST(MousePointer, IndexesGiveTheTableCursorsAndOthersClearIt) {
    const LPCSTR expected[14] = {nullptr,     IDC_ARROW,    IDC_CROSS,  IDC_IBEAM,      IDC_ARROW,
                                 IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENS, IDC_SIZENWSE,   IDC_SIZEWE,
                                 IDC_UPARROW, IDC_WAIT,     IDC_NO,     IDC_APPSTARTING};
    for (int i = 0; i < 14; ++i) {
        set_mouse_pointer(i);
        HCURSOR want =
            expected[i]
                ? static_cast<HCURSOR>(LoadImageA(nullptr, expected[i], IMAGE_CURSOR, 0, 0, LR_SHARED | LR_DEFAULTSIZE))
                : nullptr;
        EXPECT_EQ(GetCursor(), want) << "index " << i;
    }
    for (int i : {14, -1, 1000}) {
        set_mouse_pointer(1);
        set_mouse_pointer(i);
        EXPECT_EQ(GetCursor(), nullptr) << "index " << i;
    }
}

}  // namespace
