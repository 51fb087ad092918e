// The arithmetic of positions and sizes: the rounding of the pixel to dialog
// unit conversions, checked against exact rational arithmetic done here in 64
// bits, and the 32-bit sums and differences that wrap around.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "toolkit/units.h"

namespace {

// n / d for d > 0 to the nearest integer, halves away from zero: the magnitude
// is floor((2|n| + d) / 2d). |n| < 2^42 here, so nothing overflows.
std::int64_t exact_rounded(std::int64_t n, std::int64_t d) {
    std::int64_t magnitude = ((n < 0 ? -n : n) * 2 + d) / (2 * d);
    return n < 0 ? -magnitude : magnitude;
}

std::int64_t clamp32(std::int64_t v) {
    if (v > INT32_MAX) return INT32_MAX;
    if (v < INT32_MIN) return INT32_MIN;
    return v;
}

// pixels x 1000 / scale exactly rounded, saturated to 32 bits.
std::int32_t exact_units(std::int32_t pixels, std::int32_t scale) {
    std::int64_t n = static_cast<std::int64_t>(pixels) * 1000;
    return static_cast<std::int32_t>(clamp32(scale == 0 ? n : exact_rounded(n, scale)));
}

// A fixed sequence of 32-bit values (xorshift), the same on every run.
struct Sequence {
    std::uint32_t state = 0x9E3779B9u;
    std::int32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<std::int32_t>(state);
    }
};

struct DivisionRow {
    std::int32_t n;
    std::int32_t d;
    std::int32_t expected;
    const char* why;
};

// clang-format off
const DivisionRow division_rows[] = {
    {1, 2, 1,            "0.5 rounds away from zero"},
    {-1, 2, -1,          "-0.5 rounds away from zero"},
    {3, 2, 2,            "1.5"},
    {-3, 2, -2,          "-1.5"},
    {5, 2, 3,            "2.5"},
    {-5, 2, -3,          "-2.5"},
    {1499, 1000, 1,      "1.499"},
    {-1499, 1000, -1,    "-1.499"},
    {1500, 1000, 2,      "1.5"},
    {-1500, 1000, -2,    "-1.5"},
    {1501, 1000, 2,      "1.501"},
    {2, 3, 1,            "0.667"},
    {1, 3, 0,            "0.333"},
    {-1, 3, 0,           "-0.333"},
    {-2, 3, -1,          "-0.667"},
    {0, 7, 0,            "zero"},
    {6, 3, 2,            "exact"},
    {-6, 3, -2,          "exact, negative"},
    {7, 0, 7,            "divisor 0: the dividend unchanged"},
    {-7, 0, -7,          "divisor 0, negative"},
    {0, 0, 0,            "divisor 0, zero"},
    {INT32_MAX, 0, INT32_MAX, "divisor 0, largest"},
    {INT32_MIN, 0, INT32_MIN, "divisor 0, smallest"},
    {INT32_MAX, 1, INT32_MAX, "largest"},
    {INT32_MIN, 1, INT32_MIN, "smallest"},
    {INT32_MAX, 2, 1073741824, "2^30 - 0.5 rounds up"},
    {INT32_MIN, 2, -1073741824, "exact"},
    {INT32_MIN + 1, 2, -1073741824, "-(2^30 - 0.5) rounds away"},
    {INT32_MAX, INT32_MAX, 1, "one"},
    {1073741824, INT32_MAX, 1, "2^30 / (2^31 - 1) is just over a half: 2r + 1 exceeds 31 bits"},
    {1073741823, INT32_MAX, 0, "(2^30 - 1) / (2^31 - 1) is just under a half"},
    {-1073741824, INT32_MAX, -1, "negative, just over a half"},
    {-1073741823, INT32_MAX, 0, "negative, just under a half"},
    {INT32_MIN, INT32_MAX, -1, "-2^31 / (2^31 - 1)"},
    {INT32_MAX, 1073741824, 2, "1.999..."},
    {INT32_MIN, -1, INT32_MAX, "2^31 does not fit: saturates"},
    {3, -2, -1,          "a negative divisor read as unsigned is huge: the quotient is only truncated"},
    {-3, -2, 1,          "the same, negative dividend"},
};
// clang-format on

TEST(DivideRounded, RoundsHalvesAwayFromZeroForBothSigns) {
    for (const DivisionRow& row : division_rows) {
        EXPECT_EQ(divide_rounded(row.n, row.d), row.expected) << row.n << " / " << row.d << " (" << row.why << ")";
    }
}

