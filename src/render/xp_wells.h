// mXPWells: the small drawing operations the header painter is built from.
//
// Every operation works on a DC the caller owns and leaves it as it found it:
// the pens and brushes it makes are selected out again and deleted before it
// returns. Coordinates are pixels; rectangles are exclusive on the right and
// bottom. DrawRect, DrawGradient and ShadeColor translate OLE colours (system
// colours allowed) to RGB; DrawLine, DrawPixel and SetDCTextColor hand the
// value to the DC unchanged. Only ShadeColor reports a failure; the results
// of the DC calls are not examined.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string_view>

namespace tessel::mXPWells {

// Translates colour with palette (nullptr: none; an untranslatable colour
// counts as black), adds offset to each of its channels, clamps each sum to
// 0..255 and stores it in red, green and blue. Returns the colour made of
// the clamped channels. Throws framework::ControlError 6 (overflow) when a
// channel plus offset leaves the 32-bit range; the outputs are then left
// unchanged.
LONG ShadeColor(OLE_COLOR colour, LONG& red, LONG& green, LONG& blue, LONG offset,
                HPALETTE palette);

// Banded gradient of length n = length pixels from start_colour towards
// end_colour. Bands of width max(n / 255, 1) are painted from r's right edge
// leftwards (horizontal != 0) or from its bottom edge upwards, while the
// band counter n, n - s, n - 2s, ... stays >= 0: n div s + 1 bands, the
// first two in the start colour, band k in a + (k - 1)·s·(e - a) / n per
// channel (nearest, ties to even). The painted span may pass r's far edge.
// On return r's left and right (or top and bottom) both stand where the last
// band ended. A negative length paints nothing and leaves r as it was. An
// untranslatable start colour is black; an untranslatable end colour repeats
// the start colour.
void DrawGradient(HDC dc, OLE_COLOR end_colour, OLE_COLOR start_colour, RECT& r, LONG length,
                  LONG horizontal);

// Translates colour to RGB (black when it cannot be translated) and writes
// that RGB value back into colour. Fills r when fill is VARIANT_TRUE (-1);
// any other value draws a one-pixel frame on r's inside edge.
void DrawRect(HDC dc, const RECT& r, OLE_COLOR& colour, VARIANT_BOOL fill);

// A solid line of the given width from (x1, y1) up to, not including,
// (x2, y2). The DC's current position is restored afterwards.
void DrawLine(HDC dc, LONG x1, LONG y1, LONG x2, LONG y2, OLE_COLOR colour, LONG width);

void DrawPixel(HDC dc, LONG x, LONG y, OLE_COLOR colour);

// (0, 0, client width, client height) of window.
void GetClientRectangle(RECT& r, HWND window);

void SetDCTextColor(HDC dc, OLE_COLOR colour);

// Draws the first length characters of text (all of it for a negative
// length) into r with the DC's text flags in format, as Unicode text, so a
// caption in any script shows its own letters. "&" prefixes are processed: "&x"
// underlines x, "&&" shows one "&".
void DrawCaption(HDC dc, std::wstring_view text, LONG length, const RECT& r, LONG format);

// The same call with the flags calculate-rectangle and word-break (1040):
// nothing is drawn; r keeps its left and top and gets the text's extent.
void MeasureCaption(HDC dc, std::wstring_view text, LONG length, RECT& r);

void CopyRectangle(RECT& destination, const RECT& source);
void OffsetRectangle(RECT& r, LONG dx, LONG dy);
// Grows r by dx left and right and by dy top and bottom (negative values
// shrink it), in place, and returns the result as well.
RECT InflateRectangle(RECT& r, LONG dx, LONG dy);
void EmptyRectangle(RECT& r);
// Deletes a pen, brush, bitmap or region.
void DeleteGdiObject(HGDIOBJ object);

}  // namespace tessel::mXPWells
