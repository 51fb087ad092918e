// The string runtime: ownership, moves, in-place reuse, embedded zero bytes and
// allocation failure. Built into the host tier (our allocator) and the win32
// tier (OLEAUT32's allocator under Wine).
#include <cstring>
#include <string>

#include "tests/common/string_testing.h"

namespace {

constexpr auto pool = make_literal_pool("Hello ", "", "a\0b", "OK", "Cancel");
enum { kHello, kEmpty, kWithZero, kOk, kCancel };

using StringArgs = StringRuntimeTest;

// ---- Literal pool -----------------------------------------------------------

TEST(LiteralPool, LaysLiteralsOutBackToBackAsCountAndBytes) {
    constexpr auto two = make_literal_pool("OK", "Cancel");
    const unsigned char expected[] = {0x02, 0x00, 0x4F, 0x4B, 0x06, 0x00, 0x43, 0x61, 0x6E, 0x63, 0x65, 0x6C};
    ASSERT_EQ(sizeof two.bytes, sizeof expected);
    EXPECT_EQ(0, std::memcmp(two.bytes, expected, sizeof expected));
    EXPECT_EQ(two[1]->count(), 6);
    EXPECT_EQ(std::string(two[1]->bytes(), 6), "Cancel");
}

TEST(LiteralPool, EmptyLiteralIsTheCountAlone) {
    constexpr auto p = make_literal_pool("", "x");
    const unsigned char expected[] = {0x00, 0x00, 0x01, 0x00, 'x'};
    ASSERT_EQ(sizeof p.bytes, sizeof expected);
    EXPECT_EQ(0, std::memcmp(p.bytes, expected, sizeof expected));
}

TEST(LiteralPool, CountIsLittleEndian) {
    static constexpr char text[300] = {};
    static constexpr auto p = make_literal_pool(text);
    EXPECT_EQ(p.bytes[0], 299 & 0xFF);
    EXPECT_EQ(p.bytes[1], 299 >> 8);
    EXPECT_EQ(p[0]->count(), 299);
}

// ---- Handles ---------------------------------------------------------------

TEST_F(StringArgs, AllocateZeroBytesGivesEmptyWithoutTheAllocator) {
    std::uint32_t before = calls();
    StringAllocation r = allocate_string(0);
    EXPECT_EQ(r.handle, 0u);
    EXPECT_EQ(r.bytes, static_empty_string());
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(calls(), before);
}

TEST_F(StringArgs, AllocatedBlockCarriesCountWordAndTerminator) {
    StringAllocation r = allocate_string(5);
    ASSERT_NE(r.handle, 0u);
    EXPECT_EQ(reinterpret_cast<char*>(r.handle), r.bytes);
    EXPECT_EQ(count_word_of(r.handle), 5u);
    EXPECT_EQ(r.bytes[5], 0);
    EXPECT_EQ(view_string(r.handle).count, 5u);
    EXPECT_EQ(r.handle & StringEntry::kBorrowedMark, 0u) << "the top bit is the borrowed mark";
    free_string(r.handle);
}

TEST_F(StringArgs, FailedAllocationGivesCode7AndTheStaticEmptyString) {
    fail_allocation(1);
    StringAllocation r = allocate_string(10);
    EXPECT_EQ(r.handle, 0u);
    EXPECT_EQ(r.error, 7);
    EXPECT_EQ(r.bytes, static_empty_string());
    EXPECT_EQ(*r.bytes, 0);
}

TEST_F(StringArgs, ViewOfEmptyAndBorrowedEmptyIsTheStaticEmptyString) {
    for (StringEntry e : {StringEntry{}, StringEntry::borrowed(0)}) {
        StringView v = view_string(e);
        EXPECT_EQ(v.bytes, static_empty_string());
        EXPECT_EQ(v.count, 0u);
    }
}

TEST_F(StringArgs, FreeLeavesEmptyAndBorrowedAlone) {
    DynString h = make("abc");
    free_string(StringEntry::borrowed(h));
    EXPECT_EQ(live(), 1);
    free_string(StringEntry{});
    free_string(StringEntry::borrowed(0));
    free_string(h);
    EXPECT_EQ(live(), 0);
}

TEST_F(StringArgs, ShrinkKeepsFirstBytesAndFreesTheSource) {
    DynString h = make("abcdef");
    StringAllocation r = shrink_string(h, 3);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(bytes_of(r.handle), "abc");
    EXPECT_EQ(live(), 1);
    free_string(r.handle);
}

TEST_F(StringArgs, ShrinkToZeroGivesEmptyAndFreesTheSource) {
    DynString h = make("abcdef");
    StringAllocation r = shrink_string(h, 0);
    EXPECT_EQ(r.handle, 0u);
    EXPECT_FALSE(r.failed());
    EXPECT_EQ(live(), 0);
}

TEST_F(StringArgs, ShrinkFailureFreesTheSourceAndGivesCode7) {
    DynString h = make("abcdef");
    fail_allocation(1);
    StringAllocation r = shrink_string(h, 4);
    EXPECT_EQ(r.handle, 0u);
    EXPECT_EQ(r.error, 7);
    EXPECT_EQ(live(), 0);
}

TEST(StringBytes, CopyCstringCopiesThroughTheTerminatorAndAdvancesBoth) {
    const char src[] = "ab\0cd";
    char dst[8] = {'x', 'x', 'x', 'x', 'x', 'x', 'x', 'x'};
    const char* s = src;
    char* d = dst;
    copy_cstring(s, d);
    EXPECT_EQ(s, src + 3);
    EXPECT_EQ(d, dst + 3);
    EXPECT_EQ(std::string(dst, 4), std::string("ab\0x", 4));
}

TEST(StringBytes, UpperAsciiChangesOnlyLowerCaseLetters) {
    for (int c = 0; c < 256; ++c) {
        std::uint8_t expected =
            (c >= 'a' && c <= 'z') ? static_cast<std::uint8_t>(c - 32) : static_cast<std::uint8_t>(c);
        EXPECT_EQ(upper_ascii(static_cast<std::uint8_t>(c)), expected) << "byte " << c;
    }
}

TEST(StringBytes, CopyBytesCopiesEveryLengthExactly) {
    char src[19];
    for (int i = 0; i < 19; ++i) src[i] = static_cast<char>(i + 1);
    for (std::uint32_t n = 0; n <= 17; ++n) {
        char dst[20] = {};
        copy_bytes(dst + 1, src + 1, n);  // unaligned on purpose
        EXPECT_EQ(0, std::memcmp(dst + 1, src + 1, n)) << n;
        EXPECT_EQ(dst[n + 1], 0) << "wrote past " << n << " bytes";
        EXPECT_EQ(dst[0], 0);
    }
}

// ---- Pushes and pops --------------------------------------------------------

TEST_F(StringArgs, PushLiteralOfTheEmptyLiteralPushesZeroAndAllocatesNothing) {
    ProcFrame f;
    std::uint32_t before = calls();
    push_literal(f, pool[kEmpty]);
    EXPECT_EQ(f.strings.depth, 1u);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(calls(), before);
    pop_string(f);
}

TEST_F(StringArgs, PushLiteralCopiesBytesIncludingEmbeddedZero) {
    ProcFrame f;
    push_literal(f, pool[kWithZero]);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), std::string("a\0b", 3));
    EXPECT_FALSE(string_arg(f, 0).is_borrowed());
    EXPECT_EQ(live(), 1);
    pop_string(f);
    EXPECT_EQ(f.strings.depth, 0u);
}

