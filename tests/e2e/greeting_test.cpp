// The greeting program driven as a user would: each test starts it as a
// process of its own, waits for its dialog, reads the window tree from
// outside, plays it with SendInput keys and clicks, reads the message box,
// and checks the exit code from GetExitCodeProcess.
#include <windows.h>

#include <ostream>
#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/program_under_test.h"
#include "tools/window_find.h"

namespace {

const char kGreeting[] = "../../app/greeting.exe";  // from tests/e2e of the build tree
const char kDialogTitle[] = "What is your name?";
const char kBoxCaption[] = "Kestrowane";
constexpr int kNameBox = 100;
constexpr int kBoxText = 0xFFFF;  // the message box's text is this static control

std::string hex_bytes(const std::string& s) {
    std::string out;
    for (unsigned char c : s) {
        char b[4];
        wsprintfA(b, "%02X ", c);
        out += b;
    }
    return out;
}

std::string hex(LONG v) {
    char b[12];
    wsprintfA(b, "0x%08lX", static_cast<unsigned long>(v));
    return b;
}

int id_of(HWND w) { return w == nullptr ? 0 : GetDlgCtrlID(w); }

struct OtherWindowSearch {
    DWORD process_id;
    HWND except;
    HWND found;
};

BOOL CALLBACK match_other_window(HWND w, LPARAM param) {
    auto* s = reinterpret_cast<OtherWindowSearch*>(param);
    if (w == s->except || window_process(w) != s->process_id || !IsWindowVisible(w)) return TRUE;
    s->found = w;
    return FALSE;
}

// A visible top-level window of the process other than except, or null.
HWND other_window_of(DWORD process_id, HWND except) {
    OtherWindowSearch s = {process_id, except, nullptr};
    EnumWindows(match_other_window, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

// One greeting process per test; whatever a failing test leaves running is
// ended with the test.
class GreetingProgram : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        dialog_ = program_.start(kGreeting, kDialogTitle, error);
        ASSERT_NE(dialog_, nullptr) << error;
        // Keys from SendInput reach the foreground window's focus: wait until
        // the dialog is in front with the focus in its name box, as it puts
        // itself without any click.
        bool ready = poll_until(kStepTimeout, [this] {
            return GetForegroundWindow() == dialog_ && focus_of(dialog_) == control(kNameBox);
        });
        ASSERT_TRUE(ready) << "expected the dialog in front with the focus in the name box, got foreground "
                           << GetForegroundWindow() << " (dialog " << dialog_ << ") and focus on id "
                           << id_of(focus_of(dialog_));
    }

    HWND control(int id) const { return GetDlgItem(dialog_, id); }
    DWORD process_id() const { return program_.id(); }

    DWORD exit_code() { return program_.exit_code(); }

    // Waits for the process to end, watching that it shows no other window
    // (a message box would keep it running until pressed). The window seen,
    // or null when the process ended without one.
    HWND window_seen_before_exit() {
        HWND seen = nullptr;
        poll_until(kExitTimeout, [&] {
            if (program_.ended()) return true;
            seen = other_window_of(process_id(), dialog_);
            return seen != nullptr;
        });
        return seen;
    }

    void end_with_system_close() {
        PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
        EXPECT_EQ(exit_code(), 0u);
    }

    HWND wait_for_box() { return wait_for_process_window(process_id(), kBoxCaption, kStepTimeout); }

    bool name_box_reads(const std::string& text) {
        return poll_until(kStepTimeout, [&] { return window_text(control(kNameBox)) == text; });
    }

    // Types byte by byte: keys the layout has through SendInput, other bytes
    // as WM_CHAR posted to the focus. Posted messages overtake input, so each
    // byte waits until the box shows it before the next goes.
    void type_name(const std::string& name) {
        std::string typed;
        for (char c : name) {
            if (!type_key_for(static_cast<unsigned char>(c)))
                PostMessageA(focus_of(dialog_), WM_CHAR, static_cast<unsigned char>(c), 1);
            typed += c;
            ASSERT_TRUE(name_box_reads(typed)) << "expected the name box to read [" << hex_bytes(typed) << "], got ["
                                               << hex_bytes(window_text(control(kNameBox))) << "]";
        }
    }

    // Reads the greeting, presses its OK and checks how the process ends.
    void expect_greeting_then_exit_zero(const std::string& text) {
        HWND box = wait_for_box();
        ASSERT_NE(box, nullptr) << "no message box \"" << kBoxCaption << "\" within " << kStepTimeout << " ms";
        EXPECT_FALSE(IsWindow(dialog_)) << "the dialog is gone before the greeting";
        EXPECT_EQ(class_name(box), "#32770");
        std::string shown = window_text(GetDlgItem(box, kBoxText));
        EXPECT_EQ(shown, text) << "bytes shown [" << hex_bytes(shown) << "]";
        HWND ok = GetDlgItem(box, IDOK);
        ASSERT_NE(ok, nullptr) << "the message box has no OK button";
        ASSERT_TRUE(poll_until(kStepTimeout, [&] { return GetForegroundWindow() == box; }))
            << "the message box never came to the front";
        ASSERT_TRUE(click_window(ok));
        EXPECT_EQ(exit_code(), 0u);
    }

    ProgramUnderTest program_;  // ended, if still running, when the test is over
    HWND dialog_ = nullptr;
};

// ---- The window tree ------------------------------------------------------------

struct UnitRect {
    LONG x, y, width, height;  // dialog units
};

struct ControlRow {
    int id;
    const char* class_name;
    const char* text;
    UnitRect units;
    LONG style;
    LONG exstyle;
};

// In creation order, which is also the order of the child list.
const ControlRow kControls[] = {
    {100, "Edit", "", {14, 12, 134, 12}, 0x50010080, WS_EX_CLIENTEDGE},  // ES_AUTOHSCROLL, border as client edge
    {IDOK, "Button", "OK", {34, 32, 40, 14}, 0x50000001, 0},             // BS_DEFPUSHBUTTON, no WS_TABSTOP
    {IDCANCEL, "Button", "Cancel", {84, 32, 40, 14}, 0x50010000, 0},     // WS_TABSTOP
};

// Dialog units to pixels by both edges, as MapDialogRect converts them.
RECT pixels_of(const UnitRect& units) {
    RECT r = {units.x, units.y, units.x + units.width, units.y + units.height};
    EXPECT_TRUE(map_reference_dialog_rect(r)) << "MapDialogRect on the reference dialog failed: " << GetLastError();
    return r;
}

TEST_F(GreetingProgram, DialogReadsBackWithItsStylesSizeAndPlace) {
    EXPECT_EQ(class_name(dialog_), "#32770");
    // Created 0x80C008D4; the window manager adds WS_VISIBLE and WS_CLIPSIBLINGS.
    EXPECT_EQ(hex(GetWindowLongA(dialog_, GWL_STYLE)), hex(0x94C008D4));
    EXPECT_EQ(GetWindowLongA(dialog_, GWL_STYLE) & WS_SYSMENU, 0) << "the caption bar has no system menu";
    EXPECT_EQ(hex(GetWindowLongA(dialog_, GWL_EXSTYLE)),
              hex(WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT));
    EXPECT_TRUE(IsWindowEnabled(dialog_));

    RECT client = {0, 0, 0, 0};
    GetClientRect(dialog_, &client);
    EXPECT_TRUE(same_rect(pixels_of({0, 0, 160, 50}), client)) << "client area of 160 x 50 dialog units";

    // DS_CENTER: the outer rectangle is centred on the work area.
    RECT work, outer;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(dialog_, &outer);
    EXPECT_NEAR(outer.left + outer.right, work.left + work.right, 1) << "centred horizontally";
    EXPECT_NEAR(outer.top + outer.bottom, work.top + work.bottom, 1) << "centred vertically";
    end_with_system_close();
}

TEST_F(GreetingProgram, ControlsReadBackAsTheControlTableSays) {
    HWND child = GetWindow(dialog_, GW_CHILD);
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE("control " + std::to_string(row.id));
        ASSERT_NE(child, nullptr) << "fewer children than controls";
        EXPECT_EQ(GetDlgCtrlID(child), row.id) << "children in creation order";
        EXPECT_EQ(child, control(row.id));
        EXPECT_EQ(lstrcmpiA(class_name(child).c_str(), row.class_name), 0) << "class " << class_name(child);
        EXPECT_EQ(window_text(child), row.text);
        EXPECT_EQ(hex(GetWindowLongA(child, GWL_STYLE)), hex(row.style));
        EXPECT_EQ(hex(GetWindowLongA(child, GWL_EXSTYLE)), hex(row.exstyle));
        EXPECT_TRUE(same_rect(pixels_of(row.units), rect_in_parent(child)));
        EXPECT_EQ(GetWindow(child, GW_CHILD), nullptr) << "no grandchildren";
        child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_EQ(child, nullptr) << "more children than controls";
    end_with_system_close();
}

TEST_F(GreetingProgram, OkIsTheDefaultButton) {
    // DM_GETDEFID carries no pointer and is answered across processes. The
    // dialog manager answers IDOK also before any DM_SETDEFID, so a default
    // set on another button is what this catches; Enter acting as OK is
    // checked by the greeting tests.
    DWORD_PTR answer = 0;
    ASSERT_TRUE(SendMessageTimeoutA(dialog_, DM_GETDEFID, 0, 0, SMTO_ABORTIFHUNG, kStepTimeout, &answer));
    EXPECT_EQ(HIWORD(answer), DC_HASDEFID);
    EXPECT_EQ(LOWORD(answer), IDOK);
    // The buttons' own view: OK draws as the default, Cancel does not.
    DWORD_PTR ok_code = 0, cancel_code = 0;
    ASSERT_TRUE(SendMessageTimeoutA(control(IDOK), WM_GETDLGCODE, 0, 0, SMTO_ABORTIFHUNG, kStepTimeout, &ok_code));
    ASSERT_TRUE(
        SendMessageTimeoutA(control(IDCANCEL), WM_GETDLGCODE, 0, 0, SMTO_ABORTIFHUNG, kStepTimeout, &cancel_code));
    EXPECT_TRUE(ok_code & DLGC_DEFPUSHBUTTON) << hex(ok_code);
    EXPECT_TRUE(cancel_code & DLGC_UNDEFPUSHBUTTON) << hex(cancel_code);
    end_with_system_close();
}

// ---- Greeting -------------------------------------------------------------------

TEST_F(GreetingProgram, TypedNameAndEnterGreetByName) {
    ASSERT_NO_FATAL_FAILURE(type_name("Ann"));
    press_key(VK_RETURN);
    expect_greeting_then_exit_zero("Hello Ann");
}

TEST_F(GreetingProgram, OkWithAnEmptyNameBoxGreetsWithTheTrailingBlank) {
    ASSERT_TRUE(click_window(control(IDOK)));
    expect_greeting_then_exit_zero("Hello ");
}

struct NameRow {
    const char* label;
    std::string name;
    bool typed;  // else set with WM_SETTEXT
};

std::string long_name() {
    std::string s;
    for (int i = 0; i < 300; ++i) {
        int k = (i * 37) % 159;  // every printable byte and every byte from 0xA0, in a scattered order
        s += static_cast<char>(k < 95 ? 0x20 + k : 0xA0 + (k - 95));
    }
    return s;
}

void PrintTo(const NameRow& row, std::ostream* os) { *os << row.label; }

class NamesComeBackByteForByte : public GreetingProgram, public testing::WithParamInterface<NameRow> {};

TEST_P(NamesComeBackByteForByte, InTheGreeting) {
    const NameRow& row = GetParam();
    if (row.typed) {
        ASSERT_NO_FATAL_FAILURE(type_name(row.name));
    } else {
        SendMessageA(control(kNameBox), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.name.c_str()));
        ASSERT_TRUE(name_box_reads(row.name)) << "got [" << hex_bytes(window_text(control(kNameBox))) << "]";
    }
    press_key(VK_RETURN);
    expect_greeting_then_exit_zero("Hello " + row.name);
}

