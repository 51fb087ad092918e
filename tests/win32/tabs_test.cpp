// Tabs with pages, sliders, up-downs, status bars and tooltips on the real
// common controls: texts in every script the program's code page holds, indexes out of range, pages that
// follow every way a tab gets selected, and the callbacks a change reaches.
#include <windows.h>

#include <commctrl.h>

#include <climits>
#include <string>
#include <vector>

#include "tests/common/code_page_texts.h"
#include "tests/common/dialog_testing.h"

namespace {

constexpr std::int32_t kTabControl = 100, kFirst = 101, kSecond = 102, kThird = 103, kAlways = 104, kBox = 105;
const TextInCodePages kScripts[] = {
    {{"Zoë", L"Zoë"}, {"Zo\xEB", L"Zoë"}},
    {{"李雷", L"李雷"}, {"caf\xE9 \x80", L"café €"}},  // 0x80 is "€" in 1252 alone
    {{"Ελένη", L"Ελένη"}, {"\xC5se \x9C\x9F", L"Åse œŸ"}},
    {{"Ärger über Öl, ça", L"Ärger über Öl, ça"},
     {"\xC4rger \xFC"
      "ber \xD6l, \xE7"
      "a",
      L"Ärger über Öl, ça"}},
};

// What callbacks heard: (who, message, notification code or scroll request).
struct Heard {
    std::string who;
    UINT message;
    int code;
};
std::vector<Heard> heard;

Heard heard_of(const char* who, UINT m, WPARAM w, LPARAM l) {
    int code = m == WM_NOTIFY ? static_cast<int>(reinterpret_cast<const NMHDR*>(l)->code) : LOWORD(w);
    return {who, m, code};
}
std::int32_t control_callback(HWND, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NOTIFY || m == WM_HSCROLL || m == WM_VSCROLL) heard.push_back(heard_of("control", m, w, l));
    return 0;
}
std::int32_t dialog_callback(HWND, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_NOTIFY || m == WM_HSCROLL || m == WM_VSCROLL) heard.push_back(heard_of("dialog", m, w, l));
    return 0;
}
bool heard_code(const char* who, int code) {
    for (const Heard& h : heard)
        if (h.who == who && h.code == code) return true;
    return false;
}

class TabPages : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        heard.clear();
        tabs_ = add_at(kTabs, kTabControl, 2, 2, 190, 44, control_callback);  // wide enough for its tabs
        for (const char* t : {"A", "B", "C"})
            taking(t, [&](ProcFrame& f) { return tabs_add(f, dialog_, kTabControl); });
        pages_[0] = add_at(kTextBox, kFirst, 8, 20, 40, 12);
        pages_[1] = add_at(kCheckBox, kSecond, 8, 20, 40, 12);
        pages_[2] = add_at(kPushButton, kThird, 8, 20, 40, 12);
        always_ = add_at(kLabel, kAlways, 50, 20, 40, 12);
        for (int page = 1; page <= 3; ++page) ASSERT_TRUE(tabs_set_page(dialog_, kTabControl, kFirst + page - 1, page));
        SetWindowLongPtrA(dialog_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dialog_callback));  // the callback slot
    }
    // Which page's control is shown, 0 for none; -1 when more than one is.
    int shown_page() const {
        int shown = 0;
        for (int i = 0; i < 3; ++i)
            if (has_visible_style(pages_[i])) shown = shown == 0 ? i + 1 : -1;
        return shown;
    }
    void click_tab(int index) {
        RECT r = {};
        SendMessageW(tabs_, TCM_GETITEMRECT, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&r));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        SendMessageW(tabs_, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(tabs_, WM_LBUTTONUP, 0, at);
    }
    HWND tabs_ = nullptr;
    HWND pages_[3] = {};
    HWND always_ = nullptr;
};

