// Menus on the real platform: items are read back with GetMenuItemInfoA, and
// menu commands are sent to real dialogs whose dialog_proc finds the item's
// callback through the attached menu.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "../common/string_testing.h"
#include "../common/win32_testing.h"
#include "toolkit/toolkit.h"

namespace {

// What an item looks like to the platform, read with a full-size record.
struct ItemRecord {
    bool found;
    UINT type;
    UINT state;
    UINT id;
    HMENU submenu;
    ULONG_PTR data;
    std::string text;
};

ItemRecord read_item(HMENU menu, UINT item, BOOL by_position) {
    char buffer[8192] = {};
    MENUITEMINFOA info = {};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_DATA | MIIM_STRING;
    info.dwTypeData = buffer;
    info.cch = sizeof buffer;
    if (!GetMenuItemInfoA(menu, item, by_position, &info)) return {false, 0, 0, 0, nullptr, 0, ""};
    std::string text = (info.fType & MFT_SEPARATOR) ? "" : std::string(buffer, info.cch);
    return {true, info.fType, info.fState, info.wID, info.hSubMenu, info.dwItemData, text};
}

ItemRecord item_at(HMENU menu, UINT position) { return read_item(menu, position, TRUE); }

// The texts of all items, first to last.
std::vector<std::string> texts_of(HMENU menu) {
    std::vector<std::string> texts;
    int n = GetMenuItemCount(menu);
    for (int i = 0; i < n; ++i) texts.push_back(item_at(menu, static_cast<UINT>(i)).text);
    return texts;
}

using Texts = std::vector<std::string>;

// Every callback call that reached a recorder, in order.
struct CallbackCall {
    int recorder;
    HWND dialog;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<CallbackCall> callback_calls;

template <int N>
std::int32_t record(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    callback_calls.push_back({N, dialog, message, wparam, lparam});
    return 0;
}
constexpr ControlCallback item_callback = record<1>;
constexpr ControlCallback other_callback = record<2>;
constexpr ControlCallback control_callback = record<3>;

class MenuTest : public StringRuntimeTest {
protected:
    void SetUp() override {
        StringRuntimeTest::SetUp();
        start_runtime_for_test();
        callback_calls.clear();
    }
    void TearDown() override {
        for (HWND w : windows_) DestroyWindow(w);
        for (HMENU m : loose_menus_) DestroyMenu(m);
        pump_messages();
        StringRuntimeTest::TearDown();
    }

    HWND make_dialog() {
        ProcFrame f;
        push_empty(f);
        HWND dialog = create_dialog(f, nullptr, 10, 10, 160, 80, 0, 0);
        EXPECT_NE(dialog, nullptr) << "create_dialog failed";
        windows_.push_back(dialog);
        return dialog;
    }
    // A menu that no window will destroy: freed at the end of the test.
    HMENU make_loose_menu(std::int32_t popup) {
        HMENU m = create_menu(popup);
        EXPECT_NE(m, nullptr) << "create_menu(" << popup << ") failed";
        loose_menus_.push_back(m);
        return m;
    }

    // add_menu_item with an owned copy of text; checks that exactly the text
    // was popped.
    BOOL add(HMENU menu, const std::string& text, std::uintptr_t id, std::uint32_t state = 0, std::uint32_t item = 0,
             ControlCallback callback = nullptr, std::uint32_t flags = 0) {
        DynString below = make("below");
        ProcFrame f;
        push_borrowed(f, below);
        push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
        BOOL r = add_menu_item(f, menu, id, state, item, callback, flags);
        EXPECT_EQ(f.strings.depth, 1u) << "add_menu_item must pop exactly its text";
        EXPECT_EQ(string_arg(f, 0).handle(), below) << "the entry below the text must stay";
        free_string(below);
        return r;
    }
    BOOL set_text(HMENU menu, std::uint32_t item, std::uint32_t flags, const std::string& text) {
        ProcFrame f;
        push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
        BOOL r = set_menu_item_text(f, menu, item, flags);
        EXPECT_EQ(f.strings.depth, 0u) << "set_menu_item_text must pop its text";
        return r;
    }
    // get_menu_item_text's result; checks that it pushed one entry and, with
    // memory to spare, recorded nothing.
    std::string get_text(HMENU menu, std::uint32_t item, std::uint32_t flags) {
        ProcFrame f;
        get_menu_item_text(f, menu, item, flags);
        EXPECT_EQ(f.strings.depth, 1u) << "get_menu_item_text must push one string";
        EXPECT_EQ(f.error_word, 0) << "get_menu_item_text records only out of memory";
        std::string s = bytes_of(string_arg(f, 0));
        pop_string(f);
        return s;
    }