TEST_F(StringArgs, PushLiteralFailurePushesEmptyAndRecords7) {
    ProcFrame f;
    fail_allocation(1);
    push_literal(f, pool[kHello]);
    EXPECT_EQ(f.strings.depth, 1u);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(f.error_word, 0x8007);
    pop_string(f);
}

TEST_F(StringArgs, PushCopyFailurePushesEmptyAndRecordsNothing) {
    ProcFrame f;
    fail_allocation(1);
    push_copy(f, "abc", 3);
    EXPECT_EQ(f.strings.depth, 1u);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(f.error_word, 0);
    fail_allocation(1);
    push_crlf(f);
    EXPECT_EQ(f.strings.depth, 2u);
    EXPECT_EQ(f.error_word, 0);
    drop_string_args(f, 2);
}

TEST_F(StringArgs, PushCopyOfZeroBytesPushesZero) {
    ProcFrame f;
    push_copy(f, "abc", 0);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(live(), 0);
    pop_string(f);
}

TEST_F(StringArgs, PushCrlfPushesTheTwoBytes) {
    ProcFrame f;
    push_crlf(f);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "\r\n");
    pop_string(f);
}

TEST_F(StringArgs, PushBorrowedMarksTheEntryAndPopFreesNothing) {
    ProcFrame f;
    DynString var = make("name");
    push_borrowed(f, var);
    EXPECT_TRUE(string_arg(f, 0).is_borrowed());
    EXPECT_EQ(string_arg(f, 0).handle(), var);
    pop_string(f);
    EXPECT_EQ(live(), 1);
    EXPECT_EQ(bytes_of(var), "name");
    free_string(var);
}

