// Control kinds: the table of built-in kinds 1 to 15 and the style rules that
// turn a caller's style into the style a control is created with.
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
};
constexpr ControlKind kLastControlKind = 15;

struct ControlKindRow {
    std::uint32_t default_style;  // used when the caller's style is 0
    std::uint32_t forced;         // always set
    std::uint32_t forbidden;      // always cleared
    const char* class_name;
};

// Row k - 1 describes kind k.
extern const ControlKindRow ControlKindTable[kLastControlKind];

struct ControlStyle {
    std::uint32_t style;
    std::uint32_t exstyle;
    const char* class_name;  // null for a kind without a row
};

// The class, style and extended style a control of this kind is created with,
// given the caller's style and exstyle and the control's size in pixels. Kind 0
// takes custom_class and the caller's words unchanged. The image kinds' icon
// fallback is applied separately (image_fallback_style).
ControlStyle compute_control_style(ControlKind kind, std::uint32_t style, std::uint32_t exstyle,
                                   std::int32_t pixel_width, std::int32_t pixel_height, const char* custom_class);

// True for the kinds that show an image named by their text (10 to 13).
bool is_image_kind(ControlKind kind);
// The style of an image kind when no bitmap of its name exists: SS_BITMAP
// becomes SS_ICON for images, BS_BITMAP becomes BS_ICON for image buttons.
std::uint32_t image_fallback_style(ControlKind kind, std::uint32_t style);
