// What tour.script cannot read about the tour, checked from outside its
// process: classes and styles, images, rectangles and sizes in dialog units,
// the mouse pointer, clicks at places inside a control, a control or menu
// command that no longer exists. Each test starts the tour as a process of
// its own and ends it through Exit; menu commands are posted as the
// WM_COMMAND a menu click makes.
#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "examples/tour/tour_ids.h"
#include "tests/e2e/program_under_test.h"
#include "tools/common/dialog_units.h"
#include "tools/common/input.h"
#include "tools/common/lists.h"
#include "tools/common/window_find.h"

namespace {

const char kTour[] = "../../examples/tour/tour.exe";  // from tests/e2e of the build tree
const char kTitle[] = "Kestrowane tour";

std::string hex(LONG v) {
    char b[12];
    wsprintfA(b, "0x%08lX", static_cast<unsigned long>(v));
    return b;
}

std::string number(long n) { return std::to_string(n); }

// ---- Dialog units, measured in this process -------------------------------------------

// The pixels of 1000 dialog units of the tour's font (the reference dialog
// has the same 8-point font).
POINT scale() {
    RECT r = {0, 0, 1000, 1000};
    EXPECT_TRUE(map_reference_dialog_rect(r)) << "MapDialogRect on the reference dialog failed: " << GetLastError();
    return {r.right, r.bottom};
}

// Positive pixels to units, rounded half up.
long to_units(long pixels, long scale_of_1000) { return (2 * pixels * 1000 + scale_of_1000) / (2 * scale_of_1000); }

RECT to_pixels(long left, long top, long right, long bottom) {
    RECT r = {left, top, right, bottom};
    EXPECT_TRUE(map_reference_dialog_rect(r));
    return r;
}

// ---- Input -----------------------------------------------------------------------------

// A click at a point of the window's client area; a failure says why.
::testing::AssertionResult click_client(HWND w, int x, int y) {
    POINT p = {x, y};
    std::string error = "the window is gone";
    if (ClientToScreen(w, &p) && click_screen(p, kStepTimeout, error)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << error;
}

// ---- The program -----------------------------------------------------------------------

class TourProgram : public testing::Test {
protected:
    void SetUp() override {
        std::string error;
        dialog_ = program_.start(kTour, kTitle, error);
        ASSERT_NE(dialog_, nullptr) << error;
        ASSERT_TRUE(poll_until(kStepTimeout, [this] { return GetForegroundWindow() == dialog_; }))
            << "the tour never came to the front";
    }

    HWND control(int id) const { return GetDlgItem(dialog_, id); }
    DWORD process_id() const { return program_.id(); }
    std::string text_of(int id) const { return window_text(control(id)); }
    std::string status() const { return text_of(kStatus); }
    LRESULT ask(int id, UINT message, WPARAM wparam = 0, LPARAM lparam = 0) const {
        return SendMessageA(control(id), message, wparam, lparam);
    }

    void click(int id) {
        std::string error;
        ASSERT_TRUE(click_window(control(id), kStepTimeout, error)) << "cannot click control " << id << ": " << error;
    }
    // What a menu click sends: WM_COMMAND with the item's id, notification 0.
    void choose(int menu_id) { PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(menu_id, 0), 0); }

    // Waits until the status line reads text; the failure names what it read.
    ::testing::AssertionResult status_reads(const std::string& text) const {
        if (poll_until(kStepTimeout, [&] { return status() == text; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "expected the status \"" << text << "\", got \"" << status() << "\"";
    }
    ::testing::AssertionResult text_reads(int id, const std::string& text) const {
        if (poll_until(kStepTimeout, [&] { return text_of(id) == text; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "expected control " << id << " to read \"" << text << "\", got \"" << text_of(id) << "\"";
    }

    // Makes the status read something else, so that the next check cannot
    // pass on what an earlier step left there.
    void reset_status() {
        choose(kMenuSayHello);
        ASSERT_TRUE(status_reads("You chose &Say hello"));
    }

    DWORD exit_code() { return program_.exit_code(); }

    // A click activates the tour first when another of its windows is in
    // front. A click that lands while a control still holds the mouse (a
    // combo box after its own click, under load) is taken by that control;
    // the tour stays up, and a user clicks again, as the test does.
    void exit_with_the_exit_button() {
        poll_until(kStepTimeout, [this] { return GetForegroundWindow() == dialog_; });
        for (int attempt = 0; attempt < 3 && !program_.ended(); ++attempt) {
            click(kExit);
            poll_until(3000, [this] { return program_.ended(); });
        }
        EXPECT_EQ(exit_code(), 0u);
    }

    // "Client area: W x H dialog units = PW x PH pixels" for the present client area.
    std::string expected_size_caption() {
        RECT client = {0, 0, 0, 0};
        GetClientRect(dialog_, &client);
        POINT s = scale();
        long w = to_units(client.right, s.x), h = to_units(client.bottom, s.y);
        RECT px = to_pixels(0, 0, w, h);
        return "Client area: " + number(w) + " x " + number(h) + " dialog units = " + number(px.right) + " x " +
               number(px.bottom) + " pixels";
    }

    ProgramUnderTest program_;  // ended, if still running, when the test is over
    HWND dialog_ = nullptr;
};

// ---- The window tree -----------------------------------------------------------------

struct ControlRow {
    int id;
    const char* class_name;
    LONG style;  // as the tour's style and the kind's rules make it
    const char* text;
    LONG ignored = 0;  // bits the control itself changes
};

// One control of every kind 1 to 15 and the one of kind 0, among the others.
const ControlRow kControls[] = {
    {kThreeStates, "Button", 0x50010006, "Three states"},       // 2: BS_AUTO3STATE
    {kCheck, "Button", 0x50010003, "Check box"},                // 3: BS_AUTOCHECKBOX
    {kChoicesFrame, "Button", 0x50000007, nullptr},             // 4: BS_GROUPBOX
    {kPointerCaption, "Static", 0x50000000, "Mouse pointer:"},  // 5: SS_LEFT
    {kImageFrame, "Static", 0x50000012, ""},                    // 6: SS_ETCHEDFRAME
    {kRed, "Button", 0x50030009, "Red"},                        // 7: the group's first, WS_GROUP given
    {kGreen, "Button", 0x50010009, "Green"},                    // 7: BS_AUTORADIOBUTTON
    {kScroller, "ScrollBar", 0x50000000, nullptr},              // 8: wider than high, SBS_HORZ
    {kFruitBox, "Edit", 0x50010080, "Elderberry"},              // 9: WS_BORDER became WS_EX_CLIENTEDGE
    {kSunImage, "Static", 0x5000010E, "SUN"},                   // 10: SS_BITMAP | SS_NOTIFY given
    {kLeafImage, "Static", 0x5000010E, "LEAF"},                 // 11
    {kStarButton, "Button", 0x50010040, "STAR"},                // 12: only an icon, BS_BITMAP became BS_ICON
    {kSkyButton, "Button", 0x50010080, "SUN"},                  // 13: BS_BITMAP
    {kFruitCombo, "ComboBox", 0x50010102, nullptr},             // 14: CBS_SORT | CBS_DROPDOWN
    // A list box shows and hides its WS_VSCROLL bar as its items need it.
    {kFruitList, "ListBox", 0x50210003, nullptr, WS_VSCROLL},    // 15: LBS_SORT | LBS_NOTIFY, border as client edge
    {kPointerList, "ListBox", 0x50210001, nullptr, WS_VSCROLL},  // 15: no LBS_SORT given, LBS_NOTIFY forced
    {kMover, "Static", 0x50001201, "I can move"},                // 0: SS_CENTER | SS_CENTERIMAGE | SS_SUNKEN as given
    {kMove, "Button", 0x50010000, "Move"},                       // 1: BS_PUSHBUTTON
    {kStatus, "Static", 0x50001000, "Welcome: try every control and menu item."},
};

TEST_F(TourProgram, ControlsOfEveryKindReadBackWithTheirClassStyleAndText) {
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE("control " + number(row.id));
        HWND w = control(row.id);
        ASSERT_NE(w, nullptr) << "no control with this id";
        EXPECT_EQ(lstrcmpiA(class_name(w).c_str(), row.class_name), 0) << "class " << class_name(w);
        EXPECT_EQ(hex(GetWindowLongA(w, GWL_STYLE) & ~row.ignored), hex(row.style & ~row.ignored));
        if (row.text != nullptr) {
            EXPECT_EQ(window_text(w), row.text);
        }
    }
    EXPECT_EQ(GetWindowLongA(control(kFruitBox), GWL_EXSTYLE) & WS_EX_CLIENTEDGE, WS_EX_CLIENTEDGE);
    exit_with_the_exit_button();
}

TEST_F(TourProgram, ImagesComeFromTheProgramsResourcesWithTheIconFallback) {
    EXPECT_NE(ask(kSunImage, STM_GETIMAGE, IMAGE_BITMAP), 0) << "SUN bitmap on the image";
    EXPECT_NE(ask(kLeafImage, STM_GETIMAGE, IMAGE_BITMAP), 0) << "LEAF bitmap on the stretched image";
    EXPECT_NE(ask(kStarButton, BM_GETIMAGE, IMAGE_ICON), 0) << "STAR icon on the image button";
    EXPECT_NE(ask(kSkyButton, BM_GETIMAGE, IMAGE_BITMAP), 0) << "SUN bitmap on the stretched image button";
    // The stretched image is loaded at the control's size: the static keeps
    // the size it was created with.
    RECT leaf = rect_in_parent(control(kLeafImage));
    EXPECT_TRUE(same_rect(to_pixels(40, 100, 80, 130), leaf));
    exit_with_the_exit_button();
}

// Item order and the size caption, which depends on the dialog-unit scale.
TEST_F(TourProgram, ListsHoldTheirItemsInOrderAndTheSizeCaptionShowsTheClientArea) {
    const char* sorted[] = {"Apple", "Banana", "Cherry", "Damson"};
    ASSERT_EQ(ask(kFruitList, LB_GETCOUNT), 4);
    ASSERT_EQ(ask(kFruitCombo, CB_GETCOUNT), 4);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(list_item_text(control(kFruitList), i, false), sorted[i]) << "list item " << i;
        EXPECT_EQ(list_item_text(control(kFruitCombo), i, true), sorted[i]) << "combo item " << i;
    }
    const char* pointers[] = {"0 None", "1 Arrow", "2 Cross", "3 I-beam", "5 Size all", "11 Wait", "12 No"};
    ASSERT_EQ(ask(kPointerList, LB_GETCOUNT), 7);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(list_item_text(control(kPointerList), i, false), pointers[i]) << "in table order";
    EXPECT_EQ(text_of(kSizeCaption), expected_size_caption());
    exit_with_the_exit_button();
}

// ---- Mouse pointer ---------------------------------------------------------------------

// The cursor the foreground thread has set; GetCursorInfo answers for it.
HCURSOR current_cursor() {
    CURSORINFO info = {};
    info.cbSize = sizeof info;
    return GetCursorInfo(&info) ? info.hCursor : reinterpret_cast<HCURSOR>(-1);
}

// Puts the pointer over the dialog's own background, where the tour keeps
// the chosen pointer: over a control, any mouse message (Wine sends one when
// a window changes under the pointer) has the control set its class cursor
// again. False when no such point was found or the pointer did not get there.
bool park_pointer_on_background(HWND dialog) {
    RECT client;
    GetClientRect(dialog, &client);
    for (LONG y = 2; y < client.bottom; y += 4) {
        for (LONG x = 2; x < client.right; x += 4) {
            POINT p = {x, y};
            if (ChildWindowFromPointEx(dialog, p, CWP_ALL) != dialog) continue;
            ClientToScreen(dialog, &p);
            SetCursorPos(p.x, p.y);
            POINT at = {};
            return poll_until(kStepTimeout, [&] { return GetCursorPos(&at) && at.x == p.x && at.y == p.y; });
        }
    }
    return false;
}

TEST_F(TourProgram, PointerPickerSetsTheChosenPointer) {
    // The choice is made without the mouse, and the pointer rests where the
    // tour keeps the chosen shape.
    ASSERT_TRUE(park_pointer_on_background(dialog_)) << "no point of the dialog's own background to rest on";
    HWND list = control(kPointerList);
    auto pick = [&](int index, const char* text) {
        SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
        PostMessageA(dialog_, WM_COMMAND, MAKEWPARAM(kPointerList, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
        ASSERT_TRUE(status_reads(std::string("Pointer: ") + text));
    };
    pick(1, "1 Arrow");
    HCURSOR arrow = current_cursor();
    EXPECT_NE(arrow, nullptr);
    pick(2, "2 Cross");
    HCURSOR cross = current_cursor();
    EXPECT_NE(cross, nullptr);
    EXPECT_NE(cross, arrow) << "the cross is another cursor than the arrow";
    pick(0, "0 None");
    EXPECT_EQ(current_cursor(), nullptr) << "pointer shape 0 is no cursor at all";
    pick(1, "1 Arrow");
    EXPECT_EQ(current_cursor(), arrow);
    exit_with_the_exit_button();
}

// ---- Scroll bar ------------------------------------------------------------------------

TEST_F(TourProgram, ScrollBarArrowsAndPagesMoveItAndTheCaptionFollows) {
    HWND bar = control(kScroller);
    RECT r;
    GetClientRect(bar, &r);
    int arrow = GetSystemMetrics(SM_CXHSCROLL);
    int mid = r.bottom / 2;
    struct Step {
        int x;
        int position;
    };
    const Step steps[] = {
        {r.right - arrow / 2, 1},  // right arrow
        {r.right - arrow / 2, 2},
        {r.right - arrow - 4, 7},  // the trough right of the thumb: a page is 5
        {arrow / 2, 6},            // left arrow
    };
    for (const Step& s : steps) {
        ASSERT_TRUE(click_client(bar, s.x, mid));
        ASSERT_TRUE(text_reads(kScrollCaption, "Scroll bar: " + number(s.position)));
        EXPECT_EQ(SendMessageA(bar, SBM_GETPOS, 0, 0), s.position);
    }
    exit_with_the_exit_button();
}

// ---- Images ---------------------------------------------------------------------------

TEST_F(TourProgram, StretchedImageButtonSwapsItsPicture) {
    LRESULT sun = ask(kSkyButton, BM_GETIMAGE, IMAGE_BITMAP);
    click(kSkyButton);
    ASSERT_TRUE(status_reads("The stretched image button shows MOON"));
    LRESULT moon = ask(kSkyButton, BM_GETIMAGE, IMAGE_BITMAP);
    EXPECT_NE(moon, 0);
    EXPECT_NE(moon, sun) << "a new bitmap on the button";
    click(kSkyButton);
    ASSERT_TRUE(status_reads("The stretched image button shows SUN"));
    EXPECT_NE(ask(kSkyButton, BM_GETIMAGE, IMAGE_BITMAP), moon);
    exit_with_the_exit_button();
}

// ---- Geometry ----------------------------------------------------------------------------

TEST_F(TourProgram, MoveMovesAndResizesTheLabelAndReportsWhereItIs) {
    POINT s = scale();
    EXPECT_TRUE(same_rect(to_pixels(214, 136, 270, 148), rect_in_parent(control(kMover)))) << "at its first place";
    struct Place {
        long x, y, w, h;
    };
    const Place places[] = {{272, 134, 62, 14}, {214, 136, 56, 12}};
    for (const Place& p : places) {
        SCOPED_TRACE("to " + number(p.x) + ", " + number(p.y));
        click(kMove);
        // Position and size are converted on their own (SWP_NOSIZE, SWP_NOMOVE).
        RECT at = to_pixels(0, 0, p.x, p.y), size = to_pixels(0, 0, p.w, p.h);
        RECT expected = {at.right, at.bottom, at.right + size.right, at.bottom + size.bottom};
        ASSERT_TRUE(poll_until(kStepTimeout, [&] {
            RECT now = rect_in_parent(control(kMover));
            return EqualRect(&now, &expected) != 0;
        })) << same_rect(expected, rect_in_parent(control(kMover))).message();
        EXPECT_TRUE(
            status_reads("Moved to " + number(to_units(at.right, s.x)) + ", " + number(to_units(at.bottom, s.y))));
    }
    exit_with_the_exit_button();
}

TEST_F(TourProgram, LargerDialogGrowsTheDialogAndTheSizeCaptionFollows) {
    RECT before = {0, 0, 0, 0};
    GetClientRect(dialog_, &before);
    RECT outer_before;
    GetWindowRect(dialog_, &outer_before);
    choose(kMenuLarger);
    RECT grow = to_pixels(0, 0, 40, 40);
    ASSERT_TRUE(poll_until(kStepTimeout, [&] {
        RECT outer;
        GetWindowRect(dialog_, &outer);
        return outer.right - outer.left > outer_before.right - outer_before.left;
    })) << "the dialog did not grow";
    RECT outer;
    GetWindowRect(dialog_, &outer);
    // The outer size is set in dialog units, so it grows by about 40 units.
    EXPECT_NEAR(outer.right - outer.left, outer_before.right - outer_before.left + grow.right, 2);
    EXPECT_NEAR(outer.bottom - outer.top, outer_before.bottom - outer_before.top + grow.bottom, 2);
    EXPECT_TRUE(text_reads(kSizeCaption, expected_size_caption()));
    POINT s = scale();
    EXPECT_TRUE(status_reads("Dialog is now " + number(to_units(outer.right - outer.left, s.x)) + " x " +
                             number(to_units(outer.bottom - outer.top, s.y))));

    choose(kMenuLarger);  // and back, up to the rounding of the outer size to dialog units
    ASSERT_TRUE(poll_until(kStepTimeout, [&] {
        RECT client;
        GetClientRect(dialog_, &client);
        return client.right - before.right <= 1 && before.right - client.right <= 1 &&
               client.bottom - before.bottom <= 1 && before.bottom - client.bottom <= 1;
    })) << "the dialog did not return to its size";
    EXPECT_TRUE(text_reads(kSizeCaption, expected_size_caption()));
    exit_with_the_exit_button();
}

TEST_F(TourProgram, MeasureConvertsPixelsToDialogUnits) {
    POINT s = scale();
    choose(kMenuMeasure);
    EXPECT_TRUE(status_reads("100 x 100 pixels = " + number(to_units(100, s.x)) + " x " + number(to_units(100, s.y)) +
                             " dialog units"));
    exit_with_the_exit_button();
}

// ---- Controls removed --------------------------------------------------------------------

TEST_F(TourProgram, RemoveLabelDestroysTheLabelAndDisablesItself) {
    ASSERT_NE(control(kRemovable), nullptr);
    click(kRemove);
    ASSERT_TRUE(status_reads("Label removed"));
    EXPECT_EQ(control(kRemovable), nullptr) << "the label is gone";
    EXPECT_FALSE(IsWindowEnabled(control(kRemove)));
    EXPECT_EQ(focus_of(dialog_), control(kExit)) << "the focus moved to Exit";
    exit_with_the_exit_button();
}

// ---- Menus ------------------------------------------------------------------------------

TEST_F(TourProgram, MenuBarIsAttachedToTheDialog) {
    // The menu itself lives in the other process; its presence shows in the
    // dialog's frame: the client area is the template's height less the bar.
    RECT client = {0, 0, 0, 0};
    GetClientRect(dialog_, &client);
    RECT full = to_pixels(0, 0, 340, 214);
    EXPECT_EQ(client.right, full.right);
    EXPECT_NEAR(full.bottom - client.bottom, GetSystemMetrics(SM_CYMENU), 2) << "one menu bar's height";
    exit_with_the_exit_button();
}

TEST_F(TourProgram, RemoveThisItemDeletesItselfFromTheMenu) {
    choose(kMenuRemoveMe);
    ASSERT_TRUE(status_reads("Menu item removed"));
    reset_status();
    choose(kMenuRemoveMe);  // no item has the id any more: nothing runs
    choose(kMenuSayHello);
    choose(kMenuMorning);  // posted after it: once this shows, the removed item's command has been handled
    ASSERT_TRUE(status_reads("You chose Good &morning"));
    exit_with_the_exit_button();
}

}  // namespace