TEST_F(StringArgs, PushBorrowedOfEmptyVariableIsTheBorrowedEmptyString) {
    ProcFrame f;
    push_borrowed(f, 0);
    StringEntry e = string_arg(f, 0);
    EXPECT_TRUE(e.is_borrowed());
    EXPECT_EQ(view_string(e).bytes, static_empty_string());
    EXPECT_EQ(view_string(e).count, 0u);
    pop_string(f);
    EXPECT_EQ(f.strings.depth, 0u);
}

TEST_F(StringArgs, PushHandleHandsOwnershipToTheStack) {
    ProcFrame f;
    push_handle(f, make("x"));
    pop_string(f);
    EXPECT_EQ(live(), 0);
}

TEST_F(StringArgs, EntriesKeepPushOrderTopIsTheLastPushed) {
    ProcFrame f;
    push_copy(f, "1", 1);
    push_copy(f, "2", 1);
    push_copy(f, "3", 1);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "3");
    EXPECT_EQ(bytes_of(string_arg(f, 1)), "2");
    EXPECT_EQ(bytes_of(string_arg(f, 2)), "1");
    pop_string(f);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "2");
    pop_string(f);
    pop_string(f);
}

TEST_F(StringArgs, SixthPushStaysInsideTheFrameAndFreesWhatItCannotKeep) {
    struct Guarded {
        ProcFrame f;
        std::uint32_t after[4] = {0xA5A5A5A5u, 0xA5A5A5A5u, 0xA5A5A5A5u, 0xA5A5A5A5u};
    } g;
    for (int i = 0; i < 5; ++i) push_copy(g.f, "abcd", 4);
    push_copy(g.f, "efgh", 4);
    push_copy(g.f, "ijkl", 4);
    EXPECT_EQ(g.f.strings.depth, 7u);
    EXPECT_EQ(live(), 5) << "the strings without a slot are freed";
    for (std::uint32_t w : g.after) EXPECT_EQ(w, 0xA5A5A5A5u) << "written outside the frame";
    EXPECT_EQ(string_arg(g.f, 0).handle(), 0u) << "an entry beyond the slots reads as empty";
    for (int i = 0; i < 7; ++i) pop_string(g.f);
    EXPECT_EQ(g.f.strings.depth, 0u);
    EXPECT_EQ(live(), 0);
}

