#include "render/units.h"

#include <cmath>
#include <utility>

#include "framework/error.h"
#include "framework/trapped_error.h"

namespace tessel::basUmrechnung {

namespace {

int screen_pixels_per_inch(int index) {
  HDC screen = GetDC(nullptr);
  int value = GetDeviceCaps(screen, index);
  ReleaseDC(nullptr, screen);
  return value;
}

PixelsPerInchSource g_source = &screen_pixels_per_inch;

float factor(int index) {
  int ppi = g_source(index);
  if (ppi == 0) framework::raise_error(11);  // division by zero
  double f = 1440.0 / ppi;
  if (std::fabs(f) > 3.402823466e38) framework::raise_error(framework::error_number::kOverflow);
  return static_cast<float>(f);
}

template <class F>
double trapped(const wchar_t* procedure, F&& body) {
  try {
    double result = body();
    if (!std::isfinite(result)) framework::raise_error(framework::error_number::kOverflow);
    return result;
  } catch (const framework::ControlError& e) {
    framework::report_trapped_error(procedure, e.number(), e.description());
  } catch (...) {
    framework::report_trapped_error(
        procedure, framework::error_number::kOutOfMemory,
        framework::classic_error_text(framework::error_number::kOutOfMemory));
  }
  return 0;
}

}  // namespace

PixelsPerInchSource set_pixels_per_inch_source(PixelsPerInchSource source) {
  return std::exchange(g_source, source ? source : &screen_pixels_per_inch);
}

float fnc_TwipsPerPixelX() { return factor(LOGPIXELSX); }

float fnc_TwipsPerPixelY() { return factor(LOGPIXELSY); }

double fnc_PixelToTwips(const double& Value, const LONG& Direction) {
  return trapped(L"fnc_PixelToTwips", [&] {
    float f = Direction == 1 ? fnc_TwipsPerPixelX() : fnc_TwipsPerPixelY();
    return static_cast<double>(f) * Value;
  });
}

double fnc_TwipsToPixel(const double& Value, const LONG& Direction) {
  return trapped(L"fnc_TwipsToPixel", [&] {
    float f = Direction == 1 ? fnc_TwipsPerPixelX() : fnc_TwipsPerPixelY();
    return Value / static_cast<double>(f);
  });
}

}  // namespace tessel::basUmrechnung
