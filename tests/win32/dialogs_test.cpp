// Dialogs on the real platform: creation, the dialog procedure's routing, the
// modal loop, modeless dialogs and closing.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "tests/common/string_testing.h"
#include "tests/common/win32_testing.h"
#include "toolkit/toolkit.h"

namespace {

constexpr auto pool = make_literal_pool("Dialog", "", "OK", "Cancel");
enum { kTitle, kEmpty, kOk, kCancel };

// What the callbacks saw, in order; one log per test.
struct Call {
    const char* who;
    HWND dialog;
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<Call> callback_log;
std::int32_t control_answer = 0;
std::int32_t dialog_answer = 0;
std::int32_t* watched_end_value = nullptr;
std::int32_t end_value_at_destroy = -12345;

std::int32_t control_callback(HWND d, UINT m, WPARAM w, LPARAM l) {
    callback_log.push_back({"control", d, m, w, l});
    return control_answer;
}

std::int32_t menu_callback(HWND d, UINT m, WPARAM w, LPARAM l) {
    callback_log.push_back({"menu", d, m, w, l});
    return 0;
}

std::int32_t dialog_callback(HWND d, UINT m, WPARAM w, LPARAM l) {
    callback_log.push_back({"dialog", d, m, w, l});
    if (m == WM_DESTROY && watched_end_value != nullptr) end_value_at_destroy = *watched_end_value;
    if (m == WM_APP) close_dialog(d, static_cast<std::int32_t>(w));
    return m == WM_COMMAND || m == WM_SYSCOMMAND || m == WM_CLOSE ? dialog_answer : 0;
}

std::vector<UINT> messages_to(const char* who) {
    std::vector<UINT> out;
    for (const Call& c : callback_log)
        if (std::string(c.who) == who) out.push_back(c.message);
    return out;
}

bool saw(const char* who, UINT message) {
    for (UINT m : messages_to(who))
        if (m == message) return true;
    return false;
}

// An owner window that records what it receives.
struct OwnerLog {
    std::vector<UINT> messages;
    int idle_count = 0;
    LPARAM idle_lparam = 0;
    WPARAM idle_wparam = 99;
    bool enabled_when_dialog_destroyed = false;
    HWND no_idle_on_cancel = nullptr;  // a dialog given DS_NOIDLEMSG on WM_CANCELMODE
    HWND close_after_idle = nullptr;   // a dialog sent WM_APP 1 on the sixth WM_ENTERIDLE, WM_APP 2 at the bound
} owner_log;

constexpr UINT_PTR kIdleBoundTimer = 1;
constexpr UINT kIdleBoundMs = 5000;

LRESULT CALLBACK owner_proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_CANCELMODE || m == WM_ENABLE || m == WM_SETFOCUS || m == WM_KEYDOWN || m == WM_COMMAND)
        owner_log.messages.push_back(m);
    if (m == WM_CANCELMODE && owner_log.no_idle_on_cancel != nullptr) {
        HWND d = owner_log.no_idle_on_cancel;
        SetWindowLongA(d, GWL_STYLE, GetWindowLongA(d, GWL_STYLE) | DS_NOIDLEMSG);
    }
    if (m == WM_ENTERIDLE) {
        ++owner_log.idle_count;
        owner_log.idle_wparam = wp;
        owner_log.idle_lparam = lp;
        if (owner_log.idle_count == 6 && owner_log.close_after_idle != nullptr)
            PostMessageA(owner_log.close_after_idle, WM_APP, 1, 0);
    }
    if (m == WM_TIMER && wp == kIdleBoundTimer && owner_log.close_after_idle != nullptr)
        PostMessageA(owner_log.close_after_idle, WM_APP, 2, 0);
    return DefWindowProcA(w, m, wp, lp);
}

HWND make_owner() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = owner_proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "KwTestOwner";
        RegisterClassA(&wc);
        registered = true;
    }
    owner_log = OwnerLog{};
    HWND owner = CreateWindowExA(0, "KwTestOwner", "owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 400, 300, nullptr,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
    pump_messages();
    owner_log = OwnerLog{};  // what creation brought is not the dialog's doing
    return owner;
}

class Dialogs : public StringRuntimeTest {
protected:
    void SetUp() override {
        StringRuntimeTest::SetUp();
        start_runtime_for_test();
        callback_log.clear();
        control_answer = dialog_answer = 0;
        watched_end_value = nullptr;
        end_value_at_destroy = -12345;
    }
    void TearDown() override {
        for (HWND w : windows_)
            if (IsWindow(w)) DestroyWindow(w);
        pump_messages();
        StringRuntimeTest::TearDown();
    }
    HWND dialog(HWND parent = nullptr, std::uint32_t style = 0, std::int32_t x = 10, std::int32_t y = 10) {
        ProcFrame f;
        push_literal(f, pool[kTitle]);
        HWND d = create_dialog(f, parent, x, y, 120, 60, style, 0);
        EXPECT_EQ(f.strings.depth, 0u);
        windows_.push_back(d);
        return d;
    }
    HWND button(HWND d, std::int32_t id, ControlCallback cb, std::uint32_t style = 0) {
        ProcFrame f;
        push_empty(f);
        push_literal(f, pool[kOk]);
        return add_control(f, d, id, nullptr, 5, 5, 40, 14, style, 0, cb, kPushButton);
    }
    HWND edit(HWND d, std::int32_t id) {
        ProcFrame f;
        push_empty(f);
        push_empty(f);
        return add_control(f, d, id, nullptr, 5, 25, 60, 12, 0, 0, nullptr, kTextBox);
    }
    void keep(HWND w) { windows_.push_back(w); }

private:
    std::vector<HWND> windows_;
};

// ---- create_dialog -------------------------------------------------------------

TEST_F(Dialogs, CreateMakesAHiddenDialogWithEmptySlotsAndItsFont) {
    HWND d = dialog();
    ASSERT_NE(d, nullptr);
    EXPECT_FALSE(IsWindowVisible(d));
    EXPECT_EQ(GetWindowLongPtrA(d, GWLP_USERDATA), 0);
    EXPECT_EQ(GetWindowLongPtrA(d, DWLP_USER), 0);
    EXPECT_EQ(GetWindowLongPtrA(d, DWLP_DLGPROC) != 0, true);
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0));
    LOGFONTA lf = {};
    ASSERT_TRUE(GetObjectA(font, sizeof lf, &lf));
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(lf.lfHeight, -MulDiv(8, GetDeviceCaps(dc, LOGPIXELSY), 72)) << "8 point";
    ReleaseDC(nullptr, dc);
}

