// Every drawing operation releases what it creates: the process's live GDI
// objects, counted from the GDI handle table, are back at their baseline
// after a thousand calls of each. The same check catches one leaked brush.
#include <gtest/gtest.h>

#include <objbase.h>

#include <functional>

#include "render/picture_conversion.h"
#include "dib_canvas.h"
#include "render/image_manipulation.h"
#include "render/xp_wells.h"
#include "support/gdi_count.h"
#include "test_images.h"

namespace tessel {
namespace {

using mXPWells::DrawRect;
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

// The primitives, the picture painting and GetPictureSize run in every paint
// pass, which header_painter_test repeats a thousand times; here what a pass
// does not do: a palette index as the mask colour, metafiles, icon conversion.
TEST_F(GdiLeaks, PalettePaintingAndConversionReleaseWhatTheyCreate) {
  auto bitmap = tessel_test::make_bitmap_picture(
      16, 16, [](int x, int y) { return x == y ? RGB(255, 0, 255) : RGB(0, 0, 200); });
  auto icon = tessel_test::make_icon_picture(
      16, 16, [](int x, int y) { return x < 4 ? std::nullopt : std::optional(RGB(0, 100, y)); });
  auto metafile = tessel_test::make_metafile_picture();
  cImageManipulation painter;
  for (IPictureDisp* picture : {bitmap.get(), icon.get(), metafile.get()}) {
    EXPECT_EQ(growth([&] {
                painter.PaintTransparentPicture(canvas.dc(), picture, 2, 2, 16, 16, 0, 0,
                                                0x01000005, nullptr);
              }),
              0)
        << "PaintTransparentPicture, type " << tessel_test::picture_type(picture);
  }
  EXPECT_EQ(growth([&] { ConvertIconToBitmap(icon.get()); }), 0) << "ConvertIconToBitmap";
}

}  // namespace
}  // namespace tessel