TEST_F(TabPages, TabTextsKeepEveryScript) {
    for (const TextInCodePages& script : kScripts) {
        const CodedText& text = script.here();
        std::int32_t index = taking(text.bytes, [&](ProcFrame& f) { return tabs_add(f, dialog_, kTabControl); });
        ASSERT_EQ(index, tabs_get_count(dialog_, kTabControl)) << text.bytes;
        EXPECT_EQ(pushed([&](ProcFrame& f) { tabs_get_text(f, dialog_, kTabControl, index); }), text.bytes);
        WCHAR held[64] = {};
        TCITEMW item = {};
        item.mask = TCIF_TEXT;
        item.pszText = held;
        item.cchTextMax = 64;
        SendMessageW(tabs_, TCM_GETITEMW, static_cast<WPARAM>(index - 1), reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(item.pszText, text.wide) << "the control holds the text's own characters";
    }
    EXPECT_EQ(pushed([&](ProcFrame& f) { tabs_get_text(f, dialog_, kTabControl, 1); }), "A");
}

TEST_F(TabPages, IndexesAndControlsThatNameNothingChangeNothing) {
    ASSERT_TRUE(tabs_select(dialog_, kTabControl, 2));
    for (std::int32_t index : {0, -1, 4, INT_MIN, INT_MAX}) {
        std::int32_t error = -1;
        EXPECT_EQ(pushed([&](ProcFrame& f) { tabs_get_text(f, dialog_, kTabControl, index); }, &error), "") << index;
        EXPECT_EQ(error, 0) << "no tab is no error";
        EXPECT_FALSE(tabs_select(dialog_, kTabControl, index)) << index;
    }
    EXPECT_EQ(tabs_get_selected(dialog_, kTabControl), 2);
    EXPECT_EQ(shown_page(), 2);
    // A control that is no tab control, and ids that name nothing.
    for (std::int32_t id : {kFirst, 999}) {
        EXPECT_EQ(taking("x", [&](ProcFrame& f) { return tabs_add(f, dialog_, id); }), 0) << id;
        EXPECT_EQ(tabs_get_count(dialog_, id), 0);
        EXPECT_EQ(tabs_get_selected(dialog_, id), 0);
        EXPECT_FALSE(tabs_select(dialog_, id, 1));
        EXPECT_FALSE(tabs_set_page(dialog_, id, kAlways, 1));
    }
    EXPECT_FALSE(tabs_set_page(dialog_, kTabControl, 999, 1));
    EXPECT_FALSE(tabs_set_page(dialog_, kTabControl, kAlways, -1));
    EXPECT_FALSE(tabs_set_page(dialog_, kTabControl, kTabControl, 1)) << "the tab control is on no page of its own";
    EXPECT_EQ(tabs_get_count(nullptr, kTabControl), 0);
}

// Every way a tab gets selected shows its page alone; a control on no page
// stays, and one taken off its page (page 0) is shown from then on.
TEST_F(TabPages, EveryWayOfSelectingShowsThatPageAlone) {
    EXPECT_EQ(shown_page(), 1) << "the first tab is selected from the start";
    const char* const ways[] = {"tabs_select", "click", "TCM_SETCURSEL"};
    for (int way = 0; way < 3; ++way) {
        for (int index : {3, 2, 1}) {
            heard.clear();
            if (way == 0) tabs_select(dialog_, kTabControl, index);
            if (way == 1) click_tab(index);
            if (way == 2) SendMessageW(tabs_, TCM_SETCURSEL, static_cast<WPARAM>(index - 1), 0);
            EXPECT_EQ(tabs_get_selected(dialog_, kTabControl), index) << ways[way];
            EXPECT_EQ(shown_page(), index) << ways[way];
            EXPECT_TRUE(has_visible_style(always_)) << ways[way];
            EXPECT_EQ(heard_code("control", TCN_SELCHANGE), way == 1) << ways[way] << ": the tab's own callback";
        }
    }
    ASSERT_TRUE(tabs_set_page(dialog_, kTabControl, kThird, 0));
    EXPECT_TRUE(has_visible_style(pages_[2]));
    tabs_select(dialog_, kTabControl, 2);
    EXPECT_TRUE(has_visible_style(pages_[2])) << "on no page any more";
}

TEST_F(TabPages, HiddenFocusedControlHandsTheFocusToTheTabs) {
    show_window_state(dialog_, SW_SHOW, nullptr);
    SetFocus(pages_[0]);
    ASSERT_EQ(GetFocus(), pages_[0]);
    tabs_select(dialog_, kTabControl, 2);
    EXPECT_EQ(GetFocus(), tabs_);
}

// Ctrl+Tab and Ctrl+Shift+Tab go round the tabs in the modal loop, and the
// dialog hears TCN_SELCHANGE as after a click; Tab alone moves the focus.
TEST_F(TabPages, CtrlTabSwitchesTabsInTheModalLoop) {
    static std::vector<std::int32_t> selected;
    static HWND tabs;
    selected.clear();
    tabs = tabs_;
    auto callback = [](HWND d, UINT m, WPARAM w, LPARAM l) -> std::int32_t {
        if (m == WM_APP) hold_key(VK_CONTROL, w != 0);
        if (m == WM_APP + 1) hold_key(VK_SHIFT, w != 0);
        if (m == WM_APP + 2) close_dialog(d, 1);
        if (m == WM_NOTIFY && reinterpret_cast<const NMHDR*>(l)->code == TCN_SELCHANGE)
            selected.push_back(tabs_get_selected(d, kTabControl));
        return 0;
    };
    std::int32_t end = 0;
    PostMessageW(dialog_, WM_APP, 1, 0);
    PostMessageW(tabs, WM_KEYDOWN, VK_TAB, 0);       // 2
    PostMessageW(pages_[1], WM_KEYDOWN, VK_TAB, 0);  // 3, from a page's control
    PostMessageW(tabs, WM_KEYDOWN, VK_TAB, 0);       // 1, round
    PostMessageW(dialog_, WM_APP + 1, 1, 0);
    PostMessageW(tabs, WM_KEYDOWN, VK_TAB, 0);  // 3, back round
    PostMessageW(dialog_, WM_APP + 1, 0, 0);
    PostMessageW(dialog_, WM_APP, 0, 0);
    PostMessageW(tabs, WM_KEYDOWN, VK_TAB, 0);  // Tab alone: no switch
    PostMessageW(dialog_, WM_APP + 2, 0, 0);
    run_dialog_modal(dialog_, callback, &end);
    dialog_ = nullptr;
    EXPECT_EQ(end, 1);
    EXPECT_EQ(selected, (std::vector<std::int32_t>{2, 3, 1, 3}));
    hold_key(VK_CONTROL, false);
    hold_key(VK_SHIFT, false);
}

// A dialog that refuses TCN_SELCHANGING keeps its tab and page, for a click
// and for Ctrl+Tab alike.
TEST_F(TabPages, RefusedChangeKeepsTheTabAndItsPage) {
    auto refuse = [](HWND d, UINT m, WPARAM, LPARAM l) -> std::int32_t {
        if (m != WM_NOTIFY || reinterpret_cast<const NMHDR*>(l)->code != TCN_SELCHANGING) return 0;
        SetWindowLongPtrA(d, DWLP_MSGRESULT, TRUE);
        return 1;
    };
    SetWindowLongPtrA(dialog_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(+refuse));
    click_tab(2);
    hold_key(VK_CONTROL, true);
    MSG ctrl_tab = {tabs_, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(dialog_, &ctrl_tab));
    hold_key(VK_CONTROL, false);
    EXPECT_EQ(tabs_get_selected(dialog_, kTabControl), 1);
    EXPECT_EQ(shown_page(), 1);
}

// A tab control that is gone lets go of its pages' controls, shown or hidden
// as they were: Ctrl+Tab from one of them reaches the tab control made in
// its place under the same id.
TEST_F(TabPages, AKilledTabControlLetsGoOfItsPages) {
    kill_control(dialog_, kTabControl);
    EXPECT_EQ(shown_page(), 1) << "the pages' controls stay as they were";
    add_at(kTabs, kTabControl, 2, 2, 190, 44);
    for (const char* t : {"X", "Y"}) taking(t, [&](ProcFrame& f) { return tabs_add(f, dialog_, kTabControl); });
    hold_key(VK_CONTROL, true);
    MSG ctrl_tab = {pages_[0], WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageW(dialog_, &ctrl_tab));
    hold_key(VK_CONTROL, false);
    EXPECT_EQ(tabs_get_selected(dialog_, kTabControl), 2) << "Ctrl+Tab from a control of the pages that are gone";
}

// ---- Sliders and up-downs ---------------------------------------------------------------

class Ranges : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        heard.clear();
        SetWindowLongPtrA(dialog_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dialog_callback));  // the callback slot
    }
};

