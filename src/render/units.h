// basUmrechnung: lengths between screen pixels and twips (1440 per inch).
// The factor is read from the screen's logical resolution on every call,
// separately for each direction; direction 1 is horizontal, any other value
// vertical.
#pragma once

#include <windows.h>

namespace tessel::basUmrechnung {

float fnc_TwipsPerPixelX();
float fnc_TwipsPerPixelY();

// Both trap their own failures: the failure is reported under the function's
// name and the result is 0; the caller sees no error.
double fnc_PixelToTwips(const double& Value, const LONG& Direction);
double fnc_TwipsToPixel(const double& Value, const LONG& Direction);

// The screen's logical pixels per inch for GetDeviceCaps index LOGPIXELSX or
// LOGPIXELSY. Tests replace it to run at other resolutions.
using PixelsPerInchSource = int (*)(int index);
PixelsPerInchSource set_pixels_per_inch_source(PixelsPerInchSource source);

}  // namespace tessel::basUmrechnung