// A checked build reports each misuse of the stack once, naming the
// operation, and goes on as a release build does.
TEST_F(StringArgs, CheckedBuildReportsEachMisuseOnce) {
    struct Case {
        const char* report;  // null: correct use, nothing reported
        void (*misuse)();
    };
    static const Case cases[] = {
        {"kestrowane: push_copy: push onto a full string argument stack (5 entries)\n",
         [] {
             ProcFrame f;
             for (int i = 0; i < 6; ++i) push_copy(f, "x", 1);
             drop_string_args(f, 6);
             for (int i = 0; i < 5; ++i) free_string(f.strings.slots[i]);
         }},
        {"kestrowane: pop_string: takes 1 string argument, the stack holds 0\n",
         [] {
             ProcFrame f;
             pop_string(f);
         }},
        {"kestrowane: string_concat: takes 2 string arguments, the stack holds 1\n",
         [] {
             ProcFrame f;
             push_copy(f, "ab", 2);
             string_concat(f);
         }},
        // A count beyond the length: the copy is cut to the length, so it
        // reads nothing past the block.
        {"kestrowane: shrink_string: a count beyond the string's length\n",
         [] {
             ProcFrame f;
             push_copy(f, "abc", 3);
             StringAllocation r = shrink_string(string_arg(f, 0).handle(), 5);
             drop_string_args(f, 1);
             EXPECT_EQ(bytes_of(r.handle), "abc");
             free_string(r.handle);
         }},
        {"kestrowane: a procedure returned with 1 entry on its string argument stack\n",
         [] {
             ProcFrame f;
             push_empty(f);
         }},
        {"kestrowane: push_handle: an owned handle carries the borrowed mark\n",
         [] {
             ProcFrame f;
             push_handle(f, StringEntry::kBorrowedMark);
             pop_string(f);
         }},
        {nullptr,
         [] {
             ProcFrame f;
             push_literal(f, pool[kHello]);
             push_borrowed(f, 0);
             string_concat(f);
             pop_string(f);
         }},
        // A string used after it was freed: reported once, where it was
        // used, and read as the empty string.
        {"kestrowane: push_borrowed: uses a string block already freed (called from ",
         [] {
             ProcFrame f;
             DynString name = 0;
             push_copy(f, "Ann", 3);
             string_assign(f, name);
             push_handle(f, name);  // handed over as owned: freed by the pop
             pop_string(f);
             for (int i = 0; i < 2; ++i) {
                 push_borrowed(f, name);
                 EXPECT_EQ(view_string(string_arg(f, 0)).count, 0u);
                 pop_string(f);
             }
         }},
        {"kestrowane: string_assign: uses a string block already freed (called from ",
         [] {
             ProcFrame f;
             DynString name = 0;
             push_copy(f, "Ann", 3);
             string_assign(f, name);
             push_handle(f, name);
             pop_string(f);
             push_copy(f, "Bo", 2);
             string_assign(f, name);  // the freed block is not freed again
             free_string(name);
         }},
        {"kestrowane: push_handle: uses a string block already freed (called from ",
         [] {
             ProcFrame f;
             push_copy(f, "Ann", 3);
             DynString h = string_arg(f, 0).handle();
             pop_string(f);
             push_handle(f, h);
             pop_string(f);
         }},
        {"kestrowane: push_handle: the handle is owned by another entry of the stack already (called from ",
         [] {
             ProcFrame f;
             push_copy(f, "Ann", 3);
             push_handle(f, string_arg(f, 0).handle());
             drop_string_args(f, 1);
             pop_string(f);
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.report != nullptr ? c.report : "correct use");
        std::uint32_t before = contract_violation_count();
        std::int32_t live_before = live_string_count();
#ifndef _WIN32
        testing::internal::CaptureStderr();
#endif
        c.misuse();
        EXPECT_EQ(contract_violation_count() - before, c.report != nullptr ? 1u : 0u);
        EXPECT_EQ(live_string_count(), live_before) << "a string leaked or was counted freed twice";
#ifndef _WIN32
        std::string seen = testing::internal::GetCapturedStderr();
        std::string want = c.report != nullptr ? c.report : "";
        EXPECT_EQ(seen.substr(0, want.size()), want);
        if (want.find("(called from ") != std::string::npos) {
            // The calling code: this program, at an offset from its start.
            std::string self = testing::internal::GetArgvs()[0];
            self = self.substr(self.find_last_of('/') + 1);
            EXPECT_EQ(seen.substr(want.size(), self.size() + 3), self + "+0x") << seen;
            EXPECT_EQ(seen.substr(seen.size() - 2), ")\n");
        } else {
            EXPECT_EQ(seen, want);
        }
#endif
    }
}

TEST_F(StringArgs, TakingFromAnEmptyStackLeavesItEmpty) {
    ProcFrame f;
    pop_string(f);
    EXPECT_EQ(f.strings.depth, 0u);
    DynString var = make("abc");
    string_assign(f, var);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(var, 0u) << "the missing entry reads as empty";
    EXPECT_EQ(live(), 0);
}

// ---- string_assign ------------------------------------------------------------

TEST_F(StringArgs, AssignOwnedMovesTheHandleAndFreesTheOld) {
    ProcFrame f;
    DynString var = make("old");
    DynString fresh = make("new!");
    push_handle(f, fresh);
    std::uint32_t before = calls();
    string_assign(f, var);
    EXPECT_EQ(var, fresh);
    EXPECT_EQ(calls(), before) << "an owned string is moved, not copied";
    EXPECT_EQ(live(), 1);
    EXPECT_EQ(f.strings.depth, 0u);
    free_string(var);
}

TEST_F(StringArgs, AssignBorrowedOfTheSameLengthOverwritesInPlace) {
    ProcFrame f;
    DynString var = make("abc");
    DynString other = make("xyz");
    DynString var_handle = var;
    push_borrowed(f, other);
    std::uint32_t before = calls();
    string_assign(f, var);
    EXPECT_EQ(var, var_handle);
    EXPECT_EQ(bytes_of(var), "xyz");
    EXPECT_EQ(calls(), before);
    EXPECT_EQ(bytes_of(other), "xyz");
    free_string(var);
    free_string(other);
}

TEST_F(StringArgs, AssignBorrowedOfAnotherLengthGivesANewHandle) {
    ProcFrame f;
    DynString var = make("abc");
    DynString other = make("wxyz");
    push_borrowed(f, other);
    string_assign(f, var);
    EXPECT_NE(var, other);
    EXPECT_EQ(bytes_of(var), "wxyz");
    EXPECT_EQ(live(), 2);
    free_string(var);
    free_string(other);
}

TEST_F(StringArgs, AssignEmptyOrBorrowedEmptyEmptiesTheVariable) {
    for (bool borrowed : {false, true}) {
        ProcFrame f;
        DynString var = make("abc");
        borrowed ? push_borrowed(f, 0) : push_empty(f);
        string_assign(f, var);
        EXPECT_EQ(var, 0u);
        EXPECT_EQ(live(), 0);
    }
}

TEST_F(StringArgs, AssignOfTheVariablesOwnBorrowedEntryLeavesItUnchanged) {
    ProcFrame f;
    DynString var = make("same");
    DynString handle = var;
    push_borrowed(f, var);
    string_assign(f, var);
    EXPECT_EQ(var, handle);
    EXPECT_EQ(bytes_of(var), "same");
    EXPECT_EQ(live(), 1);
    free_string(var);
}

// A variable's string pushed as owned (push_handle where push_borrowed was
// meant) and assigned back: the string just stored must not be freed.
TEST_F(StringArgs, AssignOfTheVariablesOwnHandlePushedOwnedFreesNothing) {
    ProcFrame f;
    DynString var = make("same");
    DynString handle = var;
    push_handle(f, var);
    string_assign(f, var);
    EXPECT_EQ(var, handle);
    EXPECT_EQ(live(), 1) << "the variable's string was freed";
    free_string(var);
}

TEST_F(StringArgs, AssignKeepsEmbeddedZeroBytes) {
    ProcFrame f;
    DynString var = 0;
    DynString src = make(std::string("a\0\0b", 4));
    push_borrowed(f, src);
    string_assign(f, var);
    EXPECT_EQ(bytes_of(var), std::string("a\0\0b", 4));
    free_string(var);
    free_string(src);
}

TEST_F(StringArgs, AssignFailureEmptiesTheVariableAndRecords7) {
    ProcFrame f;
    DynString var = make("abc");
    DynString src = make("longer");
    push_borrowed(f, src);
    fail_allocation(1);
    string_assign(f, var);
    EXPECT_EQ(var, 0u);
    EXPECT_EQ(f.error_word, 0x8007);
    EXPECT_EQ(f.strings.depth, 0u);
    EXPECT_EQ(bytes_of(src), "longer") << "the borrowed string is not touched";
    EXPECT_EQ(live(), 1);
    free_string(src);
}

// ---- string_concat ------------------------------------------------------------

TEST_F(StringArgs, ConcatKeepsTheOrderOfPushing) {
    ProcFrame f;
    push_copy(f, "ab", 2);
    push_copy(f, "cd", 2);
    string_concat(f);
    EXPECT_EQ(f.strings.depth, 1u);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "abcd");
    EXPECT_FALSE(string_arg(f, 0).is_borrowed());
    EXPECT_EQ(live(), 1) << "both owned arguments freed";
    pop_string(f);
}

