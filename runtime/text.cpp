// Numbers as text and text as numbers: the portable half of the everyday text
// operations (the comparisons need the platform's language tables).
#include "runtime/text.h"

#include "runtime/errors.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

void push_number_text(ProcFrame& f, std::int32_t value) {
    char digits[11];  // "-2147483648"
    char* end = digits + sizeof digits;
    char* p = end;
    // The magnitude in unsigned arithmetic, so that the lowest value has one.
    std::uint32_t magnitude = value < 0 ? 0u - static_cast<std::uint32_t>(value) : static_cast<std::uint32_t>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--p = '-';
    std::uint32_t n = static_cast<std::uint32_t>(end - p);
    StringAllocation s = allocate_string(n);
    if (s.handle != 0) copy_bytes(s.bytes, p, n);
    push_handle(f, s.handle);
    if (s.failed()) record_error(f, kOutOfMemory);
}

std::int32_t text_to_number(ProcFrame& f) {
    expect_string_args(f, 1, "text_to_number");
    StringView text = view_string(string_arg(f, 0));
    const char* p = text.bytes;
    const char* end = p + text.count;
    while (p != end && is_blank(*p)) ++p;
    bool negative = p != end && *p == '-';
    if (p != end && (*p == '-' || *p == '+')) ++p;
    const char* digits = p;
    // Up to 2^31 for a negative number, 2^31 - 1 for any other.
    const std::uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    std::uint32_t magnitude = 0;
    bool too_large = false;
    for (; p != end && *p >= '0' && *p <= '9'; ++p) {
        std::uint32_t digit = static_cast<std::uint32_t>(*p - '0');
        if (magnitude > (limit - digit) / 10) too_large = true;
        if (!too_large) magnitude = magnitude * 10 + digit;
    }
    bool has_digits = p != digits;
    while (p != end && is_blank(*p)) ++p;
    pop_string_args(f, 1);
    if (!has_digits || p != end) {
        record_error(f, kNotANumber);
        return 0;
    }
    if (too_large) {
        record_error(f, kValueOutOfRange);
        return 0;
    }
    return static_cast<std::int32_t>(negative ? 0u - magnitude : magnitude);
}