    // A popup A, B, C with command ids 2, 3, 1 (so no position equals the id
    // of the item there) and states checked, greyed, default.
    HMENU make_abc() {
        HMENU m = make_loose_menu(1);
        add(m, "A", 2, MFS_CHECKED);
        add(m, "B", 3, MFS_GRAYED);
        add(m, "C", 1, MFS_DEFAULT);
        return m;
    }

private:
    std::vector<HWND> windows_;
    std::vector<HMENU> loose_menus_;
};

// ---- create_menu -------------------------------------------------------------

// The platform keeps the kind in the menu itself: GetMenuItemRect reports a
// bar's items in the window's non-client area (above the client origin) and a
// popup's items from the client area, even when the popup is set as a bar.
TEST_F(MenuTest, CreateMenuMakesBarForZeroAndPopupOtherwise) {
    struct Row {
        std::int32_t popup;
        bool is_popup;
    };
    const Row rows[] = {{0, false}, {1, true}, {-1, true}, {0x100, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE("popup argument " + std::to_string(row.popup));
        HMENU m = make_loose_menu(row.popup);
        ASSERT_TRUE(IsMenu(m));
        EXPECT_EQ(GetMenuItemCount(m), 0);
        add(m, "File", 10);
        HWND dialog = make_dialog();
        ASSERT_TRUE(attach_menu(dialog, m));
        draw_menu_bar(dialog);
        RECT item = {0, 0, 0, 0};
        ASSERT_TRUE(GetMenuItemRect(dialog, m, 0, &item));
        POINT origin = {0, 0};
        ClientToScreen(dialog, &origin);
        EXPECT_EQ(item.top >= origin.y, row.is_popup) << "item top " << item.top << ", client origin " << origin.y
                                                      << ": expected a " << (row.is_popup ? "popup" : "menu bar");
        SetMenu(dialog, nullptr);  // the menu stays ours to free
    }
}

// ---- add_menu_item: separators -------------------------------------------------

TEST_F(MenuTest, AddMakesSeparatorOnlyForExactlyOneHyphen) {
    struct Row {
        const char* text;
        bool separator;
    };
    const Row rows[] = {
        {"-", true}, {"--", false}, {" -", false}, {"- ", false}, {"", false}, {"_", false}, {"File", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string("text \"") + row.text + "\"");
        HMENU m = make_loose_menu(1);
        ASSERT_TRUE(add(m, row.text, 77, MFS_CHECKED, 0, item_callback));
        ItemRecord r = item_at(m, 0);
        ASSERT_TRUE(r.found);
        if (row.separator) {
            EXPECT_EQ(r.type, static_cast<UINT>(MFT_SEPARATOR)) << "expected a separator";
            EXPECT_EQ(r.id, 0u) << "a separator drops the id";
            EXPECT_EQ(r.state, 0u) << "a separator drops the state";
            EXPECT_EQ(r.data, 0u) << "a separator drops the callback";
        } else {
            EXPECT_EQ(r.type, static_cast<UINT>(MFT_STRING)) << "expected a string item";
            EXPECT_EQ(r.id, 77u);
            EXPECT_EQ(r.state, static_cast<UINT>(MFS_CHECKED));
            EXPECT_EQ(r.data, reinterpret_cast<ULONG_PTR>(item_callback));
            EXPECT_EQ(r.text, row.text);
        }
    }
}

TEST_F(MenuTest, AddSeparatorDropsSubmenuToo) {
    HMENU m = make_loose_menu(1);
    HMENU popup = make_loose_menu(1);
    ASSERT_TRUE(add(m, "-", reinterpret_cast<std::uintptr_t>(popup), 0, 0, item_callback, MENU_FLAG_SUBMENU));
    ItemRecord r = item_at(m, 0);
    EXPECT_EQ(r.type, static_cast<UINT>(MFT_SEPARATOR));
    EXPECT_EQ(r.submenu, nullptr) << "a separator opens no popup";
    EXPECT_EQ(r.id, 0u);
}

// ---- add_menu_item: where the item goes ------------------------------------------

TEST_F(MenuTest, AddByPositionCountsFromOneAndZeroAppends) {
    struct Step {
        const char* text;
        std::uint32_t position;
        Texts after;
    };
    const Step steps[] = {
        {"A", 0, {"A"}},
        {"B", 0, {"A", "B"}},
        {"First", 1, {"First", "A", "B"}},
        {"End", 0, {"First", "A", "B", "End"}},
        {"Third", 3, {"First", "A", "Third", "B", "End"}},
        {"Second", 2, {"First", "Second", "A", "Third", "B", "End"}},
    };
    HMENU m = make_loose_menu(1);
    for (const Step& step : steps) {
        SCOPED_TRACE(std::string("adding ") + step.text + " at " + std::to_string(step.position));
        EXPECT_TRUE(add(m, step.text, 10, 0, step.position));
        EXPECT_EQ(texts_of(m), step.after);
    }
}

TEST_F(MenuTest, AddByCommandGoesBeforeTheItemWithThatId) {
    HMENU m = make_loose_menu(1);
    add(m, "A", 10);
    add(m, "B", 40);
    add(m, "C", 50);
    EXPECT_TRUE(add(m, "New", 41, 0, 40, nullptr, MENU_FLAG_BY_COMMAND));
    EXPECT_EQ(texts_of(m), (Texts{"A", "New", "B", "C"}));
    EXPECT_EQ(item_at(m, 1).id, 41u);
}

TEST_F(MenuTest, AddFindsCommandIdInPopupBelow) {
    HMENU bar = make_loose_menu(0);
    HMENU popup = create_menu(1);
    add(popup, "Open", 40);
    add(bar, "File", reinterpret_cast<std::uintptr_t>(popup), 0, 0, nullptr, MENU_FLAG_SUBMENU);
    EXPECT_TRUE(add(bar, "New", 41, 0, 40, nullptr, MENU_FLAG_BY_COMMAND));
    EXPECT_EQ(texts_of(popup), (Texts{"New", "Open"}));
    EXPECT_EQ(texts_of(bar), (Texts{"File"}));
}

// ---- add_menu_item: popups ---------------------------------------------------------

TEST_F(MenuTest, AddWithSubmenuFlagMakesThePopupAndNoCommandId) {
    HMENU bar = make_loose_menu(0);
    HMENU popup = create_menu(1);  // goes with the bar
    ASSERT_TRUE(
        add(bar, "File", reinterpret_cast<std::uintptr_t>(popup), MFS_GRAYED, 0, item_callback, MENU_FLAG_SUBMENU));
    ItemRecord r = item_at(bar, 0);
    EXPECT_EQ(r.submenu, popup);
    EXPECT_EQ(r.id, 0u) << "a popup item has command id 0";
    EXPECT_EQ(r.state & MFS_GRAYED, static_cast<UINT>(MFS_GRAYED));
    EXPECT_EQ(r.data, reinterpret_cast<ULONG_PTR>(item_callback));
    EXPECT_EQ(r.text, "File");
    EXPECT_EQ(GetSubMenu(bar, 0), popup);

    // Without the flag the same number is a command id and no popup opens.
    ASSERT_TRUE(add(bar, "Help", 0x1234));
    r = item_at(bar, 1);
    EXPECT_EQ(r.submenu, nullptr);
    EXPECT_EQ(r.id, 0x1234u);
}

TEST_F(MenuTest, FlagBitsBeyondTheTwoAreIgnored) {
    HMENU m = make_loose_menu(1);
    add(m, "A", 10);
    add(m, "B", 20);
    // 0xFFFFFFFC: no submenu, by position; 0xFFFFFFFE: no submenu, by command.
    EXPECT_TRUE(add(m, "X", 30, 0, 2, nullptr, 0xFFFFFFFCu));
    EXPECT_TRUE(add(m, "Y", 31, 0, 20, nullptr, 0xFFFFFFFEu));
    EXPECT_EQ(texts_of(m), (Texts{"A", "X", "Y", "B"}));
    EXPECT_EQ(item_at(m, 1).id, 30u);
    EXPECT_EQ(item_at(m, 1).submenu, nullptr);
}

// ---- addressing of the other operations: positions from 0 ----------------------------

struct AddressRow {
    std::uint32_t item;
    std::uint32_t flags;
    const char* text;  // "" when no item is addressed
    UINT state;
};
// Items A, B, C at positions 0, 1, 2 with ids 2, 3, 1 (see make_abc).
const AddressRow address_rows[] = {
    {0, 0, "A", MFS_CHECKED},
    {1, 0, "B", MFS_GRAYED},
    {2, 0, "C", MFS_DEFAULT},
    {3, 0, "", 0},
    {0xFFFFFFFF, 0, "", 0},
    {1, MENU_FLAG_BY_COMMAND, "C", MFS_DEFAULT},
    {2, MENU_FLAG_BY_COMMAND, "A", MFS_CHECKED},
    {3, MENU_FLAG_BY_COMMAND, "B", MFS_GRAYED},
    {0, MENU_FLAG_BY_COMMAND, "", 0},
    {7, MENU_FLAG_BY_COMMAND, "", 0},
    {1, MENU_FLAG_SUBMENU, "B", MFS_GRAYED},  // bit 0 means nothing here
    {1, 0xFFFFFFFF, "C", MFS_DEFAULT},
};

TEST_F(MenuTest, GetTextAndStateAddressPositionsFromZeroOrCommandIds) {
    HMENU m = make_abc();
    for (const AddressRow& row : address_rows) {
        SCOPED_TRACE("item " + std::to_string(row.item) + " flags " + std::to_string(row.flags));
        EXPECT_EQ(get_text(m, row.item, row.flags), row.text);
        EXPECT_EQ(get_menu_item_state(m, row.item, row.flags), row.state);
    }
}

TEST_F(MenuTest, SetStateAddressesPositionsFromZeroOrCommandIds) {
    for (const AddressRow& row : address_rows) {
        SCOPED_TRACE("item " + std::to_string(row.item) + " flags " + std::to_string(row.flags));
        HMENU m = make_abc();
        Texts before = texts_of(m);
        BOOL r = set_menu_item_state(m, row.item, MFS_HILITE, row.flags);
        EXPECT_EQ(r != 0, row.text[0] != 0) << "result of set_menu_item_state";
        for (UINT i = 0; i < 3; ++i) {
            bool addressed = before[i] == row.text;
            EXPECT_EQ(item_at(m, i).state & MFS_HILITE, addressed ? static_cast<UINT>(MFS_HILITE) : 0u)
                << "item " << before[i];
        }
    }
}

TEST_F(MenuTest, SetTextAddressesPositionsFromZeroOrCommandIds) {
    for (const AddressRow& row : address_rows) {
        SCOPED_TRACE("item " + std::to_string(row.item) + " flags " + std::to_string(row.flags));
        HMENU m = make_abc();
        Texts expected = texts_of(m);
        for (std::string& t : expected) {
            if (t == row.text) t = "Renamed";
        }
        BOOL r = set_text(m, row.item, row.flags, "Renamed");
        EXPECT_EQ(r != 0, row.text[0] != 0) << "result of set_menu_item_text";
        EXPECT_EQ(texts_of(m), expected);
    }
}

TEST_F(MenuTest, DeleteAddressesPositionsFromZeroOrCommandIds) {
    for (const AddressRow& row : address_rows) {
        SCOPED_TRACE("item " + std::to_string(row.item) + " flags " + std::to_string(row.flags));
        HMENU m = make_abc();
        Texts expected;
        for (const std::string& t : texts_of(m)) {
            if (t != row.text) expected.push_back(t);
        }
        BOOL r = delete_menu_item(m, row.item, row.flags);
        EXPECT_EQ(r != 0, row.text[0] != 0) << "result of delete_menu_item";
        EXPECT_EQ(texts_of(m), expected);
    }
}

TEST_F(MenuTest, DeletingPopupItemDestroysThePopup) {
    HMENU bar = make_loose_menu(0);
    HMENU popup = create_menu(1);
    add(bar, "File", reinterpret_cast<std::uintptr_t>(popup), 0, 0, nullptr, MENU_FLAG_SUBMENU);
    ASSERT_TRUE(IsMenu(popup));
    EXPECT_TRUE(delete_menu_item(bar, 0, 0));
    EXPECT_FALSE(IsMenu(popup)) << "the popup of a deleted item goes with it";
    EXPECT_EQ(GetMenuItemCount(bar), 0);
}

// ---- texts ------------------------------------------------------------------------------

TEST_F(MenuTest, GetTextReturnsTextsOfAnyLengthWhole) {
    const std::uint32_t lengths[] = {1, 2, 3, 4, 5, 255, 256, 1023, 1024, 4095, 4096, 5000, 70000};
    for (std::uint32_t n : lengths) {
        SCOPED_TRACE("length " + std::to_string(n));
        std::string text(n, 'x');
        for (std::uint32_t i = 0; i < n; ++i) text[i] = static_cast<char>('a' + i % 26);
        HMENU m = make_loose_menu(1);
        ASSERT_TRUE(add(m, text, 5));
        ProcFrame f;
        get_menu_item_text(f, m, 0, 0);
        ASSERT_EQ(f.strings.depth, 1u);
        EXPECT_EQ(live(), 1) << "one block for the result, nothing else left behind";
        StringView v = view_string(string_arg(f, 0));
        ASSERT_EQ(v.count, n);
        EXPECT_EQ(count_word_of(string_arg(f, 0).handle()), n) << "the block's own count";
        EXPECT_EQ(std::string(v.bytes, v.count), text);
        EXPECT_EQ(v.bytes[v.count], 0) << "the terminator after the bytes";
        pop_string(f);
    }
}

TEST_F(MenuTest, GetTextOfSeparatorMissingItemOrNoMenuIsEmpty) {
    HMENU m = make_loose_menu(1);
    add(m, "-", 0);
    add(m, "", 6);
    struct Row {
        HMENU menu;
        std::uint32_t item;
        std::uint32_t flags;
        const char* what;
    };
    const Row rows[] = {
        {m, 0, 0, "separator"},
        {m, 1, 0, "empty string item"},
        {m, 2, 0, "position past the end"},
        {m, 9, MENU_FLAG_BY_COMMAND, "unknown command id"},
        {nullptr, 0, 0, "no menu"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ProcFrame f;
        get_menu_item_text(f, row.menu, row.item, row.flags);
        ASSERT_EQ(f.strings.depth, 1u);
        EXPECT_EQ(string_arg(f, 0).handle(), 0u) << "expected the empty string";
        EXPECT_EQ(f.error_word, 0);
        pop_string(f);
        EXPECT_EQ(get_menu_item_state(row.menu, row.item, row.flags), 0u);
    }
}

TEST_F(MenuTest, GetTextPushesEmptyAndRecordsSevenWhenTheStringCannotBeAllocated) {
    HMENU m = make_loose_menu(1);
    add(m, "Open", 5);
    ProcFrame f;
    fail_allocation(1);
    get_menu_item_text(f, m, 0, 0);
    ASSERT_EQ(f.strings.depth, 1u);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(f.error_word, 0x8007) << "out of memory is recorded";
    EXPECT_EQ(live(), 0);
    pop_string(f);
}

TEST_F(MenuTest, ItemShowsTheTextOfItsShortcutAfterATab) {
    HMENU m = make_loose_menu(1);
    ProcFrame f;
    push_copy(f, "&Find...\t", 9);
    push_shortcut_text(f, kShortcutCtrl | 'F');
    string_concat(f);
    ASSERT_TRUE(add_menu_item(f, m, 300, 0, 0, nullptr, 0));
    EXPECT_EQ(get_text(m, 0, 0), "&Find...\tCtrl+F");
    EXPECT_EQ(f.error_word, 0);
    fail_allocation(1);
    push_shortcut_text(f, kShortcutAlt | VK_RETURN);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(f.error_word, 0x8007) << "out of memory is recorded";
    pop_string(f);
    EXPECT_EQ(live(), 0);
}

TEST_F(MenuTest, SetTextMakesStringItemsOfSeparatorsAndHyphens) {
    struct Row {
        const char* first;
        const char* text;
    };
    const Row rows[] = {{"-", "Open"}, {"-", "-"}, {"Open", "-"}, {"Open", "Save as..."}, {"-", "--"}};
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.first) + " set to " + row.text);
        HMENU m = make_loose_menu(1);
        add(m, row.first, 9);
        EXPECT_TRUE(set_text(m, 0, 0, row.text));
        ItemRecord r = item_at(m, 0);
        EXPECT_EQ(r.type, static_cast<UINT>(MFT_STRING)) << "expected a string item";
        EXPECT_EQ(r.text, row.text);
        EXPECT_EQ(get_text(m, 0, 0), row.text);
    }
}

// Every text-taking operation pops its text whatever the platform answers:
// owned texts are freed, borrowed ones stay with their variable.
TEST_F(MenuTest, TextArgumentsArePoppedOwnedFreedBorrowedKept) {
    enum Operation { kAdd, kSetText };
    struct Row {
        Operation operation;
        bool borrowed;
        bool valid_menu;
    };
    const Row rows[] = {
        {kAdd, false, true},     {kAdd, true, true},     {kAdd, false, false},     {kAdd, true, false},
        {kSetText, false, true}, {kSetText, true, true}, {kSetText, false, false}, {kSetText, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.operation == kAdd ? "add" : "set text") + (row.borrowed ? " borrowed" : " owned") +
                     (row.valid_menu ? "" : " on no menu"));
        HMENU m = make_loose_menu(1);
        add(m, "Old", 3);
        HMENU target = row.valid_menu ? m : nullptr;
        DynString variable = make("Keep me");
        ProcFrame f;
        if (row.borrowed) {
            push_borrowed(f, variable);
        } else {
            push_copy(f, "Keep me", 7);
        }
        std::int32_t live_before = live();
        BOOL r =
            row.operation == kAdd ? add_menu_item(f, target, 4, 0, 0, nullptr, 0) : set_menu_item_text(f, target, 0, 0);
        EXPECT_EQ(r != 0, row.valid_menu);
        EXPECT_EQ(f.strings.depth, 0u);
        EXPECT_EQ(live(), row.borrowed ? live_before : live_before - 1) << "owned text freed, borrowed kept";
        EXPECT_EQ(bytes_of(variable), "Keep me") << "the variable's string is untouched";
        if (row.valid_menu) {
            EXPECT_EQ(texts_of(m).back(), "Keep me");
        }
        free_string(variable);
    }
}