TEST_F(Dialogs, CreateAppliesTheStyleRulesOnThePlatform) {
    HWND d = dialog(nullptr, 0);
    // The platform adds WS_CLIPSIBLINGS; WS_VISIBLE is cleared until shown.
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(d, GWL_STYLE)) & ~WS_CLIPSIBLINGS, 0x80C000D4u);
    HWND sysmodal = dialog(nullptr, WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SYSMODAL);
    EXPECT_FALSE(IsWindowVisible(sysmodal));
    EXPECT_EQ(GetWindowLongA(sysmodal, GWL_STYLE) & DS_SYSMODAL, 0);
}

TEST_F(Dialogs, CreateWithMinusOneCentresTheDialog) {
    HWND d = dialog(nullptr, 0, -1, 10);
    EXPECT_NE(GetWindowLongA(d, GWL_STYLE) & DS_CENTER, 0);
    RECT r;
    GetWindowRect(d, &r);
    int screen = GetSystemMetrics(SM_CXSCREEN);
    EXPECT_NEAR((r.left + r.right) / 2, screen / 2, 2);
}

TEST_F(Dialogs, CreateConsumesOwnedAndLeavesBorrowedTitles) {
    DynString title = make("Borrowed title");
    ProcFrame f;
    push_borrowed(f, title);
    HWND d = create_dialog(f, nullptr, 0, 0, 50, 50, 0, 0);
    keep(d);
    char caption[64] = {};
    GetWindowTextA(d, caption, sizeof caption);
    EXPECT_STREQ(caption, "Borrowed title");
    EXPECT_EQ(bytes_of(title), "Borrowed title");
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(live(), 1);
    free_string(title);
}

// A title shows up to its 256th character, ASCII or not: cut at a character's
// start, never inside one; an empty title shows one blank.
TEST_F(Dialogs, TitlesShowAtMost256Characters) {
    std::string e_and_a;  // 300 letters: "é" (2 bytes) and "a" by turns
    for (int i = 0; i < 150; ++i)
        e_and_a +=
            "\xC3\xA9"
            "a";
    std::string four_bytes;  // 300 letters of 4 bytes (U+1F600, two UTF-16 units)
    for (int i = 0; i < 300; ++i) four_bytes += "\xF0\x9F\x98\x80";
    std::string three_bytes;  // 256 letters "李" then ASCII
    for (int i = 0; i < 256; ++i) three_bytes += "\xE6\x9D\x8E";
    const struct {
        const char* what;
        std::string title, shown;
    } rows[] = {
        {"empty", "", " "},
        {"300 ASCII letters", std::string(300, 'L'), std::string(256, 'L')},
        {"256 ASCII letters", std::string(256, 'L'), std::string(256, 'L')},
        {"300 letters, \"\xC3\xA9\" and \"a\"", e_and_a, e_and_a.substr(0, 128 * 3)},
        {"256 letters, \"\xC3\xA9\" and \"a\", whole", e_and_a.substr(0, 128 * 3), e_and_a.substr(0, 128 * 3)},
        {"255 letters and one of 2 bytes",
         std::string(255, 'L') + "\xC3\xA9"
                                 "b",
         std::string(255, 'L') + "\xC3\xA9"},
        {"300 letters of 4 bytes", four_bytes, four_bytes.substr(0, 256 * 4)},
        {"256 letters of 3 bytes, then ASCII", three_bytes + "xyz", three_bytes},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        ProcFrame f;
        push_copy(f, row.title.data(), static_cast<std::uint32_t>(row.title.size()));
        HWND d = create_dialog(f, nullptr, 0, 0, 50, 50, 0, 0);
        keep(d);
        char caption[2048] = {};
        GetWindowTextA(d, caption, sizeof caption);
        EXPECT_EQ(std::string(caption), row.shown);
        EXPECT_EQ(f.strings.depth, 0u);
    }
    EXPECT_EQ(live(), 0);
}

// The template widens a title byte by byte; set_dialog_title reads it in the
// program's code page, so a UTF-8 title past ASCII is set that way.
// The program runs with UTF-8 as its code page: the title is read in it, not
// widened byte by byte.
TEST_F(Dialogs, TitleShowsEveryScript) {
    ProcFrame f;
    push_copy(f, "Zoë 李雷 Ελένη", 22);
    HWND d = create_dialog(f, nullptr, 0, 0, 50, 50, 0, 0);
    keep(d);
    char caption[32] = {};
    GetWindowTextA(d, caption, sizeof caption);
    EXPECT_STREQ(caption, "Zoë 李雷 Ελένη");
}

TEST_F(Dialogs, TitleWithAZeroByteKeepsTheDialogFont) {
    // A zero unit inside the title would end it for the platform, which then
    // reads the rest as point size and typeface: checked here on a template
    // built by hand, then against create_dialog.
    struct alignas(4) Raw {
        unsigned char bytes[96];
    } raw = {};
    const unsigned char header[22] = {0xC0, 0x00, 0xC0, 0x80, 0, 0, 0, 0, 0, 0, 10, 0, 10, 0, 50, 0, 50, 0};
    std::memcpy(raw.bytes, header, sizeof header);
    const char after[] = "ab\0cd";  // title units a b 0 c d 0, then the font block
    std::size_t at = 22;
    for (int i = 0; i < 6; ++i, at += 2) raw.bytes[at] = static_cast<unsigned char>(after[i]);
    raw.bytes[at] = 8;
    at += 2;
    for (const char* p = "MS Sans Serif"; *p; ++p, at += 2) raw.bytes[at] = static_cast<unsigned char>(*p);
    HWND hand_made = CreateDialogIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<LPCDLGTEMPLATEA>(raw.bytes),
                                                nullptr, dialog_proc, 0);
    keep(hand_made);
    LOGFONTA seen = {};
    if (hand_made != nullptr) {
        GetObjectA(reinterpret_cast<HFONT>(SendMessageA(hand_made, WM_GETFONT, 0, 0)), sizeof seen, &seen);
    }
    EXPECT_STRNE(seen.lfFaceName, "MS Sans Serif") << "the platform took the title's tail as the font";

    ProcFrame f;
    push_copy(f, "ab\0cd", 5);
    HWND d = create_dialog(f, nullptr, 0, 0, 50, 50, 0, 0);
    keep(d);
    LOGFONTA lf = {};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(d, WM_GETFONT, 0, 0)), sizeof lf, &lf);
    EXPECT_STREQ(lf.lfFaceName, "MS Sans Serif");
    char caption[16] = {};
    GetWindowTextA(d, caption, sizeof caption);
    EXPECT_STREQ(caption, "ab");
}

// A control gets the font of the dialog created last, not its own dialog's.
TEST_F(Dialogs, ControlGetsTheFontOfTheDialogCreatedLast) {
    HWND first = dialog();
    HWND second = dialog();
    LRESULT font = SendMessageA(second, WM_GETFONT, 0, 0);
    ASSERT_NE(font, SendMessageA(first, WM_GETFONT, 0, 0)) << "each dialog has a font of its own";
    EXPECT_EQ(SendMessageA(button(first, 10, nullptr), WM_GETFONT, 0, 0), font);
}

