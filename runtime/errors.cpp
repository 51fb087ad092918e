#include "runtime/errors.h"

namespace {

std::uint32_t bits(std::int32_t v) { return static_cast<std::uint32_t>(v); }

void check(ProcFrame& f, bool ok) {
    if (!ok) record_error(f, kValueOutOfRange);
}

}  // namespace

void record_error(ProcFrame& f, std::uint8_t n) {
    f.error_word = static_cast<std::uint16_t>(kErrorPending | (n == 0 ? kInternalError : n));
}

void record_error_or_5(ProcFrame& f, std::uint8_t n) { record_error(f, n == 0 ? 5 : n); }
void record_error_5(ProcFrame& f) { record_error(f, 5); }
void record_error_6(ProcFrame& f) { record_error(f, 6); }
void record_error_52(ProcFrame& f) { record_error(f, 52); }
void record_error_244(ProcFrame& f) { record_error(f, 244); }

void check_byte_range(ProcFrame& f, std::int32_t v) { check(f, (bits(v) & 0xFFFFFF00u) == 0); }
void check_byte_range_16(ProcFrame& f, std::int32_t v) { check(f, (bits(v) & 0x0000FF00u) == 0); }
void check_non_negative(ProcFrame& f, std::int32_t v) { check(f, (bits(v) & 0x80000000u) == 0); }
void check_non_negative_integer(ProcFrame& f, std::int32_t v) { check(f, (bits(v) & 0xFFFF8000u) == 0); }
void check_word_range(ProcFrame& f, std::int32_t v) { check(f, (bits(v) & 0xFFFF0000u) == 0); }

void check_integer_range(ProcFrame& f, std::int32_t v) { check(f, v == static_cast<std::int16_t>(bits(v) & 0xFFFFu)); }

std::int32_t check_index(ProcFrame& f, std::int32_t index, std::int32_t lower, bool beyond) {
    // The subtraction wraps in 32 bits, as the position is defined; done on
    // unsigned words it cannot overflow.
    std::uint32_t d = bits(index) - bits(lower);
    if (beyond || (d & 0x80000000u) != 0) record_error(f, kIndexOutOfRange);
    return static_cast<std::int32_t>(d);
}

void check_array_present(ProcFrame& f, const void* ref) {
    if (ref == nullptr) record_error(f, kIndexOutOfRange);
}

void* dispatch_error_trap(ProcFrame& f) {
    if ((f.error_word & kErrorPending) == 0) return nullptr;
    f.error_word = static_cast<std::uint16_t>(f.error_word & ~kErrorPending);
    if (f.error_trap == nullptr) return nullptr;
    f.error_word = static_cast<std::uint16_t>(f.error_word | kErrorInHandler);
    return f.error_trap;
}