// ---- attach_menu and draw_menu_bar ------------------------------------------------------------

TEST_F(MenuTest, AttachAndDrawMenuBarOnADialog) {
    HWND dialog = make_dialog();
    HMENU bar = create_menu(0);
    add(bar, "File", 10);
    RECT client_before;
    GetClientRect(dialog, &client_before);
    EXPECT_TRUE(attach_menu(dialog, bar));
    EXPECT_EQ(GetMenu(dialog), bar);
    EXPECT_TRUE(draw_menu_bar(dialog));
    add(bar, "Edit", 11);
    EXPECT_TRUE(draw_menu_bar(dialog));
    RECT client_after;
    GetClientRect(dialog, &client_after);
    EXPECT_LT(client_after.bottom, client_before.bottom) << "the bar takes room from the client area";
    // Wine 8 answers TRUE to SetMenu on no window, but no window is no bar.
    EXPECT_FALSE(draw_menu_bar(nullptr));
    HWND closed = make_dialog();
    close_dialog(closed, 0);
    EXPECT_FALSE(attach_menu(closed, make_loose_menu(0))) << "a closed dialog's handle";
    EXPECT_FALSE(attach_menu(nullptr, make_loose_menu(0)));
    EXPECT_FALSE(draw_menu_bar(closed));
}

