// The rounding division and the pixels to dialog units conversion against exact
// arithmetic in 128 bits.
//
// Input: n, d, pixels, scale as little-endian 32-bit words.
#include "fuzz_input.h"
#include "toolkit/units.h"

namespace {

using Wide = __int128;

std::int32_t saturate(Wide v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

Wide magnitude(Wide v) { return v < 0 ? -v : v; }

// n / d rounded to nearest, halves away from zero, for d > 0: the exact
// rational |n| / d plus one half, floored, carries the sign of n.
Wide round_half_away(Wide n, Wide d) {
    Wide m = (2 * magnitude(n) + d) / (2 * d);
    return n < 0 ? -m : m;
}

// The rule as it is defined for every divisor: d = 0 gives n; otherwise the
// truncated quotient steps by one in the direction of the remainder's sign
// when 2|r| + 1 exceeds d read as an unsigned 32-bit number. For d > 0 this is
// round_half_away; for d < 0 it is the rule itself.
Wide model(Wide n, std::int32_t d) {
    if (d == 0) return n;
    if (d > 0) return round_half_away(n, d);
    Wide q = n / d;  // truncates toward zero
    Wide r = n - q * d;
    Wide unsigned_d = static_cast<std::uint32_t>(d);
    if (2 * magnitude(r) + 1 > unsigned_d) q += r < 0 ? -1 : 1;
    return q;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    std::int32_t n = in.i32(), d = in.i32(), pixels = in.i32(), scale = in.i32();

    std::int32_t got = divide_rounded(n, d);
    std::int32_t want = saturate(model(n, d));
    FUZZ_EXPECT(got == want, "divide_rounded(%d, %d) = %d, got %d", n, d, want, got);
    if (d > 0) {
        // Nearest: within half a divisor of the dividend.
        Wide err = magnitude(static_cast<Wide>(got) * d - n);
        FUZZ_EXPECT(2 * err <= d, "divide_rounded(%d, %d) = %d is off by more than a half", n, d, got);
    }

    std::int32_t units = scale_pixels_to_units(pixels, scale);
    std::int32_t want_units = saturate(model(static_cast<Wide>(pixels) * 1000, scale));
    FUZZ_EXPECT(units == want_units, "scale_pixels_to_units(%d, %d) = %d, got %d", pixels, scale, want_units, units);
    return 0;
}
