#include "toolkit/dialog_template.h"

#include <cstddef>

namespace {

constexpr char kTypeface[] = "MS Sans Serif";
constexpr std::uint16_t kPointSize = 8;

// Header fields of DLGTEMPLATE as one record, before the variable parts.
struct __attribute__((packed)) TemplateHeader {
    std::uint32_t style;
    std::uint32_t exstyle;
    std::uint16_t item_count;
    std::int16_t x;
    std::int16_t y;
    std::uint16_t cx;
    std::uint16_t cy;
    std::uint16_t menu;
    std::uint16_t window_class;
};
static_assert(sizeof(TemplateHeader) == 22, "DLGTEMPLATE's fixed part is 22 bytes");

// What follows the title's units: its zero unit, the point size and the
// typeface with its zero unit, as little-endian 16-bit units laid out at
// compile time, so that building a template copies them in one piece.
struct TemplateTail {
    unsigned char bytes[2 + 2 + 2 * sizeof kTypeface];
};
constexpr TemplateTail make_tail() {
    TemplateTail t{};
    t.bytes[2] = static_cast<unsigned char>(kPointSize & 0xFF);
    t.bytes[3] = static_cast<unsigned char>(kPointSize >> 8);
    for (std::size_t i = 0; i < sizeof kTypeface; ++i) t.bytes[4 + 2 * i] = static_cast<unsigned char>(kTypeface[i]);
    return t;
}
constexpr TemplateTail kTail = make_tail();

// The bytes of the first 256 characters of a title of n bytes: a character
// begins at a byte that does not continue one (not 10xxxxxx, which as a
// signed byte is below -0x40). Only a title longer than 256 bytes can hold
// more characters, so shorter ones skip this count.
std::uint32_t character_cut(const char* title, std::uint32_t n) {
    std::uint32_t count = 0, characters_left = kMaxTitleCharacters + 1;
    for (; count < n; ++count)
        if (static_cast<signed char>(title[count]) >= -0x40 && --characters_left == 0) break;
    return count;
}

// The bytes the caption may take from a title of n bytes: at most 1,024 and
// at most 256 characters. The platform reads the title only up to a zero
// unit (what follows is the point size and typeface), so a zero byte ends it
// sooner.
std::uint32_t caption_limit(const char* title, std::uint32_t n) {
    std::uint32_t limit = n < kMaxTitleUnits ? n : kMaxTitleUnits;
    return limit > kMaxTitleCharacters ? character_cut(title, limit) : limit;
}

// The number of bytes the caption takes from a title of n bytes; an empty
// title becomes one blank, never an empty caption.
std::uint32_t caption_length(const char* title, std::uint32_t n) {
    std::uint32_t limit = caption_limit(title, n), count = 0;
    while (count < limit && title[count] != 0) ++count;
    return count == 0 ? 1 : count;
}

}  // namespace

std::uint32_t compute_dialog_style(std::uint32_t style, std::int32_t x, std::int32_t y) {
    if (style == 0) style = kDefaultDialogStyle;
    style = (style | kForcedDialogStyle) & ~kClearedDialogStyle;
    if (x == -1 || y == -1) style |= kCentredDialogStyle;
    return style;
}

std::uint32_t dialog_title_units(const char* title, std::uint32_t n) { return caption_length(title, n); }

std::uint32_t build_dialog_template(DialogTemplate& out, const char* title, std::uint32_t title_length, std::int32_t x,
                                    std::int32_t y, std::int32_t width, std::int32_t height, std::uint32_t style,
                                    std::uint32_t exstyle) {
    TemplateHeader header;
    header.style = compute_dialog_style(style, x, y);
    header.exstyle = exstyle;
    header.item_count = 0;
    header.x = static_cast<std::int16_t>(x);
    header.y = static_cast<std::int16_t>(y);
    header.cx = static_cast<std::uint16_t>(width);
    header.cy = static_cast<std::uint16_t>(height);
    header.menu = 0;
    header.window_class = 0;
    __builtin_memcpy(out.bytes, &header, sizeof header);

    // The caption widened byte by byte in the pass that finds its end, and
    // kept as a zero-terminated text for the platform's title.
    unsigned char* at = out.bytes + sizeof header;
    std::uint32_t limit = caption_limit(title, title_length), i = 0;
    for (char c; i < limit && (c = title[i]) != 0; ++i, at += 2) {
        out.title[i] = c;
        std::uint16_t unit = static_cast<unsigned char>(c);
        __builtin_memcpy(at, &unit, sizeof unit);
    }
    if (i == 0) {
        out.title[i++] = ' ';
        at[0] = ' ';
        at[1] = 0;
        at += 2;
    }
    out.title[i] = 0;
    __builtin_memcpy(at, kTail.bytes, sizeof kTail.bytes);
    return static_cast<std::uint32_t>(at + sizeof kTail.bytes - out.bytes);
}
