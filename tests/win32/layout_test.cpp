// Layout on the real platform: a resizable dialog's frame, grip and minimum
// size, controls that follow their anchors when the dialog is resized by
// SetWindowPos, and a menu bar attached with and without keeping the client
// area. Every expectation is in pixels the platform gives (GetClientRect,
// GetWindowRect, MapDialogRect), so the same program checks the layout at
// any resolution and dialog font: layout_metrics_test.sh runs it in prefixes
// of 96, 144 and 192 DPI and of a wider dialog font, and names the resolution
// each must find (KW_EXPECT_DPI).
#include <gtest/gtest.h>

#include <cstdlib>
#include <initializer_list>
#include <string>

#include "../common/dialog_testing.h"

// After windows.h, which dialog_testing.h brings.
#include <commctrl.h>

namespace {

RECT rect_in(HWND dialog, HWND w) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(w, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

SIZE window_size(HWND w) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(w, &r);
    return {r.right - r.left, r.bottom - r.top};
}

SIZE client_size(HWND w) {
    RECT r = {0, 0, 0, 0};
    GetClientRect(w, &r);
    return {r.right, r.bottom};
}

// Resizes the window by (dw, dh) pixels, as the platform resizes it for the user.
void grow(HWND w, int dw, int dh) {
    SIZE s = window_size(w);
    SetWindowPos(w, nullptr, 0, 0, s.cx + dw, s.cy + dh, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The size grip: the dialog's child scroll bar with SBS_SIZEGRIP, or null.
HWND size_grip(HWND dialog) {
    for (HWND c = GetWindow(dialog, GW_CHILD); c != nullptr; c = GetWindow(c, GW_HWNDNEXT)) {
        char name[16] = "";
        GetClassNameA(c, name, sizeof name);
        if (lstrcmpiA(name, "ScrollBar") == 0 && (GetWindowLongA(c, GWL_STYLE) & SBS_SIZEGRIP)) return c;
    }
    return nullptr;
}

class Layout : public DialogTest {
protected:
    HWND add_button(std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h,
                    ControlKind kind = kPushButton) {
        ProcFrame f;
        push_empty(f);
        push_copy(f, "B", 1);
        HWND c = add_control(f, dialog_, id, nullptr, x, y, w, h, 0, 0, nullptr, kind);
        EXPECT_NE(c, nullptr) << "control " << id;
        return c;
    }
};

// The fonts of captions, menus and tooltips are the message boxes' own, MS
// Sans Serif (or what a prefix puts in its place) in the default character
// set, which the prefix links to the CJK letters: the platform's defaults
// (MS Shell Dlg in the ANSI character set) drew the letters of "日志" and
// "Ελένη" in a caption or a menu bar as empty boxes.
TEST_F(Layout, ThePrefixGivesCaptionsMenusAndMessagesTheFontOfEveryScript) {
    NONCLIENTMETRICSW m = {};
    m.cbSize = sizeof m;
    ASSERT_TRUE(SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0));
    if (std::getenv("KW_EXPECT_DPI") == nullptr) {
        EXPECT_EQ(lstrcmpW(m.lfMessageFont.lfFaceName, L"MS Sans Serif"), 0) << "the build tree's prefix, unreplaced";
    }
    EXPECT_EQ(m.lfMessageFont.lfCharSet, DEFAULT_CHARSET);
    const struct {
        const char* name;
        const LOGFONTW& font;
    } fonts[] = {{"caption", m.lfCaptionFont},
                 {"small caption", m.lfSmCaptionFont},
                 {"menu", m.lfMenuFont},
                 {"status and tooltip", m.lfStatusFont}};
    for (const auto& f : fonts) {
        EXPECT_EQ(lstrcmpW(f.font.lfFaceName, m.lfMessageFont.lfFaceName), 0) << f.name << " font";
        EXPECT_EQ(f.font.lfCharSet, DEFAULT_CHARSET) << f.name << " font";
    }
}

// What the dialog's font draws for text in a 32 x 32 bitmap, as a control draws it.
std::string drawn(HWND dialog, const wchar_t* text) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 32, 32);
    HGDIOBJ old_bitmap = SelectObject(dc, bitmap);
    HGDIOBJ old_font = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
    RECT all = {0, 0, 32, 32};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTextW(dc, text, -1, &all, DT_NOPREFIX);
    std::string pixels;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) pixels += GetPixel(dc, x, y) == RGB(255, 255, 255) ? '.' : '#';
    SelectObject(dc, old_font);
    SelectObject(dc, old_bitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// A letter of each script the prefix's fonts hold is drawn as itself, not as
// the box of a character no font holds (U+E000, private use). Arabic needs
// the prefix's link from the face Wine draws to DejaVu Sans. Hebrew is left
// out: Wine's right-to-left text path draws some of its letters as boxes.
TEST_F(Layout, EveryScriptsLettersAreDrawnAsThemselves) {
    if (std::getenv("KW_EXPECT_DPI") != nullptr) GTEST_SKIP() << "a prefix whose dialog font is replaced";
    const std::string missing = drawn(dialog_, L"\xE000");
    const struct {
        const char* script;
        const wchar_t* letter;
    } letters[] = {{"Latin", L"\x00E9"}, {"Greek", L"\x03BB"},  {"Cyrillic", L"\x0416"}, {"Han", L"\x4E2D"},
                   {"Kana", L"\x30A2"},  {"Hangul", L"\xD55C"}, {"Arabic", L"\x0628"}};
    for (const auto& l : letters)
        EXPECT_TRUE(drawn(dialog_, l.letter) != missing) << l.script << " letter drawn as a box";
}

// The resolution and base units a run in another prefix asks for
// (layout_metrics_test.sh), so that a setting that did not take fails.
TEST_F(Layout, ThePrefixHasTheMetricsTheRunAsksFor) {
    const char* dpi = std::getenv("KW_EXPECT_DPI");
    const char* units = std::getenv("KW_EXPECT_BASE_UNITS");
    if (dpi == nullptr) GTEST_SKIP() << "run in the build tree's prefix: no metrics asked for";
    HDC dc = GetDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), std::atoi(dpi)) << "the prefix's LogPixels did not reach the program";
    ReleaseDC(nullptr, dc);
    UnitPair base = dialog_units_to_pixels(dialog_, 4, 8);
    char seen[32];
    wsprintfA(seen, "%dx%d", base.horizontal, base.vertical);
    if (units != nullptr) {
        EXPECT_STREQ(seen, units) << "the dialog's base units";
    }
}

