#include "toolkit/control_kinds.h"

namespace {

constexpr std::uint32_t kWsBorder = 0x00800000;
constexpr std::uint32_t kWsExClientEdge = 0x00000200;
constexpr std::uint32_t kSbsVert = 0x00000001;
constexpr std::uint32_t kSsTypeMask = 0x0000000E;
constexpr std::uint32_t kSsIcon = 0x00000003;
constexpr std::uint32_t kBsBitmap = 0x00000080;
constexpr std::uint32_t kBsIcon = 0x00000040;

}  // namespace

// clang-format off
const ControlKindRow ControlKindTable[kLastClassicKind] = {
    // default     forced      forbidden   class
    {0x50010000, 0x50000000, 0x00000000, "BUTTON"},     //  1 push button: WS_TABSTOP|BS_PUSHBUTTON
    {0x50010006, 0x50000006, 0xAFFCFFF9, "BUTTON"},     //  2 3-state box: WS_TABSTOP|BS_AUTO3STATE
    {0x50010003, 0x50000003, 0xAFFCFFFC, "BUTTON"},     //  3 check box: WS_TABSTOP|BS_AUTOCHECKBOX
    {0x50000007, 0x50000007, 0xAFFFFFF8, "BUTTON"},     //  4 group frame: BS_GROUPBOX
    {0x50000000, 0x50000000, 0x00000000, "STATIC"},     //  5 label: SS_LEFT
    {0x50000012, 0x50000000, 0x00000000, "STATIC"},     //  6 etched frame: SS_ETCHEDFRAME
    {0x50010009, 0x50000009, 0xAFFCFFF6, "BUTTON"},     //  7 option button: WS_TABSTOP|BS_AUTORADIOBUTTON
    {0x50000000, 0x50000000, 0x00000000, "SCROLLBAR"},  //  8 scroll bar: SBS_HORZ
    {0x50810080, 0x50000000, 0x00000000, "EDIT"},       //  9 text box: WS_BORDER|WS_TABSTOP|ES_AUTOHSCROLL
    {0x5000000E, 0x5000000E, 0x00000000, "STATIC"},     // 10 image: SS_BITMAP
    {0x5000000E, 0x5000000E, 0x00000000, "STATIC"},     // 11 stretched image: SS_BITMAP
    {0x50010080, 0x50000080, 0x00000000, "BUTTON"},     // 12 image button: WS_TABSTOP|BS_BITMAP
    {0x50010080, 0x50000080, 0x00000000, "BUTTON"},     // 13 stretched image button: WS_TABSTOP|BS_BITMAP
    {0x50010102, 0x50000000, 0x00000000, "COMBOBOX"},   // 14 combo box: WS_TABSTOP|CBS_SORT|CBS_DROPDOWN
    {0x50A10003, 0x50000001, 0x00000000, "LISTBOX"},    // 15 list box: WS_BORDER|WS_VSCROLL|WS_TABSTOP|LBS_SORT|LBS_NOTIFY
};
// clang-format on

ControlStyle compute_row_style(ControlKind kind, const ControlKindRow* row, std::uint32_t style, std::uint32_t exstyle,
                               std::int32_t pixel_width, std::int32_t pixel_height, const char* custom_class) {
    if (kind == kCustom) return {style, exstyle, custom_class};
    if (row == nullptr) return {style, exstyle, nullptr};
    if (style == 0) {
        style = row->default_style;
        if (kind == kScrollBar && pixel_width < pixel_height) style |= kSbsVert;
        if ((kind == kTextBox || kind == kComboBox || kind == kListBox || kind == kListView) && (style & kWsBorder)) {
            style &= ~kWsBorder;
            exstyle |= kWsExClientEdge;
        }
    }
    style = (style | row->forced) & ~row->forbidden;
    return {style, exstyle, row->class_name};
}

bool is_image_kind(ControlKind kind) { return kind >= kImage && kind <= kStretchedImageButton; }

std::uint32_t image_fallback_style(ControlKind kind, std::uint32_t style) {
    if (kind == kImage || kind == kStretchedImage) return (style & ~kSsTypeMask) | kSsIcon;
    if (kind == kImageButton || kind == kStretchedImageButton) return (style & ~kBsBitmap) | kBsIcon;
    return style;
}