struct RangeOps {
    ControlKind kind;
    BOOL (*set_range)(HWND, std::int32_t, std::int32_t, std::int32_t);
    std::int32_t (*get)(HWND, std::int32_t);
    BOOL (*set)(HWND, std::int32_t, std::int32_t);
};
const RangeOps kRangeOps[] = {
    {kSlider, slider_set_range, slider_get_position, slider_set_position},
    {kUpDown, updown_set_range, updown_get_position, updown_set_position},
};

TEST_F(Ranges, PositionsStayInTheRangeAndBadRangesAreRefused) {
    struct Case {
        std::int32_t minimum, maximum, position, expected;
    };
    const Case cases[] = {
        {0, 100, 50, 50},   {0, 100, 150, 100},
        {0, 100, -5, 0},    {-1000000, 1000000, -999999, -999999},
        {-20, -10, 0, -10}, {INT_MIN / 2, INT_MAX / 2, 123456789, 123456789},
        {7, 7, 9, 7},
    };
    for (const RangeOps& op : kRangeOps) {
        add_at(kTextBox, 200, 4, 4, 40, 12);
        add_at(op.kind, 201, 44, 4, 40, 12);
        for (const Case& c : cases) {
            ASSERT_TRUE(op.set_range(dialog_, 201, c.minimum, c.maximum)) << op.kind;
            EXPECT_TRUE(op.set(dialog_, 201, c.position));
            EXPECT_EQ(op.get(dialog_, 201), c.expected) << op.kind << " " << c.minimum << ".." << c.maximum;
        }
        EXPECT_FALSE(op.set_range(dialog_, 201, 10, 1)) << "minimum above maximum";
        op.set(dialog_, 201, 8);
        EXPECT_EQ(op.get(dialog_, 201), 7) << "the refused range changed nothing";
        // The whole 32-bit range: the up-down takes it; the slider refuses it
        // (its platform control divides by the span, -1 in 32 bits).
        EXPECT_EQ(op.set_range(dialog_, 201, INT_MIN, INT_MAX), op.kind == kUpDown) << op.kind;
        EXPECT_TRUE(op.set(dialog_, 201, INT_MAX));
        EXPECT_EQ(op.get(dialog_, 201), op.kind == kUpDown ? INT_MAX : 7) << op.kind;
        // A control of the other kind, and an id that names nothing.
        for (std::int32_t id : {200, 999}) {
            EXPECT_FALSE(op.set_range(dialog_, id, 0, 10));
            EXPECT_FALSE(op.set(dialog_, id, 1));
            EXPECT_EQ(op.get(dialog_, id), 0);
        }
        kill_control(dialog_, 200);
        kill_control(dialog_, 201);
    }
}