INSTANTIATE_TEST_SUITE_P(GreetingProgram, NamesComeBackByteForByte,
                         testing::Values(NameRow{"HighBytesTyped", "Zo\xEB \xC5sa", true},
                                         NameRow{"LongNameSet", long_name(), false}),
                         [](const testing::TestParamInfo<NameRow>& info) { return std::string(info.param.label); });

// ---- Ending without a greeting ------------------------------------------------------

enum class Ending { kEscape, kCancelClicked, kSystemClose };

const char* name_of(Ending e) {
    switch (e) {
        case Ending::kEscape:
            return "Escape";
        case Ending::kCancelClicked:
            return "CancelClicked";
        case Ending::kSystemClose:
            return "SystemClose";
    }
    return "Unknown";
}

void PrintTo(Ending e, std::ostream* os) { *os << name_of(e); }

class EndingWithoutGreeting : public GreetingProgram, public testing::WithParamInterface<Ending> {};

TEST_P(EndingWithoutGreeting, ExitsWithZeroAndShowsNoMessageBox) {
    ASSERT_NO_FATAL_FAILURE(type_name("Ann"));  // a name typed, but never confirmed
    switch (GetParam()) {
        case Ending::kEscape:
            press_key(VK_ESCAPE);
            break;
        case Ending::kCancelClicked:
            ASSERT_TRUE(click_window(control(IDCANCEL)));
            break;
        case Ending::kSystemClose:
            PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
            break;
    }
    HWND seen = window_seen_before_exit();
    ASSERT_EQ(seen, nullptr) << "a window \"" << window_text(seen) << "\" appeared";
    EXPECT_EQ(exit_code(), 0u);
}

