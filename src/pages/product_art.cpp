#include "pages/product_art.h"

#include "pages/pixel_art.h"

#include <cwchar>

namespace tessel {

namespace {

framework::GdiObject<HBITMAP> dib24(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = framework::dib_header(width, -height, 24);
  void* bits = nullptr;
  return framework::GdiObject<HBITMAP>(
      CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
}

void fill(HDC dc, const RECT& rect, COLORREF colour) {
  framework::GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(dc, &rect, brush.get());
}

// A vertical gradient from top to bottom, one band per pixel row.
void gradient(HDC dc, int width, int height, COLORREF top, COLORREF bottom) {
  for (int y = 0; y < height; ++y) {
    auto mix = [&](int a, int b) { return a + (b - a) * y / (height > 1 ? height - 1 : 1); };
    fill(dc, RECT{0, y, width, y + 1},
         RGB(mix(GetRValue(top), GetRValue(bottom)), mix(GetGValue(top), GetGValue(bottom)),
             mix(GetBValue(top), GetBValue(bottom))));
  }
}

// Three little column headers with an orange underline under the middle one.
void header_strip(HDC dc, int left, int top, int width, int height) {
  const int column = width / 3;
  for (int i = 0; i < 3; ++i) {
    const RECT face{left + i * column, top, left + (i + 1) * column - 1, top + height};
    fill(dc, face, RGB(235, 234, 219));
    fill(dc, RECT{face.right, top + 2, face.right + 1, top + height - 2}, RGB(172, 168, 153));
  }
  fill(dc, RECT{left, top + height, left + 3 * column, top + height + 1}, RGB(214, 210, 194));
  fill(dc, RECT{left + column, top + height - 2, left + 2 * column - 1, top + height},
       RGB(248, 169, 0));
}

template <class Paint>
framework::GdiObject<HBITMAP> painted(int width, int height, Paint paint) {
  framework::GdiObject<HBITMAP> bitmap = dib24(width, height);
  if (!bitmap) return bitmap;
  framework::MemoryDc dc;
  {
    framework::Selection selection(dc.get(), bitmap.get());
    paint(dc.get());
  }
  return bitmap;
}

framework::GdiObject<HFONT> bold_tahoma(int pixels) {
  return framework::GdiObject<HFONT>(CreateFontW(
      -pixels, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Tahoma"));
}

int text_width(HDC dc, HFONT font, const wchar_t* text) {
  framework::Selection selection(dc, font);
  SIZE extent{};
  GetTextExtentPoint32W(dc, text, static_cast<int>(wcslen(text)), &extent);
  return extent.cx;
}

// Draws text in bold Tahoma at the top left of rect, at most pixels high and
// smaller where that is needed to fit the text into the rectangle's width.
void caption(HDC dc, const RECT& rect, const wchar_t* text, int pixels, COLORREF colour) {
  constexpr int kSmallest = 8;
  framework::GdiObject<HFONT> font = bold_tahoma(pixels);
  while (pixels > kSmallest && text_width(dc, font.get(), text) > rect.right - rect.left) {
    font = bold_tahoma(--pixels);
  }
  framework::Selection selection(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  RECT box = rect;
  DrawTextW(dc, text, -1, &box, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
}

constexpr const wchar_t kProductName[] = L"Tessel Header-Control";

constexpr const char* kAboutIcon[16] = {
    "................",  //
    "................",  //
    "0000000000000000",  //
    "0FFFF7FFFF7FFFF0",  //
    "0FFFF8FFFF8FFFF0",  //
    "0FFFF8FFFF8FFFF0",  //
    "0FFFF8FFFF8FFFF0",  //
    "0777787777877770",  //
    "0888888CC8888880",  //
    "0000000000000000",  //
    "................",  //
    "..44444444444...",  //
    "..4FFFFFFFFFF4..",  //
    "..4FFFFFFFFFF4..",  //
    "..44444444444...",  //
    "................",  //
};

}  // namespace

framework::GdiObject<HBITMAP> make_large_banner() {
  constexpr int kWidth = 224, kHeight = 94;
  return painted(kWidth, kHeight, [&](HDC dc) {
    gradient(dc, kWidth, kHeight, RGB(0, 0, 128), RGB(90, 130, 220));
    header_strip(dc, 8, 8, kWidth - 16, 22);
    caption(dc, RECT{8, 44, kWidth - 8, kHeight - 4}, kProductName, 20, RGB(255, 255, 255));
  });
}

framework::GdiObject<HBITMAP> make_small_banner() {
  constexpr int kWidth = 216, kHeight = 61;
  return painted(kWidth, kHeight, [&](HDC dc) {
    gradient(dc, kWidth, kHeight, RGB(0, 0, 128), RGB(90, 130, 220));
    header_strip(dc, 8, 8, kWidth - 16, 16);
    caption(dc, RECT{8, kSmallBannerTitleTop, kWidth - 8, kHeight - 2}, kProductName, 16,
            RGB(255, 255, 255));
  });
}

framework::GdiObject<HBITMAP> make_header_glyph() {
  return painted(22, 20, [](HDC dc) {
    fill(dc, RECT{0, 0, 22, 20}, RGB(255, 255, 255));
    header_strip(dc, 1, 5, 20, 8);
  });
}

framework::GdiObject<HBITMAP> make_maker_mark() {
  return painted(72, 16, [](HDC dc) {
    gradient(dc, 72, 16, RGB(0, 0, 128), RGB(0, 0, 64));
    caption(dc, RECT{3, 1, 72, 16}, L"VELMAR", 12, RGB(255, 255, 255));
  });
}

framework::Icon make_about_icon() { return make_palette_icon(kAboutIcon); }

void draw_picture_box(HDC dc, const RECT& rect, HBITMAP bitmap) {
  FillRect(dc, &rect, GetSysColorBrush(COLOR_BTNFACE));
  if (!bitmap) return;
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  framework::MemoryDc source(dc);
  framework::Selection selection(source.get(), bitmap);
  BitBlt(dc, rect.left, rect.top, info.bmWidth, info.bmHeight, source.get(), 0, 0, SRCCOPY);
}

}  // namespace tessel