TEST_F(Ranges, UpDownShowsItsPositionInItsBuddy) {
    add_at(kTextBox, 200, 4, 4, 40, 12);
    add_at(kUpDown, 201, 44, 4, 10, 12, control_callback);
    updown_set_range(dialog_, 201, -50, 50);
    updown_set_position(dialog_, 201, -42);
    EXPECT_EQ(pushed([&](ProcFrame& f) { read_control_text(f, dialog_, 200); }), "-42");
}

// A change made with the keys reaches the control's callback, then the
// dialog's: the slider's WM_HSCROLL, the up-down's UDN_DELTAPOS and WM_VSCROLL.
TEST_F(Ranges, ChangesReachTheControlsCallback) {
    HWND slider = add_at(kSlider, 201, 4, 4, 80, 14, control_callback);
    slider_set_range(dialog_, 201, 0, 10);
    SendMessageW(slider, WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(slider_get_position(dialog_, 201), 1);
    EXPECT_TRUE(heard_code("control", TB_LINEDOWN));
    EXPECT_TRUE(heard_code("dialog", TB_LINEDOWN));
    HWND box = add_at(kTextBox, 202, 4, 20, 40, 12);
    add_at(kUpDown, 203, 44, 20, 10, 12, control_callback);
    updown_set_range(dialog_, 203, 0, 10);
    SendMessageW(box, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(updown_get_position(dialog_, 203), 1);
    EXPECT_TRUE(heard_code("control", UDN_DELTAPOS));
    EXPECT_TRUE(heard_code("control", SB_THUMBPOSITION));
}

// ---- Status bars ------------------------------------------------------------------------

class StatusBar : public DialogTest {};

TEST_F(StatusBar, PartsTakeWidthsInDialogUnitsAndRefuseBadOnes) {
    HWND bar = add_at(kStatusBar, 300, 0, 0, 100, 12);
    const std::int32_t widths[] = {40, 30, -1};
    ASSERT_TRUE(status_set_parts(dialog_, 300, widths, 3));
    int edges[3] = {};
    ASSERT_EQ(SendMessageW(bar, SB_GETPARTS, 3, reinterpret_cast<LPARAM>(edges)), 3);
    RECT r = {40, 0, 70, 0};
    MapDialogRect(dialog_, &r);
    EXPECT_EQ(edges[0], r.left);
    EXPECT_EQ(edges[1], r.right);
    EXPECT_EQ(edges[2], -1);
    struct Bad {
        std::vector<std::int32_t> widths;
        std::int32_t count;
    };
    const Bad bad[] = {{{10}, 0},         {{10}, -1}, {std::vector<std::int32_t>(257, 1), 257},
                       {{-1, 10}, 2},     {{-5}, 1},  {{40000}, 1},
                       {{30000, 3000}, 2}};
    for (const Bad& b : bad) {
        EXPECT_FALSE(status_set_parts(dialog_, 300, b.widths.data(), b.count)) << b.count;
        EXPECT_EQ(status_get_part_count(dialog_, 300), 3);
    }
    EXPECT_FALSE(status_set_parts(dialog_, 300, nullptr, 1));
    EXPECT_FALSE(status_set_parts(dialog_, 999, widths, 1));
}

TEST_F(StatusBar, PartTextsKeepEveryScript) {
    HWND bar = add_at(kStatusBar, 300, 0, 0, 100, 12);
    const std::int32_t widths[] = {25, 25, 25, -1};
    ASSERT_TRUE(status_set_parts(dialog_, 300, widths, 4));
    for (std::int32_t part = 1; part <= 4; ++part)
        EXPECT_TRUE(taking(kScripts[part - 1].here().bytes,
                           [&](ProcFrame& f) { return status_set_text(f, dialog_, 300, part); }));
    for (std::int32_t part = 1; part <= 4; ++part) {
        const CodedText& text = kScripts[part - 1].here();
        EXPECT_EQ(pushed([&](ProcFrame& f) { status_get_text(f, dialog_, 300, part); }), text.bytes);
        WCHAR held[64] = {};
        SendMessageW(bar, SB_GETTEXTW, static_cast<WPARAM>(part - 1), reinterpret_cast<LPARAM>(held));
        EXPECT_STREQ(held, text.wide) << "the bar holds the text's own characters";
    }
    // A text longer than the bar can tell the length of (16 bits) keeps its
    // first 65,535 units, and a character of two units is not split.
    const std::string long_text(70000, 'a');
    ASSERT_TRUE(taking(long_text, [&](ProcFrame& f) { return status_set_text(f, dialog_, 300, 1); }));
    EXPECT_EQ(pushed([&](ProcFrame& f) { status_get_text(f, dialog_, 300, 1); }), long_text.substr(0, 65535));
    if (GetACP() == CP_UTF8) {
        const std::string a65534(65534, 'a');
        ASSERT_TRUE(taking(a65534 + "🙂", [&](ProcFrame& f) { return status_set_text(f, dialog_, 300, 1); }));
        EXPECT_EQ(pushed([&](ProcFrame& f) { status_get_text(f, dialog_, 300, 1); }), a65534);
    }
    for (std::int32_t part : {0, -1, 5, INT_MIN, INT_MAX}) {
        EXPECT_FALSE(taking("x", [&](ProcFrame& f) { return status_set_text(f, dialog_, 300, part); })) << part;
        EXPECT_EQ(pushed([&](ProcFrame& f) { status_get_text(f, dialog_, 300, part); }), "") << part;
    }
}

// ---- Tooltips -------------------------------------------------------------------------------

class Tooltips : public DialogTest {};

TEST_F(Tooltips, OneWindowPerDialogHoldsEveryControlsTip) {
    add_at(kPushButton, 400, 4, 4, 40, 12);
    add_at(kTextBox, 401, 4, 20, 40, 12);
    EXPECT_EQ(get_dialog_tooltips(dialog_), nullptr);
    for (const TextInCodePages& script : kScripts) {
        const CodedText& text = script.here();
        ASSERT_TRUE(taking(text.bytes, [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, 400); }));
        EXPECT_EQ(pushed([&](ProcFrame& f) { get_control_tooltip(f, dialog_, 400); }), text.bytes);
        WCHAR held[64] = {};
        TTTOOLINFOW tool = {};
        tool.cbSize = TTTOOLINFOW_V2_SIZE;
        tool.hwnd = dialog_;
        tool.uId = reinterpret_cast<UINT_PTR>(GetDlgItem(dialog_, 400));
        tool.lpszText = held;
        SendMessageW(get_dialog_tooltips(dialog_), TTM_GETTEXTW, 64, reinterpret_cast<LPARAM>(&tool));
        EXPECT_STREQ(tool.lpszText, text.wide) << "the tooltip window holds the text's own characters";
    }
    ASSERT_TRUE(taking(bytes_here("Ελένη 李雷", "\xC5se caf\xE9"),
                       [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, 401); }));
    HWND tips = get_dialog_tooltips(dialog_);
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(GetWindow(tips, GW_OWNER), dialog_);
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 2) << "one tool per control, in one window";
    EXPECT_EQ(pushed([&](ProcFrame& f) { get_control_tooltip(f, dialog_, 400); }), kScripts[3].here().bytes);
    // The empty text takes the tip away; ids that name nothing get none.
    EXPECT_TRUE(taking("", [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, 400); }));
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_EQ(pushed([&](ProcFrame& f) { get_control_tooltip(f, dialog_, 400); }), "");
    EXPECT_FALSE(taking("x", [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, 999); }));
    EXPECT_EQ(pushed([&](ProcFrame& f) { get_control_tooltip(f, dialog_, 999); }), "");
    // A control that is gone takes its tip with it once the next tip is set.
    kill_control(dialog_, 401);
    add_at(kPushButton, 401, 4, 20, 40, 12);
    EXPECT_TRUE(taking("again", [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, 401); }));
    EXPECT_EQ(SendMessageW(tips, TTM_GETTOOLCOUNT, 0, 0), 1) << "the new control's tip alone";
    DestroyWindow(dialog_);
    dialog_ = nullptr;
    EXPECT_FALSE(IsWindow(tips)) << "the tooltip window goes with its dialog";
}

