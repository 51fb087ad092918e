// The dialog template builder against a model written from the template
// layout: any title bytes (zeros included), any position, size and style words.
//
// Input: x, y, width, height, style, exstyle as six little-endian 32-bit words,
// then the title bytes (the rest of the input).
#include <cstring>
#include <vector>

#include "fuzz_input.h"
#include "toolkit/dialog_template.h"

namespace {

constexpr unsigned char kCanary = 0xC5;
constexpr unsigned char kUnwritten = 0x5A;
constexpr std::size_t kGuard = 64;
constexpr std::size_t kTemplateBytes = 2102;  // the longest template: 1,024 title units

// A template between two guard zones, so a write beyond either end shows.
struct GuardedTemplate {
    unsigned char before[kGuard];
    DialogTemplate t;
    unsigned char after[kGuard];
};
static_assert(sizeof(DialogTemplate::bytes) == kTemplateBytes, "room for the longest template, no more");

std::uint32_t model_style(std::uint32_t style, std::int32_t x, std::int32_t y) {
    std::uint32_t s = style != 0 ? style : 0x80C000D4u;
    s |= 0x54u;                // DS_SETFONT | DS_NOFAILCREATE | DS_3DLOOK
    s &= ~0x10000002u;         // never WS_VISIBLE or DS_SYSMODAL
    if (x == -1 || y == -1) {  // either -1 centres the dialog
        s |= 0x800u;
    }
    return s;
}

// The title as it reaches the caption: up to the first zero byte, at most 256
// characters (a byte of the form 10xxxxxx continues one) and 1,024 bytes;
// nothing at all becomes one blank.
std::vector<std::uint16_t> model_title(const std::vector<unsigned char>& title) {
    std::vector<std::uint16_t> units;
    std::size_t characters = 0;
    for (unsigned char b : title) {
        bool begins = (b & 0xC0) != 0x80;
        if (b == 0 || units.size() == 1024 || (begins && characters == 256)) break;
        characters += begins;
        units.push_back(b);
    }
    if (units.empty()) units.push_back(0x20);
    return units;
}

void put16(std::vector<unsigned char>& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v));
    out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

std::vector<unsigned char> model_template(const std::vector<unsigned char>& title, std::int32_t x, std::int32_t y,
                                          std::int32_t w, std::int32_t h, std::uint32_t style, std::uint32_t exstyle) {
    std::vector<unsigned char> out;
    put32(out, model_style(style, x, y));
    put32(out, exstyle);
    put16(out, 0);  // no items
    put16(out, static_cast<std::uint32_t>(x) & 0xFFFF);
    put16(out, static_cast<std::uint32_t>(y) & 0xFFFF);
    put16(out, static_cast<std::uint32_t>(w) & 0xFFFF);
    put16(out, static_cast<std::uint32_t>(h) & 0xFFFF);
    put16(out, 0);  // no menu
    put16(out, 0);  // the platform's dialog class
    for (std::uint16_t u : model_title(title)) put16(out, u);
    put16(out, 0);
    put16(out, 8);
    for (const char* c = "MS Sans Serif"; *c != 0; ++c) put16(out, static_cast<unsigned char>(*c));
    put16(out, 0);
    return out;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::int32_t x = in.i32(), y = in.i32(), w = in.i32(), h = in.i32();
    std::uint32_t style = in.u32(), exstyle = in.u32();
    std::size_t n = 0;
    const std::uint8_t* rest = in.rest(n);
    std::vector<unsigned char> title(rest, rest + n);

    // The title lives in a block of exactly its length: reading past it is a
    // heap overflow that AddressSanitizer reports.
    char* title_block = new char[n];
    if (n != 0) std::memcpy(title_block, title.data(), n);

    auto* g = new GuardedTemplate;
    std::memset(g->before, kCanary, sizeof g->before);
    std::memset(&g->t, kUnwritten, sizeof g->t);  // the bytes and any padding behind them
    std::memset(g->after, kCanary, sizeof g->after);

    std::uint32_t length =
        build_dialog_template(g->t, title_block, static_cast<std::uint32_t>(n), x, y, w, h, style, exstyle);

    for (std::size_t i = 0; i < kGuard; ++i) {
        FUZZ_EXPECT(g->before[i] == kCanary, "guard byte %zu before the template overwritten", i);
        FUZZ_EXPECT(g->after[i] == kCanary, "guard byte %zu after the template overwritten", i);
    }

    std::vector<unsigned char> expected = model_template(title, x, y, w, h, style, exstyle);
    std::size_t units = (expected.size() - 54) / 2;
    FUZZ_EXPECT(length == expected.size(), "length %zu (54 + 2 x %zu units), got %u", expected.size(), units, length);
    for (std::size_t i = 0; i < expected.size(); ++i) {
        FUZZ_EXPECT(g->t.bytes[i] == expected[i], "byte %zu of the template 0x%02X, got 0x%02X", i, expected[i],
                    g->t.bytes[i]);
    }
    for (std::size_t i = expected.size(); i < sizeof g->t.bytes; ++i) {
        FUZZ_EXPECT(g->t.bytes[i] == kUnwritten, "byte %zu beyond the %zu-byte template untouched", i, expected.size());
    }
    // The title beside it: the same bytes, zero-terminated, and nothing after.
    for (std::size_t i = 0; i < units; ++i) {
        FUZZ_EXPECT(static_cast<unsigned char>(g->t.title[i]) == expected[22 + 2 * i],
                    "title byte %zu 0x%02X, got 0x%02X", i, expected[22 + 2 * i],
                    static_cast<unsigned char>(g->t.title[i]));
    }
    FUZZ_EXPECT(g->t.title[units] == 0, "title zero byte at %zu", units);
    for (std::size_t i = units + 1; i < sizeof g->t.title; ++i) {
        FUZZ_EXPECT(static_cast<unsigned char>(g->t.title[i]) == kUnwritten, "title byte %zu beyond its zero untouched",
                    i);
    }

    // The two helpers the builder is made of give the same answers.
    std::uint32_t s = compute_dialog_style(style, x, y);
    FUZZ_EXPECT(s == model_style(style, x, y), "style 0x%08X, got 0x%08X", model_style(style, x, y), s);
    FUZZ_EXPECT((s & 0x54u) == 0x54u && (s & 0x10000002u) == 0, "forced and cleared bits in 0x%08X", s);
    std::uint32_t u = dialog_title_units(title_block, static_cast<std::uint32_t>(n));
    FUZZ_EXPECT(u == units, "%zu title units, got %u", units, u);

    delete g;
    delete[] title_block;
    return 0;
}
