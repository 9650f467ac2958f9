// The header painter, pixel by pixel: layout, separators, the sunken pressed
// column, the sort marker, the hot underline, captions and pictures, and the
// passes that must complete although a decoration's column is gone.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <string>

#include "control/control_state.h"
#include "framework/gdi.h"
#include "render/dib_canvas.h"
#include "render/header_painter.h"
#include "render/test_images.h"
#include "support/gdi_count.h"
#include "support/png_writer.h"

namespace tessel_test {
namespace {

using tessel::ControlState;

constexpr COLORREF kBack = RGB(249, 250, 253);
constexpr COLORREF kForm = RGB(224, 223, 227);
constexpr COLORREF kFrame = RGB(10, 20, 30);
constexpr COLORREF kWhite = RGB(255, 255, 255);
// The three-line bottom edge, from its last line up.
constexpr COLORREF kEdge23 = RGB(189, 190, 206);
constexpr COLORREF kEdge22 = RGB(209, 210, 222);
constexpr COLORREF kEdge21 = RGB(230, 231, 239);

// A surface on a DIB section whose container grants every height request.
class CanvasSurface final : public tessel::PaintSurface {
 public:
  CanvasSurface(int width, int height)
      : canvas(width, 64, RGB(0, 0, 0)), width_(width), height_(height) {}
  HDC dc() override { return canvas.dc(); }
  RECT client_rect() override { return RECT{0, 0, width_, height_}; }
  void clear() override { canvas.fill(RGB(1, 2, 3)); }
  void set_height_twips(float twips) override {
    height_ = static_cast<int>(std::lround(twips / 15.0f));
  }
  void refresh() override { ++refreshes; }

  DibCanvas canvas;
  int refreshes = 0;

 private:
  int width_, height_;
};

// Green with magenta corners (the mask colour).
framework::ComPtr<IPictureDisp> cornered_picture() {
  return make_bitmap_picture(16, 16, [](int x, int y) {
    bool corner = (x == 0 || x == 15) && (y == 0 || y == 15);
    return corner ? RGB(255, 0, 255) : RGB(0, 200, 0);
  });
}

ControlState header(std::initializer_list<LONG> widths, LONG height) {
  ControlState s;
  s.NumberOfRows = static_cast<LONG>(widths.size());
  s.Tabs.redim_preserve(s.NumberOfRows);
  LONG i = 1;
  for (LONG w : widths) s.Tabs(i++).RowWidth = w;
  s.look.HeaderHeight = height;
  s.look.BackColor = kBack;
  s.look.BackColorForm = kForm;
  s.look.FrameColor = kFrame;
  s.look.ForeColor = RGB(0, 0, 0);
  s.look.MaskColor = RGB(255, 0, 255);
  return s;
}

framework::GdiObject<HFONT> tahoma() {
  return framework::GdiObject<HFONT>(
      CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, L"Tahoma"));
}

// Expects the narrow surface to show the wide one's painting, cut off at
// its width, and returns the number of dark (ink) pixels it shows.
int expect_cut_of(const CanvasSurface& narrow, const CanvasSurface& wide, int width, int height) {
  int ink = 0;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const COLORREF shown = narrow.canvas.pixel(x, y);
      EXPECT_EQ(shown, wide.canvas.pixel(x, y)) << x << ", " << y;
      if (shown != wide.canvas.pixel(x, y)) return ink;
      ink += GetRValue(shown) < 128;
    }
  }
  return ink;
}

// Paints one pass and keeps a PNG of it under the build tree.
void paint(ControlState& s, CanvasSurface& surface, const wchar_t* picture = nullptr) {
  tessel::paint_header(s, surface);
  if (picture) {
    RECT r = surface.client_rect();
    write_png(surface.dc(), r.right, r.bottom, picture_dir() + picture + L".png");
  }
}