TEST_F(Layout, AResizableDialogKeepsItsClientAreaAndGetsAFrameAndAGrip) {
    SIZE before = client_size(dialog_);
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    SIZE after = client_size(dialog_);
    EXPECT_EQ(after.cx, before.cx);
    EXPECT_EQ(after.cy, before.cy);
    EXPECT_TRUE(GetWindowLongA(dialog_, GWL_STYLE) & WS_THICKFRAME);
    HWND grip = size_grip(dialog_);
    ASSERT_NE(grip, nullptr) << "no size grip among the dialog's children";
    RECT g = rect_in(dialog_, grip);
    EXPECT_EQ(g.right, after.cx) << "the grip sits in the bottom-right corner";
    EXPECT_EQ(g.bottom, after.cy);
    // Wine makes the grip a pixel wider and taller than a scroll bar's width.
    EXPECT_GE(g.right - g.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_LE(g.right - g.left, GetSystemMetrics(SM_CXVSCROLL) + 1);
    EXPECT_TRUE(make_dialog_resizable(dialog_)) << "a second call";
    EXPECT_EQ(client_size(dialog_).cx, before.cx);
    EXPECT_EQ(GetWindow(dialog_, GW_CHILD), grip) << "the grip, and no second one, is the only child";
    EXPECT_EQ(GetWindow(grip, GW_HWNDNEXT), nullptr);

    HWND plain = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    EXPECT_FALSE(make_dialog_resizable(plain)) << "no toolkit dialog";
    EXPECT_FALSE(GetWindowLongA(plain, GWL_STYLE) & WS_THICKFRAME);
    EXPECT_FALSE(make_dialog_resizable(nullptr));
    DestroyWindow(plain);
}

TEST_F(Layout, TheCreatedSizeIsTheLeastTheDialogCanBeMade) {
    SIZE designed = window_size(add_button(10, 50, 20, 40, 14));
    set_control_anchors(dialog_, 10, kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom);
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    SIZE window = window_size(dialog_);
    SIZE client = client_size(dialog_);
    MINMAXINFO info = {};
    SendMessageA(dialog_, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(info.ptMinTrackSize.x, window.cx);
    EXPECT_EQ(info.ptMinTrackSize.y, window.cy);
    grow(dialog_, 40, 31);
    grow(dialog_, -200, -200);  // below the minimum: the platform stops there
    EXPECT_EQ(client_size(dialog_).cx, client.cx);
    EXPECT_EQ(client_size(dialog_).cy, client.cy);
    SIZE button = window_size(GetDlgItem(dialog_, 10));
    EXPECT_EQ(button.cx, designed.cx) << "a stretched control is back to its designed size";
    EXPECT_EQ(button.cy, designed.cy);
}

// A list box keeps its height to whole items, below what it is given: the
// same size of dialog gives it the same height however often it is resized.
TEST_F(Layout, AControlThatAdjustsItsSizeDoesNotDriftOverResizes) {
    HWND list = add_button(10, 4, 4, 60, 30, kListBox);
    set_control_anchors(dialog_, 10, kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom);
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    LONG first = 0;
    for (int cycle = 0; cycle < 3; ++cycle) {
        grow(dialog_, 13, 31);
        grow(dialog_, -13, -31);
        LONG height = window_size(list).cy;
        if (cycle == 0) first = height;
        EXPECT_EQ(height, first) << "after cycle " << cycle + 1;
    }
}

// How a control moves on one axis when the client area grows from old to
// new pixels: by the whole difference, half of each extent's difference
// (the centre), or not at all; and whether it stretches.
enum Move { kStays, kFollows, kCentred };
struct AnchorCase {
    std::uint32_t anchors;
    Move horizontal;
    bool stretches_h;
    Move vertical;
    bool stretches_v;
};
constexpr AnchorCase kAnchorCases[] = {
    {kAnchorLeft | kAnchorTop, kStays, false, kStays, false},
    {kAnchorRight | kAnchorTop, kFollows, false, kStays, false},
    {kAnchorLeft | kAnchorRight | kAnchorTop, kStays, true, kStays, false},
    {kAnchorLeft | kAnchorBottom, kStays, false, kFollows, false},
    {kAnchorLeft | kAnchorTop | kAnchorBottom, kStays, false, kStays, true},
    {kAnchorRight | kAnchorBottom, kFollows, false, kFollows, false},
    {kAnchorLeft | kAnchorTop | kAnchorRight | kAnchorBottom, kStays, true, kStays, true},
    {0, kCentred, false, kCentred, false},
    {kAnchorTop, kCentred, false, kStays, false},
};

LONG moved(Move m, LONG old_extent, LONG new_extent) {
    if (m == kFollows) return new_extent - old_extent;
    if (m == kCentred) return new_extent / 2 - old_extent / 2;
    return 0;
}

// Each step resizes the dialog from where the previous one left it, so
// steps that do not add up exactly (odd sizes, the centre) would show.
TEST_F(Layout, ControlsFollowTheirAnchorsThroughEveryResize) {
    constexpr std::int32_t kCount = sizeof kAnchorCases / sizeof kAnchorCases[0];
    for (std::int32_t i = 0; i < kCount; ++i) {
        add_button(100 + i, 4 + (i % 5) * 18, 4 + (i / 5) * 16, 16, 12);
        ASSERT_TRUE(set_control_anchors(dialog_, 100 + i, kAnchorCases[i].anchors));
    }
    RECT start[kCount];
    for (std::int32_t i = 0; i < kCount; ++i) start[i] = rect_in(dialog_, GetDlgItem(dialog_, 100 + i));
    SIZE base = client_size(dialog_);
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    const POINT steps[] = {{37, 23}, {1, 1}, {60, 0}, {0, 45}, {-51, -33}, {-47, -36}};
    for (POINT step : steps) {
        grow(dialog_, step.x, step.y);
        SIZE now = client_size(dialog_);
        for (std::int32_t i = 0; i < kCount; ++i) {
            const AnchorCase& c = kAnchorCases[i];
            RECT r = rect_in(dialog_, GetDlgItem(dialog_, 100 + i));
            LONG dw = now.cx - base.cx, dh = now.cy - base.cy;
            LONG x = start[i].left + moved(c.horizontal, base.cx, now.cx);
            LONG y = start[i].top + moved(c.vertical, base.cy, now.cy);
            LONG w = start[i].right - start[i].left + (c.stretches_h ? dw : 0);
            LONG h = start[i].bottom - start[i].top + (c.stretches_v ? dh : 0);
            EXPECT_EQ(r.left, x) << "anchors " << c.anchors << " at client " << now.cx << " x " << now.cy;
            EXPECT_EQ(r.top, y) << "anchors " << c.anchors << " at client " << now.cx << " x " << now.cy;
            EXPECT_EQ(r.right - r.left, w) << "anchors " << c.anchors << " at client " << now.cx;
            EXPECT_EQ(r.bottom - r.top, h) << "anchors " << c.anchors << " at client " << now.cy;
        }
        RECT g = rect_in(dialog_, size_grip(dialog_));
        EXPECT_EQ(g.right, now.cx) << "the grip stays in the corner";
        EXPECT_EQ(g.bottom, now.cy);
    }
    SIZE end = client_size(dialog_);
    EXPECT_EQ(end.cx, base.cx) << "the last step goes back to the minimum";
    EXPECT_EQ(end.cy, base.cy);
}

TEST_F(Layout, AnchorsRefuseWhatNamesNoControlOrNoEdge) {
    add_button(10, 4, 4, 16, 12);
    EXPECT_FALSE(set_control_anchors(dialog_, 10, 16)) << "a bit that is no edge";
    EXPECT_FALSE(set_control_anchors(dialog_, 11, kAnchorRight)) << "no such control";
    EXPECT_FALSE(set_control_anchors(dialog_, -1, kAnchorRight)) << "the dialog itself";
    EXPECT_FALSE(set_control_anchors(nullptr, 10, kAnchorRight));
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    RECT before = rect_in(dialog_, GetDlgItem(dialog_, 10));
    grow(dialog_, 30, 30);
    RECT after = rect_in(dialog_, GetDlgItem(dialog_, 10));
    EXPECT_EQ(after.left, before.left) << "refused anchors left the default";
    EXPECT_EQ(after.right, before.right);
}

// Id 0, which labels often share, names the program's own control with that
// id or none, never the size grip.
TEST_F(Layout, IdZeroNeverReachesTheGrip) {
    SIZE base = client_size(dialog_);
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    EXPECT_FALSE(set_control_anchors(dialog_, 0, kAnchorLeft | kAnchorTop)) << "no control of the program has id 0";
    kill_control(dialog_, 0);
    ASSERT_NE(size_grip(dialog_), nullptr) << "kill_control of id 0 took the grip";
    HWND label = add_button(0, 4, 4, 16, 12, kLabel);
    ASSERT_TRUE(set_control_anchors(dialog_, 0, kAnchorRight));
    RECT before = rect_in(dialog_, label);
    grow(dialog_, 30, 20);
    SIZE now = client_size(dialog_);
    EXPECT_EQ(rect_in(dialog_, label).left, before.left + now.cx - base.cx) << "the label follows the right edge";
    RECT g = rect_in(dialog_, size_grip(dialog_));
    EXPECT_EQ(g.right, now.cx) << "the grip stays in the corner";
    EXPECT_EQ(g.bottom, now.cy);
}

// A status bar spans the dialog's width and covers the grip; given
// SBARS_SIZEGRIP it answers a press in the corner as the corner of the frame,
// so a drag there resizes the dialog. It keeps to the bottom edge and the
// whole width through resizes, by its anchors or, given none, on its own.
TEST_F(Layout, AStatusBarKeepsToTheBottomAndTakesTheCornerItCovers) {
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    for (bool anchored : {true, false}) {
        SCOPED_TRACE(anchored ? "anchored" : "no anchors given");
        ProcFrame f;
        push_empty(f);
        push_empty(f);
        HWND bar = add_control(f, dialog_, 30, nullptr, 0, 0, 0, 0, WS_CHILD | WS_VISIBLE | SBARS_SIZEGRIP, 0, nullptr,
                               kStatusBar);
        ASSERT_NE(bar, nullptr);
        if (anchored) {
            ASSERT_TRUE(set_control_anchors(dialog_, 30, kAnchorLeft | kAnchorRight | kAnchorBottom));
        }
        grow(dialog_, 40, 20);
        SIZE now = client_size(dialog_);
        RECT b = rect_in(dialog_, bar);
        EXPECT_EQ(b.left, 0);
        EXPECT_EQ(b.right, now.cx);
        EXPECT_EQ(b.bottom, now.cy);
        POINT corner = {now.cx - 2, now.cy - 2};
        ClientToScreen(dialog_, &corner);
        EXPECT_EQ(SendMessageW(bar, WM_NCHITTEST, 0, MAKELPARAM(corner.x, corner.y)), HTBOTTOMRIGHT);
        kill_control(dialog_, 30);
    }
}

HMENU menu_bar(const char* item) {
    HMENU bar = CreateMenu();
    AppendMenuA(bar, MF_STRING, 500, item);
    return bar;
}

// The plain attach takes the bar's height from the client area; the keeping
// one grows the window by exactly that height, whatever the font and
// resolution, and shrinks it again when the bar goes.
TEST_F(Layout, AMenuBarAttachedKeepingTheClientAreaGrowsTheWindow) {
    SIZE client = client_size(dialog_);
    SIZE window = window_size(dialog_);
    ASSERT_TRUE(attach_menu_keeping_client(dialog_, menu_bar("&File")));
    EXPECT_EQ(client_size(dialog_).cx, client.cx);
    EXPECT_EQ(client_size(dialog_).cy, client.cy);
    SIZE grown = window_size(dialog_);
    EXPECT_EQ(grown.cx, window.cx);
    EXPECT_GE(grown.cy - window.cy, GetSystemMetrics(SM_CYMENU) - 1) << "grown by the bar";
    ASSERT_TRUE(attach_menu_keeping_client(dialog_, nullptr));
    EXPECT_EQ(window_size(dialog_).cy, window.cy) << "shrunk by the bar it lost";
    EXPECT_EQ(client_size(dialog_).cy, client.cy);

    ASSERT_TRUE(attach_menu(dialog_, menu_bar("&Edit")));
    EXPECT_EQ(window_size(dialog_).cy, window.cy) << "attach_menu keeps the window's size";
    EXPECT_EQ(client.cy - client_size(dialog_).cy, grown.cy - window.cy) << "and loses the bar's height";
    EXPECT_FALSE(attach_menu_keeping_client(nullptr, nullptr));
}

// A resizable dialog given its bar afterwards keeps its minimum client area,
// and its anchored controls end where they were. The bar wraps onto more
// lines at the least width than at a wide one: made that narrow from there,
// the dialog still keeps the minimum.
TEST_F(Layout, AMenuBarOnAResizableDialogKeepsItsControlsAndItsMinimum) {
    HWND button = add_button(10, 50, 20, 40, 14);
    set_control_anchors(dialog_, 10, kAnchorRight | kAnchorBottom);
    RECT designed = rect_in(dialog_, button);
    SIZE client = client_size(dialog_);
    ASSERT_TRUE(make_dialog_resizable(dialog_));
    HMENU bar = menu_bar("&File");
    for (const char* item : {"&Edit", "&View", "&Insert", "F&ormat", "&Help"}) AppendMenuA(bar, MF_STRING, 501, item);
    ASSERT_TRUE(attach_menu_keeping_client(dialog_, bar));
    RECT now = rect_in(dialog_, button);
    EXPECT_EQ(now.left, designed.left);
    EXPECT_EQ(now.top, designed.top);
    grow(dialog_, -100, -100);
    EXPECT_EQ(client_size(dialog_).cx, client.cx);
    EXPECT_EQ(client_size(dialog_).cy, client.cy) << "the minimum counts the bar";
    grow(dialog_, 600, 0);
    ASSERT_GT(client_size(dialog_).cy, client.cy) << "the bar takes fewer lines at the wide width";
    grow(dialog_, -600, -600);
    EXPECT_EQ(client_size(dialog_).cx, client.cx);
    EXPECT_EQ(client_size(dialog_).cy, client.cy) << "the minimum counts the bar as it wraps at the least width";
}

}  // namespace