// At every depth from the empty stack to entries beyond the slots, the result
// goes where the next entry lay, nothing is written outside the frame, and
// what cannot be kept is freed.
TEST_F(StringArgs, ConcatAtEveryDepthKeepsTheFrameAndLeaksNothing) {
    struct Case {
        std::uint32_t depth;
        std::uint32_t depth_after;
        std::int32_t live_after;
        const char* top_after;       // null: the top reads as empty
        bool next_borrowed = false;  // the next entry lent by a variable (counted in live_after)
    };
    const Case cases[] = {
        {0, 0, 0, nullptr},  // nothing to join
        {1, 0, 0, nullptr},  // the result has no slot: freed
        {2, 1, 1, "01"},       {3, 2, 2, "12"},
        {5, 4, 4, "34"},       {6, 5, 5, "4"},        // the top lay beyond the slots and reads as empty
        {7, 6, 5, nullptr},                           // both beyond the slots: an empty result, kept nowhere
        {2, 1, 2, "01", true}, {6, 5, 6, "4", true},  // the join of the lent entry alone is an owned copy
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.depth);
        struct Guarded {
            std::uint32_t before[2] = {0x5A5A5A5Au, 0x5A5A5A5Au};
            ProcFrame f;
            std::uint32_t after[4] = {0xA5A5A5A5u, 0xA5A5A5A5u, 0xA5A5A5A5u, 0xA5A5A5A5u};
        } g;
        DynString lent = 0;
        for (std::uint32_t i = 0; i < c.depth; ++i) {
            char digit = static_cast<char>('0' + i);
            if (c.next_borrowed && i + 2 == c.depth) {
                lent = make(std::string(1, digit));
                push_borrowed(g.f, lent);
            } else {
                push_copy(g.f, &digit, 1);
            }
        }
        string_concat(g.f);
        EXPECT_EQ(g.f.strings.depth, c.depth_after);
        EXPECT_EQ(live(), c.live_after);
        if (c.top_after != nullptr) {
            EXPECT_EQ(bytes_of(string_arg(g.f, 0)), c.top_after);
        } else {
            EXPECT_EQ(string_arg(g.f, 0).handle(), 0u);
        }
        EXPECT_FALSE(string_arg(g.f, 0).is_borrowed()) << "a join is owned";
        EXPECT_EQ(g.f.error_word, 0u);
        for (std::uint32_t w : g.before) EXPECT_EQ(w, 0x5A5A5A5Au) << "written below the frame";
        for (std::uint32_t w : g.after) EXPECT_EQ(w, 0xA5A5A5A5u) << "written above the frame";
        while (g.f.strings.depth != 0) pop_string(g.f);
        free_string(lent);
        EXPECT_EQ(live(), 0);
    }
}