// ---- menu commands through dialog_proc -----------------------------------------------------------

class MenuCommandTest : public MenuTest {
protected:
    void SetUp() override {
        MenuTest::SetUp();
        dialog_ = make_dialog();
        bar_ = create_menu(0);
        popup_ = create_menu(1);
        add(popup_, "Open", 41, 0, 0, other_callback);
        add(popup_, "Plain", 42);
        add(bar_, "File", reinterpret_cast<std::uintptr_t>(popup_), 0, 0, nullptr, MENU_FLAG_SUBMENU);
        add(bar_, "Go", 40, 0, 0, item_callback);
    }
    void send_command(HWND dialog, WPARAM wparam, LPARAM lparam = 0) {
        SendMessageA(dialog, WM_COMMAND, wparam, lparam);
    }
    // Adds a control of the kind with the id and callback.
    HWND add_button(std::int32_t id, ControlCallback callback, ControlKind kind = kPushButton) {
        ProcFrame f;
        push_empty(f);  // class name, unused by the built-in kinds
        push_copy(f, "Go", 2);
        HWND button = add_control(f, dialog_, id, nullptr, 4, 4, 40, 14, 0, 0, callback, kind);
        EXPECT_NE(button, nullptr);
        return button;
    }

    HWND dialog_ = nullptr;
    HMENU bar_ = nullptr;
    HMENU popup_ = nullptr;
};

