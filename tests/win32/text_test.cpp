// Texts compared and searched as a person reads them, on the platform's
// language tables. Built into a program in the UTF-8 code page and into one in
// the system's ANSI code page: each runs the cases its code page can hold.
#include <windows.h>

#include <string>

#include "runtime/errors.h"
#include "runtime/text.h"
#include "tests/common/string_testing.h"

namespace {

using Text = StringRuntimeTest;

bool utf8() { return GetACP() == CP_UTF8; }

std::int32_t compare(const std::string& a, const std::string& b, std::uint32_t flags) {
    ProcFrame f;
    push_copy(f, a.data(), static_cast<std::uint32_t>(a.size()));
    push_copy(f, b.data(), static_cast<std::uint32_t>(b.size()));
    std::int32_t r = compare_text(f, flags);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(f.error_word, 0);
    return r < 0 ? -1 : r > 0 ? 1 : 0;
}

std::int32_t find(const std::string& where, const std::string& what, std::int32_t start, std::uint32_t flags) {
    ProcFrame f;
    push_copy(f, where.data(), static_cast<std::uint32_t>(where.size()));
    push_copy(f, what.data(), static_cast<std::uint32_t>(what.size()));
    std::int32_t r = find_text(f, start, flags);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(f.error_word, 0);
    return r;
}

TEST_F(Text, CompareOrdersAsADictionaryAndIgnoresCaseWhenAsked) {
    const struct {
        const char* a;
        const char* b;
        std::uint32_t flags;
        std::int32_t order;
        int code_page;  // 0: every code page; else CP_UTF8 or 1252 alone
    } cases[] = {
        {"apple", "Banana", 0, -1, 0},  // by bytes "B" (0x42) would come first
        {"Banana", "apple", 0, 1, 0},
        {"apple", "APPLE", kTextIgnoreCase, 0, 0},
        {"apple", "APPLE", 0, -1, 0},  // equal but for case: lower case first
        {"", "a", 0, -1, 0},
        {"", "", 0, 0, 0},
        {"été", "ETE", kTextIgnoreCase, 1, CP_UTF8},  // accents still count
        {"\xE9t\xE9", "\xC9T\xC9", kTextIgnoreCase, 0, 1252},
        {"été", "ÉTÉ", kTextIgnoreCase, 0, CP_UTF8},
        {"Ελληνικά", "ελληνικά", kTextIgnoreCase, 0, CP_UTF8},
        {"Ёлка", "ёлка", kTextIgnoreCase, 0, CP_UTF8},
        {"zebra", "Ελληνικά", 0, -1, CP_UTF8},  // Latin before Greek, not by bytes
    };
    for (const auto& c : cases) {
        if (c.code_page != 0 && static_cast<UINT>(c.code_page) != GetACP()) continue;
        EXPECT_EQ(compare(c.a, c.b, c.flags), c.order) << c.a << " / " << c.b;
    }
}

TEST_F(Text, FindGivesTheBytePositionOfTheFirstMatchFromStart) {
    const struct {
        const char* where;
        const char* what;
        std::int32_t start;
        std::uint32_t flags;
        std::int32_t at;
        bool utf8_only;
    } cases[] = {
        {"hello world", "world", 1, 0, 7, false},
        {"hello world", "WORLD", 1, 0, 0, false},
        {"hello world", "WORLD", 1, kTextIgnoreCase, 7, false},
        {"abcabc", "abc", 2, 0, 4, false},  // from start on
        {"abcabc", "abc", 0, 0, 1, false},  // below 1 counts as 1
        {"abcabc", "abc", -5, 0, 1, false},
        {"abc", "", 2, 0, 2, false},  // the empty text is found where the search starts
        {"abc", "", 4, 0, 4, false},
        {"abc", "x", 4, 0, 0, false},
        {"abc", "", 5, 0, 0, false},  // start beyond the text
        {"abc", "c", INT32_MAX, 0, 0, false},
        {"ab", "abc", 1, 0, 0, false},
        {"Ελληνικά", "ελλ", 1, kTextIgnoreCase, 1, true},
        {"Γειά: Ελληνικά", "ΕΛΛΗΝ", 1, kTextIgnoreCase, 11, true},  // a byte position past 2-byte letters
        {"李雷 and 韩梅梅", "韩梅", 1, 0, 12, true},
        {"😀x😀x", "x", 6, 0, 10, true},    // past a 4-byte character, two units each
        {"李雷", "雷", 2, 0, 4, true},    // a start inside a character
        {"李雷", "", 2, 0, 4, true},      // ... moves to the next one, for the empty text too
        {"李雷", "\x9D", 2, 0, 0, true},  // and no match begins inside it
        // Ignoring case, a match may take other bytes than the text sought:
        // "Ⱥx" (3 bytes) matches "ⱥx" (4).
        {"1 Ⱥx ⱥx", "ⱥx", 1, kTextIgnoreCase, 3, true},
        // Bytes that form no character are found as they stand: an overlong
        // form, a code point past U+10FFFF, a surrogate, a cut sequence.
        {"x\xF0\x80\x80\x80y", "\xF0\x80\x80\x80", 1, 0, 2, true},
        {"x\xF4\x90\x80\x80y", "\xF4\x90\x80\x80", 1, 0, 2, true},
        {"x\xED\xA0\x80y", "\xED\xA0\x80", 1, 0, 2, true},
        {"ab\xE4\xB8", "\xE4\xB8", 1, 0, 3, true},
        {"zz\xE0\x80\x80", "", 4, 0, 4, true},  // each such byte is a character of its own
    };
    for (const auto& c : cases) {
        if (c.utf8_only && !utf8()) continue;
        EXPECT_EQ(find(c.where, c.what, c.start, c.flags), c.at)
            << '"' << c.where << "\" \"" << c.what << "\" from " << c.start;
    }
}

TEST_F(Text, ComparisonAndSearchTakeBothTextsOwnedOrBorrowedAndZeroBytesCount) {
    DynString where = make(std::string("a\0b", 3));
    DynString what = make("b");
    ProcFrame f;
    push_borrowed(f, where);
    push_borrowed(f, what);
    EXPECT_EQ(find_text(f, 1, 0), 3) << "the search goes past a zero byte";
    EXPECT_EQ(f.strings.depth, 0u);
    push_borrowed(f, where);
    push_borrowed(f, what);
    EXPECT_NE(compare_text(f, 0), 0);
    EXPECT_EQ(bytes_of(where), std::string("a\0b", 3)) << "borrowed texts stay their variables'";
    free_string(where);
    free_string(what);
}

}  // namespace
