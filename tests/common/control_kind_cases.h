// The built-in control kinds as the tests expect them, written apart from the
// toolkit's own table so that the two are compared: shared by the host tests,
// the tests on the platform and the style fuzzer.
#pragma once

#include <cstdint>

#include "toolkit/control_kinds.h"

struct ControlKindCase {
    ControlKind kind;
    const char* class_name;       // as the toolkit names it; the platform reads it back in its own case
    std::uint32_t default_style;  // used for a style of 0
    std::uint32_t forced;         // always set
    std::uint32_t forbidden;      // always cleared
    // What a style and extended style of 0 give, for a control wider than
    // high (so the scroll bar is horizontal): the text box and the list box
    // trade their WS_BORDER for WS_EX_CLIENTEDGE.
    std::uint32_t from_zero_style;
    std::uint32_t from_zero_exstyle;
};

// clang-format off
inline constexpr ControlKindCase kControlKindCases[] = {
    // kind                  class        default     forced      forbidden   from 0      ex from 0
    {kPushButton,           "BUTTON",    0x50010000, 0x50000000, 0x00000000, 0x50010000, 0},
    {kThreeStateBox,        "BUTTON",    0x50010006, 0x50000006, 0xAFFCFFF9, 0x50010006, 0},
    {kCheckBox,             "BUTTON",    0x50010003, 0x50000003, 0xAFFCFFFC, 0x50010003, 0},
    {kGroupFrame,           "BUTTON",    0x50000007, 0x50000007, 0xAFFFFFF8, 0x50000007, 0},
    {kLabel,                "STATIC",    0x50000000, 0x50000000, 0x00000000, 0x50000000, 0},
    {kEtchedFrame,          "STATIC",    0x50000012, 0x50000000, 0x00000000, 0x50000012, 0},
    {kOptionButton,         "BUTTON",    0x50010009, 0x50000009, 0xAFFCFFF6, 0x50010009, 0},
    {kScrollBar,            "SCROLLBAR", 0x50000000, 0x50000000, 0x00000000, 0x50000000, 0},
    {kTextBox,              "EDIT",      0x50810080, 0x50000000, 0x00000000, 0x50010080, 0x200},
    {kImage,                "STATIC",    0x5000000E, 0x5000000E, 0x00000000, 0x5000000E, 0},
    {kStretchedImage,       "STATIC",    0x5000000E, 0x5000000E, 0x00000000, 0x5000000E, 0},
    {kImageButton,          "BUTTON",    0x50010080, 0x50000080, 0x00000000, 0x50010080, 0},
    {kStretchedImageButton, "BUTTON",    0x50010080, 0x50000080, 0x00000000, 0x50010080, 0},
    {kComboBox,             "COMBOBOX",  0x50010102, 0x50000000, 0x00000000, 0x50010102, 0},
    {kListBox,              "LISTBOX",   0x50A10003, 0x50000001, 0x00000000, 0x50210003, 0x200},
    {kListView,             "SysListView32",      0x5081000D, 0x50000001, 0x00000002, 0x5001000D, 0x200},
    {kProgressBar,          "msctls_progress32",  0x50000000, 0x50000000, 0x00000000, 0x50000000, 0},
    {kTabs,                 "SysTabControl32",    0x54010000, 0x50000000, 0x00000000, 0x54010000, 0},
    {kSlider,               "msctls_trackbar32",  0x50010000, 0x50000000, 0x00000000, 0x50010000, 0},
    {kUpDown,               "msctls_updown32",    0x500000B6, 0x50000000, 0x00000000, 0x500000B6, 0},
    {kStatusBar,            "msctls_statusbar32", 0x50000000, 0x50000000, 0x00000000, 0x50000000, 0},
};
// clang-format on
static_assert(
    [] {
        ControlKind k = 1;
        for (const ControlKindCase& c : kControlKindCases)
            if (c.kind != k++) return false;
        return k == kLastControlKind + 1;
    }(),
    "one case for each built-in kind, in kind order");

// The case of a built-in kind (1 to 21).
inline const ControlKindCase& control_kind_case(ControlKind kind) { return kControlKindCases[kind - 1]; }
