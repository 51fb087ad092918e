// Numbers as text and text as numbers. Built into the host tier and the win32
// tier.
#include <climits>
#include <string>

#include "runtime/errors.h"
#include "runtime/text.h"
#include "tests/common/string_testing.h"

namespace {

using Text = StringRuntimeTest;

TEST_F(Text, NumberTextIsTheDecimalDigitsWithASignWhenNegative) {
    const struct {
        std::int32_t value;
        const char* text;
    } cases[] = {{0, "0"}, {7, "7"}, {-7, "-7"}, {1000, "1000"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (const auto& c : cases) {
        ProcFrame f;
        push_number_text(f, c.value);
        ASSERT_EQ(f.strings.depth, 1u);
        EXPECT_EQ(bytes_of(string_arg(f, 0)), c.text);
        EXPECT_EQ(f.error_word, 0);
        pop_string(f);
    }
    fail_allocation(1);
    ProcFrame f;
    push_number_text(f, 12);
    EXPECT_EQ(bytes_of(string_arg(f, 0)), "");
    EXPECT_EQ(f.error_word, kErrorPending | kOutOfMemory);
    pop_string(f);
}

TEST_F(Text, TextAsNumberReadsDecimalsAndNamesWhatIsNoNumber) {
    const struct {
        std::string text;
        std::int32_t value;
        std::uint16_t error;
    } cases[] = {
        {"42", 42, 0},
        {"  -42\t", -42, 0},
        {"+7", 7, 0},
        {"007", 7, 0},
        {"2147483647", INT32_MAX, 0},
        {"-2147483648", INT32_MIN, 0},
        {"0000000000002147483647", INT32_MAX, 0},
        {"2147483648", 0, kErrorPending | kValueOutOfRange},
        {"-2147483649", 0, kErrorPending | kValueOutOfRange},
        {"99999999999999999999", 0, kErrorPending | kValueOutOfRange},
        {"", 0, kErrorPending | kNotANumber},
        {"   ", 0, kErrorPending | kNotANumber},
        {"-", 0, kErrorPending | kNotANumber},
        {"12a", 0, kErrorPending | kNotANumber},
        {"1 2", 0, kErrorPending | kNotANumber},
        {"--1", 0, kErrorPending | kNotANumber},
        {"0x10", 0, kErrorPending | kNotANumber},
        {std::string("1\0", 2), 0, kErrorPending | kNotANumber},
        {"١٢", 0, kErrorPending | kNotANumber},  // digits of another script are not read as decimals
    };
    for (const auto& c : cases) {
        ProcFrame f;
        push_copy(f, c.text.data(), static_cast<std::uint32_t>(c.text.size()));
        EXPECT_EQ(text_to_number(f), c.value) << '"' << c.text << '"';
        EXPECT_EQ(f.error_word, c.error) << '"' << c.text << '"';
        EXPECT_EQ(f.strings.depth, 0u);
    }
    DynString kept = make("5");
    ProcFrame f;
    push_borrowed(f, kept);
    EXPECT_EQ(text_to_number(f), 5);
    EXPECT_EQ(bytes_of(kept), "5") << "a borrowed text stays its variable's";
    free_string(kept);
}

}  // namespace
