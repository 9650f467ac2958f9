#include "framework/units.h"

#include <algorithm>
#include <cmath>

#include "framework/gdi.h"

namespace framework {

namespace {

constexpr int kHimetricPerInch = 2540;
constexpr double kTwipsPerInch = 1440.0;

int screen_capability(int index) {
  WindowDc screen(nullptr);
  int value = screen ? GetDeviceCaps(screen.get(), index) : 0;
  return value > 0 ? value : 96;
}

}  // namespace

int screen_pixels_per_inch_x() { return screen_capability(LOGPIXELSX); }
int screen_pixels_per_inch_y() { return screen_capability(LOGPIXELSY); }

SIZE himetric_to_pixels(const SIZEL& himetric) {
  return {MulDiv(himetric.cx, screen_pixels_per_inch_x(), kHimetricPerInch),
          MulDiv(himetric.cy, screen_pixels_per_inch_y(), kHimetricPerInch)};
}

SIZEL pixels_to_himetric(const SIZE& pixels) {
  return {MulDiv(pixels.cx, kHimetricPerInch, screen_pixels_per_inch_x()),
          MulDiv(pixels.cy, kHimetricPerInch, screen_pixels_per_inch_y())};
}

int twips_to_pixels_y(double twips) {
  if (!(twips > 0)) return 0;  // negative, zero or not a number
  double pixels = std::nearbyint(twips * screen_pixels_per_inch_y() / kTwipsPerInch);
  return static_cast<int>(std::min<double>(pixels, kMaxWindowPixels));
}

}  // namespace framework