INSTANTIATE_TEST_SUITE_P(GreetingProgram, EndingWithoutGreeting,
                         testing::Values(Ending::kEscape, Ending::kCancelClicked, Ending::kSystemClose),
                         [](const testing::TestParamInfo<Ending>& info) { return std::string(name_of(info.param)); });

// ---- Keyboard focus -------------------------------------------------------------

TEST_F(GreetingProgram, TabMovesBetweenTheNameBoxAndCancelOnly) {
    struct Step {
        bool shift;
        int focus_after;
    };
    const Step steps[] = {{false, IDCANCEL}, {false, kNameBox}, {false, IDCANCEL}, {true, kNameBox}, {true, IDCANCEL}};
    int step = 0;
    for (const Step& s : steps) {
        ++step;
        if (s.shift) key_input(VK_SHIFT, false);
        press_key(VK_TAB);
        if (s.shift) key_input(VK_SHIFT, true);
        bool moved = poll_until(kStepTimeout, [&] { return id_of(focus_of(dialog_)) == s.focus_after; });
        ASSERT_TRUE(moved) << (s.shift ? "Shift+Tab" : "Tab") << " number " << step << ": expected the focus on id "
                           << s.focus_after << ", got id " << id_of(focus_of(dialog_));
    }
    press_key(VK_ESCAPE);
    EXPECT_EQ(exit_code(), 0u);
}

}  // namespace
