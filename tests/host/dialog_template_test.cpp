// Dialog templates byte for byte, and the dialog style rules.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "toolkit/dialog_template.h"

namespace {

std::vector<unsigned char> build(const std::string& title, std::int32_t x, std::int32_t y, std::int32_t w,
                                 std::int32_t h, std::uint32_t style, std::uint32_t exstyle) {
    DialogTemplate t;
    std::uint32_t n =
        build_dialog_template(t, title.data(), static_cast<std::uint32_t>(title.size()), x, y, w, h, style, exstyle);
    return std::vector<unsigned char>(t.bytes, t.bytes + n);
}

std::uint16_t unit_at(const std::vector<unsigned char>& t, std::size_t offset) {
    return static_cast<std::uint16_t>(t[offset] | (t[offset + 1] << 8));
}

// The title units of a template, read back from offset 22 up to the zero unit.
std::vector<std::uint16_t> title_units(const std::vector<unsigned char>& t) {
    std::vector<std::uint16_t> units;
    for (std::size_t at = 22; unit_at(t, at) != 0; at += 2) units.push_back(unit_at(t, at));
    return units;
}

// The font block that ends every template: 8 point, "MS Sans Serif", 0.
void expect_font_block_at(const std::vector<unsigned char>& t, std::size_t at) {
    ASSERT_EQ(t.size(), at + 30);
    EXPECT_EQ(unit_at(t, at), 8);
    const char face[] = "MS Sans Serif";
    for (std::size_t i = 0; i < 13; ++i) EXPECT_EQ(unit_at(t, at + 2 + 2 * i), face[i]) << i;
    EXPECT_EQ(unit_at(t, at + 28), 0);
}

TEST(DialogTemplate, GreetingDialogIsTheNinetyBytesOfTheWorkedExample) {
    const unsigned char expected[90] = {
        0xD4, 0x08, 0xC0, 0x80,                                                  // style 0x80C008D4
        0x00, 0x00, 0x00, 0x00,                                                  // extended style 0
        0x00, 0x00,                                                              // no items
        0xFF, 0xFF,                                                              // x -1
        0xFF, 0xFF,                                                              // y -1
        0xA0, 0x00,                                                              // width 160
        0x32, 0x00,                                                              // height 50
        0x00, 0x00,                                                              // no menu
        0x00, 0x00,                                                              // the platform's dialog class
        0x57, 0x00, 0x68, 0x00, 0x61, 0x00, 0x74, 0x00, 0x20, 0x00, 0x69, 0x00,  // "What i"
        0x73, 0x00, 0x20, 0x00, 0x79, 0x00, 0x6F, 0x00, 0x75, 0x00, 0x72, 0x00,  // "s your"
        0x20, 0x00, 0x6E, 0x00, 0x61, 0x00, 0x6D, 0x00, 0x65, 0x00, 0x3F, 0x00,  // " name?"
        0x00, 0x00,                                                              // title end
        0x08, 0x00,                                                              // 8 point
        0x4D, 0x00, 0x53, 0x00, 0x20, 0x00, 0x53, 0x00, 0x61, 0x00, 0x6E, 0x00,  // "MS San"
        0x73, 0x00, 0x20, 0x00, 0x53, 0x00, 0x65, 0x00, 0x72, 0x00, 0x69, 0x00,  // "s Seri"
        0x66, 0x00,                                                              // "f"
        0x00, 0x00,                                                              // typeface end
    };
    std::vector<unsigned char> t = build("What is your name?", -1, -1, 160, 50, 0, 0);
    ASSERT_EQ(t.size(), sizeof expected);
    for (std::size_t i = 0; i < sizeof expected; ++i) EXPECT_EQ(t[i], expected[i]) << "byte " << i;
}

TEST(DialogTemplate, EmptyTitleIsOneBlankIn56Bytes) {
    std::vector<unsigned char> t = build("", 0, 0, 10, 10, 0, 0);
    EXPECT_EQ(t.size(), 56u);
    EXPECT_EQ(title_units(t), std::vector<std::uint16_t>{0x20});
    expect_font_block_at(t, 26);
}

TEST(DialogTemplate, TitlesOf256And300BytesGive256UnitsIn566Bytes) {
    for (std::size_t n : {256u, 300u}) {
        std::string title(n, 'x');
        title[255] = 'y';
        std::vector<unsigned char> t = build(title, 0, 0, 10, 10, 0, 0);
        EXPECT_EQ(t.size(), 566u) << n;
        std::vector<std::uint16_t> units = title_units(t);
        ASSERT_EQ(units.size(), 256u) << n;
        EXPECT_EQ(units.back(), 'y');
        expect_font_block_at(t, 22 + 2 * 256 + 2);
    }
}

// A title is cut after its 256th character (a byte 10xxxxxx continues the
// character before it), and after 1,024 bytes whatever they are; the
// template's title beside it holds the same bytes, zero-terminated.
TEST(DialogTemplate, TitlesAreCutAfter256CharactersAnd1024Bytes) {
    auto repeat = [](const std::string& s, int n) {
        std::string out;
        for (int i = 0; i < n; ++i) out += s;
        return out;
    };
    const struct {
        const char* what;
        std::string title;
        std::size_t units;
    } rows[] = {
        {"300 letters, \"\xC3\xA9\" and \"a\"",
         repeat("\xC3\xA9"
                "a",
                150),
         384},
        {"300 letters of 4 bytes", repeat("\xF0\x9F\x98\x80", 300), 1024},
        {"256 letters of 3 bytes, then ASCII", repeat("\xE6\x9D\x8E", 256) + "xyz", 768},
        {"255 letters, then one of 2 bytes and more",
         std::string(255, 'a') + "\xC3\xA9"
                                 "b",
         257},
        {"2,000 continuing bytes and no character", std::string(2000, '\x80'), 1024},
        {"a letter with 1,500 continuing bytes", "a" + std::string(1500, '\xBF'), 1024},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        DialogTemplate t;
        std::uint32_t n =
            build_dialog_template(t, row.title.data(), static_cast<std::uint32_t>(row.title.size()), 0, 0, 1, 1, 0, 0);
        EXPECT_EQ(n, 54 + 2 * row.units);
        EXPECT_EQ(dialog_title_units(row.title.data(), static_cast<std::uint32_t>(row.title.size())), row.units);
        std::vector<unsigned char> bytes(t.bytes, t.bytes + n);
        std::vector<std::uint16_t> units = title_units(bytes);
        ASSERT_EQ(units.size(), row.units);
        for (std::size_t i = 0; i < row.units; ++i)
            ASSERT_EQ(units[i], static_cast<unsigned char>(row.title[i])) << "unit " << i;
        expect_font_block_at(bytes, 22 + 2 * row.units + 2);
        EXPECT_EQ(std::string(t.title), row.title.substr(0, row.units));
    }
}

TEST(DialogTemplate, TitleBesideTheTemplateIsWhatTheTemplateTook) {
    const struct {
        std::string given, title;
    } rows[] = {
        {"", " "},
        {std::string("\0x", 2), " "},
        {std::string("ab\0cd", 5), "ab"},
        {"What is your name?", "What is your name?"},
    };
    for (const auto& row : rows) {
        DialogTemplate t;
        build_dialog_template(t, row.given.data(), static_cast<std::uint32_t>(row.given.size()), 0, 0, 1, 1, 0, 0);
        EXPECT_EQ(std::string(t.title), row.title);
    }
}

TEST(DialogTemplate, LengthIs54PlusTwicePerTitleByte) {
    for (std::size_t n = 1; n <= 257; n += 16) {
        EXPECT_EQ(build(std::string(n, 'a'), 0, 0, 1, 1, 0, 0).size(), 54 + 2 * std::min<std::size_t>(n, 256)) << n;
    }
}

TEST(DialogTemplate, TitleBytesBecomeUnitsOfTheSameValue) {
    std::string title;
    for (int b = 1; b < 256; ++b) title += static_cast<char>(b);
    std::vector<std::uint16_t> units = title_units(build(title, 0, 0, 1, 1, 0, 0));
    ASSERT_EQ(units.size(), 255u);
    for (int b = 1; b < 256; ++b) EXPECT_EQ(units[b - 1], b) << "0xE9 must become 0x00E9, no code page";
}

TEST(DialogTemplate, TitleEndsAtItsFirstZeroByte) {
    // The platform reads the title only up to a zero unit and would take the
    // bytes after it as point size and typeface.
    std::vector<unsigned char> t = build(std::string("ab\0cd", 5), 0, 0, 1, 1, 0, 0);
    EXPECT_EQ(title_units(t), (std::vector<std::uint16_t>{'a', 'b'}));
    EXPECT_EQ(t.size(), 54u + 4);
    expect_font_block_at(t, 28);
    std::vector<unsigned char> z = build(std::string("\0x", 2), 0, 0, 1, 1, 0, 0);
    EXPECT_EQ(title_units(z), std::vector<std::uint16_t>{0x20}) << "never an empty caption";
}

TEST(DialogTemplate, PositionAndSizeAreTheLow16Bits) {
    std::vector<unsigned char> t = build("t", -1, 10, 0x12345, -2, 0, 0x00010000);
    EXPECT_EQ(unit_at(t, 10), 0xFFFF);
    EXPECT_EQ(unit_at(t, 12), 10);
    EXPECT_EQ(unit_at(t, 14), 0x2345);
    EXPECT_EQ(unit_at(t, 16), 0xFFFE);
    EXPECT_EQ(unit_at(t, 4) | (unit_at(t, 6) << 16), 0x00010000) << "extended style unchanged";
    EXPECT_EQ(unit_at(t, 8), 0) << "no items";
}

struct StyleRow {
    std::uint32_t given;
    std::int32_t x, y;
    std::uint32_t written;
};

const StyleRow kStyles[] = {
    {0, 0, 0, 0x80C000D4},            // the default
    {0, -1, -1, 0x80C008D4},          // centred
    {0, -1, 10, 0x80C008D4},          // either -1 centres
    {0, 10, -1, 0x80C008D4},          //
    {0, -2, 0, 0x80C000D4},           // only -1 centres
    {0x10000000, 0, 0, 0x00000054},   // WS_VISIBLE alone does not bring the default in
    {0x00000001, 0, 0, 0x00000055},   // no dialog bits at all: taken as given
    {0x90C00002, 0, 0, 0x80C00054},   // WS_VISIBLE and DS_SYSMODAL cleared
    {0x80CF0000, 5, 5, 0x80CF0054},   // caller's own bits kept
    {0xFFFFFFFF, -1, 0, 0xEFFFFFFD},  // everything but the cleared bits
};

TEST(DialogStyle, DefaultOnlyForZeroForcedAndClearedBitsCentring) {
    for (const StyleRow& row : kStyles) {
        EXPECT_EQ(compute_dialog_style(row.given, row.x, row.y), row.written)
            << std::hex << "style " << row.given << " at " << std::dec << row.x << "," << row.y;
        std::vector<unsigned char> t = build("t", row.x, row.y, 1, 1, row.given, 0);
        EXPECT_EQ(static_cast<std::uint32_t>(unit_at(t, 0) | (unit_at(t, 2) << 16)), row.written);
    }
}

}  // namespace
