// Geometry on the real platform: dialogs and controls are measured and moved in
// dialog units, and every result is checked against the platform's own pixels
// (GetWindowRect, GetClientRect, ClientToScreen) converted with the scale that
// MapDialogRect gives, rounded exactly here.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

#include "../common/win32_testing.h"
#include "toolkit/toolkit.h"

// Found by argument-dependent lookup: UnitPair lives in the global namespace.
bool operator==(UnitPair a, UnitPair b) { return a.horizontal == b.horizontal && a.vertical == b.vertical; }

std::ostream& operator<<(std::ostream& os, UnitPair p) {
    return os << "(" << p.horizontal << ", " << p.vertical << ")";
}

namespace {

UnitPair pair(std::int32_t h, std::int32_t v) { return {h, v}; }

// The pixels of 1000 x 1000 dialog units of the window, as MapDialogRect says.
UnitPair scale_of(HWND window) {
    RECT r = {0, 0, 1000, 1000};
    MapDialogRect(window, &r);
    return {r.right, r.bottom};
}

// pixels x 1000 / scale to the nearest integer, halves away from zero, in
// exact 64-bit arithmetic.
std::int32_t exact_units(std::int32_t pixels, std::int32_t scale) {
    std::int64_t n = static_cast<std::int64_t>(pixels) * 1000;
    std::int64_t d = scale;
    std::int64_t magnitude = ((n < 0 ? -n : n) * 2 + d) / (2 * d);
    return static_cast<std::int32_t>(n < 0 ? -magnitude : magnitude);
}

UnitPair exact_units(UnitPair pixels, UnitPair scale) {
    return {exact_units(pixels.horizontal, scale.horizontal), exact_units(pixels.vertical, scale.vertical)};
}

UnitPair mapped(HWND dialog, std::int32_t x, std::int32_t y) {
    RECT r = {0, 0, x, y};
    MapDialogRect(dialog, &r);
    return {r.right, r.bottom};
}

RECT window_rect(HWND w) {
    RECT r = {0, 0, 0, 0};
    GetWindowRect(w, &r);
    return r;
}

UnitPair corner_of(HWND w) {
    RECT r = window_rect(w);
    return {r.left, r.top};
}

UnitPair size_of(HWND w) {
    RECT r = window_rect(w);
    return {r.right - r.left, r.bottom - r.top};
}

// The window's top-left corner in the client coordinates of another window.
UnitPair corner_in_client_of(HWND w, HWND reference) {
    RECT r = window_rect(w);
    POINT p = {r.left, r.top};
    ScreenToClient(reference, &p);
    return {p.x, p.y};
}

UnitPair client_origin(HWND w) {
    POINT p = {0, 0};
    ClientToScreen(w, &p);
    return {p.x, p.y};
}

void move_to_pixels(HWND w, int x, int y) { SetWindowPos(w, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER); }

class GeometryTest : public ::testing::Test {
protected:
    void SetUp() override { start_runtime_for_test(); }
    void TearDown() override {
        // Owned windows first: they go with their owner anyway.
        for (auto it = windows_.rbegin(); it != windows_.rend(); ++it) DestroyWindow(*it);
        pump_messages();
    }

