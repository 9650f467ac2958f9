// Lengths between the container's units (HIMETRIC, twips) and screen pixels,
// at the screen's logical resolution as it is at the time of the call.
#pragma once

#include <windows.h>

namespace framework {

// Logical pixels per inch of the screen, horizontally and vertically.
int screen_pixels_per_inch_x();
int screen_pixels_per_inch_y();

SIZE himetric_to_pixels(const SIZEL& himetric);
SIZEL pixels_to_himetric(const SIZE& pixels);

// The largest window length in pixels (window messages carry 16-bit sizes).
inline constexpr int kMaxWindowPixels = 32767;

// A vertical length in twips as whole pixels, rounded to the nearest (ties to
// even) and kept within 0..kMaxWindowPixels; not a number counts as 0.
int twips_to_pixels_y(double twips);

}  // namespace framework
