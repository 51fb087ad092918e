// Arithmetic of positions and sizes: the rounding of the pixel to dialog
// unit conversions, and 32-bit sums and differences that wrap around.
#pragma once

#include <cstdint>

// a + b and a - b in 32-bit wrap-around arithmetic: at the extremes they
// wrap (0x7FFFFFFF + 1 is -0x80000000) instead of overflowing.
constexpr std::int32_t wrapping_add(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) + static_cast<std::uint32_t>(b));
}
constexpr std::int32_t wrapping_sub(std::int32_t a, std::int32_t b) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(a) - static_cast<std::uint32_t>(b));
}

// n / d rounded to the nearest integer, halves away from zero (for positive
// d); d = 0 gives n unchanged.
std::int32_t divide_rounded(std::int32_t n, std::int32_t d);

// Pixels to dialog units at scale s (the pixels of 1000 units): pixels x 1000
// / s, rounded by divide_rounded, exact for every 32-bit pixel value; a
// result beyond 32 bits saturates. s = 0 gives pixels x 1000, saturated.
std::int32_t scale_pixels_to_units(std::int32_t pixels, std::int32_t scale);

// Dialog units to pixels at scale s: units x s / 1000, rounded by
// divide_rounded. With s the pixels of 1000 units of a dialog (250 and 125
// times its base units) that is the platform's MapDialogRect, which gives -1
// for a result beyond 32 bits; here such a result saturates.
std::int32_t scale_units_to_pixels(std::int32_t units, std::int32_t scale);