    HWND make_dialog(HWND owner = nullptr, std::int32_t width = 160, std::int32_t height = 80) {
        ProcFrame f;
        push_empty(f);
        HWND dialog = create_dialog(f, owner, 10, 10, width, height, 0, 0);
        EXPECT_NE(dialog, nullptr) << "create_dialog failed";
        windows_.push_back(dialog);
        return dialog;
    }
    HWND add_label(HWND dialog, std::int32_t id, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
        ProcFrame f;
        push_empty(f);
        push_copy(f, "Label", 5);
        HWND control = add_control(f, dialog, id, nullptr, x, y, w, h, 0, 0, nullptr, kLabel);
        EXPECT_NE(control, nullptr) << "add_control failed";
        return control;
    }
    // A dialog at a known place with labels 101, 102 and 103 side by side,
    // so that 102 has neighbours on both sides in the z-order.
    HWND dialog_with_three_labels() {
        HWND d = make_dialog();
        move_to_pixels(d, 180, 110);
        add_label(d, 101, 4, 4, 30, 10);
        add_label(d, 102, 40, 4, 30, 10);
        add_label(d, 103, 80, 4, 30, 10);
        return d;
    }
    // A top-level window that is no dialog: MapDialogRect has no dialog font
    // to scale with on it.
    HWND make_plain_window() {
        HWND w = CreateWindowExA(0, "STATIC", "plain", WS_POPUP | WS_CAPTION, 150, 120, 300, 200, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
        EXPECT_NE(w, nullptr);
        windows_.insert(windows_.begin(), w);  // destroyed after what it owns
        return w;
    }

private:
    std::vector<HWND> windows_;
};

// ---- conversions -----------------------------------------------------------------

TEST_F(GeometryTest, ScaleOfTheDialogConvertsBackToThousandUnits) {
    HWND dialog = make_dialog();
    UnitPair s = scale_of(dialog);
    std::cout << "[ info     ] dialog scale " << s << " (pixels of 1000 x 1000 dialog units)\n";
    EXPECT_GT(s.horizontal, 1000) << "a dialog unit is more than a pixel wide with the dialog font";
    EXPECT_GT(s.vertical, 1000);
    EXPECT_EQ(pixels_to_dialog_units(dialog, s.horizontal, s.vertical), pair(1000, 1000));
    EXPECT_EQ(dialog_units_to_pixels(dialog, 1000, 1000), s);
}

TEST_F(GeometryTest, DialogUnitsToPixelsIsMapDialogRect) {
    HWND dialog = make_dialog();
    const UnitPair units[] = {{0, 0},    {1, 1},   {2, 3},   {3, 2},      {4, 8},           {7, 13},     {10, 20},
                              {160, 80}, {-1, -1}, {-7, -5}, {1001, 999}, {100000, 100000}, {-100000, 3}};
    for (UnitPair u : units) {
        SCOPED_TRACE(testing::Message() << "units " << u);
        EXPECT_EQ(dialog_units_to_pixels(dialog, u.horizontal, u.vertical), mapped(dialog, u.horizontal, u.vertical));
    }
    EXPECT_EQ(dialog_units_to_pixels(dialog, INT32_MAX, INT32_MIN), pair(INT32_MAX, INT32_MIN))
        << "beyond 32 bits it saturates, where MapDialogRect gives -1";
}

TEST_F(GeometryTest, PixelsToDialogUnitsRoundsTheDialogScaleExactly) {
    HWND dialog = make_dialog();
    UnitPair s = scale_of(dialog);
    for (std::int32_t p = -200; p <= 200; ++p) {
        UnitPair got = pixels_to_dialog_units(dialog, p, -p);
        ASSERT_EQ(got, pair(exact_units(p, s.horizontal), exact_units(-p, s.vertical))) << "pixels " << p;
    }
    const std::int32_t large[] = {2147483, -2147483, 1000000, -1000000, 1750, 1625};
    for (std::int32_t p : large) {
        EXPECT_EQ(pixels_to_dialog_units(dialog, p, p), pair(exact_units(p, s.horizontal), exact_units(p, s.vertical)))
            << "pixels " << p;
    }
}

TEST_F(GeometryTest, UnitsSurviveTheRoundTripThroughPixels) {
    HWND dialog = make_dialog();
    for (std::int32_t u = -300; u <= 300; ++u) {
        UnitPair px = dialog_units_to_pixels(dialog, u, -u);
        ASSERT_EQ(pixels_to_dialog_units(dialog, px.horizontal, px.vertical), pair(u, -u)) << "units " << u;
    }
}

// ---- sizes ------------------------------------------------------------------------

TEST_F(GeometryTest, WindowSizeIncludesCaptionAndFrameClientSizeDoesNot) {
    HWND dialog = make_dialog(nullptr, 160, 80);
    UnitPair s = scale_of(dialog);
    RECT client = {0, 0, 0, 0};
    GetClientRect(dialog, &client);
    UnitPair client_units = get_client_size(dialog);
    EXPECT_EQ(client_units, exact_units(pair(client.right, client.bottom), s));
    EXPECT_EQ(client_units, pair(160, 80)) << "the template's size is the client area";

    UnitPair window_units = get_window_size(dialog, -1);
    EXPECT_EQ(window_units, exact_units(size_of(dialog), s));
    std::int32_t caption = exact_units(GetSystemMetrics(SM_CYCAPTION), s.vertical);
    EXPECT_GE(window_units.vertical - client_units.vertical, caption) << "the caption is part of the window size";
    EXPECT_GT(window_units.horizontal, client_units.horizontal) << "the frame is part of the window size";
}

TEST_F(GeometryTest, WindowSizeOfControlIsItsOuterSize) {
    HWND dialog = make_dialog();
    HWND label = add_label(dialog, 101, 12, 34, 40, 14);
    UnitPair got = get_window_size(dialog, 101);
    EXPECT_EQ(got, exact_units(size_of(label), scale_of(dialog)));
    EXPECT_NEAR(got.horizontal, 40, 1);
    EXPECT_NEAR(got.vertical, 14, 1);
}

// ---- locations --------------------------------------------------------------------

TEST_F(GeometryTest, ControlLocationIsRelativeToTheDialogClientArea) {
    HWND dialog = make_dialog();
    move_to_pixels(dialog, 211, 137);
    HWND label = add_label(dialog, 101, 12, 34, 40, 14);
    UnitPair got = get_window_location(dialog, 101);
    EXPECT_EQ(got, exact_units(corner_in_client_of(label, dialog), scale_of(dialog)));
    EXPECT_EQ(got, pair(12, 34));

    UnitPair size_before = size_of(label);
    EXPECT_NE(set_window_location(dialog, 101, 50, 7), 0);
    EXPECT_EQ(corner_in_client_of(label, dialog), mapped(dialog, 50, 7)) << "client pixels of the dialog";
    EXPECT_EQ(size_of(label), size_before);
    EXPECT_EQ(get_window_location(dialog, 101), pair(50, 7));

    // Setting what was read leaves the control where it is.
    UnitPair corner = corner_of(label);
    UnitPair read = get_window_location(dialog, 101);
    EXPECT_NE(set_window_location(dialog, 101, read.horizontal, read.vertical), 0);
    EXPECT_EQ(corner_of(label), corner);
}

TEST_F(GeometryTest, UnownedDialogLocationIsItsScreenPositionInItsOwnUnits) {
    HWND dialog = make_dialog();
    move_to_pixels(dialog, 123, 77);
    ASSERT_EQ(corner_of(dialog), pair(123, 77));
    EXPECT_EQ(get_window_location(dialog, -1), exact_units(pair(123, 77), scale_of(dialog)));

    EXPECT_NE(set_window_location(dialog, -1, 40, 30), 0);
    EXPECT_EQ(corner_of(dialog), mapped(dialog, 40, 30)) << "screen pixels";
    EXPECT_EQ(get_window_location(dialog, -1), pair(40, 30));

    UnitPair read = get_window_location(dialog, -1);
    EXPECT_NE(set_window_location(dialog, -1, read.horizontal, read.vertical), 0);
    EXPECT_EQ(corner_of(dialog), mapped(dialog, 40, 30)) << "setting what was read keeps the dialog in place";
}

// An owned dialog reads relative to its owner's client area, with the owner's
// scale, but is set in screen coordinates with its own scale.
TEST_F(GeometryTest, OwnedDialogLocationIsRelativeToTheOwnerClientArea) {
    enum OwnerKind { kDialogOwner, kPlainOwner };
    for (OwnerKind kind : {kDialogOwner, kPlainOwner}) {
        SCOPED_TRACE(kind == kDialogOwner ? "owned by a dialog" : "owned by a window that is no dialog");
        HWND owner = kind == kDialogOwner ? make_dialog() : make_plain_window();
        move_to_pixels(owner, 200, 150);
        HWND dialog = make_dialog(owner);
        ASSERT_EQ(reinterpret_cast<HWND>(GetWindowLongPtrA(dialog, GWLP_HWNDPARENT)), owner);
        move_to_pixels(dialog, 290, 260);
        UnitPair origin = client_origin(owner);
        UnitPair owner_scale = scale_of(owner);
        if (kind == kPlainOwner) {
            std::cout << "[ info     ] scale of a window that is no dialog " << owner_scale << "\n";
            EXPECT_NE(owner_scale.horizontal, scale_of(dialog).horizontal) << "the owner's scale must differ here";
        }

        UnitPair read = get_window_location(dialog, -1);
        UnitPair relative = {290 - origin.horizontal, 260 - origin.vertical};
        EXPECT_EQ(read, exact_units(relative, owner_scale)) << "owner client origin " << origin;

        EXPECT_NE(set_window_location(dialog, -1, read.horizontal, read.vertical), 0);
        EXPECT_EQ(corner_of(dialog), mapped(dialog, read.horizontal, read.vertical)) << "screen pixels, own scale";
        if (kind == kDialogOwner) {
            // Same scale: the dialog moved by the owner's client origin, up to rounding.
            EXPECT_NEAR(corner_of(dialog).horizontal, 290 - origin.horizontal, 1);
            EXPECT_NEAR(corner_of(dialog).vertical, 260 - origin.vertical, 1);
        }
    }
}

// ---- moving and resizing ------------------------------------------------------------

// The neighbours of a window in the z-order.
struct ZPlace {
    HWND previous;
    HWND next;
    bool operator==(const ZPlace& o) const { return previous == o.previous && next == o.next; }
};
ZPlace z_place(HWND w) { return {GetWindow(w, GW_HWNDPREV), GetWindow(w, GW_HWNDNEXT)}; }

TEST_F(GeometryTest, SetWindowSizeKeepsPositionAndZOrder) {
    for (std::int32_t id : {102, -1}) {
        SCOPED_TRACE(id == -1 ? "the dialog" : "a control");
        HWND dialog = dialog_with_three_labels();
        HWND target = find_target_window(dialog, id);
        UnitPair corner = corner_of(target);
        ZPlace z = z_place(target);
        EXPECT_NE(set_window_size(dialog, id, 61, 23), 0);
        EXPECT_EQ(size_of(target), mapped(dialog, 61, 23));
        EXPECT_EQ(corner_of(target), corner);
        EXPECT_TRUE(z_place(target) == z) << "z-order changed";
        EXPECT_EQ(get_window_size(dialog, id), pair(61, 23));
    }
}

TEST_F(GeometryTest, SetWindowLocationKeepsSizeAndZOrder) {
    for (std::int32_t id : {102, -1}) {
        SCOPED_TRACE(id == -1 ? "the dialog" : "a control");
        HWND dialog = dialog_with_three_labels();
        HWND target = find_target_window(dialog, id);
        UnitPair size = size_of(target);
        ZPlace z = z_place(target);
        EXPECT_NE(set_window_location(dialog, id, 33, 21), 0);
        EXPECT_EQ(size_of(target), size);
        EXPECT_TRUE(z_place(target) == z) << "z-order changed";
        EXPECT_EQ(get_window_location(dialog, id), pair(33, 21));
    }
}

TEST_F(GeometryTest, MissingControlGivesZerosAndSettersFail) {
    HWND dialog = make_dialog();
    move_to_pixels(dialog, 180, 110);
    HWND label = add_label(dialog, 101, 12, 34, 40, 14);
    RECT dialog_before = window_rect(dialog);
    RECT label_before = window_rect(label);
    EXPECT_EQ(find_target_window(dialog, 999), nullptr);
    EXPECT_EQ(get_window_size(dialog, 999), pair(0, 0));
    EXPECT_EQ(get_window_location(dialog, 999), pair(0, 0));
    EXPECT_EQ(set_window_size(dialog, 999, 50, 50), 0);
    EXPECT_EQ(set_window_location(dialog, 999, 50, 50), 0);
    RECT dialog_after = window_rect(dialog);
    RECT label_after = window_rect(label);
    EXPECT_TRUE(EqualRect(&dialog_before, &dialog_after)) << "the dialog moved";
    EXPECT_TRUE(EqualRect(&label_before, &label_after)) << "the control moved";
}

TEST_F(GeometryTest, TargetIsTheDialogForMinusOneAndTheControlOtherwise) {
    HWND dialog = make_dialog();
    HWND label = add_label(dialog, 101, 12, 34, 40, 14);
    HWND zero_id = add_label(dialog, 0, 60, 34, 40, 14);
    EXPECT_EQ(find_target_window(dialog, -1), dialog);
    EXPECT_EQ(find_target_window(dialog, 101), label);
    EXPECT_EQ(find_target_window(dialog, 0), zero_id);
}

}  // namespace
