// Error words, recorders, value and index checks, the check point.
#include <gtest/gtest.h>

#include <cstdint>

#include "runtime/errors.h"
#include "runtime/strings.h"

namespace {

struct RecorderRow {
    const char* name;
    void (*record)(ProcFrame&);
    std::uint16_t word;
};

const RecorderRow kRecorders[] = {
    {"record_error(0)", [](ProcFrame& f) { record_error(f, 0); }, 0x8033},
    {"record_error(7)", [](ProcFrame& f) { record_error(f, 7); }, 0x8007},
    {"record_error(255)", [](ProcFrame& f) { record_error(f, 255); }, 0x80FF},
    {"record_error_or_5(0)", [](ProcFrame& f) { record_error_or_5(f, 0); }, 0x8005},
    {"record_error_or_5(9)", [](ProcFrame& f) { record_error_or_5(f, 9); }, 0x8009},
    {"record_error_5", record_error_5, 0x8005},
    {"record_error_6", record_error_6, 0x8006},
    {"record_error_52", record_error_52, 0x8034},
    {"record_error_244", record_error_244, 0x80F4},
};

TEST(ErrorRecorders, EachLeavesItsWord) {
    for (const RecorderRow& row : kRecorders) {
        ProcFrame f;
        row.record(f);
        EXPECT_EQ(f.error_word, row.word) << row.name;
    }
}

TEST(ErrorRecorders, RecordingReplacesTheWordAndClearsInHandler) {
    for (const RecorderRow& row : kRecorders) {
        ProcFrame f;
        f.error_word = 0x4009;  // in the handler of error 9
        row.record(f);
        EXPECT_EQ(f.error_word, row.word) << row.name;
    }
    ProcFrame f;
    record_error(f, 9);
    record_error(f, 6);
    EXPECT_EQ(f.error_word, 0x8006) << "a later error overwrites the earlier";
}

struct CheckRow {
    const char* name;
    void (*check)(ProcFrame&, std::int32_t);
    std::int32_t value;
    bool passes;
};

const CheckRow kChecks[] = {
    {"check_byte_range", check_byte_range, 0, true},
    {"check_byte_range", check_byte_range, 255, true},
    {"check_byte_range", check_byte_range, 256, false},
    {"check_byte_range", check_byte_range, -1, false},
    {"check_byte_range", check_byte_range, INT32_MIN, false},
    {"check_byte_range_16", check_byte_range_16, 0x00FF, true},
    {"check_byte_range_16", check_byte_range_16, 0x0100, false},
    {"check_byte_range_16", check_byte_range_16, 0x100FF, true},
    {"check_byte_range_16", check_byte_range_16, -1, false},
    {"check_non_negative", check_non_negative, 0, true},
    {"check_non_negative", check_non_negative, INT32_MAX, true},
    {"check_non_negative", check_non_negative, -1, false},
    {"check_non_negative", check_non_negative, INT32_MIN, false},
    {"check_integer_range", check_integer_range, -32768, true},
    {"check_integer_range", check_integer_range, 32767, true},
    {"check_integer_range", check_integer_range, 0, true},
    {"check_integer_range", check_integer_range, 32768, false},
    {"check_integer_range", check_integer_range, -32769, false},
    {"check_integer_range", check_integer_range, 0x10000, false},
    {"check_integer_range", check_integer_range, INT32_MIN, false},
    {"check_integer_range", check_integer_range, INT32_MAX, false},
    {"check_non_negative_integer", check_non_negative_integer, 0, true},
    {"check_non_negative_integer", check_non_negative_integer, 32767, true},
    {"check_non_negative_integer", check_non_negative_integer, 32768, false},
    {"check_non_negative_integer", check_non_negative_integer, -1, false},
    {"check_word_range", check_word_range, 65535, true},
    {"check_word_range", check_word_range, 65536, false},
    {"check_word_range", check_word_range, -1, false},
};

TEST(ValueChecks, RecordError6ExactlyOutsideTheirRange) {
    for (const CheckRow& row : kChecks) {
        ProcFrame f;
        row.check(f, row.value);
        EXPECT_EQ(f.error_word, row.passes ? 0 : 0x8006) << row.name << "(" << row.value << ")";
    }
}

TEST(ValueChecks, PassingCheckLeavesAnEarlierErrorAlone) {
    ProcFrame f;
    record_error(f, 9);
    check_word_range(f, 5);
    EXPECT_EQ(f.error_word, 0x8009);
}

TEST(IndexChecks, GivesTheZeroBasedPosition) {
    ProcFrame f;
    EXPECT_EQ(check_index(f, 5, 1, false), 4);
    EXPECT_EQ(f.error_word, 0);
    EXPECT_EQ(check_index(f, -3, -10, false), 7);
    EXPECT_EQ(f.error_word, 0);
}

TEST(IndexChecks, BelowTheLowerBoundRecords9) {
    ProcFrame f;
    check_index(f, 0, 1, false);
    EXPECT_EQ(f.error_word, 0x8009);
}

TEST(IndexChecks, BeyondRecords9WhateverTheIndex) {
    for (std::int32_t index : {0, 1, 5, -1, INT32_MAX}) {
        ProcFrame f;
        check_index(f, index, 0, true);
        EXPECT_EQ(f.error_word, 0x8009) << index;
    }
}

TEST(IndexChecks, DifferenceWrapsInThirtyTwoBitsWithoutOverflowing) {
    // INT32_MAX - (-1) wraps to INT32_MIN: negative, so error 9.
    ProcFrame f;
    EXPECT_EQ(check_index(f, INT32_MAX, -1, false), INT32_MIN);
    EXPECT_EQ(f.error_word, 0x8009);
    // INT32_MIN - 1 wraps to INT32_MAX: not negative, no error.
    ProcFrame g;
    EXPECT_EQ(check_index(g, INT32_MIN, 1, false), INT32_MAX);
    EXPECT_EQ(g.error_word, 0);
}

TEST(IndexChecks, MissingArrayRecords9) {
    ProcFrame f;
    int array[1] = {};
    check_array_present(f, array);
    EXPECT_EQ(f.error_word, 0);
    check_array_present(f, nullptr);
    EXPECT_EQ(f.error_word, 0x8009);
}

TEST(GlobalMemory, AllocGivesZeroFilledBlockThatFrees) {
    GlobalAllocation g = alloc_global(16);
    ASSERT_NE(g.pointer, nullptr);
    EXPECT_EQ(g.error, 0);
    auto* bytes = static_cast<unsigned char*>(g.pointer);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(bytes[i], 0) << i;
    EXPECT_EQ(free_global(g.pointer), 0);
}

// ---- The check point ----------------------------------------------------------

TEST(CheckPoint, NoPendingErrorChangesNothingEvenWithATarget) {
    ProcFrame f;
    f.error_trap = reinterpret_cast<void*>(0x1234);
    f.error_word = 0x0007;
    EXPECT_EQ(dispatch_error_trap(f), nullptr);
    EXPECT_EQ(f.error_word, 0x0007);
}

TEST(CheckPoint, PendingWithoutTargetIsNoticedAndExecutionGoesOn) {
    ProcFrame f;
    record_error(f, 7);
    EXPECT_EQ(dispatch_error_trap(f), nullptr);
    EXPECT_EQ(f.error_word, 0x0007);
}

// A compiled procedure that traps its errors, as errors.h shows it.
struct TrapOutcome {
    int reached_after_check;
    int handled;
    int resumed;
    std::uint16_t word_in_handler;
    std::uint32_t depth_in_handler;
};

TrapOutcome trapping_procedure(bool fail) {
    TrapOutcome out{};
    ProcFrame f;
    KW_ON_ERROR_GOTO(f, on_error);
    push_empty(f);  // the frame's stack must survive the hand-over
    if (fail) record_error(f, 9);
    KW_CHECK_POINT(f);
    ++out.reached_after_check;
    drop_string_args(f, f.strings.depth);
    return out;
on_error:
    ++out.handled;
    out.word_in_handler = f.error_word;
    out.depth_in_handler = f.strings.depth;
    if (out.resumed++ == 0) goto* f.resume_point;
    return out;
}

TEST(CheckPoint, PendingErrorContinuesAtTheTargetInTheSameActivation) {
    TrapOutcome out = trapping_procedure(true);
    EXPECT_EQ(out.handled, 1);
    EXPECT_EQ(out.word_in_handler, 0x4009);
    EXPECT_EQ(out.depth_in_handler, 1u);
    EXPECT_EQ(out.reached_after_check, 1) << "resuming after the check point";
}

TEST(CheckPoint, NoErrorPassesTheCheckPoint) {
    TrapOutcome out = trapping_procedure(false);
    EXPECT_EQ(out.handled, 0);
    EXPECT_EQ(out.reached_after_check, 1);
}

}  // namespace
