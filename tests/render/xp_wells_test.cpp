// The drawing primitives, drawn into a DIB section and read back pixel by
// pixel: the gradient's bands and colours, lines, rectangles, colour
// shading, caption drawing and measuring.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <functional>
#include <vector>

#include "dib_canvas.h"
#include "framework/error.h"
#include "render/xp_wells.h"

// RECT lives in the global namespace, so its comparison and printing do too.
bool operator==(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
void PrintTo(const RECT& r, std::ostream* out) {
  *out << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace tessel {
namespace {

using namespace mXPWells;
using tessel_test::DibCanvas;

constexpr COLORREF kBackground = RGB(1, 2, 3);
constexpr OLE_COLOR kWindowColour = 0x80000000 | COLOR_WINDOW;
constexpr OLE_COLOR kUntranslatable = 0x800000FF;  // no such system colour

std::string colour_text(COLORREF c) {
  return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}
#define EXPECT_COLOUR(actual, expected) EXPECT_EQ(colour_text(actual), colour_text(expected))

// Start (0, 100, 200) towards (5, 0, 250) over n = 10: bands k = 0..10 from
// the right (or bottom) edge; bands 0 and 1 are the start colour, band
// k >= 2 is a + (k - 1)·d / 10 per channel, halves going to the even
// neighbour. Band 10 lies past the left (top) edge.
TEST(Gradient, TheExampleInBothDirections) {
  constexpr std::array<COLORREF, 11> bands = {RGB(0, 100, 200), RGB(0, 100, 200), RGB(0, 90, 205),
                                              RGB(1, 80, 210),  RGB(2, 70, 215),  RGB(2, 60, 220),
                                              RGB(2, 50, 225),  RGB(3, 40, 230),  RGB(4, 30, 235),
                                              RGB(4, 20, 240),  RGB(4, 10, 245)};
  for (LONG direction : {1L, 0L}) {
    SCOPED_TRACE(direction == 1 ? "horizontal" : "vertical");
    // The canvas is 30 × 3 or 3 × 30; (along, across) maps to (x, y).
    const bool h = direction == 1;
    DibCanvas canvas(h ? 30 : 3, h ? 3 : 30, kBackground);
    auto at = [&](int along, int across) {
      return h ? canvas.pixel(along, across) : canvas.pixel(across, along);
    };
    RECT r = h ? RECT{10, 1, 20, 2} : RECT{1, 10, 2, 20};
    DrawGradient(canvas.dc(), RGB(5, 0, 250), RGB(0, 100, 200), r, 10, direction);
    for (int k = 0; k <= 10; ++k) {
      EXPECT_COLOUR(at(19 - k, 1), bands[k]) << "band " << k;
      EXPECT_COLOUR(at(19 - k, 0), kBackground);
      EXPECT_COLOUR(at(19 - k, 2), kBackground);
    }
    EXPECT_COLOUR(at(20, 1), kBackground);
    EXPECT_COLOUR(at(8, 1), kBackground);
    // The near edge is left where the last band ended.
    EXPECT_EQ(r, h ? (RECT{9, 1, 9, 2}) : (RECT{1, 9, 2, 9}));
  }
}

TEST(Gradient, LengthsFrom510OnGetWiderBands) {
  // n = 600: band width 2, 301 bands, 602 pixels from x = 699 down to 98.
  DibCanvas canvas(720, 1, kBackground);
  RECT r{100, 0, 700, 1};
  DrawGradient(canvas.dc(), RGB(255, 60, 0), RGB(0, 0, 0), r, 600, 1);
  EXPECT_COLOUR(canvas.pixel(696, 0), RGB(0, 0, 0));
  EXPECT_COLOUR(canvas.pixel(695, 0), RGB(1, 0, 0));     // 2·255/600 = 0.85, 2·60/600 = 0.2
  EXPECT_COLOUR(canvas.pixel(399, 0), RGB(127, 30, 0));  // band 150: 298·255/600, 298·60/600
  EXPECT_COLOUR(canvas.pixel(98, 0), RGB(254, 60, 0));   // band 300: 598·255/600, 598·60/600
  EXPECT_COLOUR(canvas.pixel(97, 0), kBackground);
  EXPECT_COLOUR(canvas.pixel(700, 0), kBackground);
  for (int k = 0; k <= 300; ++k) {
    EXPECT_EQ(canvas.pixel(699 - 2 * k, 0), canvas.pixel(698 - 2 * k, 0)) << "band " << k;
  }
  EXPECT_EQ(r, (RECT{98, 0, 98, 1}));
}

TEST(Gradient, ZeroLengthPaintsOneBandNegativeNothingAndTheRangeEndStopsIt) {
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
    DrawGradient(untouched.dc(), RGB(200, 200, 200), RGB(10, 20, 30), r2, n, 0);
    EXPECT_EQ(r2, (RECT{10, 0, 20, 1})) << n;
  }
  EXPECT_EQ(untouched.pixels(), std::vector<COLORREF>(30, kBackground));

  RECT edge{INT_MIN, 0, INT_MIN + 3, 1};
  DrawGradient(canvas.dc(), RGB(0, 0, 0), RGB(9, 9, 9), edge, 10, 1);
  EXPECT_EQ(edge, (RECT{INT_MIN, 0, INT_MIN, 1}));
}

TEST(Gradient, TranslatesSystemColoursAndRepeatsTheStartForAnUntranslatableEnd) {
  DibCanvas canvas(30, 3, kBackground);
  RECT system_start{10, 0, 20, 1};
  DrawGradient(canvas.dc(), RGB(0, 0, 0), kWindowColour, system_start, 10, 1);
  EXPECT_COLOUR(canvas.pixel(19, 0), GetSysColor(COLOR_WINDOW));
  // An untranslatable start is black: the last band is 9/10 of the way.
  RECT black_start{10, 1, 20, 2};
  DrawGradient(canvas.dc(), RGB(10, 20, 30), kUntranslatable, black_start, 10, 1);
  EXPECT_COLOUR(canvas.pixel(19, 1), RGB(0, 0, 0));
  EXPECT_COLOUR(canvas.pixel(9, 1), RGB(9, 18, 27));
  // An untranslatable end repeats the start: a plain fill.
  RECT plain{10, 2, 20, 3};
  DrawGradient(canvas.dc(), kUntranslatable, RGB(40, 50, 60), plain, 10, 1);
  for (int x = 9; x <= 19; ++x) EXPECT_COLOUR(canvas.pixel(x, 2), RGB(40, 50, 60)) << x;
}

TEST(Line, StopsOnePixelShortOfItsEndAndRestoresTheDc) {
  DibCanvas canvas(10, 12, kBackground);
  MoveToEx(canvas.dc(), 7, 7, nullptr);
  HGDIOBJ pen = GetCurrentObject(canvas.dc(), OBJ_PEN);
  DrawLine(canvas.dc(), 0, 0, 5, 0, RGB(255, 0, 0), 1);
  for (int x = 0; x <= 4; ++x) EXPECT_COLOUR(canvas.pixel(x, 0), RGB(255, 0, 0)) << x;
  EXPECT_COLOUR(canvas.pixel(5, 0), kBackground);
  DrawLine(canvas.dc(), 8, 1, 8, 4, RGB(0, 0, 255), 1);
  EXPECT_COLOUR(canvas.pixel(8, 3), RGB(0, 0, 255));
  EXPECT_COLOUR(canvas.pixel(8, 4), kBackground);
  // Width 3 covers the line's row and one on either side.
  DrawLine(canvas.dc(), 1, 8, 8, 8, RGB(0, 255, 0), 3);
  for (int y = 7; y <= 9; ++y) EXPECT_COLOUR(canvas.pixel(4, y), RGB(0, 255, 0)) << y;
  EXPECT_COLOUR(canvas.pixel(4, 6), kBackground);
  EXPECT_COLOUR(canvas.pixel(4, 10), kBackground);
  POINT position{};
  GetCurrentPositionEx(canvas.dc(), &position);
  EXPECT_EQ(position.x, 7);
  EXPECT_EQ(position.y, 7);
  EXPECT_EQ(GetCurrentObject(canvas.dc(), OBJ_PEN), pen);
  DrawPixel(canvas.dc(), 9, 11, RGB(9, 8, 7));
  EXPECT_COLOUR(canvas.pixel(9, 11), RGB(9, 8, 7));
  EXPECT_COLOUR(canvas.pixel(8, 11), kBackground);
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
  OLE_COLOR framed = kWindowColour;
  DrawRect(canvas.dc(), RECT{0, 2, 4, 4}, framed, VARIANT_FALSE);
  EXPECT_EQ(framed, GetSysColor(COLOR_WINDOW));
  // A colour that cannot be translated turns black, in the variable too.
  OLE_COLOR broken = kUntranslatable;
  DrawRect(canvas.dc(), RECT{2, 0, 4, 2}, broken, VARIANT_TRUE);
  EXPECT_EQ(broken, 0u);
  EXPECT_COLOUR(canvas.pixel(3, 1), RGB(0, 0, 0));
}

TEST(Shade, AddsTheOffsetClampsAndTranslates) {
  LONG red = -1, green = -1, blue = -1;
  EXPECT_EQ(ShadeColor(RGB(250, 10, 128), red, green, blue, 10, nullptr), RGB(255, 20, 138));
  EXPECT_EQ((std::array{red, green, blue}), (std::array<LONG, 3>{255, 20, 138}));
  EXPECT_EQ(ShadeColor(RGB(250, 10, 128), red, green, blue, -20, nullptr), RGB(230, 0, 108));
  EXPECT_EQ(ShadeColor(RGB(1, 2, 3), red, green, blue, INT_MIN, nullptr), RGB(0, 0, 0));
  EXPECT_EQ(ShadeColor(RGB(0, 0, 0), red, green, blue, INT_MAX, nullptr), RGB(255, 255, 255));
  EXPECT_EQ(ShadeColor(kWindowColour, red, green, blue, 0, nullptr), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(ShadeColor(kUntranslatable, red, green, blue, 7, nullptr), RGB(7, 7, 7));

  // With a palette, a palette index (its low byte) stays an index as long
  // as the palette has that entry; index 5 is not in a palette of two.
  struct {
    LOGPALETTE header;
    PALETTEENTRY more;
  } entries{{0x300, 2, {{0, 0, 0, 0}}}, {10, 20, 30, 0}};
  HPALETTE palette = CreatePalette(&entries.header);
  ASSERT_NE(palette, nullptr);
  EXPECT_EQ(ShadeColor(0x01000001, red, green, blue, 5, palette), RGB(6, 5, 5));
  EXPECT_EQ(ShadeColor(0x01000005, red, green, blue, 5, palette), RGB(5, 5, 5));
  EXPECT_EQ(ShadeColor(0x01000005, red, green, blue, 5, nullptr), RGB(10, 5, 5));
  DeleteObject(palette);

  // A channel leaving the LONG range is error 6, with the outputs untouched.
  red = 11, green = 12, blue = 13;
  try {
    ShadeColor(RGB(0, 0, 1), red, green, blue, INT_MAX, nullptr);
    ADD_FAILURE() << "no error";
  } catch (const framework::ControlError& e) {
    EXPECT_EQ(e.number(), 6);
  }
  EXPECT_EQ((std::array{red, green, blue}), (std::array<LONG, 3>{11, 12, 13}));
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

TEST(Caption, DrawsTheGivenLengthInTheAnsiCodePageWithPrefixes) {
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
  ASSERT_EQ(GetACP(), 1252u);
  // Ä exists in the ANSI code page; 中 does not and becomes "?".
  EXPECT_EQ(drawn_caption(L"\u00C4\u4E2D", 2, 0), drawn_wide(L"\u00C4?", 0));
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

TEST(Wrappers, InflateClientAreaAndDeletion) {
  RECT r{11, 0, 13, 2};
  EXPECT_EQ(InflateRectangle(r, 2, -1), (RECT{9, 1, 15, 1}));
  EXPECT_EQ(r, (RECT{9, 1, 15, 1}));
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 30, 40, 120, 30, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(window, nullptr);
  GetClientRectangle(r, window);
  EXPECT_EQ(r, (RECT{0, 0, 120, 30}));
  DestroyWindow(window);
  HBRUSH brush = CreateSolidBrush(RGB(1, 1, 1));
  DeleteGdiObject(brush);
  EXPECT_EQ(GetObjectType(brush), 0u);
}

}  // namespace
}  // namespace tessel