// A tip watches its control's mouse without changing how the control takes
// characters: typed into a text box with a tip (W messages, as the modal
// loop dispatches them), every script comes back whole; and the pointer
// resting on a control shows its tip, under any message loop.
TEST_F(Tooltips, ShowOnHoverAndLeaveTypedTextWhole) {
    HWND button = add_at(kPushButton, 400, 4, 4, 40, 12);
    HWND box = add_at(kTextBox, 401, 4, 20, 80, 12);
    for (std::int32_t id : {400, 401})
        ASSERT_TRUE(taking("tip", [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, id); }));
    for (const TextInCodePages& script : kScripts) {
        const CodedText& text = script.here();
        SetWindowTextW(box, L"");
        for (const WCHAR* c = text.wide; *c != 0; ++c) PostMessageW(box, WM_CHAR, *c, 1);
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        EXPECT_EQ(pushed([&](ProcFrame& f) { read_control_text(f, dialog_, 401); }), text.bytes);
    }
    HWND tips = get_dialog_tooltips(dialog_);
    SendMessageW(tips, TTM_SETDELAYTIME, TTDT_INITIAL, 10);
    ShowWindow(dialog_, SW_SHOWNORMAL);
    RECT r;
    GetWindowRect(button, &r);
    SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    PostMessageA(button, WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));
    EXPECT_TRUE(pump_until([&] { return IsWindowVisible(tips) != 0; }))
        << "waited 10 s for the tip of the button under the pointer to show; the tooltip window stayed hidden";
}

TEST_F(Tooltips, LongTipsAreCutToTheirFirstUnits) {
    add_at(kPushButton, 400, 4, 4, 40, 12);
    // 700 units of a letter outside ASCII (two bytes each in UTF-8, one in
    // 1252), then 400 of "a": the tip keeps 1,023 units.
    const std::string letter = bytes_here("λ", "\xE9");
    std::string text;
    for (int i = 0; i < 700; ++i) text += letter;
    text += std::string(400, 'a');
    ASSERT_TRUE(taking(text, [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, 400); }));
    EXPECT_EQ(pushed([&](ProcFrame& f) { get_control_tooltip(f, dialog_, 400); }),
              text.substr(0, 700 * letter.size() + 323));
    if (GetACP() == CP_UTF8) {  // a character of two units: only UTF-8 holds one
        // "🙂" would take units 1,023 and 1,024: it goes whole, not as half a pair.
        const std::string a1022(1022, 'a');
        ASSERT_TRUE(taking(a1022 + "🙂b", [&](ProcFrame& f) { return set_control_tooltip(f, dialog_, 400); }));
        EXPECT_EQ(pushed([&](ProcFrame& f) { get_control_tooltip(f, dialog_, 400); }), a1022);
    }
}

}  // namespace