TEST_F(MenuCommandTest, ItemCallbackRunsWithDialogMessageWparamAndLparam) {
    ASSERT_TRUE(attach_menu(dialog_, bar_));
    send_command(dialog_, MAKEWPARAM(40, 1), 0x5A5A);
    ASSERT_EQ(callback_calls.size(), 1u);
    EXPECT_EQ(callback_calls[0].recorder, 1) << "expected the callback of item 40";
    EXPECT_EQ(callback_calls[0].dialog, dialog_);
    EXPECT_EQ(callback_calls[0].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(callback_calls[0].wparam, MAKEWPARAM(40, 1));
    EXPECT_EQ(callback_calls[0].lparam, 0x5A5A);
}

TEST_F(MenuCommandTest, ItemInPopupBelowTheBarIsFound) {
    ASSERT_TRUE(attach_menu(dialog_, bar_));
    send_command(dialog_, 41);
    ASSERT_EQ(callback_calls.size(), 1u);
    EXPECT_EQ(callback_calls[0].recorder, 2) << "expected the callback of item 41";
    EXPECT_EQ(callback_calls[0].wparam, 41u);
}

TEST_F(MenuCommandTest, NoCallbackRunsForItemsWithoutOneOrUnknownIds) {
    ASSERT_TRUE(attach_menu(dialog_, bar_));
    send_command(dialog_, 42);  // an item without a callback
    send_command(dialog_, 43);  // no such item
    send_command(dialog_, 0);   // the popup item's own id is 0 and it has no callback
    EXPECT_TRUE(callback_calls.empty()) << callback_calls.size() << " callbacks ran";
}

TEST_F(MenuCommandTest, ItemCallbackOfMenuNotAttachedToTheDialogNeverRuns) {
    HWND other = make_dialog();
    send_command(dialog_, 40);  // the bar is attached to no window yet
    ASSERT_TRUE(attach_menu(other, bar_));
    send_command(dialog_, 40);  // attached, but to another dialog
    EXPECT_TRUE(callback_calls.empty()) << callback_calls.size() << " callbacks ran";
    send_command(other, 40);
    ASSERT_EQ(callback_calls.size(), 1u);
    EXPECT_EQ(callback_calls[0].dialog, other);
}

TEST_F(MenuCommandTest, ControlWithSameIdTakesTheCommandEvenWithoutCallback) {
    ASSERT_TRUE(attach_menu(dialog_, bar_));
    struct Row {
        std::int32_t id;
        ControlCallback callback;
        std::vector<int> expected;  // recorders that ran, in order
        ControlKind kind;
    };
    const Row rows[] = {
        {40, control_callback, {3}, kPushButton},
        {41, control_callback, {3}, kPushButton},
        {40, nullptr, {}, kPushButton},
        {41, nullptr, {}, kPushButton},
        // A label sends no commands of its own, yet its id hides the item all the same.
        {40, control_callback, {3}, kLabel},
        {40, nullptr, {}, kLabel},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE("kind " + std::to_string(row.kind) + " id " + std::to_string(row.id) +
                     (row.callback ? " with callback" : " without callback"));
        callback_calls.clear();
        HWND button = add_button(row.id, row.callback, row.kind);
        send_command(dialog_, static_cast<WPARAM>(row.id), reinterpret_cast<LPARAM>(button));
        std::vector<int> ran;
        for (const CallbackCall& c : callback_calls) ran.push_back(c.recorder);
        EXPECT_EQ(ran, row.expected);
        DestroyWindow(button);
        // With the control gone, the item's callback is reached again.
        callback_calls.clear();
        send_command(dialog_, static_cast<WPARAM>(row.id));
        ASSERT_EQ(callback_calls.size(), 1u);
        EXPECT_NE(callback_calls[0].recorder, 3);
    }
}

}  // namespace
