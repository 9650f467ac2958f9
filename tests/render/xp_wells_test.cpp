// The drawing primitives, drawn into a DIB section and read back pixel by
// pixel: the gradient's bands and colours, lines, rectangles, captions.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <vector>

#include "dib_canvas.h"
#include "render/xp_wells.h"

namespace tessel {
namespace {

using namespace mXPWells;
using tessel_test::DibCanvas;
using tessel_test::PixelAt;

constexpr COLORREF kBackground = RGB(1, 2, 3);

// Start (0, 100, 200) towards (5, 0, 250) over n = 10: bands k = 0..10 from
// the right edge; bands 0 and 1 are the start colour, band k >= 2 is
// a + (k - 1)·d / 10 per channel, halves going to the even neighbour. Band 10
// lies past the left edge. (The painter draws horizontal gradients only.)
TEST(Gradient, TheExample) {
  constexpr std::array<COLORREF, 11> bands = {RGB(0, 100, 200), RGB(0, 100, 200), RGB(0, 90, 205),
                                              RGB(1, 80, 210),  RGB(2, 70, 215),  RGB(2, 60, 220),
                                              RGB(2, 50, 225),  RGB(3, 40, 230),  RGB(4, 30, 235),
                                              RGB(4, 20, 240),  RGB(4, 10, 245)};
  DibCanvas canvas(30, 3, kBackground);
  RECT r{10, 1, 20, 2};
  DrawGradient(canvas.dc(), RGB(5, 0, 250), RGB(0, 100, 200), r, 10, 1);
  for (int k = 0; k <= 10; ++k) {
    EXPECT_COLOUR(canvas.pixel(19 - k, 1), bands[k]) << "band " << k;
    EXPECT_COLOUR(canvas.pixel(19 - k, 0), kBackground);
    EXPECT_COLOUR(canvas.pixel(19 - k, 2), kBackground);
  }
  EXPECT_COLOUR(canvas.pixel(20, 1), kBackground);
  EXPECT_COLOUR(canvas.pixel(8, 1), kBackground);
  EXPECT_EQ(r, (RECT{9, 1, 9, 2})) << "the near edge is left where the last band ended";
}

TEST(Gradient, LengthsFrom510OnGetWiderBands) {
  // n = 600: band width 2, 301 bands, 602 pixels from x = 699 down to 98.
  DibCanvas canvas(720, 1, kBackground);
  RECT r{100, 0, 700, 1};
  DrawGradient(canvas.dc(), RGB(255, 60, 0), RGB(0, 0, 0), r, 600, 1);
  // Band k is k·2·(255, 60, 0)/600 from x = 699 - 2k: band 1 is 0.85 and 0.2.
  const PixelAt bands[] = {{696, 0, RGB(0, 0, 0)},    {695, 0, RGB(1, 0, 0)},
                           {399, 0, RGB(127, 30, 0)}, {98, 0, RGB(254, 60, 0)},
                           {97, 0, kBackground},      {700, 0, kBackground}};
  tessel_test::expect_pixels(canvas, bands);
  for (int k = 0; k <= 300; ++k) {
    EXPECT_EQ(canvas.pixel(699 - 2 * k, 0), canvas.pixel(698 - 2 * k, 0)) << "band " << k;
  }
  EXPECT_EQ(r, (RECT{98, 0, 98, 1}));
}

TEST(Gradient, ZeroLengthPaintsOneBandANegativeOneNothing) {
  DibCanvas canvas(30, 1, kBackground);
  RECT r{10, 0, 20, 1};
  DrawGradient(canvas.dc(), RGB(200, 200, 200), RGB(10, 20, 30), r, 0, 1);
  EXPECT_COLOUR(canvas.pixel(19, 0), RGB(10, 20, 30));
  EXPECT_COLOUR(canvas.pixel(18, 0), kBackground);
  EXPECT_EQ(r, (RECT{19, 0, 19, 1}));

  DibCanvas untouched(30, 1, kBackground);
  for (LONG n : {-1L, -255L, -600L, static_cast<LONG>(INT_MIN)}) {
    RECT r2{10, 0, 20, 1};
    DrawGradient(untouched.dc(), RGB(200, 200, 200), RGB(10, 20, 30), r2, n, 1);
    EXPECT_EQ(r2, (RECT{10, 0, 20, 1})) << n;
  }
  EXPECT_EQ(untouched.pixels(), std::vector<COLORREF>(30, kBackground));
}

TEST(Line, StopsOnePixelShortOfItsEndAndRestoresTheDc) {
  DibCanvas canvas(10, 12, kBackground);
  MoveToEx(canvas.dc(), 7, 7, nullptr);
  HGDIOBJ pen = GetCurrentObject(canvas.dc(), OBJ_PEN);
  DrawLine(canvas.dc(), 0, 0, 5, 0, RGB(255, 0, 0), 1);
  DrawLine(canvas.dc(), 8, 1, 8, 4, RGB(0, 0, 255), 1);
  DrawLine(canvas.dc(), 1, 8, 8, 8, RGB(0, 255, 0), 3);  // the row and one on either side
  DrawPixel(canvas.dc(), 9, 11, RGB(9, 8, 7));
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0);
  const PixelAt lines[] = {{0, 0, red},          {1, 0, red},           {2, 0, red},
                           {3, 0, red},          {4, 0, red},           {5, 0, kBackground},
                           {8, 3, blue},         {8, 4, kBackground},   {4, 6, kBackground},
                           {4, 7, green},        {4, 8, green},         {4, 9, green},
                           {4, 10, kBackground}, {9, 11, RGB(9, 8, 7)}, {8, 11, kBackground}};
  tessel_test::expect_pixels(canvas, lines);
  POINT position{};
  GetCurrentPositionEx(canvas.dc(), &position);
  EXPECT_EQ(position.x, 7);
  EXPECT_EQ(position.y, 7);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
}

TEST(Rect, FillsOnlyForTrueFramesOtherwiseAndWritesTheTranslatedColourBack) {
  // (2, 1, 6, 4): x 2..5, y 1..3.
  for (VARIANT_BOOL fill : {VARIANT_TRUE, VARIANT_FALSE, VARIANT_BOOL{1}, VARIANT_BOOL{-2}}) {
    SCOPED_TRACE(fill);
    DibCanvas canvas(8, 6, kBackground);
    OLE_COLOR colour = RGB(200, 0, 0);
    DrawRect(canvas.dc(), RECT{2, 1, 6, 4}, colour, fill);
    for (int y = 0; y < 6; ++y) {
      for (int x = 0; x < 8; ++x) {
        const bool inside = x >= 2 && x <= 5 && y >= 1 && y <= 3;
        const bool edge = inside && (x == 2 || x == 5 || y == 1 || y == 3);
        const bool painted = fill == VARIANT_TRUE ? inside : edge;
        EXPECT_COLOUR(canvas.pixel(x, y), painted ? RGB(200, 0, 0) : kBackground) << x << "," << y;
      }
    }
  }
  DibCanvas canvas(4, 4, kBackground);
  OLE_COLOR colour = 0x80000000 | COLOR_HIGHLIGHT;
  DrawRect(canvas.dc(), RECT{0, 0, 2, 2}, colour, VARIANT_TRUE);
  EXPECT_EQ(colour, GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_COLOUR(canvas.pixel(1, 1), GetSysColor(COLOR_HIGHLIGHT));
  OLE_COLOR framed = 0x80000000 | COLOR_WINDOW;
  DrawRect(canvas.dc(), RECT{0, 2, 4, 4}, framed, VARIANT_FALSE);
  EXPECT_EQ(framed, GetSysColor(COLOR_WINDOW));
  // A colour that cannot be translated turns black, in the variable too.
  OLE_COLOR broken = 0x800000FF;  // no such system colour
  DrawRect(canvas.dc(), RECT{2, 0, 4, 2}, broken, VARIANT_TRUE);
  EXPECT_EQ(broken, 0u);
  EXPECT_COLOUR(canvas.pixel(3, 1), RGB(0, 0, 0));
}

// What a drawing call leaves on a fresh white 120 × 30 canvas.
std::vector<COLORREF> drawn(const std::function<void(HDC)>& draw) {
  DibCanvas canvas(120, 30, RGB(255, 255, 255));
  SetBkMode(canvas.dc(), TRANSPARENT);
  draw(canvas.dc());
  return canvas.pixels();
}
std::vector<COLORREF> drawn_wide(const wchar_t* text, UINT format) {
  return drawn([&](HDC dc) {
    RECT r{4, 2, 116, 28};
    DrawTextW(dc, text, -1, &r, format);
  });
}
std::vector<COLORREF> drawn_caption(std::wstring_view text, LONG length, LONG format) {
  return drawn([&](HDC dc) { DrawCaption(dc, text, length, RECT{4, 2, 116, 28}, format); });
}

TEST(Caption, DrawsTheGivenLengthWithPrefixes) {
  EXPECT_EQ(drawn_caption(L"A&&B", 4, 0), drawn_wide(L"A&B", DT_NOPREFIX));
  EXPECT_NE(drawn_caption(L"A&&B", 4, 0), drawn([](HDC) {}));
  // "&H" underlines the H: the only difference from a plain "H" is one row.
  const auto underlined = drawn_caption(L"&H", 2, 0);
  const auto plain = drawn_wide(L"H", DT_NOPREFIX);
  std::vector<int> rows;
  for (size_t i = 0; i < plain.size(); ++i) {
    if (underlined[i] != plain[i]) rows.push_back(static_cast<int>(i / 120));
  }
  ASSERT_FALSE(rows.empty());
  EXPECT_EQ(rows.front(), rows.back());

  EXPECT_EQ(drawn_caption(L"Hello", 2, DT_CENTER), drawn_wide(L"He", DT_CENTER));
  EXPECT_EQ(drawn_caption(L"Hello", -1, DT_CENTER), drawn_wide(L"Hello", DT_CENTER));
  EXPECT_EQ(drawn_caption(L"Hello", 99, 0), drawn_wide(L"Hello", 0));
  // Characters outside the ANSI code page are drawn as themselves.
  EXPECT_EQ(drawn_caption(L"\u00C4\u4E2D", 2, 0), drawn_wide(L"\u00C4\u4E2D", 0));
}

TEST(Caption, MeasuringSetsTheExtentAndDrawsNothing) {
  DibCanvas canvas(60, 60, kBackground);
  HDC dc = canvas.dc();
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SIZE hello{}, ampersand_x{};
  GetTextExtentPoint32W(dc, L"Hello", 5, &hello);
  GetTextExtentPoint32W(dc, L"&x", 2, &ampersand_x);
  RECT r{5, 7, 505, 507};
  MeasureCaption(dc, L"Hello world", 5, r);
  EXPECT_EQ(r, (RECT{5, 7, 5 + hello.cx, 7 + metrics.tmHeight}));
  RECT prefixed{0, 0, 500, 500};
  MeasureCaption(dc, L"&&x", 3, prefixed);
  EXPECT_EQ(prefixed.right, ampersand_x.cx);
  // Word-break: a caption wider than the box takes several lines.
  RECT narrow{0, 0, 40, 0};
  MeasureCaption(dc, L"aaa bbb ccc ddd eee", -1, narrow);
  EXPECT_LE(narrow.right, 40);
  EXPECT_GE(narrow.bottom, 2 * metrics.tmHeight);
  EXPECT_EQ(canvas.pixels(), std::vector<COLORREF>(60 * 60, kBackground));
}

}  // namespace
}  // namespace tessel