TEST(HeaderPainter, LaysColumnsOutWithSeparatorsFrameAndTranslatedColours) {
  ControlState s = header({100, 50}, 24);
  CanvasSurface surface(200, 40);
  paint(s, surface, L"two_columns");
  EXPECT_EQ(surface.refreshes, 1);
  EXPECT_EQ(surface.client_rect().bottom, 24) << "the height follows HeaderHeight";
  ASSERT_EQ(s.TabRects.size(), 3u);
  EXPECT_EQ(s.TabRects[1], (RECT{2, 2, 102, 24}));
  EXPECT_EQ(s.TabRects[2], (RECT{104, 2, 154, 24}));
  EXPECT_EQ((std::vector<LONG>{s.Tabs(2).RowLeft, s.Tabs(2).RowTop, s.Tabs(2).RowHeight}),
            (std::vector<LONG>{104, 2, 24}));
  const DibCanvas& c = surface.canvas;
  for (int x : {102, 154}) {
    expect_pixels(c, {{x, 3, kBack}, {x, 19, kBack}});
    for (int y = 4; y <= 18; ++y)
      expect_pixels(c, {{x, y, RGB(181, 182, 200)}, {x + 1, y, kWhite}});
  }
  expect_pixels(c, {{155, 10, kWhite}, {156, 10, kForm}, {199, 0, kForm}, {50, 10, kBack}});
  // The bottom edge across the whole width; no frame by default.
  for (int x : {0, 50, 199})
    expect_pixels(c, {{x, 23, kEdge23}, {x, 22, kEdge22}, {x, 21, kEdge21}});
  expect_pixels(c, {{0, 5, kBack}});

  // The frame when asked: the side lines run to the end, over the bottom
  // edge drawn before them.
  s.look.ShowFrame = true;
  paint(s, surface);
  expect_pixels(
      c,
      {{100, 0, kFrame}, {0, 10, kFrame}, {199, 10, kFrame}, {0, 23, kFrame}, {100, 23, kEdge23}});

  s.look.ShowFrame = false;
  s.look.BackColor = 0x8000000F;      // button face
  s.look.BackColorForm = 0x80000005;  // window
  paint(s, surface);
  EXPECT_EQ(s.look.BackColor, GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(s.look.BackColorForm, GetSysColor(COLOR_WINDOW));
  EXPECT_COLOUR(surface.canvas.pixel(50, 10), GetSysColor(COLOR_BTNFACE));
}

TEST(HeaderPainter, DrawsThePressedColumnSunkenAndUnderlinesTheHotOneUnlessItIsPressed) {
  ControlState s = header({100, 50}, 24);
  s.SelectedRow = 1;
  CanvasSurface surface(200, 24);
  paint(s, surface, L"pressed_column");
  const COLORREF frame = RGB(128, 128, 153), outer = RGB(185, 185, 200), inner = RGB(212, 212, 223),
                 fill = RGB(236, 236, 243);
  const PixelAt sunken[] = {{1, 1, frame},   {102, 1, frame}, {1, 23, frame},  {102, 12, frame},
                            {60, 23, frame}, {102, 2, frame}, {0, 12, kBack},  {103, 12, kWhite},
                            {2, 1, outer},   {50, 1, outer},  {101, 1, outer}, {50, 2, inner},
                            {101, 2, inner}, {2, 3, outer},   {3, 3, inner},   {2, 12, outer},
                            {3, 12, inner},  {2, 22, outer},  {3, 22, inner},  {50, 12, fill},
                            {101, 12, fill},  // the column's own separator is covered
                            {50, 22, fill}};  // and so is the bottom edge
  expect_pixels(surface.canvas, sunken);

  // The hot column is underlined in orange.
  s.SelectedRow = 0;
  s.HotTab = 2;
  paint(s, surface, L"hot_column");
  // y = 23: x 105..151, from RGB(218, 157, 26) at the right; y = 22: x
  // 104..152; y = 21: x 103..153.
  const COLORREF o1 = RGB(244, 203, 111), o2 = RGB(218, 157, 26), o3 = RGB(229, 160, 16),
                 o4 = RGB(222, 150, 0), o5 = RGB(250, 213, 135), o6 = RGB(252, 223, 157);
  const COLORREF e1 = kEdge21, e2 = kEdge22, e3 = kEdge23;
  const PixelAt hot[] = {{104, 23, e3}, {105, 23, o1}, {150, 23, o2}, {151, 23, o2}, {152, 23, e3},
                         {103, 22, e2}, {152, 22, o3}, {153, 22, e2}, {153, 21, o4}, {102, 21, e1},
                         {154, 21, e1}, {106, 21, o5}, {107, 21, o6}};
  expect_pixels(surface.canvas, hot);
  EXPECT_NE(surface.canvas.pixel(104, 22), kEdge22);
  EXPECT_NE(surface.canvas.pixel(103, 21), kEdge21);
  s.SelectedRow = 2;
  paint(s, surface);
  EXPECT_COLOUR(surface.canvas.pixel(107, 21), fill);
}

TEST(HeaderPainter, PutsTheTwoStrokeSortMarkerAtTheColumnsRightEdge) {
  struct Case {
    LONG height;
    bool descending;
    int base, apex;
    const wchar_t* picture;
  };
  for (const Case& k :
       {Case{21, false, 6, 14, nullptr}, Case{21, true, 14, 6, nullptr},
        Case{25, false, 8, 16, L"sort_ascending"}, Case{25, true, 16, 8, L"sort_descending"}}) {
    SCOPED_TRACE(testing::Message() << "height " << k.height << ", descending " << k.descending);
    ControlState s = header({100, 50}, k.height);
    s.look.ShowSortPic = true;
    s.SortedRow = 1;
    s.Tabs(1).RowSort = k.descending;
    CanvasSurface surface(200, k.height);
    paint(s, surface, k.picture);
    const DibCanvas& c = surface.canvas;
    const COLORREF grey = RGB(132, 132, 132);
    // Base from x = R - 9 to R - 3 (R = 102), the slanted side ending at
    // (R - 5, apex) exclusive.
    for (int x = 93; x <= 99; ++x) EXPECT_EQ(c.pixel(x, k.base), grey) << x;
    const int step = k.apex > k.base ? 1 : -1;
    expect_pixels(c, {{93, k.base + step, grey}, {96, k.apex - step, grey}});
    for (POINT p : {POINT{100, k.base}, POINT{92, k.base}, POINT{97, k.apex}}) {
      EXPECT_NE(c.pixel(p.x, p.y), grey) << p.x << ", " << p.y;
    }
  }
}

TEST(HeaderPainter, PlacesCaptionsAndPicturesFromTheColumnsLeftEdge) {
  ControlState s = header({100, 100}, 25);
  s.Tabs(1).RowCaption = L"I";
  s.Tabs(2).RowCaption = L"I";
  auto picture = cornered_picture();
  s.Tabs(2).set_RowIcon(picture.get());
  CanvasSurface surface(300, 25);
  const framework::GdiObject<HFONT> font = tahoma();
  framework::Selection selection(surface.dc(), font.get());
  paint(s, surface, L"captions_and_picture");
  const DibCanvas& c = surface.canvas;
  auto first_ink = [&](int from, int to) {
    for (int x = from; x < to; ++x) {
      for (int y = 3; y < 20; ++y) {
        const COLORREF p = c.pixel(x, y);
        // Text may be smoothed: any dark pixel is ink.
        if (GetRValue(p) < 160 && GetGValue(p) < 160 && GetBValue(p) < 160) return x;
      }
    }
    return -1;
  };
  // Column 1 starts at 2: the caption box starts 8 pixels right of it.
  const int ink1 = first_ink(2, 100);
  EXPECT_TRUE(ink1 >= 10 && ink1 <= 12) << ink1;
  // Column 2 starts at 104: the picture at 108, the caption 24 pixels in.
  const int ink2 = first_ink(128 - 4, 200);
  EXPECT_TRUE(ink2 >= 128 && ink2 <= 130) << ink2;
  // The picture's top follows the caption's height T: nearest((25 - T - 3) / 2);
  // its magenta corner pixels stay transparent.
  SIZE text{};
  GetTextExtentPoint32W(surface.dc(), L"I", 1, &text);
  const int top = static_cast<int>(std::nearbyint((25.0 - text.cy - 3) / 2));
  expect_pixels(c, {{108, 12, RGB(0, 200, 0)},
                    {107, 12, kBack},
                    {109, top + 1, RGB(0, 200, 0)},
                    {108, top, kBack}});
  EXPECT_NE(c.pixel(109, top - 1), RGB(0, 200, 0));
}

TEST(HeaderPainter, ColumnsRightOfTheSurfaceChangeNoPixelOfIt) {
  // Column 3 (136..148) is cut by the narrow surface's edge at 150; columns
  // 4 and 5 start at and right of it, with long captions in narrow columns
  // and a picture. The narrow painting must be the wide one, cut off.
  auto state = [] {
    ControlState s = header({60, 70, 12, 12, 40}, 25);
    s.look.ShowFrame = false;  // the frame's right line would follow the width
    s.look.ShowSortPic = true;
    const wchar_t* captions[] = {L"Eins", L"Zwei", L"Drei vier", L"Sehr lange Spalte",
                                 L"Noch eine lange Spalte"};
    for (LONG i = 1; i <= 5; ++i) s.Tabs(i).RowCaption = captions[i - 1];
    s.SelectedRow = 4;
    s.SortedRow = 4;
    s.HotTab = 3;
    return s;
  };
  auto picture = cornered_picture();
  ControlState narrow_state = state(), wide_state = state();
  narrow_state.Tabs(5).set_RowIcon(picture.get());
  wide_state.Tabs(5).set_RowIcon(picture.get());
  CanvasSurface narrow(150, 25), wide(400, 25);
  paint(narrow_state, narrow);
  paint(wide_state, wide, L"columns_past_the_edge");
  expect_cut_of(narrow, wide, 150, 25);
  EXPECT_EQ(narrow_state.TabRects[5].left, wide_state.TabRects[5].left);
}

// A caption as long as `length`, made of `piece` over and over.
std::wstring repeated(const std::wstring& piece, size_t length) {
  std::wstring text;
  while (text.size() < length) text += piece;
  text.resize(length);
  return text;
}

TEST(HeaderPainter, ALongCaptionCutOffAtTheEdgeShowsAsWhenDrawnWhole) {
  // A wide surface shows each caption whole, so the narrower painting must
  // be the wide one, cut off. Where the caption is cut depends on how wide
  // its letters are, on the surface's width, on the picture before it and on
  // the access-key ampersands (one underlined letter, "&&" for one "&").
  struct Case {
    const char* name;
    std::wstring caption;
    bool picture;
    LONG selected;
    int width;  // of the narrow surface
  };
  const Case cases[] = {
      {"ampersands", L"&Spalte&&Eins" + repeated(L"Zwei&&", 900), false, 0, 150},
      {"narrow letters on a wide surface", repeated(L"il1", 1000), false, 0, 1700},
      {"wide letters after a picture", repeated(L"WM", 600) + L"&&&", true, 0, 700},
      {"selected, ampersand at the cut", repeated(L"&", 801), false, 2, 150},
  };
  auto picture = cornered_picture();
  const framework::GdiObject<HFONT> font = tahoma();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    auto state = [&] {
      ControlState s = header({60, 40, 30}, 25);
      s.Tabs(2).RowCaption = c.caption;
      s.Tabs(3).RowCaption = L"&Drei";
      if (c.picture) s.Tabs(2).set_RowIcon(picture.get());
      s.SelectedRow = c.selected;
      return s;
    };
    ControlState narrow_state = state(), wide_state = state();
    CanvasSurface narrow(c.width, 25), wide(8000, 25);
    framework::Selection narrow_font(narrow.dc(), font.get()), wide_font(wide.dc(), font.get());
    paint(narrow_state, narrow, c.picture ? L"long_caption_cut_off" : nullptr);
    paint(wide_state, wide);
    SIZE whole{};
    GetTextExtentPoint32W(wide.dc(), c.caption.c_str(), static_cast<int>(c.caption.size()), &whole);
    ASSERT_LT(whole.cx, 8000 - 200) << "the wide surface shows the caption whole";
    EXPECT_GT(expect_cut_of(narrow, wide, c.width, 25), 20) << "the caption shows";
  }
}

