// Transparent painting of blocks, bitmaps and icons: which destination
// pixels show the picture and which keep what was there.
#include <gtest/gtest.h>

#include <objbase.h>

#include <functional>
#include <optional>

#include "dib_canvas.h"
#include "framework/error.h"
#include "framework/gdi.h"
#include "render/image_manipulation.h"
#include "test_images.h"

namespace tessel {
namespace {

using tessel_test::DibCanvas;
using tessel_test::FakePicture;
using Shown = std::function<std::optional<COLORREF>(int, int)>;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kCyan = RGB(0, 255, 255);

bool is_corner(int x, int y) { return (x == 0 || x == 15) && (y == 0 || y == 15); }

// 16 × 16, magenta corners, every other pixel a colour of its own that is
// neither red, yellow, magenta nor a colour of the halftone palette.
COLORREF cornered(int x, int y) {
  return is_corner(x, y) ? kMagenta : RGB(3, 5 + 16 * x, 3 + 16 * y);
}
std::optional<COLORREF> cornered_but_corners(int x, int y) {
  return is_corner(x, y) ? std::nullopt : std::optional(cornered(x, y));
}

// 16 × 16: transparent where x + y < 6, one opaque magenta pixel at (12, 3),
// otherwise a colour of its own.
std::optional<COLORREF> icon_pixel(int x, int y) {
  if (x + y < 6) return std::nullopt;
  if (x == 12 && y == 3) return kMagenta;
  return RGB(0, 8 + 15 * x, 8 + 15 * y);
}

COLORREF checkerboard(int x, int y) { return (x + y) % 2 ? kRed : RGB(255, 255, 0); }

// Expects the block at (left, top) to show picture(x, y) where it is given
// and the checkerboard everywhere else.
void expect_block(const DibCanvas& canvas, int left, int top, int width, int height,
                  const Shown& picture) {
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      std::optional<COLORREF> shown;
      if (x >= left && x < left + width && y >= top && y < top + height) {
        shown = picture(x - left, y - top);
      }
      EXPECT_COLOUR(canvas.pixel(x, y), shown.value_or(checkerboard(x, y))) << x << ", " << y;
    }
  }
}

class Transparency : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
  cImageManipulation painter;
};

TEST_F(Transparency, PicturesShowAllButTheirMaskColourAtTheirPlace) {
  // A palette index names the mask colour through the halftone palette (the
  // painter passes no palette of its own); a system colour is translated.
  PALETTEENTRY entry{};
  ASSERT_EQ(GetPaletteEntries(painter.HalftonePalette(), 200, 1, &entry), 1u);
  const COLORREF halftone_200 = RGB(entry.peRed, entry.peGreen, entry.peBlue);
  auto with_corners = [](COLORREF corner) {
    return tessel_test::make_bitmap_picture(
        16, 16, [=](int x, int y) { return is_corner(x, y) ? corner : cornered(x, y); });
  };
  auto icon = tessel_test::make_icon_picture(16, 16, icon_pixel);
  struct Case {
    const char* name;
    framework::ComPtr<IPictureDisp> picture;
    int x, y;
    OLE_COLOR mask;
    Shown shown;
  };
  const Case cases[] = {
      {"magenta corners", with_corners(kMagenta), 5, 7, kMagenta, cornered_but_corners},
      {"a mask colour not in the picture", with_corners(kMagenta), 2, 2, kCyan,
       [](int x, int y) -> std::optional<COLORREF> { return cornered(x, y); }},
      {"halftone index 200", with_corners(halftone_200), 0, 0, 0x010000C8, cornered_but_corners},
      {"a system colour", with_corners(GetSysColor(COLOR_WINDOW)), 0, 0, 0x80000000 | COLOR_WINDOW,
       cornered_but_corners},
      {"an icon, mask colour magenta: the magenta pixel is cut out too", icon, 3, 4, kMagenta,
       [](int x, int y) { return x == 12 && y == 3 ? std::nullopt : icon_pixel(x, y); }},
      {"an icon, mask colour cyan: the magenta pixel shows", icon, 3, 4, kCyan, icon_pixel},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    DibCanvas canvas(24, 24);
    canvas.paint(checkerboard);
    painter.PaintTransparentPicture(canvas.dc(), c.picture.get(), c.x, c.y, 16, 16, 0, 0, c.mask,
                                    nullptr);
    expect_block(canvas, c.x, c.y, 16, 16, c.shown);
  }
}

TEST_F(Transparency, AMonochromeSourceTakesTheSourceDcsColours) {
  // Bits set in the left half: those pixels show the source DC's background
  // colour (green, the mask colour), the others its text colour (blue).
  framework::GdiObject<HBITMAP> bits(CreateBitmap(8, 4, 1, 1, nullptr));
  framework::MemoryDc source;
  framework::Selection selection(source.get(), bits.get());
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 8; ++x) SetPixel(source.get(), x, y, x < 4 ? RGB(255, 255, 255) : 0);
  }
  SetTextColor(source.get(), RGB(0, 0, 255));
  SetBkColor(source.get(), RGB(0, 255, 0));
  DibCanvas canvas(10, 6);
  canvas.paint(checkerboard);
  painter.PaintTransparentDC(canvas.dc(), 1, 1, 8, 4, source.get(), 0, 0, RGB(0, 255, 0), nullptr);
  expect_block(canvas, 1, 1, 8, 4,
               [](int x, int) { return x < 4 ? std::nullopt : std::optional(RGB(0, 0, 255)); });
}

