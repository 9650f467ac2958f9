#include "render/xp_wells.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "framework/error.h"
#include "framework/gdi.h"

namespace tessel::mXPWells {

namespace {

// Translates colour into rgb; a colour that cannot be translated leaves rgb
// as it was.
void translate(OLE_COLOR colour, HPALETTE palette, COLORREF& rgb) {
  COLORREF translated = 0;
  if (SUCCEEDED(OleTranslateColor(colour, palette, &translated))) rgb = translated;
}

bool fits_long(std::int64_t value) {
  return value >= std::numeric_limits<LONG>::min() && value <= std::numeric_limits<LONG>::max();
}

void fill_band(HDC dc, const RECT& r, COLORREF colour) {
  framework::GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(dc, &r, brush.get());
}

// The first length characters of text (all for a negative length), never
// a null pointer.
std::wstring_view caption_prefix(std::wstring_view text, LONG length) {
  if (length >= 0 && static_cast<size_t>(length) < text.size()) text = text.substr(0, length);
  return text.empty() ? std::wstring_view(L"") : text;
}

}  // namespace

LONG ShadeColor(OLE_COLOR colour, LONG& red, LONG& green, LONG& blue, LONG offset,
                HPALETTE palette) {
  COLORREF rgb = 0;
  translate(colour, palette, rgb);
  const std::int64_t sums[3] = {static_cast<std::int64_t>(rgb & 255) + offset,
                                static_cast<std::int64_t>((rgb >> 8) & 255) + offset,
                                static_cast<std::int64_t>((rgb >> 16) & 255) + offset};
  for (std::int64_t sum : sums) {
    if (!fits_long(sum)) framework::raise_error(framework::error_number::kOverflow);
  }
  red = static_cast<LONG>(std::clamp<std::int64_t>(sums[0], 0, 255));
  green = static_cast<LONG>(std::clamp<std::int64_t>(sums[1], 0, 255));
  blue = static_cast<LONG>(std::clamp<std::int64_t>(sums[2], 0, 255));
  return red + 256 * green + 65536 * blue;
}

void DrawGradient(HDC dc, OLE_COLOR end_colour, OLE_COLOR start_colour, RECT& r, LONG length,
                  LONG horizontal) {
  // One translation result: an end colour that cannot be translated keeps
  // the start colour's value.
  COLORREF rgb = 0;
  translate(start_colour, nullptr, rgb);
  const COLORREF start = rgb;
  translate(end_colour, nullptr, rgb);
  const COLORREF end = rgb;

  double a[3], d[3];
  for (int channel = 0; channel < 3; ++channel) {
    a[channel] = (start >> (8 * channel)) & 255;
    d[channel] = static_cast<double>((end >> (8 * channel)) & 255) - a[channel];
  }

  const std::int64_t n = length;
  std::int64_t s = n / 255;
  if (s == 0) s = 1;
  // For n <= -255 the band width turns negative; like every other negative
  // length that paints nothing.
  if (n < 0) return;

  LONG& near_edge = horizontal != 0 ? r.left : r.top;
  LONG& far_edge = horizontal != 0 ? r.right : r.bottom;
  COLORREF current = start;
  for (std::int64_t i = n; i >= 0; i -= s) {
    const std::int64_t band_start = static_cast<std::int64_t>(far_edge) - s;
    // A band beyond the coordinate range ends the gradient: nothing past it
    // could be painted.
    if (!fits_long(band_start)) break;
    near_edge = static_cast<LONG>(band_start);
    fill_band(dc, r, current);
    far_edge = near_edge;
    if (n != 0) {
      int channels[3];
      for (int channel = 0; channel < 3; ++channel) {
        channels[channel] = static_cast<int>(
            std::nearbyint(a[channel] + static_cast<double>(n - i) * d[channel] / n));
      }
      current = RGB(channels[0], channels[1], channels[2]);
    }
  }
}

void DrawRect(HDC dc, const RECT& r, OLE_COLOR& colour, VARIANT_BOOL fill) {
  LONG red, green, blue;
  colour = static_cast<OLE_COLOR>(ShadeColor(colour, red, green, blue, 0, nullptr));
  framework::GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  if (fill == VARIANT_TRUE) {
    FillRect(dc, &r, brush.get());
  } else {
    FrameRect(dc, &r, brush.get());
  }
}

void DrawLine(HDC dc, LONG x1, LONG y1, LONG x2, LONG y2, OLE_COLOR colour, LONG width) {
  framework::GdiObject<HPEN> pen(CreatePen(PS_SOLID, width, colour));
  framework::Selection selected(dc, pen.get());
  POINT previous{};
  MoveToEx(dc, x1, y1, &previous);
  LineTo(dc, x2, y2);
  MoveToEx(dc, previous.x, previous.y, nullptr);
}

void DrawPixel(HDC dc, LONG x, LONG y, OLE_COLOR colour) { SetPixel(dc, x, y, colour); }

void GetClientRectangle(RECT& r, HWND window) { GetClientRect(window, &r); }

void SetDCTextColor(HDC dc, OLE_COLOR colour) { SetTextColor(dc, colour); }

void DrawCaption(HDC dc, std::wstring_view text, LONG length, const RECT& r, LONG format) {
  const std::wstring_view shown = caption_prefix(text, length);
  RECT box = r;
  DrawTextW(dc, shown.data(), static_cast<int>(shown.size()), &box, static_cast<UINT>(format));
}

void MeasureCaption(HDC dc, std::wstring_view text, LONG length, RECT& r) {
  const std::wstring_view shown = caption_prefix(text, length);
  DrawTextW(dc, shown.data(), static_cast<int>(shown.size()), &r, DT_CALCRECT | DT_WORDBREAK);
}

void CopyRectangle(RECT& destination, const RECT& source) { CopyRect(&destination, &source); }

void OffsetRectangle(RECT& r, LONG dx, LONG dy) { OffsetRect(&r, dx, dy); }

RECT InflateRectangle(RECT& r, LONG dx, LONG dy) {
  InflateRect(&r, dx, dy);
  return r;
}

void EmptyRectangle(RECT& r) { SetRectEmpty(&r); }

void DeleteGdiObject(HGDIOBJ object) { DeleteObject(object); }

}  // namespace tessel::mXPWells
