// The in-memory dialog template: the platform's plain DLGTEMPLATE with no
// items, a title widened byte by byte, and the font 8-point "MS Sans Serif".
#pragma once

#include <cstdint>

constexpr std::uint32_t kDefaultDialogStyle =
    0x80C000D4;  // WS_POPUP|WS_CAPTION|DS_MODALFRAME|DS_SETFONT|DS_NOFAILCREATE|DS_3DLOOK
constexpr std::uint32_t kForcedDialogStyle = 0x00000054;   // DS_SETFONT|DS_NOFAILCREATE|DS_3DLOOK
constexpr std::uint32_t kClearedDialogStyle = 0x10000002;  // WS_VISIBLE|DS_SYSMODAL
constexpr std::uint32_t kCentredDialogStyle = 0x00000800;  // DS_CENTER

constexpr std::uint32_t kMaxTitleUnits = 256;
// 54 + 2n bytes for n title units: 566 for the longest title.
constexpr std::uint32_t kMaxDialogTemplate = 54 + 2 * kMaxTitleUnits;

// Storage for one template, aligned as the platform requires.
struct alignas(4) DialogTemplate {
    unsigned char bytes[kMaxDialogTemplate];
};

// The style written into the template: 0 selects the default; the forced bits
// are set and the cleared bits cleared; -1 in x or y adds DS_CENTER.
std::uint32_t compute_dialog_style(std::uint32_t style, std::int32_t x, std::int32_t y);

// The number of title units for a title of n bytes: the bytes before the first
// zero byte, at most 256; an empty title is one blank.
std::uint32_t dialog_title_units(const char* title, std::uint32_t n);

// Writes the template and gives its length in bytes (54 + 2 x title units).
std::uint32_t build_dialog_template(DialogTemplate& out, const char* title, std::uint32_t title_length, std::int32_t x,
                                    std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t style,
                                    std::uint32_t exstyle);