// A picture larger than the destination is worked on only where it shows.
// The part that shows is the same as when the whole picture is painted onto
// a destination that holds all of it, cut out at the same place.
TEST_F(Transparency, ALargePictureShowsAsTheSameCutOfTheWholePainting) {
  constexpr int kSide = 600, kLeft = -230, kTop = -310;
  // Stripes of colours of their own, with mask-coloured blocks in between.
  auto pattern = [](int x, int y) {
    if ((x / 7 + y / 5) % 4 == 0) return kMagenta;
    return RGB(3 + x % 200, 5 + y % 200, 3 + (x + y) % 200);
  };
  auto bitmap = tessel_test::make_bitmap_picture(kSide, kSide, pattern);
  auto icon = tessel_test::make_icon_picture(64, 64, [](int x, int y) {
    return (x + y) % 9 == 0 ? std::nullopt : std::optional(RGB(0, 4 * x, 4 * y));
  });
  struct Case {
    const char* name;
    IPictureDisp* picture;
    int left, top;
  };
  for (const Case& c :
       {Case{"bitmap", bitmap.get(), kLeft, kTop}, Case{"icon", icon.get(), -20, -9}}) {
    SCOPED_TRACE(c.name);
    DibCanvas cut(90, 40);
    cut.paint(checkerboard);
    painter.PaintTransparentPicture(cut.dc(), c.picture, c.left, c.top, kSide, kSide, 0, 0,
                                    kMagenta, nullptr);
    DibCanvas whole(kSide, kSide);
    whole.paint([&](int x, int y) { return checkerboard(x + c.left, y + c.top); });
    painter.PaintTransparentPicture(whole.dc(), c.picture, 0, 0, kSide, kSide, 0, 0, kMagenta,
                                    nullptr);
    for (int y = 0; y < cut.height(); ++y) {
      for (int x = 0; x < cut.width(); ++x) {
        ASSERT_EQ(cut.pixel(x, y), whole.pixel(x - c.left, y - c.top)) << x << ", " << y;
      }
    }
  }
}

// A block far larger than any bitmap that could hold it paints its visible
// part, from a DC or from an icon.
TEST_F(Transparency, ABlockTooLargeToCopyWholePaintsWhatShows) {
  constexpr LONG kHuge = 1000000;
  DibCanvas source(64, 64);
  source.paint([](int x, int y) { return cornered(x % 16, y % 16); });
  DibCanvas canvas(40, 30);
  canvas.paint(checkerboard);
  painter.PaintTransparentDC(canvas.dc(), -10, -12, kHuge, kHuge, source.dc(), 0, 0, kMagenta,
                             nullptr);
  expect_block(canvas, 0, 0, 40, 30,
               [](int x, int y) { return cornered_but_corners((x + 10) % 16, (y + 12) % 16); });

  auto icon = tessel_test::make_icon_picture(16, 16, icon_pixel);
  canvas.paint(checkerboard);
  painter.PaintTransparentPicture(canvas.dc(), icon.get(), -3, -4, kHuge, kHuge, 0, 0, kCyan,
                                  nullptr);
  expect_block(canvas, 0, 0, 13, 12, [](int x, int y) { return icon_pixel(x + 3, y + 4); });
}

// Metafiles and empty pictures paint nothing; a picture that refuses its
// type, or its handle when it is a bitmap or icon, is an error that paints
// nothing either.
TEST_F(Transparency, NothingIsPaintedWithoutABitmapOrIcon) {
  DibCanvas canvas(20, 20);
  canvas.paint(checkerboard);
  auto paint = [&](IPictureDisp* picture) {
    painter.PaintTransparentPicture(canvas.dc(), picture, 0, 0, 16, 16, 0, 0, kMagenta, nullptr);
  };
  paint(nullptr);
  paint(tessel_test::make_metafile_picture().get());
  paint(tessel_test::make_enhanced_metafile_picture().get());
  FakePicture none(PICTYPE_NONE);
  paint(&none);
  FakePicture no_type(PICTYPE_BITMAP, {DISPID_PICT_TYPE});
  EXPECT_THROW(paint(&no_type), framework::ControlError);
  for (SHORT type : {SHORT{PICTYPE_BITMAP}, SHORT{PICTYPE_ICON}}) {
    FakePicture no_handle(type, {DISPID_PICT_HANDLE});
    EXPECT_THROW(paint(&no_handle), framework::ControlError) << type;
  }
  expect_block(canvas, 0, 0, 0, 0, nullptr);
}

}  // namespace
}  // namespace tessel
