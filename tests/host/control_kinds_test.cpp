// The style rules of the control kinds, walked from an independent copy of
// the kind table.
#include <gtest/gtest.h>

#include <string>

#include "tests/common/control_kind_cases.h"
#include "toolkit/control_kinds.h"

namespace {

TEST(ControlStyle, StyleZeroGivesTheResultingStyleOfEveryKind) {
    for (const ControlKindCase& row : kControlKindCases) {
        ControlStyle s = compute_control_style(row.kind, 0, 0, 100, 20, "ignored");
        EXPECT_EQ(s.style, row.from_zero_style) << "kind " << row.kind;
        EXPECT_EQ(s.exstyle, row.from_zero_exstyle) << "kind " << row.kind;
        ASSERT_NE(s.class_name, nullptr) << "kind " << row.kind;
        EXPECT_EQ(std::string(s.class_name), row.class_name) << "kind " << row.kind;
    }
}

TEST(ControlStyle, EveryBuiltInKindIsAVisibleChildWithoutOverlappingMasks) {
    for (ControlKind k = 1; k <= kLastControlKind; ++k) {
        const ControlKindRow& row = *control_kind_row(k);
        EXPECT_EQ(row.forced & 0x50000000u, 0x50000000u) << "kind " << k;
        EXPECT_EQ(row.forced & row.forbidden, 0u) << "kind " << k;
        // Whatever the caller passes, WS_CHILD|WS_VISIBLE stay.
        EXPECT_EQ(compute_control_style(k, 0x00000001, 0, 1, 1, "").style & 0x50000000u, 0x50000000u) << k;
    }
}

TEST(ControlStyle, ScrollBarIsVerticalExactlyWhenNarrowerThanHigh) {
    EXPECT_EQ(compute_control_style(kScrollBar, 0, 0, 10, 100, "").style, 0x50000001u);
    EXPECT_EQ(compute_control_style(kScrollBar, 0, 0, 100, 10, "").style, 0x50000000u);
    EXPECT_EQ(compute_control_style(kScrollBar, 0, 0, 20, 20, "").style, 0x50000000u) << "square stays horizontal";
    EXPECT_EQ(compute_control_style(kScrollBar, 0, 0, -5, 3, "").style, 0x50000001u) << "signed comparison";
    // A given style decides by its own SBS_VERT bit alone.
    EXPECT_EQ(compute_control_style(kScrollBar, 0x50000000, 0, 10, 100, "").style, 0x50000000u);
    EXPECT_EQ(compute_control_style(kScrollBar, 0x50000001, 0, 100, 10, "").style, 0x50000001u);
}

TEST(ControlStyle, BorderBecomesClientEdgeOnlyForAZeroStyle) {
    ControlStyle given = compute_control_style(kTextBox, 0x50810080, 0x4, 10, 10, "");
    EXPECT_EQ(given.style, 0x50810080u) << "a given WS_BORDER stays";
    EXPECT_EQ(given.exstyle, 0x4u) << "and no extended style is added";
    ControlStyle zero = compute_control_style(kTextBox, 0, 0x4, 10, 10, "");
    EXPECT_EQ(zero.style, 0x50010080u);
    EXPECT_EQ(zero.exstyle, 0x204u) << "added to what was passed";
    EXPECT_EQ(compute_control_style(kComboBox, 0, 0, 10, 10, "").exstyle, 0u) << "the combo default has no border";
}

struct GivenRow {
    ControlKind kind;
    std::uint32_t given;
    std::uint32_t result;
};

const GivenRow kGiven[] = {
    {kPushButton, 0x00000001, 0x50000001},     // default push button, no WS_TABSTOP
    {kThreeStateBox, 0x08000020, 0x50000006},  // WS_DISABLED and BS_LEFTTEXT stripped
    {kThreeStateBox, 0x00030000, 0x50030006},  // WS_GROUP|WS_TABSTOP may remain
    {kCheckBox, 0xFFFFFFFF, 0x50030003},       // button type forced to 3
    {kGroupFrame, 0x00030000, 0x50000007},     // never WS_TABSTOP or WS_GROUP
    {kGroupFrame, 0xFFFFFFFF, 0x50000007},    {kOptionButton, 0x00000002, 0x50000009},  // button type forced to 9
    {kListBox, 0x50000000, 0x50000001},  // LBS_NOTIFY forced; no border, scroll bar, sorting
    {kLabel, 0x08000001, 0x58000001},    // no forbidden bits: the caller's stay
    {kImage, 0x00000001, 0x5000000F},    // SS_BITMAP forced in
};

TEST(ControlStyle, GivenStylesGetForcedBitsAndLoseForbiddenOnes) {
    for (const GivenRow& row : kGiven) {
        ControlStyle s = compute_control_style(row.kind, row.given, 0, 50, 10, "");
        EXPECT_EQ(s.style, row.result) << "kind " << row.kind << std::hex << " given " << row.given;
        EXPECT_EQ(s.exstyle, 0u);
    }
}

TEST(ControlStyle, CustomKindTakesTheCallersClassAndWordsUnchanged) {
    ControlStyle zero = compute_control_style(kCustom, 0, 0, 10, 100, "MyClass");
    EXPECT_EQ(zero.style, 0u) << "no WS_CHILD or WS_VISIBLE added";
    EXPECT_EQ(zero.exstyle, 0u);
    EXPECT_EQ(std::string(zero.class_name), "MyClass");
    ControlStyle some = compute_control_style(kCustom, 0x12345678, 0x9, 10, 10, "X");
    EXPECT_EQ(some.style, 0x12345678u);
    EXPECT_EQ(some.exstyle, 0x9u);
}

TEST(ControlStyle, KindsAbove21HaveNoClass) {
    EXPECT_EQ(compute_control_style(22, 0, 0, 1, 1, "X").class_name, nullptr);
    EXPECT_EQ(compute_control_style(0xFFFFFFFF, 0, 0, 1, 1, "X").class_name, nullptr);
}

TEST(ControlStyle, ImageFallbackSwapsBitmapForIcon) {
    EXPECT_EQ(image_fallback_style(kImage, 0x5000000E), 0x50000003u);
    EXPECT_EQ(image_fallback_style(kStretchedImage, 0x5000000E), 0x50000003u);
    EXPECT_EQ(image_fallback_style(kImageButton, 0x50010080), 0x50010040u);
    EXPECT_EQ(image_fallback_style(kStretchedImageButton, 0x50010080), 0x50010040u);
    EXPECT_EQ(image_fallback_style(kLabel, 0x5000000E), 0x5000000Eu) << "only image kinds fall back";
    for (ControlKind k = 0; k <= 16; ++k) EXPECT_EQ(is_image_kind(k), k >= 10 && k <= 13) << k;
}

}  // namespace