// One side empty: the join is a new copy of the other, whichever side it is.
TEST_F(StringArgs, ConcatWithOneSideEmptyAllocatesANewCopyOfTheOther) {
    for (bool empty_first : {false, true}) {
        SCOPED_TRACE(empty_first ? "the next entry empty" : "the top entry empty");
        ProcFrame f;
        if (empty_first) push_borrowed(f, 0);
        push_literal(f, pool[kHello]);
        DynString hello = string_arg(f, 0).handle();
        if (!empty_first) push_borrowed(f, 0);
        string_concat(f);
        EXPECT_NE(string_arg(f, 0).handle(), hello);
        EXPECT_EQ(bytes_of(string_arg(f, 0)), "Hello ");
        EXPECT_EQ(live(), 1);
        pop_string(f);
    }
}

// Two lengths whose sum is past 32 bits: nothing is allocated or copied, 7
// is recorded, one empty entry stands where the two were.
TEST_F(StringArgs, ConcatPast32BitsRecordsOutOfMemoryAndCopiesNothing) {
    ProcFrame f;
    DynString big = make("0123456789");
    push_borrowed(f, big);
    push_literal(f, pool[kHello]);
    char* bytes = reinterpret_cast<char*>(big);
    set_string_block_count(bytes, 0xFFFFFFFCu);  // read as 4 GiB less 4 bytes; never copied
    std::uint32_t before = calls();
    string_concat(f);
    set_string_block_count(bytes, 10);
    EXPECT_EQ(f.error_word, 0x8007);
    EXPECT_EQ(calls(), before);
    EXPECT_EQ(f.strings.depth, 1u);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(live(), 1) << "the owned argument is freed, the borrowed one kept";
    pop_string(f);
    free_string(big);
}