// The time of the median of three passes.
template <class Pass>
double median_ms(Pass&& pass) {
  double times[3];
  for (double& t : times) {
    const auto start = std::chrono::steady_clock::now();
    pass();
    t = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  }
  std::sort(std::begin(times), std::end(times));
  return times[1];
}

TEST(HeaderPainter, AVeryLongCaptionRepaintsAboutAsFastAsAShortOne) {
  // A megabyte of caption: letters only (one line), and words (many lines).
  // Without a bound either takes seconds to minutes; the margin here is wide.
  for (const std::wstring& caption :
       {repeated(L"Spalte1", 1 << 20), repeated(L"Spalte ", 1 << 20)}) {
    SCOPED_TRACE(caption.substr(0, 7));
    ControlState s = header({60, 120}, 25);
    s.Tabs(1).RowCaption = L"Spalte";
    CanvasSurface surface(300, 25);
    paint(s, surface);
    const double short_ms = median_ms([&] { paint(s, surface); });
    s.Tabs(2).RowCaption = caption;
    const double long_ms = median_ms([&] { paint(s, surface); });
    EXPECT_LT(long_ms, std::max(20 * short_ms, 250.0)) << "short: " << short_ms << " ms";
  }
}

TEST(HeaderPainter, CompletesThePassWhenADecorationsColumnIsGone) {
  // The pressed, sorted and hot columns were the third, deleted since.
  ControlState s = header({100, 50}, 24);
  s.look.ShowSortPic = true;
  s.SelectedRow = s.SortedRow = s.HotTab = 3;
  CanvasSurface surface(200, 24);
  ASSERT_NO_THROW(paint(s, surface));
  EXPECT_EQ(surface.refreshes, 1);
  EXPECT_COLOUR(surface.canvas.pixel(50, 10), kBack);
  // Without columns the frame and bottom edge still come, and a leftover hot
  // column is left out.
  ControlState empty = header({}, 24);
  empty.HotTab = 1;
  empty.look.ShowFrame = true;
  CanvasSurface second(100, 24);
  ASSERT_NO_THROW(paint(empty, second));
  expect_pixels(second.canvas, {{0, 10, kFrame}, {50, 23, kEdge23}, {50, 10, kForm}});
}

TEST(HeaderPainter, APassLeavesNoGdiObjectBehind) {
  ControlState s = header({100, 50, 80}, 25);
  s.look.ShowSortPic = true;
  s.SortedRow = 2;
  s.HotTab = 3;
  s.SelectedRow = 1;
  auto picture = cornered_picture();
  auto icon = make_icon_picture(
      16, 16, [](int x, int) { return x < 4 ? std::nullopt : std::optional(RGB(200, 0, 0)); });
  for (LONG i = 1; i <= 3; ++i) s.Tabs(i).RowCaption = L"&Col";
  s.Tabs(1).set_RowIcon(picture.get());
  s.Tabs(3).set_RowIcon(icon.get());
  CanvasSurface surface(300, 25);
  paint(s, surface, L"all_decorations");
  const size_t baseline = live_gdi_objects();
  for (int i = 0; i < 1000; ++i) tessel::paint_header(s, surface);
  EXPECT_EQ(live_gdi_objects(), baseline);
}

}  // namespace
}  // namespace tessel_test