TEST(DivideRounded, AgreesWithExactArithmeticForPositiveDivisors) {
    Sequence seq;
    for (int i = 0; i < 200000; ++i) {
        std::int32_t n = seq.next();
        std::int32_t d = seq.next();
        // Divisors of every size: full range, up to 2^16, up to 2^8.
        if (i % 3 == 1) d >>= 15;
        if (i % 3 == 2) d >>= 23;
        if (d < 0) d = -(d + 1);
        if (d == 0) continue;
        ASSERT_EQ(divide_rounded(n, d), clamp32(exact_rounded(n, d))) << n << " / " << d;
    }
}

TEST(DivideRounded, AgreesWithExactArithmeticOnEveryHalf) {
    // n = k x d + d/2 and its neighbours, where halves and near-halves meet.
    const std::int32_t divisors[] = {2, 3, 4, 1000, 1500, 1625, 1750, 2000, 65535, 1 << 30, INT32_MAX};
    for (std::int32_t d : divisors) {
        for (std::int64_t k : {0LL, 1LL, 2LL, 7LL, -1LL, -2LL, -8LL}) {
            for (std::int64_t offset = -1; offset <= 1; ++offset) {
                std::int64_t n64 = k * d + d / 2 + offset;
                if (n64 < INT32_MIN || n64 > INT32_MAX) continue;
                auto n = static_cast<std::int32_t>(n64);
                EXPECT_EQ(divide_rounded(n, d), exact_rounded(n, d)) << n << " / " << d;
                EXPECT_EQ(divide_rounded(-n, d), exact_rounded(-static_cast<std::int64_t>(n), d))
                    << -static_cast<std::int64_t>(n) << " / " << d;
            }
        }
    }
}

struct ScaleRow {
    std::int32_t pixels;
    std::int32_t scale;
    std::int32_t expected;
    const char* why;
};

// clang-format off
const ScaleRow scale_rows[] = {
    {240, 1500, 160,     "240 px at Sx 1500"},
    {81, 1625, 50,       "81 px at Sy 1625: 49.85 rounds up"},
    {-7, 1500, -5,       "-4.67"},
    {1, 2000, 1,         "exactly 0.5"},
    {-1, 2000, -1,       "exactly -0.5"},
    {2, 2000, 1,         "exact"},
    {3, 2000, 2,         "1.5"},
    {12, 1500, 8,        "a control 12 px right of the client origin"},
    {30, 1625, 18,       "30 px below it: 18.46"},
    {0, 1750, 0,         "zero"},
    {1750, 1750, 1000,   "the scale itself is 1000 units"},
    {5, 0, 5000,         "scale 0: pixels x 1000"},
    {-5, 0, -5000,       "scale 0, negative"},
    {2147483, 1000, 2147483,   "the largest product that fits 32 bits"},
    {2147484, 1000, 2147484,   "just beyond it: still exact"},
    {-2147484, 1000, -2147484, "just beyond it, negative"},
    {INT32_MAX, 1000, INT32_MAX, "largest pixel value at scale 1000"},
    {INT32_MIN, 1000, INT32_MIN, "smallest pixel value at scale 1000"},
    {INT32_MAX, 1750, 1227133513, "2^31 - 1 px at 1750: 1227133512.57"},
    {INT32_MIN, 1625, -1321528399, "-2^31 px at 1625: -1321528398.77"},
    {INT32_MAX, 999, INT32_MAX, "beyond 32 bits: saturates"},
    {INT32_MIN, 999, INT32_MIN, "beyond 32 bits, negative: saturates"},
    {2147484, 0, INT32_MAX, "scale 0 beyond 32 bits: saturates"},
    {-2147484, 0, INT32_MIN, "scale 0 beyond 32 bits, negative: saturates"},
    {2147483, 0, 2147483000, "scale 0 just inside 32 bits"},
    {INT32_MAX, 1, INT32_MAX, "scale 1"},
};
// clang-format on

TEST(ScalePixelsToUnits, GivesTheExamplesAndLimits) {
    for (const ScaleRow& row : scale_rows) {
        EXPECT_EQ(scale_pixels_to_units(row.pixels, row.scale), row.expected)
            << row.pixels << " px at scale " << row.scale << " (" << row.why << ")";
    }
}

TEST(ScalePixelsToUnits, TheTableAgreesWithExactArithmetic) {
    // The rows above were worked by hand; the reference must say the same.
    for (const ScaleRow& row : scale_rows) {
        EXPECT_EQ(exact_units(row.pixels, row.scale), row.expected) << row.why;
    }
}

TEST(ScalePixelsToUnits, IsExactBeyondTheReachOf32BitProducts) {
    const std::int32_t scales[] = {1, 7, 999, 1000, 1001, 1500, 1625, 1750, 2000, 3333, 123457, INT32_MAX};
    Sequence seq;
    for (std::int32_t scale : scales) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        for (int i = 0; i < 20000; ++i) {
            std::int32_t p = seq.next();
            if (i % 2 == 0 && p > -2147484 && p < 2147484) p += p < 0 ? -2147484 : 2147484;  // beyond 32-bit products
            ASSERT_EQ(scale_pixels_to_units(p, scale), exact_units(p, scale)) << p << " px";
        }
        for (std::int32_t p = -3000; p <= 3000; ++p) {
            ASSERT_EQ(scale_pixels_to_units(p, scale), exact_units(p, scale)) << p << " px";
        }
    }
}