TEST_F(StringArgs, ConcatOfTwoEmptiesGivesZeroWithoutAllocating) {
    ProcFrame f;
    push_empty(f);
    push_borrowed(f, 0);
    std::uint32_t before = calls();
    string_concat(f);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(calls(), before);
    EXPECT_EQ(f.strings.depth, 1u);
    pop_string(f);
}

TEST_F(StringArgs, ConcatLeavesBorrowedOperandsWithTheirVariables) {
    ProcFrame f;
    DynString a = make("left");
    DynString b = make(std::string("\0right", 6));
    push_borrowed(f, a);
    push_borrowed(f, b);
    string_concat(f);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), std::string("left\0right", 10));
    EXPECT_EQ(bytes_of(a), "left");
    EXPECT_EQ(live(), 3);
    pop_string(f);
    free_string(a);
    free_string(b);
}

TEST_F(StringArgs, ConcatFailureConsumesBothAndLeavesOneEmptyEntry) {
    ProcFrame f;
    DynString var = make("Ann");
    push_empty(f);  // an entry below the arguments must survive untouched
    push_literal(f, pool[kHello]);
    push_borrowed(f, var);
    fail_allocation(1);
    string_concat(f);
    EXPECT_EQ(f.error_word, 0x8007);
    EXPECT_EQ(f.strings.depth, 2u);
    EXPECT_EQ(string_arg(f, 0).handle(), 0u);
    EXPECT_EQ(live(), 1) << "the owned argument is freed, the borrowed one kept";
    EXPECT_EQ(bytes_of(var), "Ann");
    pop_string(f);
    pop_string(f);
    free_string(var);
}

TEST_F(StringArgs, GreetingRoadAllocatesExactlyAsCounted) {
    ProcFrame f;
    DynString user_name = make("Ann");
    std::uint32_t before = calls();
    push_literal(f, pool[kHello]);  // H1
    push_borrowed(f, user_name);
    string_concat(f);  // H2; H1 freed
    EXPECT_EQ(calls() - before, 2u);
    EXPECT_EQ(live(), 2);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "Hello Ann");
    EXPECT_EQ(view_string(string_arg(f, 0)).bytes[9], 0) << "zero byte after the bytes";
    pop_string(f);
    free_string(user_name);
}

// Every allocation of a sequence failed in turn: no crash, no leak, the stack
// where the caller expects it.
TEST_F(StringArgs, EveryAllocationOfTheGreetingRoadMayFail) {
    auto road = [](DynString& name) {
        ProcFrame f;
        push_literal(f, pool[kOk]);
        string_assign(f, name);
        push_literal(f, pool[kHello]);
        push_borrowed(f, name);
        string_concat(f);
        push_empty(f);
        std::uint32_t depth = f.strings.depth;
        pop_string(f);
        pop_string(f);
        return std::make_pair(depth, f.error_word);
    };
    DynString name = 0;
    std::uint32_t before = calls();
    auto clean = road(name);
    std::uint32_t n = calls() - before;
    EXPECT_EQ(n, 3u);
    EXPECT_EQ(clean.second, 0);
    free_string(name);
    for (std::uint32_t k = 1; k <= n; ++k) {
        name = 0;
        fail_allocation(k);
        auto run = road(name);
        EXPECT_EQ(run.first, 2u) << "failing allocation " << k;
        EXPECT_EQ(run.second, 0x8007) << "failing allocation " << k;
        free_string(name);
        EXPECT_EQ(live(), 0) << "failing allocation " << k;
    }
}

}  // namespace
