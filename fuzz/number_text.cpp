// Text as a number against a model that reads the whole text in 128 bits, and
// every number's text read back as the same number.
//
// Input: a 32-bit value (little-endian), then the text bytes.
#include <string>

#include "fuzz_input.h"
#include "runtime/errors.h"
#include "runtime/startup.h"
#include "runtime/text.h"

namespace {

struct Reading {
    std::int32_t value;
    std::uint16_t error;
};

// Blanks, a sign, decimal digits, blanks: anything else is no number; a value
// outside 32 bits is out of range.
Reading model(const std::string& t) {
    std::size_t i = 0, n = t.size();
    auto blank = [&](std::size_t k) { return k < n && (t[k] == ' ' || t[k] == '\t'); };
    while (blank(i)) ++i;
    bool negative = i < n && t[i] == '-';
    if (i < n && (t[i] == '-' || t[i] == '+')) ++i;
    std::size_t digits = i;
    __int128 v = 0;
    for (; i < n && t[i] >= '0' && t[i] <= '9'; ++i)
        if (v <= (__int128{1} << 40)) v = v * 10 + (t[i] - '0');
    bool has_digits = i != digits;
    while (blank(i)) ++i;
    if (!has_digits || i != n) return {0, static_cast<std::uint16_t>(kErrorPending | kNotANumber)};
    if (negative) v = -v;
    if (v > INT32_MAX || v < INT32_MIN) return {0, static_cast<std::uint16_t>(kErrorPending | kValueOutOfRange)};
    return {static_cast<std::int32_t>(v), 0};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    reset_runtime();
    FuzzInput in(data, size);
    std::int32_t value = in.i32();
    std::size_t n = 0;
    const std::uint8_t* bytes = in.rest(n);
    std::string text(reinterpret_cast<const char*>(bytes), n);

    ProcFrame f;
    push_copy(f, text.data(), static_cast<std::uint32_t>(text.size()));
    std::int32_t got = text_to_number(f);
    Reading want = model(text);
    FUZZ_EXPECT(got == want.value && f.error_word == want.error, "\"%s\" read as %d, error %04X; got %d, error %04X",
                text.c_str(), want.value, want.error, got, f.error_word);
    FUZZ_EXPECT(f.strings.depth == 0, "the text taken%s", "");

    f.error_word = 0;
    push_number_text(f, value);
    std::int32_t back = text_to_number(f);
    FUZZ_EXPECT(back == value && f.error_word == 0, "%d as text read back as %d, error %04X", value, back,
                f.error_word);
    return 0;
}