TEST_F(Dialogs, ControlAddedAfterTheLatestDialogEndedGetsALiveFont) {
    // The dialog manager deletes a dialog's font when the dialog is destroyed.
    HWND first = dialog();
    HWND second = dialog();
    close_dialog(second, 0);
    HWND late = button(first, 10, nullptr);
    auto font = reinterpret_cast<HGDIOBJ>(SendMessageA(late, WM_GETFONT, 0, 0));
    EXPECT_EQ(GetObjectType(font), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(font, reinterpret_cast<HGDIOBJ>(SendMessageA(first, WM_GETFONT, 0, 0))) << "its own dialog's font";
}

// A failed creation leaves no font of an earlier dialog for new controls:
// a control then gets its own dialog's font.
TEST_F(Dialogs, FailedCreationGivesZeroAndStillConsumesTheTitle) {
    HWND first = dialog();
    dialog();
    ProcFrame f;
    push_literal(f, pool[kTitle]);
    HWND d = create_dialog(f, reinterpret_cast<HWND>(0x7777), 0, 0, 50, 50, 0, 0);  // no such parent
    EXPECT_EQ(d, nullptr);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(SendMessageA(button(first, 10, nullptr), WM_GETFONT, 0, 0), SendMessageA(first, WM_GETFONT, 0, 0));
}

// ---- dialog_proc routing -------------------------------------------------------------

TEST_F(Dialogs, CommandGoesToTheControlThenTheDialog) {
    HWND d = dialog();
    HWND b = button(d, 10, control_callback);
    show_dialog_modeless(d, dialog_callback, nullptr);
    callback_log.clear();
    LRESULT r = SendMessageA(d, WM_COMMAND, MAKEWPARAM(10, BN_CLICKED), reinterpret_cast<LPARAM>(b));
    ASSERT_EQ(callback_log.size(), 2u);
    EXPECT_STREQ(callback_log[0].who, "control");
    EXPECT_EQ(callback_log[0].dialog, d) << "a control's callback gets the dialog's handle";
    EXPECT_EQ(callback_log[0].wparam, MAKEWPARAM(10, BN_CLICKED));
    EXPECT_EQ(callback_log[0].lparam, reinterpret_cast<LPARAM>(b));
    EXPECT_STREQ(callback_log[1].who, "dialog");
    EXPECT_EQ(callback_log[1].message, static_cast<UINT>(WM_COMMAND));
    EXPECT_EQ(r, 0);
}

TEST_F(Dialogs, NonzeroResultIsReturnedUnchangedAndStopsDispatch) {
    HWND d = dialog();
    button(d, 10, control_callback);
    show_dialog_modeless(d, dialog_callback, nullptr);
    for (std::int32_t answer : {0x7F, -1, 2}) {
        callback_log.clear();
        control_answer = answer;
        EXPECT_EQ(static_cast<std::int32_t>(DLGPROC(GetWindowLongPtrA(d, DWLP_DLGPROC))(d, WM_COMMAND, 10, 0)), answer);
        EXPECT_EQ(messages_to("dialog").size(), 0u) << "the dialog callback is not reached";
    }
}

TEST_F(Dialogs, ControlWithoutCallbackHidesAMenuItemOfTheSameId) {
    HWND d = dialog();
    button(d, 40, nullptr);
    HMENU bar = CreateMenu();
    MENUITEMINFOA item = {};
    item.cbSize = sizeof item;
    item.fMask = MIIM_ID | MIIM_DATA | MIIM_TYPE;
    item.wID = 40;
    item.dwItemData = reinterpret_cast<ULONG_PTR>(menu_callback);
    item.dwTypeData = const_cast<char*>("Item");
    InsertMenuItemA(bar, 0, TRUE, &item);
    item.wID = 41;
    InsertMenuItemA(bar, 1, TRUE, &item);
    SetMenu(d, bar);
    show_dialog_modeless(d, dialog_callback, nullptr);
    callback_log.clear();
    SendMessageA(d, WM_COMMAND, 40, 0);
    EXPECT_FALSE(saw("menu", WM_COMMAND)) << "id 40 belongs to the control";
    EXPECT_TRUE(saw("dialog", WM_COMMAND));
    callback_log.clear();
    SendMessageA(d, WM_COMMAND, 41, 0);
    ASSERT_EQ(callback_log.size(), 2u);
    EXPECT_STREQ(callback_log[0].who, "menu");
    EXPECT_EQ(callback_log[0].dialog, d);
    EXPECT_STREQ(callback_log[1].who, "dialog");
}

TEST_F(Dialogs, CommandForNoControlAndNoMenuReachesOnlyTheDialog) {
    HWND d = dialog();
    button(d, 10, control_callback);
    show_dialog_modeless(d, dialog_callback, nullptr);
    callback_log.clear();
    SendMessageA(d, WM_COMMAND, 77, 0);
    ASSERT_EQ(callback_log.size(), 1u);
    EXPECT_STREQ(callback_log[0].who, "dialog");
}

TEST_F(Dialogs, ActivationIsAnsweredWithoutCallbacks) {
    HWND d = dialog();
    show_dialog_modeless(d, dialog_callback, nullptr);
    DLGPROC proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(d, DWLP_DLGPROC));
    for (WPARAM state : {WA_INACTIVE, WA_ACTIVE, WA_CLICKACTIVE}) {
        callback_log.clear();
        EXPECT_EQ(proc(d, WM_ACTIVATE, state, 0), 1);
        EXPECT_TRUE(callback_log.empty()) << "state " << state;
    }
    callback_log.clear();
    EXPECT_EQ(proc(d, WM_ACTIVATE, 3, 0), 0) << "another low word goes on to the callback";
    EXPECT_TRUE(saw("dialog", WM_ACTIVATE));
}

