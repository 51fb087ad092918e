// Rounding arithmetic of the pixel to dialog unit conversions.
#pragma once

#include <cstdint>

// n / d rounded to the nearest integer, halves away from zero (for positive
// d); d = 0 gives n unchanged.
std::int32_t divide_rounded(std::int32_t n, std::int32_t d);

// Pixels to dialog units at scale s (the pixels of 1000 units): pixels x 1000
// / s, rounded by divide_rounded, exact for every 32-bit pixel value; a
// result beyond 32 bits saturates. s = 0 gives pixels x 1000, saturated.
std::int32_t scale_pixels_to_units(std::int32_t pixels, std::int32_t scale);
