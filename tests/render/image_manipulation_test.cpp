// Transparent painting of blocks, bitmaps and icons: which destination
// pixels show the picture and which keep what was there.
#include <gtest/gtest.h>

#include <objbase.h>

#include <optional>
#include <string>

#include "dib_canvas.h"
#include "framework/error.h"
#include "render/image_manipulation.h"
#include "test_images.h"

namespace tessel {
namespace {

using tessel_test::DibCanvas;
using tessel_test::FakePicture;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kCyan = RGB(0, 255, 255);

std::string colour_text(COLORREF c) {
  return "RGB(" + std::to_string(GetRValue(c)) + ", " + std::to_string(GetGValue(c)) + ", " +
         std::to_string(GetBValue(c)) + ")";
}
#define EXPECT_COLOUR(actual, expected) EXPECT_EQ(colour_text(actual), colour_text(expected))

bool is_corner(int x, int y) { return (x == 0 || x == 15) && (y == 0 || y == 15); }

// 16 × 16, magenta corners, every other pixel a colour of its own that is
// neither red, yellow, magenta nor a colour of the halftone palette.
COLORREF cornered(int x, int y) {
  return is_corner(x, y) ? kMagenta : RGB(3, 5 + 16 * x, 3 + 16 * y);
}

COLORREF checkerboard(int x, int y) { return (x + y) % 2 ? kRed : kYellow; }

void paint_checkerboard(DibCanvas& canvas) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) canvas.set_pixel(x, y, checkerboard(x, y));
  }
}

// Expects the block at (left, top) to show picture(x, y) where it is given
// and the background everywhere else.
void expect_block(const DibCanvas& canvas, int left, int top, int width, int height,
                  const std::function<std::optional<COLORREF>(int, int)>& picture,
                  const std::function<COLORREF(int, int)>& background) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      std::optional<COLORREF> shown;
      if (x >= left && x < left + width && y >= top && y < top + height) {
        shown = picture(x - left, y - top);
      }
      EXPECT_COLOUR(canvas.pixel(x, y), shown.value_or(background(x, y))) << x << ", " << y;
    }
  }
}

class Transparency : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
  cImageManipulation painter;
};

TEST_F(Transparency, MagentaCornersOfABitmapShowTheBackground) {
  auto picture = tessel_test::make_bitmap_picture(16, 16, cornered);
  DibCanvas canvas(30, 30, kRed);
  painter.PaintTransparentPicture(canvas.dc(), picture.get(), 5, 7, 16, 16, 0, 0, kMagenta,
                                  nullptr);
  expect_block(
      canvas, 5, 7, 16, 16,
      [](int x, int y) -> std::optional<COLORREF> {
        if (is_corner(x, y)) return std::nullopt;
        return cornered(x, y);
      },
      [](int, int) { return kRed; });
}

TEST_F(Transparency, TheSourceOriginSelectsThePartOfThePicture) {
  auto picture = tessel_test::make_bitmap_picture(16, 16, cornered);
  DibCanvas canvas(20, 20);
  paint_checkerboard(canvas);
  painter.PaintTransparentPicture(canvas.dc(), picture.get(), 2, 3, 8, 8, 8, 8, kMagenta, nullptr);
  expect_block(
      canvas, 2, 3, 8, 8,
      [](int x, int y) -> std::optional<COLORREF> {
        if (x == 7 && y == 7) return std::nullopt;  // the picture's corner (15, 15)
        return cornered(x + 8, y + 8);
      },
      checkerboard);
}

TEST_F(Transparency, AMaskColourAbsentFromThePictureCopiesItOpaquely) {
  auto picture = tessel_test::make_bitmap_picture(16, 16, cornered);
  DibCanvas canvas(20, 20, kRed);
  painter.PaintTransparentPicture(canvas.dc(), picture.get(), 2, 2, 16, 16, 0, 0, kCyan, nullptr);
  expect_block(
      canvas, 2, 2, 16, 16, [](int x, int y) -> std::optional<COLORREF> { return cornered(x, y); },
      [](int, int) { return kRed; });
}

