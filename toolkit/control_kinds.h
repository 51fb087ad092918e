// Control kinds: the table of built-in kinds 1 to 21 and the style rules that
// turn a caller's style into the style a control is created with. Kinds 1 to
// 15 are the dialog manager's own classes; 16 to 21 are the common controls,
// whose library add_control loads the first time a program makes one.
#pragma once

#include <cstdint>

using ControlKind = std::uint32_t;

enum : ControlKind {
    kCustom = 0,
    kPushButton = 1,
    kThreeStateBox = 2,
    kCheckBox = 3,
    kGroupFrame = 4,
    kLabel = 5,
    kEtchedFrame = 6,
    kOptionButton = 7,
    kScrollBar = 8,
    kTextBox = 9,
    kImage = 10,
    kStretchedImage = 11,
    kImageButton = 12,
    kStretchedImageButton = 13,
    kComboBox = 14,
    kListBox = 15,
    kListView = 16,
    kProgressBar = 17,
    kTabs = 18,
    kSlider = 19,
    kUpDown = 20,
    kStatusBar = 21,
};
constexpr ControlKind kLastClassicKind = kListBox;
constexpr ControlKind kLastControlKind = kStatusBar;

struct ControlKindRow {
    std::uint32_t default_style;  // used when the caller's style is 0
    std::uint32_t forced;         // always set
    std::uint32_t forbidden;      // always cleared
    const char* class_name;
};

// Row k - 1 describes kind k (1 to 15).
extern const ControlKindRow ControlKindTable[kLastClassicKind];
// The common controls, in the same form: row k - 16 describes kind k (16 to 21).
extern const ControlKindRow CommonControlKindTable[kLastControlKind - kLastClassicKind];

// The row of a built-in kind; null for kind 0 and for kinds above 21. Inline,
// so that a call with a constant kind names only the table that kind is in.
inline const ControlKindRow* control_kind_row(ControlKind kind) {
    if (kind - 1 < kLastClassicKind) return &ControlKindTable[kind - 1];
    if (kind - (kLastClassicKind + 1) < kLastControlKind - kLastClassicKind)
        return &CommonControlKindTable[kind - (kLastClassicKind + 1)];
    return nullptr;
}

struct ControlStyle {
    std::uint32_t style;
    std::uint32_t exstyle;
    const char* class_name;  // null for a kind without a row
};

// The class, style and extended style a control of this kind is created with,
// given its row (control_kind_row), the caller's style and exstyle and the
// control's size in pixels. Kind 0 takes custom_class and the caller's words
// unchanged; any other kind without a row gets no class. The image kinds' icon
// fallback is applied separately (image_fallback_style).
ControlStyle compute_row_style(ControlKind kind, const ControlKindRow* row, std::uint32_t style, std::uint32_t exstyle,
                               std::int32_t pixel_width, std::int32_t pixel_height, const char* custom_class);

inline ControlStyle compute_control_style(ControlKind kind, std::uint32_t style, std::uint32_t exstyle,
                                          std::int32_t pixel_width, std::int32_t pixel_height,
                                          const char* custom_class) {
    return compute_row_style(kind, control_kind_row(kind), style, exstyle, pixel_width, pixel_height, custom_class);
}

// True for the kinds that show an image named by their text (10 to 13).
bool is_image_kind(ControlKind kind);
// The style of an image kind when no bitmap of its name exists: SS_BITMAP
// becomes SS_ICON for images, BS_BITMAP becomes BS_ICON for image buttons.
std::uint32_t image_fallback_style(ControlKind kind, std::uint32_t style);