TEST_F(Dialogs, NotificationsAndScrollMessagesReachTheirControlFirst) {
    HWND d = dialog();
    HWND b = button(d, 10, control_callback);
    HWND elsewhere = button(dialog(), 10, control_callback);  // another dialog's control
    show_dialog_modeless(d, dialog_callback, nullptr);
    DLGPROC proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(d, DWLP_DLGPROC));
    NMHDR from_button = {b, 10, 0};
    NMHDR wrong_id = {b, 11, 0};  // the window is not the dialog's control with that id
    NMHDR not_a_control = {d, 10, 0};
    const struct {
        UINT message;
        LPARAM lparam;
        bool control_first;
    } cases[] = {
        {WM_NOTIFY, reinterpret_cast<LPARAM>(&from_button), true},
        {WM_NOTIFY, reinterpret_cast<LPARAM>(&wrong_id), false},
        {WM_NOTIFY, reinterpret_cast<LPARAM>(&not_a_control), false},
        {WM_NOTIFY, 0, false},  // no header: nothing is read
        {WM_HSCROLL, reinterpret_cast<LPARAM>(b), true},
        {WM_VSCROLL, reinterpret_cast<LPARAM>(b), true},
        {WM_HSCROLL, 0, false},  // the dialog's own scroll bar
        {WM_VSCROLL, reinterpret_cast<LPARAM>(elsewhere), false},
        {WM_CTLCOLORBTN, reinterpret_cast<LPARAM>(b), false},
        {WM_APP + 1, reinterpret_cast<LPARAM>(b), false},
    };
    for (const auto& c : cases) {
        callback_log.clear();
        EXPECT_EQ(proc(d, c.message, 10, c.lparam), 0);
        ASSERT_EQ(callback_log.size(), c.control_first ? 2u : 1u) << c.message << " " << c.lparam;
        EXPECT_STREQ(callback_log[0].who, c.control_first ? "control" : "dialog");
        EXPECT_STREQ(callback_log.back().who, "dialog");
    }
}

TEST_F(Dialogs, SystemCloseEndsWithZeroUnlessTheDialogCallbackHandlesIt) {
    HWND d = dialog();
    std::int32_t end = 5;
    show_dialog_modeless(d, dialog_callback, &end);
    DLGPROC proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrA(d, DWLP_DLGPROC));
    dialog_answer = 9;
    EXPECT_EQ(proc(d, WM_SYSCOMMAND, SC_CLOSE, 0), 9);
    EXPECT_TRUE(IsWindow(d));
    dialog_answer = 0;
    EXPECT_EQ(proc(d, WM_SYSCOMMAND, SC_MINIMIZE, 0), 0) << "other system commands go to the platform";
    EXPECT_TRUE(IsWindow(d));
    EXPECT_EQ(proc(d, WM_SYSCOMMAND, SC_CLOSE, 0), 1);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(end, 0);
}

// ---- Modeless and modal ----------------------------------------------------------------

TEST_F(Dialogs, ShowModelessHandsTheCallbackItsOwnInitDialogAndFillsTheSlots) {
    HWND d = dialog();
    std::int32_t end = 0;
    show_dialog_modeless(d, dialog_callback, &end);
    ASSERT_FALSE(callback_log.empty());
    EXPECT_EQ(callback_log[0].message, static_cast<UINT>(WM_INITDIALOG));
    EXPECT_EQ(callback_log[0].wparam, reinterpret_cast<WPARAM>(d));
    EXPECT_EQ(callback_log[0].lparam, 0);
    EXPECT_TRUE(IsWindowVisible(d));
    EXPECT_EQ(GetWindowLongPtrA(d, GWLP_USERDATA), reinterpret_cast<LONG_PTR>(dialog_callback));
    EXPECT_EQ(GetWindowLongPtrA(d, DWLP_USER), reinterpret_cast<LONG_PTR>(&end));
    show_dialog_modeless(d, dialog_callback, &end);
    int inits = 0;
    for (UINT m : messages_to("dialog")) inits += m == WM_INITDIALOG;
    EXPECT_EQ(inits, 2) << "showing twice hands out two WM_INITDIALOG";
    show_dialog_modeless(d, nullptr, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(d, GWLP_USERDATA), 0) << "a null callback replaces the old one";
    EXPECT_EQ(GetWindowLongPtrA(d, DWLP_USER), 0);
}

TEST_F(Dialogs, InitDialogComesWhileHiddenBeforeTheSlotsAreFilled) {
    static struct {
        BOOL visible;
        LONG_PTR callback_slot, end_slot;
        int echoes;  // messages the callback sent its dialog from WM_INITDIALOG that came back to it
    } seen;
    seen = {TRUE, -1, -1, 0};
    auto callback = [](HWND d, UINT m, WPARAM, LPARAM) -> std::int32_t {
        if (m == WM_INITDIALOG) {
            seen.visible = IsWindowVisible(d);
            seen.callback_slot = GetWindowLongPtrA(d, GWLP_USERDATA);
            seen.end_slot = GetWindowLongPtrA(d, DWLP_USER);
            SendMessageA(d, WM_APP + 3, 0, 0);
            close_dialog(d, 5);
        }
        if (m == WM_APP + 3) ++seen.echoes;
        return 0;
    };
    HWND owner = make_owner();
    keep(owner);
    HWND d = dialog(owner);
    std::int32_t end = -1;
    DWORD start = GetTickCount();
    run_dialog_modal(d, callback, &end);
    EXPECT_FALSE(seen.visible);
    EXPECT_EQ(seen.callback_slot, 0) << "the callback is installed after its WM_INITDIALOG";
    EXPECT_EQ(seen.end_slot, 0);
    EXPECT_EQ(seen.echoes, 0);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(end, -1) << "closed before the end-value slot was filled: no end value";
    EXPECT_TRUE(IsWindowEnabled(owner)) << "the owner was never disabled";
    EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(Dialogs, ModalLoopEndsWithTheEndValueOfCloseDialog) {
    HWND d = dialog();
    std::int32_t end = 0;
    watched_end_value = &end;
    PostMessageA(d, WM_APP, 0x12345678, 0);
    run_dialog_modal(d, dialog_callback, &end);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(end, 0x12345678);
    EXPECT_EQ(end_value_at_destroy, 0x12345678) << "the end value is stored before WM_DESTROY";
    std::vector<UINT> seen = messages_to("dialog");
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen.front(), static_cast<UINT>(WM_INITDIALOG));
    EXPECT_TRUE(saw("dialog", WM_CLOSE));
}

TEST_F(Dialogs, CloseGoesOnWhateverTheCallbackAnswersToClose) {
    HWND d = dialog();
    std::int32_t end = 0;
    show_dialog_modeless(d, dialog_callback, &end);
    dialog_answer = 1;
    close_dialog(d, 3);
    EXPECT_FALSE(IsWindow(d));
    EXPECT_EQ(end, 3);
}

TEST_F(Dialogs, ClosingTwiceKeepsTheFirstEndValue) {
    HWND d = dialog();
    std::int32_t end = 0;
    show_dialog_modeless(d, nullptr, &end);
    close_dialog(d, 4);
    close_dialog(d, 8);
    EXPECT_EQ(end, 4);
}

TEST_F(Dialogs, EndValueAddressZeroWritesNothing) {
    HWND d = dialog();
    show_dialog_modeless(d, nullptr, nullptr);
    close_dialog(d, 4);
    EXPECT_FALSE(IsWindow(d));
}

