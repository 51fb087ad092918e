// The in-memory dialog template: the platform's plain DLGTEMPLATE with no
// items, a title widened byte by byte, and the font 8-point "MS Sans Serif".
#pragma once

#include <cstdint>

constexpr std::uint32_t kDefaultDialogStyle =
    0x80C000D4;  // WS_POPUP|WS_CAPTION|DS_MODALFRAME|DS_SETFONT|DS_NOFAILCREATE|DS_3DLOOK
constexpr std::uint32_t kForcedDialogStyle = 0x00000054;   // DS_SETFONT|DS_NOFAILCREATE|DS_3DLOOK
constexpr std::uint32_t kClearedDialogStyle = 0x10000002;  // WS_VISIBLE|DS_SYSMODAL
constexpr std::uint32_t kCentredDialogStyle = 0x00000800;  // DS_CENTER

// A title keeps at most 256 characters: a character is a byte that does not
// continue a UTF-8 sequence (10xxxxxx) with the bytes that continue it, so an
// ASCII title keeps 256 bytes and a cut never falls inside a character. At
// most 1,024 bytes, the longest 256 characters, whatever the bytes.
constexpr std::uint32_t kMaxTitleCharacters = 256;
constexpr std::uint32_t kMaxTitleUnits = 4 * kMaxTitleCharacters;
// 54 + 2n bytes for n title units: 2,102 for the longest title.
constexpr std::uint32_t kMaxDialogTemplate = 54 + 2 * kMaxTitleUnits;

// Storage for one template, aligned as the platform requires, and the title's
// bytes the template took, zero-terminated: the platform reads those in the
// program's code page, where the template's units widen them byte by byte.
struct alignas(4) DialogTemplate {
    unsigned char bytes[kMaxDialogTemplate];
    char title[kMaxTitleUnits + 1];
};

// The style written into the template: 0 selects the default; the forced bits
// are set and the cleared bits cleared; -1 in x or y adds DS_CENTER.
std::uint32_t compute_dialog_style(std::uint32_t style, std::int32_t x, std::int32_t y);

// The number of title units for a title of n bytes: the bytes before the first
// zero byte, cut after 256 characters; an empty title is one blank.
std::uint32_t dialog_title_units(const char* title, std::uint32_t n);

// Writes the template and its title, and gives the template's length in bytes
// (54 + 2 x title units).
std::uint32_t build_dialog_template(DialogTemplate& out, const char* title, std::uint32_t title_length, std::int32_t x,
                                    std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t style,
                                    std::uint32_t exstyle);