TEST(ScalePixelsToUnits, SaturatesExactlyAtThe32BitLimits) {
    // At scale 999, 2145336163 px is exactly 2^31 - 1 units (2147483646.65
    // rounded) and one pixel more would be 2^31; on the negative side -2^31 is
    // reached at -2145336164 px and passed one pixel further.
    struct Row {
        std::int32_t pixels;
        std::int32_t scale;
    };
    const Row rows[] = {{1, 0},
                        {2147483, 0},
                        {2147484, 0},
                        {-2147483, 0},
                        {-2147484, 0},
                        {INT32_MAX, 998},
                        {INT32_MAX, 999},
                        {INT32_MAX, 1000},
                        {INT32_MIN, 999},
                        {INT32_MIN, 1000},
                        {2145336162, 999},
                        {2145336163, 999},
                        {2145336164, 999},
                        {-2145336164, 999},
                        {-2145336165, 999}};
    for (const Row& row : rows) {
        EXPECT_EQ(scale_pixels_to_units(row.pixels, row.scale), exact_units(row.pixels, row.scale))
            << row.pixels << " px at scale " << row.scale;
    }
    EXPECT_EQ(scale_pixels_to_units(2145336162, 999), 2147483646);
    EXPECT_EQ(scale_pixels_to_units(2145336163, 999), INT32_MAX) << "exact";
    EXPECT_EQ(scale_pixels_to_units(2145336164, 999), INT32_MAX) << "saturated, not wrapped";
    EXPECT_EQ(scale_pixels_to_units(-2145336164, 999), INT32_MIN) << "exact";
    EXPECT_EQ(scale_pixels_to_units(-2145336165, 999), INT32_MIN) << "saturated, not wrapped";
}

struct WrapRow {
    std::int32_t a;
    std::int32_t b;
    std::int32_t sum;
    std::int32_t difference;
    const char* why;
};

TEST(ScaleUnitsToPixels, RoundsAsTheDialogManagerAndSaturatesBeyond32Bits) {
    const ScaleRow rows[] = {
        // scale 1500: 6 pixels for 4 units, MapDialogRect's MulDiv(units, 6, 4)
        {1, 1500, 2, "1.5 rounds away from zero"},
        {-1, 1500, -2, "-1.5"},
        {5, 1625, 8, "8.125 (vertical: MulDiv(units, 13, 8))"},
        {1431655764, 1500, 2147483646, "the largest result below the limit"},
        {1431655765, 1500, INT32_MAX, "2147483647.5 rounds beyond it: saturates"},
        {INT32_MAX, 1500, INT32_MAX, "beyond 32 bits: saturates, not -1"},
        {INT32_MIN, 1500, INT32_MIN, "beyond 32 bits, negative"},
    };
    for (const ScaleRow& row : rows) {
        EXPECT_EQ(scale_units_to_pixels(row.pixels, row.scale), row.expected)
            << row.pixels << " units at scale " << row.scale << " (" << row.why << ")";
    }
}

// clang-format off
const WrapRow wrap_rows[] = {
    {3, 5, 8, -2,                               "no wrap"},
    {INT32_MAX, 1, INT32_MIN, INT32_MAX - 1,    "x + width past the largest edge"},
    {INT32_MIN, -1, INT32_MAX, INT32_MIN + 1,   "past the smallest edge"},
    {INT32_MIN, 1, INT32_MIN + 1, INT32_MAX,    "index - 1 at the smallest index"},
    {0, 1, 1, -1,                               "index 0 reaches the platform as -1"},
    {INT32_MAX, INT32_MAX, -2, 0,               "both largest"},
    {INT32_MIN, INT32_MIN, 0, 0,                "both smallest"},
    {INT32_MAX, INT32_MIN, -1, -1,              "right - left across the whole range"},
    {-1, INT32_MIN, INT32_MAX, INT32_MAX,       "-1 - -2^31"},
};
// clang-format on

TEST(WrappingArithmetic, SumsAndDifferencesWrapAt32Bits) {
    for (const WrapRow& row : wrap_rows) {
        EXPECT_EQ(wrapping_add(row.a, row.b), row.sum) << row.a << " + " << row.b << " (" << row.why << ")";
        EXPECT_EQ(wrapping_sub(row.a, row.b), row.difference) << row.a << " - " << row.b << " (" << row.why << ")";
    }
}

}  // namespace
