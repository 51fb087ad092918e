#include "toolkit/units.h"

namespace {

std::int32_t saturate(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return static_cast<std::int32_t>(v);
}

std::uint64_t magnitude(std::int64_t v) {
    return v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
}

// Long division of magnitudes, one bit at a time. A 64-bit '/' would call
// libgcc's __divmoddi4, which a link-time optimised program without the C
// runtime asks for only after the libraries were scanned: the linker of
// these machines then crashes.
void divide_magnitudes(std::uint64_t n, std::uint64_t d, std::uint64_t& q, std::uint64_t& r) {
    q = 0;
    r = 0;
    for (int bit = 63; bit >= 0; --bit) {
        r = (r << 1) | ((n >> bit) & 1);
        if (r >= d) {
            r -= d;
            q |= std::uint64_t{1} << bit;
        }
    }
}

// The rounding division on a 64-bit dividend: q truncated toward zero, then
// one step away from zero when twice the remainder plus one exceeds d, the
// comparison made on unsigned 32-bit d as the conversion defines it.
std::int64_t divide_rounded_wide(std::int64_t n, std::int32_t d) {
    if (d == 0) return n;
    std::uint64_t qm, rm;
    divide_magnitudes(magnitude(n), magnitude(d), qm, rm);
    bool negative = (n < 0) != (d < 0);
    std::int64_t q = negative ? -static_cast<std::int64_t>(qm) : static_cast<std::int64_t>(qm);
    std::int64_t r = n < 0 ? -static_cast<std::int64_t>(rm) : static_cast<std::int64_t>(rm);
    std::uint64_t twice = 2 * static_cast<std::uint64_t>(r < 0 ? -r : r) + 1;  // |r| < 2^31: no overflow
    if (twice > static_cast<std::uint32_t>(d)) q += r < 0 ? -1 : 1;
    return q;
}

}  // namespace

std::int32_t divide_rounded(std::int32_t n, std::int32_t d) { return saturate(divide_rounded_wide(n, d)); }

std::int32_t scale_pixels_to_units(std::int32_t pixels, std::int32_t scale) {
    return saturate(divide_rounded_wide(static_cast<std::int64_t>(pixels) * 1000, scale));
}

std::int32_t scale_units_to_pixels(std::int32_t units, std::int32_t scale) {
    return saturate(divide_rounded_wide(static_cast<std::int64_t>(units) * scale, 1000));
}