TEST_F(Dialogs, EnterAndEscapeDoNotEndADialogByThemselves) {
    HWND d = dialog();
    HWND e = edit(d, 100);
    button(d, IDOK, control_callback, BS_DEFPUSHBUTTON);
    std::int32_t end = -1;
    PostMessageA(e, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(e, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(d, WM_APP, 7, 0);
    run_dialog_modal(d, dialog_callback, &end);
    std::vector<WPARAM> commands;
    for (const Call& c : callback_log)
        if (c.message == WM_COMMAND && std::string(c.who) == "dialog" && LOWORD(c.wparam) != 100) {
            commands.push_back(LOWORD(c.wparam));  // the edit's own notifications left out
        }
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(commands[0], static_cast<WPARAM>(IDOK)) << "Enter routes the default button's command";
    EXPECT_EQ(commands[1], static_cast<WPARAM>(IDCANCEL));
    EXPECT_TRUE(saw("control", WM_COMMAND)) << "the OK button's callback saw Enter";
    EXPECT_EQ(end, 7) << "only the later WM_APP ended the dialog";
}

TEST_F(Dialogs, QuitMessageDoesNotEndTheLoop) {
    HWND d = dialog();
    std::int32_t end = 0;
    PostQuitMessage(5);  // taken once the queue holds nothing else
    std::thread([d] {
        Sleep(100);
        PostMessageA(d, WM_APP, 2, 0);
    }).detach();
    run_dialog_modal(d, dialog_callback, &end);
    EXPECT_EQ(end, 2);
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) << "the quit message was taken";
}

TEST_F(Dialogs, ModalWithOwnerDisablesItAndHandsTheFocusBack) {
    HWND owner = make_owner();
    keep(owner);
    HWND d = dialog(owner);
    std::int32_t end = 0;
    bool owner_enabled_in_loop = true;
    bool owner_enabled_at_destroy = false;
    static HWND s_owner;
    static bool* s_in_loop;
    static bool* s_at_destroy;
    s_owner = owner;
    s_in_loop = &owner_enabled_in_loop;
    s_at_destroy = &owner_enabled_at_destroy;
    auto callback = [](HWND dlg, UINT m, WPARAM w, LPARAM) -> std::int32_t {
        if (m == WM_APP) {
            *s_in_loop = IsWindowEnabled(s_owner);
            close_dialog(dlg, static_cast<std::int32_t>(w));
        }
        if (m == WM_DESTROY) *s_at_destroy = IsWindowEnabled(s_owner);
        return 0;
    };
    owner_log = OwnerLog{};
    // The dialog closes once the owner has heard six idle polls, or at the
    // bound when it does not.
    owner_log.close_after_idle = d;
    SetTimer(owner, kIdleBoundTimer, kIdleBoundMs, nullptr);
    run_dialog_modal(d, callback, &end);
    KillTimer(owner, kIdleBoundTimer);
    EXPECT_EQ(end, 1) << "the owner heard " << owner_log.idle_count << " WM_ENTERIDLE in " << kIdleBoundMs
                      << " ms, not 6";
    ASSERT_GE(owner_log.messages.size(), 3u);
    // Ours, then the one EnableWindow(FALSE) sends itself, then WM_ENABLE.
    const std::vector<UINT> start = {WM_CANCELMODE, WM_CANCELMODE, WM_ENABLE};
    EXPECT_EQ(std::vector<UINT>(owner_log.messages.begin(), owner_log.messages.begin() + 3), start);
    EXPECT_FALSE(owner_enabled_in_loop);
    EXPECT_TRUE(owner_enabled_at_destroy) << "close_dialog enables the owner before destroying";
    EXPECT_EQ(owner_log.idle_wparam, static_cast<WPARAM>(MSGF_DIALOGBOX));
    EXPECT_EQ(owner_log.idle_lparam, reinterpret_cast<LPARAM>(d));
    EXPECT_EQ(GetFocus(), owner);
}

TEST_F(Dialogs, NoIdleMessageStyleSendsNoEnterIdle) {
    // The style is read once the owner has been told to cancel its modes, so
    // a style the owner sets then is the one the loop follows.
    for (bool set_by_owner : {false, true}) {
        SCOPED_TRACE(set_by_owner ? "DS_NOIDLEMSG set by the owner on WM_CANCELMODE" : "DS_NOIDLEMSG at creation");
        HWND owner = make_owner();
        keep(owner);
        HWND d = dialog(owner, set_by_owner ? 0x80C000D4 : 0x80C000D4 | DS_NOIDLEMSG);
        if (set_by_owner) owner_log.no_idle_on_cancel = d;
        std::int32_t end = 0;
        std::thread([d] {
            Sleep(60);
            PostMessageA(d, WM_APP, 1, 0);
        }).detach();
        run_dialog_modal(d, dialog_callback, &end);
        EXPECT_EQ(end, 1);
        EXPECT_EQ(owner_log.idle_count, 0);
    }
}

TEST_F(Dialogs, MaximizeStyleShowsTheDialogMaximised) {
    HWND d = dialog(nullptr, 0x80C000D4 | WS_MAXIMIZE | WS_THICKFRAME);
    std::int32_t end = 0;
    static bool zoomed;
    zoomed = false;
    auto callback = [](HWND dlg, UINT m, WPARAM, LPARAM) -> std::int32_t {
        if (m == WM_APP) {
            zoomed = IsZoomed(dlg);
            close_dialog(dlg, 1);
        }
        return 0;
    };
    PostMessageA(d, WM_APP, 0, 0);
    run_dialog_modal(d, callback, &end);
    EXPECT_TRUE(zoomed);
}

TEST_F(Dialogs, UnownedModalDialogSendsNothingToAnOwner) {
    HWND owner = make_owner();
    keep(owner);
    HWND d = dialog();
    std::int32_t end = 0;
    PostMessageA(d, WM_APP, 1, 0);
    run_dialog_modal(d, dialog_callback, &end);
    // The platform itself hands the focus back to the remaining top-level
    // window; nothing else may reach it.
    for (UINT m : owner_log.messages) EXPECT_EQ(m, static_cast<UINT>(WM_SETFOCUS));
    EXPECT_EQ(owner_log.idle_count, 0);
}

TEST_F(Dialogs, NestedModalDialogsReturnInnermostFirst) {
    static HWND outer, inner;
    static std::vector<int> order;
    order.clear();
    outer = dialog();
    inner = dialog();
    std::int32_t outer_end = 0;
    auto outer_callback = [](HWND dlg, UINT m, WPARAM, LPARAM) -> std::int32_t {
        if (m == WM_APP) {
            std::int32_t inner_end = 0;
            auto inner_callback = [](HWND in, UINT im, WPARAM, LPARAM) -> std::int32_t {
                if (im == WM_APP + 1) {
                    close_dialog(outer, 11);  // the outer dialog ends while the inner one runs
                    close_dialog(in, 22);
                }
                return 0;
            };
            PostMessageA(inner, WM_APP + 1, 0, 0);
            run_dialog_modal(inner, inner_callback, &inner_end);
            order.push_back(inner_end);
            (void)dlg;
        }
        return 0;
    };
    PostMessageA(outer, WM_APP, 0, 0);
    run_dialog_modal(outer, outer_callback, &outer_end);
    order.push_back(outer_end);
    EXPECT_EQ(order, (std::vector<int>{22, 11}));
}

// A main dialog runs modally; it shows a modeless Find and runs a modal Add,
// both its own. Only a modal dialog that disabled the owner enables it when
// closed: closing Find while Add runs keeps the main dialog disabled (else
// the user could open a second Add beside the first), and a main dialog
// disabled before Add ran stays disabled. A second modal dialog of the main
// one, run while Add runs, leaves it as Add keeps it.
struct Hold {
    HWND main, find, add, second;
    bool disabled_before;      // the program disables the main dialog before Add runs
    bool second_modal;         // Add runs the second one before Find and Add are closed
    std::vector<int> enabled;  // the main dialog's state at each step
} hold;

void note_main_state() { hold.enabled.push_back(IsWindowEnabled(hold.main) ? 1 : 0); }

std::int32_t second_callback(HWND d, UINT m, WPARAM, LPARAM) {
    if (m != WM_APP) return 0;
    note_main_state();  // while the second one runs
    close_dialog(d, 3);
    return 1;
}

std::int32_t add_callback(HWND d, UINT m, WPARAM, LPARAM) {
    if (m != WM_APP) return 0;
    note_main_state();  // while Add runs
    if (hold.second_modal) {
        std::int32_t end = 0;
        PostMessageA(hold.second, WM_APP, 0, 0);
        run_dialog_modal(hold.second, second_callback, &end);
        note_main_state();  // the second one ended, Add runs
    }
    close_dialog(hold.find, 0);
    note_main_state();  // Find closed, Add runs
    close_dialog(d, 2);
    note_main_state();  // Add closed
    return 1;
}

std::int32_t main_callback(HWND d, UINT m, WPARAM, LPARAM) {
    if (m != WM_APP) return 0;
    show_dialog_modeless(hold.find, nullptr, nullptr);
    if (hold.disabled_before) EnableWindow(d, FALSE);
    std::int32_t end = 0;
    PostMessageA(hold.add, WM_APP, 0, 0);
    run_dialog_modal(hold.add, add_callback, &end);
    note_main_state();  // Add's loop returned
    close_dialog(d, 1);
    return 1;
}

TEST_F(Dialogs, OnlyTheModalDialogThatDisabledItsOwnerEnablesIt) {
    const struct {
        const char* what;
        bool disabled_before, second_modal;
        std::vector<int> enabled;
    } rows[] = {
        {"Find closed while Add runs", false, false, {0, 0, 1, 1}},
        {"the main dialog disabled before Add ran", true, false, {0, 0, 0, 0}},
        {"a second modal dialog of the main one run while Add runs", false, true, {0, 0, 0, 0, 1, 1}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        HWND main = dialog();
        hold = {main, dialog(main), dialog(main), dialog(main), row.disabled_before, row.second_modal, {}};
        std::int32_t end = 0;
        PostMessageA(main, WM_APP, 0, 0);
        run_dialog_modal(main, main_callback, &end);
        EXPECT_EQ(end, 1);
        EXPECT_EQ(hold.enabled, row.enabled) << "the main dialog enabled (1) or not (0) at each step";
        EXPECT_FALSE(IsWindow(hold.find));
        EXPECT_FALSE(IsWindow(hold.add));
    }
}

TEST_F(Dialogs, ModalLoopReturnsWhenTheDialogIsDestroyedWhileIdle) {
    HWND d = dialog();
    std::int32_t end = 0;
    // Another thread ends the dialog with SendMessage: the platform delivers
    // it inside PeekMessageA, and the queue stays empty afterwards.
    std::thread clicker([d] {
        Sleep(100);
        SendMessageA(d, WM_APP, 6, 0);
    });
    DWORD start = GetTickCount();
    run_dialog_modal(d, dialog_callback, &end);
    clicker.join();
    EXPECT_EQ(end, 6);
    EXPECT_LT(GetTickCount() - start, 3000u);
}

TEST_F(Dialogs, ModalLoopOnAHandleThatIsNoWindowReturns) {
    DWORD start = GetTickCount();
    run_dialog_modal(nullptr, nullptr, nullptr);
    EXPECT_LT(GetTickCount() - start, 1000u);
}

TEST_F(Dialogs, ModelessDialogsGetTheirMessagesFromTheModalLoop) {
    static HWND modal;
    static bool modeless_got_it;
    modeless_got_it = false;
    HWND modeless = dialog();
    auto modeless_callback = [](HWND, UINT m, WPARAM, LPARAM) -> std::int32_t {
        if (m == WM_APP + 2) {
            modeless_got_it = true;
            close_dialog(modal, 3);
        }
        return 0;
    };
    show_dialog_modeless(modeless, modeless_callback, nullptr);
    modal = dialog();
    std::int32_t end = 0;
    PostMessageA(modeless, WM_APP + 2, 0, 0);
    run_dialog_modal(modal, nullptr, &end);
    EXPECT_TRUE(modeless_got_it);
    EXPECT_EQ(end, 3);
}

TEST_F(Dialogs, ModelessDialogAnswersDialogKeysWhileAModalLoopRuns) {
    static HWND name_box, ok;
    static HWND focus_after_tab;
    HWND modeless = dialog();
    name_box = edit(modeless, 100);
    ok = button(modeless, IDOK, control_callback, WS_TABSTOP | BS_DEFPUSHBUTTON);
    button(modeless, IDCANCEL, control_callback, WS_TABSTOP);
    focus_after_tab = nullptr;
    auto modeless_callback = [](HWND, UINT m, WPARAM, LPARAM) -> std::int32_t {
        if (m == WM_APP + 1) SetFocus(name_box);
        if (m == WM_APP + 2) focus_after_tab = GetFocus();
        return 0;
    };
    show_dialog_modeless(modeless, modeless_callback, nullptr);
    HWND modal = dialog();
    std::int32_t end = 0;
    // Handled in this order once the modal dialog is up: the focus goes to
    // the modeless name box, Tab moves it on, Enter and Escape follow.
    PostMessageA(modeless, WM_APP + 1, 0, 0);
    PostMessageA(name_box, WM_KEYDOWN, VK_TAB, 0);
    PostMessageA(modeless, WM_APP + 2, 0, 0);
    PostMessageA(name_box, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(name_box, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(modal, WM_APP, 1, 0);
    run_dialog_modal(modal, dialog_callback, &end);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(focus_after_tab, ok) << "Tab in the modeless dialog should move from the name box to OK";
    std::vector<WPARAM> commands;
    for (const Call& c : callback_log)
        if (std::string(c.who) == "control" && c.dialog == modeless) commands.push_back(LOWORD(c.wparam));
    EXPECT_EQ(commands, (std::vector<WPARAM>{IDOK, IDCANCEL})) << "Enter and Escape in the modeless dialog";
}

TEST_F(Dialogs, KeysForAWindowThatIsNoToolkitDialogGoToItUnchanged) {
    HWND plain = make_owner();
    keep(plain);
    HWND modal = dialog();
    std::int32_t end = 0;
    PostMessageA(plain, WM_KEYDOWN, VK_RETURN, 0);
    PostMessageA(plain, WM_KEYDOWN, VK_ESCAPE, 0);
    PostMessageA(modal, WM_APP, 1, 0);
    run_dialog_modal(modal, dialog_callback, &end);
    EXPECT_EQ(end, 1);
    std::vector<UINT> keys_and_commands;
    for (UINT m : owner_log.messages)
        if (m == WM_KEYDOWN || m == WM_COMMAND) keys_and_commands.push_back(m);
    EXPECT_EQ(keys_and_commands, (std::vector<UINT>{WM_KEYDOWN, WM_KEYDOWN}))
        << "a plain window gets its keys, and no dialog commands for them";
}

// ---- Keyboard shortcuts -----------------------------------------------------------------

std::int32_t shortcut_callback(HWND d, UINT m, WPARAM w, LPARAM l) {
    callback_log.push_back({"shortcut", d, m, w, l});
    return 0;
}

// Holds Ctrl down or lets it go, in the thread's key state that shortcuts read.
void hold_ctrl(bool down) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_CONTROL] = down ? 0x80 : 0;
    SetKeyboardState(keys);
}

// The shortcut and menu callbacks' calls, as (who, dialog, wParam).
std::vector<std::string> shortcut_runs() {
    std::vector<std::string> out;
    for (const Call& c : callback_log)
        if (std::string(c.who) == "shortcut" || std::string(c.who) == "menu")
            out.push_back(std::string(c.who) + " " + std::to_string(LOWORD(c.wparam)) + "/" +
                          std::to_string(HIWORD(c.wparam)));
    return out;
}

const DialogShortcut kModelessShortcuts[] = {
    {kShortcutCtrl | 'F', 300, shortcut_callback},
    {0, 0, nullptr},
};
const DialogShortcut kModalShortcuts[] = {
    {VK_F1, 301, shortcut_callback},
    {kShortcutAlt | VK_RETURN, 302, nullptr},  // the menu item's
    {0, 0, nullptr},
};

TEST_F(Dialogs, ShortcutsRunInModalAndModelessDialogs) {
    static HWND modeless_box;
    HWND modeless = dialog();
    modeless_box = edit(modeless, 100);
    auto modeless_callback = [](HWND, UINT m, WPARAM, LPARAM) -> std::int32_t {
        if (m == WM_APP + 5) hold_ctrl(true);
        if (m == WM_APP + 6) hold_ctrl(false);
        return 0;
    };
    ASSERT_TRUE(set_dialog_shortcuts(modeless, kModelessShortcuts));
    show_dialog_modeless(modeless, modeless_callback, nullptr);
    HWND modal = dialog();
    HWND modal_box = edit(modal, 100);
    HMENU bar = create_menu(0);
    ProcFrame f;
    push_literal(f, pool[kOk]);
    add_menu_item(f, bar, 302, 0, 0, menu_callback, 0);
    attach_menu(modal, bar);
    ASSERT_TRUE(set_dialog_shortcuts(modal, kModalShortcuts));
    std::int32_t end = 0;
    // Handled in this order once the modal dialog is up; Ctrl is held only
    // while the two keys between WM_APP + 5 and WM_APP + 6 are handled.
    PostMessageA(modeless, WM_APP + 5, 0, 0);
    PostMessageA(modeless_box, WM_KEYDOWN, 'F', 0);  // Ctrl+F
    PostMessageA(modeless_box, WM_KEYDOWN, 'G', 0);  // Ctrl+G: no shortcut
    PostMessageA(modeless, WM_APP + 6, 0, 0);
    PostMessageA(modeless_box, WM_KEYDOWN, 'F', 0);  // F alone: no shortcut
    PostMessageA(modal_box, WM_KEYDOWN, VK_F1, 0);
    PostMessageA(modal_box, WM_KEYDOWN, VK_F1, 0);
    PostMessageA(modal_box, WM_SYSKEYDOWN, VK_RETURN, LPARAM{1} << 29);  // Alt+Enter
    PostMessageA(modal, WM_APP, 1, 0);
    run_dialog_modal(modal, dialog_callback, &end);
    EXPECT_EQ(end, 1);
    EXPECT_EQ(shortcut_runs(),
              (std::vector<std::string>{"shortcut 300/1", "shortcut 301/1", "shortcut 301/1", "menu 302/1"}));
    std::vector<WPARAM> dialog_commands;
    for (const Call& c : callback_log)
        if (std::string(c.who) == "dialog" && c.message == WM_COMMAND && HIWORD(c.wparam) == 1)
            dialog_commands.push_back(LOWORD(c.wparam));
    EXPECT_EQ(dialog_commands, (std::vector<WPARAM>{301, 301, 302}))
        << "a command its callback leaves unhandled goes on to the dialog's callback";
}

TEST_F(Dialogs, ShortcutOfAGrayedMenuItemDoesNothing) {
    HWND d = dialog();
    HWND box = edit(d, 100);
    HMENU bar = create_menu(0);
    ProcFrame f;
    push_literal(f, pool[kOk]);
    add_menu_item(f, bar, 302, MFS_GRAYED, 0, menu_callback, 0);
    attach_menu(d, bar);
    ASSERT_TRUE(set_dialog_shortcuts(d, kModalShortcuts));
    show_dialog_modeless(d, dialog_callback, nullptr);
    MSG alt_enter = {box, WM_SYSKEYDOWN, VK_RETURN, LPARAM{1} << 29, 0, {0, 0}};
    EXPECT_TRUE(IsDialogMessageA(d, &alt_enter)) << "the key is still taken";
    EXPECT_TRUE(shortcut_runs().empty());
    set_menu_item_state(bar, 302, MFS_ENABLED, MENU_FLAG_BY_COMMAND);
    EXPECT_TRUE(IsDialogMessageA(d, &alt_enter));
    EXPECT_EQ(shortcut_runs(), (std::vector<std::string>{"menu 302/1"}));
}

TEST_F(Dialogs, ShortcutTableIsTakenAwayWithNullAndRefusedForOtherWindows) {
    HWND d = dialog();
    HWND box = edit(d, 100);
    ASSERT_TRUE(set_dialog_shortcuts(d, kModalShortcuts));
    show_dialog_modeless(d, nullptr, nullptr);
    MSG f1 = {box, WM_KEYDOWN, VK_F1, 0, 0, {0, 0}};
    IsDialogMessageA(d, &f1);
    EXPECT_EQ(shortcut_runs().size(), 1u);
    EXPECT_TRUE(set_dialog_shortcuts(d, nullptr));
    IsDialogMessageA(d, &f1);
    EXPECT_EQ(shortcut_runs().size(), 1u) << "no table, no shortcut";
    HWND plain = make_owner();
    keep(plain);
    EXPECT_FALSE(set_dialog_shortcuts(plain, kModalShortcuts));
    EXPECT_FALSE(set_dialog_shortcuts(nullptr, kModalShortcuts));
}

// F1 runs a modal dialog of its own, in which Ctrl+F ends that dialog from
// inside the nested loop: the filter is at work there too.
HWND inner_dialog;
bool inner_shortcut_ran;

std::int32_t end_inner(HWND d, UINT, WPARAM, LPARAM) {
    inner_shortcut_ran = true;
    close_dialog(d, 4);
    return 1;
}
const DialogShortcut kInnerShortcuts[] = {{kShortcutCtrl | 'F', 400, end_inner}, {0, 0, nullptr}};

std::int32_t inner_events(HWND d, UINT m, WPARAM, LPARAM) {
    if (m == WM_APP + 5) hold_ctrl(true);
    if (m == WM_APP + 6) close_dialog(d, 0);  // Ctrl+F has not ended it
    return 0;
}

std::int32_t run_inner(HWND d, UINT, WPARAM, LPARAM) {
    std::int32_t inner_end = -1;
    set_dialog_shortcuts(inner_dialog, kInnerShortcuts);
    PostMessageA(inner_dialog, WM_APP + 5, 0, 0);
    PostMessageA(inner_dialog, WM_KEYDOWN, 'F', 0);
    PostMessageA(inner_dialog, WM_APP + 6, 0, 0);
    run_dialog_modal(inner_dialog, inner_events, &inner_end);
    hold_ctrl(false);
    close_dialog(d, inner_end);
    return 1;
}
const DialogShortcut kOuterShortcuts[] = {{VK_F1, 401, run_inner}, {0, 0, nullptr}};

TEST_F(Dialogs, ShortcutWorksInAModalDialogItsCallbackRuns) {
    inner_shortcut_ran = false;
    HWND outer = dialog();
    inner_dialog = dialog(outer);
    set_dialog_shortcuts(outer, kOuterShortcuts);
    std::int32_t end = 0;
    PostMessageA(outer, WM_KEYDOWN, VK_F1, 0);
    run_dialog_modal(outer, nullptr, &end);
    EXPECT_TRUE(inner_shortcut_ran);
    EXPECT_EQ(end, 4) << "the inner dialog's end value, handed on by F1's callback";
}

// ---- Owned message boxes -------------------------------------------------------------

// A visible dialog-class window of the thread other than `owner`.
struct BoxSearch {
    HWND owner, box;
};
BOOL CALLBACK find_other_box(HWND w, LPARAM p) {
    auto* s = reinterpret_cast<BoxSearch*>(p);
    char cls[16] = {};
    GetClassNameA(w, cls, sizeof cls);
    if (w == s->owner || !IsWindowVisible(w) || std::string(cls) != "#32770") return TRUE;
    s->box = w;
    return FALSE;
}

TEST_F(Dialogs, OwnedMessageBoxDisablesItsOwnerWhileOpen) {
    // The owner's callback runs inside the box's own loop: it finds the box
    // among the thread's windows, reads its owner and the owner's state, and
    // answers Yes.
    static struct {
        HWND box;
        HWND box_owner;
        BOOL owner_enabled;
        std::string caption;
        int polls;
    } seen;
    auto owner_callback = [](HWND d, UINT m, WPARAM, LPARAM) -> std::int32_t {
        if (m != WM_APP + 4) return 0;
        BoxSearch search = {d, nullptr};
        EnumThreadWindows(GetCurrentThreadId(), find_other_box, reinterpret_cast<LPARAM>(&search));
        HWND box = search.box;
        if (box == nullptr && ++seen.polls < 1000) {
            PostMessageA(d, WM_APP + 4, 0, 0);  // the box is not up yet: look again
            return 1;
        }
        seen.box = box;
        seen.box_owner = GetWindow(box, GW_OWNER);
        seen.owner_enabled = IsWindowEnabled(d);
        char caption[32] = {};
        GetWindowTextA(box, caption, sizeof caption);
        seen.caption = caption;
        PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDYES, BN_CLICKED), 0);
        return 1;
    };
    for (bool disabled_before : {false, true}) {
        SCOPED_TRACE(disabled_before ? "owner disabled before" : "owner enabled before");
        HWND owner = dialog();
        show_dialog_modeless(owner, owner_callback, nullptr);
        EnableWindow(owner, disabled_before ? FALSE : TRUE);
        seen = {nullptr, nullptr, TRUE, "", 0};
        PostMessageA(owner, WM_APP + 4, 0, 0);
        ProcFrame f;
        push_literal(f, pool[kTitle]);
        push_empty(f);
        std::int32_t result = owned_message_box(f, owner, MB_YESNO);
        ASSERT_NE(seen.box, nullptr) << "no box appeared in " << seen.polls << " looks";
        EXPECT_EQ(seen.box_owner, owner);
        EXPECT_FALSE(seen.owner_enabled) << "the owner must be disabled while the box is open";
        EXPECT_EQ(seen.caption, "Kestrowane") << "an empty caption gives the default";
        EXPECT_EQ(result, IDYES);
        EXPECT_FALSE(IsWindow(seen.box));
        EXPECT_EQ(IsWindowEnabled(owner), !disabled_before) << "the owner's own state afterwards";
        EXPECT_EQ(f.strings.depth, 0u);
        EXPECT_EQ(live(), 0);
    }
}

TEST_F(Dialogs, OwnedMessageBoxOfAClosedDialogShowsNothingAndGivesZero) {
    HWND owner = dialog();
    close_dialog(owner, 0);
    ProcFrame f;
    push_literal(f, pool[kTitle]);
    push_literal(f, pool[kTitle]);
    EXPECT_EQ(owned_message_box(f, owner, MB_OK), 0);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(live(), 0);
}

TEST_F(Dialogs, ShowWindowStateStoresTheResult) {
    HWND d = dialog();
    BOOL was = 77;
    EXPECT_FALSE(show_window_state(d, SW_SHOW, &was));
    EXPECT_FALSE(was);
    EXPECT_TRUE(show_window_state(d, SW_HIDE, &was));
    EXPECT_TRUE(was);
    EXPECT_FALSE(show_window_state(d, SW_SHOW, nullptr));
}

}  // namespace