// A palette index names the mask colour through the caller's palette, or the
// halftone palette when there is none; a system colour is translated too.
TEST_F(Transparency, TheMaskColourIsTranslatedWithTheGivenOrTheHalftonePalette) {
  PALETTEENTRY entry{};
  ASSERT_EQ(GetPaletteEntries(painter.HalftonePalette(), 200, 1, &entry), 1u);
  struct {
    LOGPALETTE header;
    PALETTEENTRY more;
  } entries{{0x300, 2, {{0, 0, 0, 0}}}, {entry.peRed, entry.peGreen, entry.peBlue, 0}};
  HPALETTE palette = CreatePalette(&entries.header);
  const COLORREF halftone_200 = RGB(entry.peRed, entry.peGreen, entry.peBlue);
  const struct {
    COLORREF corner;
    OLE_COLOR mask;
    HPALETTE palette;
  } cases[] = {{halftone_200, 0x010000C8, nullptr},
               {halftone_200, 0x01000001, palette},
               {GetSysColor(COLOR_WINDOW), 0x80000000 | COLOR_WINDOW, nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.mask);
    auto picture = tessel_test::make_bitmap_picture(
        16, 16, [&](int x, int y) { return is_corner(x, y) ? c.corner : cornered(x, y); });
    DibCanvas canvas(16, 16, kRed);
    painter.PaintTransparentPicture(canvas.dc(), picture.get(), 0, 0, 16, 16, 0, 0, c.mask,
                                    c.palette);
    expect_block(
        canvas, 0, 0, 16, 16,
        [](int x, int y) -> std::optional<COLORREF> {
          if (is_corner(x, y)) return std::nullopt;
          return cornered(x, y);
        },
        [](int, int) { return kRed; });
  }
  DeleteObject(palette);
}

TEST_F(Transparency, AMonochromeSourceTakesTheSourceDcsColours) {
  // Bits set in the left half: those pixels show the source DC's background
  // colour (green, the mask colour), the others its text colour (blue).
  HBITMAP bits = CreateBitmap(8, 4, 1, 1, nullptr);
  HDC source = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(source, bits);
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) SetPixel(source, x, y, x < 4 ? RGB(255, 255, 255) : RGB(0, 0, 0));
  }
  SetTextColor(source, RGB(0, 0, 255));
  SetBkColor(source, RGB(0, 255, 0));
  DibCanvas canvas(10, 6);
  paint_checkerboard(canvas);
  painter.PaintTransparentDC(canvas.dc(), 1, 1, 8, 4, source, 0, 0, RGB(0, 255, 0), nullptr);
  expect_block(
      canvas, 1, 1, 8, 4,
      [](int x, int) -> std::optional<COLORREF> {
        if (x < 4) return std::nullopt;
        return RGB(0, 0, 255);
      },
      checkerboard);
  SelectObject(source, previous);
  DeleteDC(source);
  DeleteObject(bits);
}

// 16 × 16: transparent where x + y < 6, one opaque magenta pixel at (12, 3),
// otherwise a colour of its own.
std::optional<COLORREF> icon_pixel(int x, int y) {
  if (x + y < 6) return std::nullopt;
  if (x == 12 && y == 3) return kMagenta;
  return RGB(0, 8 + 15 * x, 8 + 15 * y);
}

TEST_F(Transparency, AnIconsTransparentPixelsStayTransparent) {
  auto icon = tessel_test::make_icon_picture(16, 16, icon_pixel);
  {
    SCOPED_TRACE("mask colour magenta: the magenta pixel is cut out too");
    DibCanvas canvas(22, 22);
    paint_checkerboard(canvas);
    painter.PaintTransparentPicture(canvas.dc(), icon.get(), 3, 4, 16, 16, 0, 0, kMagenta, nullptr);
    expect_block(
        canvas, 3, 4, 16, 16,
        [](int x, int y) -> std::optional<COLORREF> {
          if (x == 12 && y == 3) return std::nullopt;
          return icon_pixel(x, y);
        },
        checkerboard);
  }
  {
    SCOPED_TRACE("mask colour cyan: the magenta pixel shows");
    DibCanvas canvas(22, 22);
    paint_checkerboard(canvas);
    painter.PaintTransparentPicture(canvas.dc(), icon.get(), 3, 4, 16, 16, 0, 0, kCyan, nullptr);
    expect_block(canvas, 3, 4, 16, 16, icon_pixel, checkerboard);
  }
}

// Metafiles and empty pictures paint nothing; a picture that refuses its
// type, or its handle when it is a bitmap or icon, is an error that paints
// nothing either.
TEST_F(Transparency, NothingIsPaintedWithoutABitmapOrIcon) {
  DibCanvas canvas(20, 20);
  paint_checkerboard(canvas);
  const auto before = canvas.pixels();
  auto paint = [&](IPictureDisp* picture) {
    painter.PaintTransparentPicture(canvas.dc(), picture, 0, 0, 16, 16, 0, 0, kMagenta, nullptr);
  };
  paint(nullptr);
  paint(tessel_test::make_metafile_picture().get());
  paint(tessel_test::make_enhanced_metafile_picture().get());
  FakePicture none;
  none.type = PICTYPE_NONE;
  paint(&none);
  FakePicture no_type;
  no_type.refused = {DISPID_PICT_TYPE};
  EXPECT_THROW(paint(&no_type), framework::ControlError);
  for (SHORT type : {SHORT{PICTYPE_BITMAP}, SHORT{PICTYPE_ICON}}) {
    FakePicture no_handle;
    no_handle.type = type;
    no_handle.refused = {DISPID_PICT_HANDLE};
    EXPECT_THROW(paint(&no_handle), framework::ControlError) << type;
  }
  EXPECT_EQ(canvas.pixels(), before);
}

}  // namespace
}  // namespace tessel
