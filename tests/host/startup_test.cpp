// Program-name skip and the runtime reset.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "runtime/startup.h"
#include "runtime/state.h"
#include "runtime/strings.h"

namespace {

struct SkipRow {
    const char* line;
    std::size_t tail_at;  // offset of the command tail
};

const SkipRow kSkips[] = {
    {"\"C:\\Program Files\\greet.exe\"  a b", 30},  // quoted name with a blank, two blanks
    {"\"C:\\x.exe\"arg", 10},                       // tail right behind the closing quote
    {"\"C:\\x.exe\"", 10},                          // quoted name alone
    {"\"C:\\no end quote", 16},                     // no closing quote: empty tail
    {"greet.exe", 9},                               // bare name alone
    {"greet.exe   one two", 12},                    // several blanks skipped
    {"greet.exe\tone", 9},                          // a tab is not skipped
    {"greet.exe\x01one", 9},                        // nor any control character
    {"   greet.exe", 3},                            // leading blanks: the tail starts at the name
    {"greet.exe \t x", 10},                         // blanks skipped up to the tab
    {"\"a b\" \tx", 6},                             // after the quote only blanks go
    {"", 0},
    {"\"", 1},
    {"x\xE9y z", 4},  // bytes above 0x7F belong to the name
};

TEST(ProgramNameSkip, TailBeginsWhereTheRulesSay) {
    for (const SkipRow& row : kSkips) {
        EXPECT_EQ(skip_program_name(row.line) - row.line, static_cast<std::ptrdiff_t>(row.tail_at))
            << "command line [" << row.line << "]";
    }
}

// A program's global variables start empty, and every empty string reads
// as zero bytes, whatever was left in them.
TEST(RuntimeReset, ZeroesGlobalsAndTheStaticEmptyString) {
    unsigned char globals[12];
    std::memset(globals, 0xAB, sizeof globals);
    runtime_state.globals = {globals, sizeof globals};
    runtime_state.static_empty.count = 5;
    runtime_state.static_empty.byte = 'x';
    reset_runtime();
    for (unsigned char b : globals) EXPECT_EQ(b, 0);
    StringView empty = view_string(StringEntry{});
    EXPECT_EQ(empty.count, 0u);
    EXPECT_EQ(empty.bytes[0], 0);
    runtime_state.globals = {nullptr, 0};
}

}  // namespace
