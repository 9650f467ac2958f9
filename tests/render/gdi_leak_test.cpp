// Every drawing operation releases what it creates: the process's live GDI
// objects, counted from the GDI handle table, are back at their baseline
// after a thousand calls of each. The same check catches one leaked brush.
#include <gtest/gtest.h>

#include <objbase.h>

#include <functional>

#include "control/picture_conversion.h"
#include "dib_canvas.h"
#include "render/image_manipulation.h"
#include "render/xp_wells.h"
#include "support/gdi_count.h"
#include "test_images.h"

namespace tessel {
namespace {

using namespace mXPWells;
using tessel_test::live_gdi_objects;

constexpr int kRepetitions = 1000;

// Live GDI objects added by kRepetitions runs of body, counted after one
// warm-up run (the first use of a DC or of icon drawing caches a few
// objects once).
int growth(const std::function<void()>& body) {
  body();
  const auto baseline = static_cast<int>(live_gdi_objects());
  for (int i = 0; i < kRepetitions; ++i) body();
  return static_cast<int>(live_gdi_objects()) - baseline;
}

class GdiLeaks : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
  tessel_test::DibCanvas canvas{64, 32};
};

TEST_F(GdiLeaks, ASingleLeakedBrushIsCaught) {
  HBRUSH leaked = nullptr;
  int runs = 0;
  EXPECT_EQ(growth([&] {
              OLE_COLOR colour = RGB(1, 2, 3);
              DrawRect(canvas.dc(), RECT{0, 0, 4, 4}, colour, VARIANT_TRUE);
              if (++runs == kRepetitions / 2) leaked = CreateSolidBrush(RGB(9, 9, 9));
            }),
            1);
  DeleteObject(leaked);
}

TEST_F(GdiLeaks, ThePrimitivesReleaseWhatTheyCreate) {
  HDC dc = canvas.dc();
  struct {
    LOGPALETTE header;
    PALETTEENTRY more;
  } entries{{0x300, 2, {{0, 0, 0, 0}}}, {10, 20, 30, 0}};
  HPALETTE palette = CreatePalette(&entries.header);
  LONG r, g, b;
  EXPECT_EQ(growth([&] { ShadeColor(0x01000001, r, g, b, 10, palette); }), 0) << "ShadeColor";
  EXPECT_EQ(growth([&] {
              RECT h{0, 0, 64, 1}, v{0, 0, 1, 32};
              DrawGradient(dc, RGB(255, 255, 255), RGB(0, 0, 0), h, 600, 1);
              DrawGradient(dc, RGB(255, 255, 255), 0x80000005, v, 30, 0);
            }),
            0)
      << "DrawGradient";
  EXPECT_EQ(growth([&] {
              OLE_COLOR colour = 0x80000005;
              DrawRect(dc, RECT{1, 1, 9, 9}, colour, VARIANT_TRUE);
              DrawRect(dc, RECT{1, 1, 9, 9}, colour, VARIANT_FALSE);
            }),
            0)
      << "DrawRect";
  EXPECT_EQ(growth([&] {
              DrawLine(dc, 0, 5, 30, 5, RGB(1, 2, 3), 3);
              DrawPixel(dc, 3, 3, RGB(4, 5, 6));
              SetDCTextColor(dc, RGB(7, 8, 9));
            }),
            0)
      << "DrawLine, DrawPixel, SetDCTextColor";
  EXPECT_EQ(growth([&] {
              RECT box{0, 0, 64, 32};
              DrawCaption(dc, L"&Spalte", 7, box, 21);
              MeasureCaption(dc, L"&Spalte eins", 12, box);
            }),
            0)
      << "DrawCaption, MeasureCaption";
  EXPECT_EQ(growth([&] { DeleteGdiObject(CreateSolidBrush(RGB(1, 1, 1))); }), 0);
  DeleteObject(palette);
}

TEST_F(GdiLeaks, TransparentPaintingAndConversionReleaseWhatTheyCreate) {
  HDC dc = canvas.dc();
  auto bitmap = tessel_test::make_bitmap_picture(
      16, 16, [](int x, int y) { return x == y ? RGB(255, 0, 255) : RGB(0, 0, 200); });
  auto icon = tessel_test::make_icon_picture(16, 16, [](int x, int y) -> std::optional<COLORREF> {
    if (x < 4) return std::nullopt;
    return RGB(0, 100, y);
  });
  auto metafile = tessel_test::make_metafile_picture();
  tessel_test::DibCanvas source(16, 16);
  cImageManipulation painter;
  EXPECT_EQ(growth([] { cImageManipulation another; }), 0) << "cImageManipulation";
  EXPECT_EQ(growth([&] {
              painter.PaintTransparentDC(dc, 2, 2, 16, 16, source.dc(), 0, 0, RGB(255, 0, 255),
                                         nullptr);
            }),
            0)
      << "PaintTransparentDC";
  for (IPictureDisp* picture : {bitmap.get(), icon.get(), metafile.get()}) {
    EXPECT_EQ(growth([&] {
                painter.PaintTransparentPicture(dc, picture, 2, 2, 16, 16, 0, 0, RGB(255, 0, 255),
                                                painter.HalftonePalette());
              }),
              0)
        << "PaintTransparentPicture, type " << tessel_test::picture_type(picture);
  }
  EXPECT_EQ(growth([&] { ConvertIconToBitmap(icon.get()); }), 0) << "ConvertIconToBitmap";
  float x, y;
  EXPECT_EQ(growth([&] { GetPictureSize(bitmap.get(), x, y); }), 0) << "GetPictureSize";
}

}  // namespace
}  // namespace tessel
