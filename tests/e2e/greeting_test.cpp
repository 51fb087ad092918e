// What greeting.script cannot read about the greeting, checked from outside
// its process: the window tree's classes, styles and rectangles in dialog
// units, and the default button. Each test starts the greeting as a process
// of its own, waits for its dialog and ends it with the system's Close.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "tests/e2e/program_under_test.h"
#include "tools/common/dialog_units.h"
#include "tools/common/window_find.h"

namespace {

const char kGreeting[] = "../../app/greeting.exe";  // from tests/e2e of the build tree
const char kDialogTitle[] = "What is your name?";
constexpr int kNameBox = 100;

std::string hex(LONG v) {
    char b[12];
    wsprintfA(b, "0x%08lX", static_cast<unsigned long>(v));
    return b;
}

int id_of(HWND w) { return w == nullptr ? 0 : GetDlgCtrlID(w); }

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
    DWORD exit_code() { return program_.exit_code(); }

    void end_with_system_close() {
        PostMessageA(dialog_, WM_SYSCOMMAND, SC_CLOSE, 0);
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
    // checked by greeting.script.
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

}  // namespace
