// Every drawing operation releases what it creates: the process's live GDI
// objects, counted from the GDI handle table, are back at their baseline
// after a thousand calls of each. The same check catches one leaked brush.
#include <gtest/gtest.h>

#include <objbase.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "control/picture_conversion.h"
#include "dib_canvas.h"
#include "render/image_manipulation.h"
#include "render/xp_wells.h"
#include "support/gdi_count.h"
#include "test_images.h"

namespace tessel {
namespace {

using namespace mXPWells;
using tessel_test::DibCanvas;
using tessel_test::live_gdi_objects;

constexpr int kRepetitions = 1000;

// Live GDI objects added by kRepetitions runs of body, counted after one
// warm-up run (the first use of a DC or of icon drawing creates a few cached
// objects once).
int live() { return static_cast<int>(live_gdi_objects()); }

int growth(const std::function<void()>& body) {
  body();
  const int baseline = live();
  for (int i = 0; i < kRepetitions; ++i) body();
  return live() - baseline;
}

class GdiLeaks : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ASSERT_GT(live(), 0);
  }
  void TearDown() override { CoUninitialize(); }
  DibCanvas canvas{64, 32};
};

TEST_F(GdiLeaks, ASingleLeakedBrushIsCaught) {
  HBRUSH leaked = nullptr;
  int runs = 0;
  const int added = growth([&] {
    OLE_COLOR colour = RGB(1, 2, 3);
    DrawRect(canvas.dc(), RECT{0, 0, 4, 4}, colour, VARIANT_TRUE);
    if (++runs == kRepetitions / 2) leaked = CreateSolidBrush(RGB(9, 9, 9));
  });
  EXPECT_EQ(added, 1);
  DeleteObject(leaked);
}

TEST_F(GdiLeaks, ThePrimitivesReleaseWhatTheyCreate) {
  HDC dc = canvas.dc();
  struct {
    LOGPALETTE header;
    PALETTEENTRY more;
  } entries{{0x300, 2, {{0, 0, 0, 0}}}, {10, 20, 30, 0}};
  HPALETTE palette = CreatePalette(&entries.header);
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr,
                                nullptr, nullptr);
  ASSERT_NE(window, nullptr);

  const std::vector<std::pair<std::string, std::function<void()>>> operations = {
      {"ShadeColor",
       [&] {
         LONG r, g, b;
         ShadeColor(0x01000001, r, g, b, 10, palette);
       }},
      {"DrawGradient",
       [&] {
         RECT r{0, 0, 64, 1};
         DrawGradient(dc, RGB(255, 255, 255), RGB(0, 0, 0), r, 600, 1);
         RECT v{0, 0, 1, 32};
         DrawGradient(dc, RGB(255, 255, 255), 0x80000005, v, 30, 0);
       }},
      {"DrawRect",
       [&] {
         OLE_COLOR colour = 0x80000005;
         DrawRect(dc, RECT{1, 1, 9, 9}, colour, VARIANT_TRUE);
         DrawRect(dc, RECT{1, 1, 9, 9}, colour, VARIANT_FALSE);
       }},
      {"DrawLine",
       [&] {
         DrawLine(dc, 0, 0, 30, 20, RGB(1, 2, 3), 1);
         DrawLine(dc, 0, 5, 30, 5, RGB(1, 2, 3), 3);
       }},
      {"DrawPixel", [&] { DrawPixel(dc, 3, 3, RGB(4, 5, 6)); }},
      {"GetClientRectangle",
       [&] {
         RECT r;
         GetClientRectangle(r, window);
       }},
      {"SetDCTextColor", [&] { SetDCTextColor(dc, RGB(7, 8, 9)); }},
      {"DrawCaption",
       [&] {
         DrawCaption(dc, L"&Spalte", 7, RECT{0, 0, 64, 32}, 21);
       }},
      {"MeasureCaption",
       [&] {
         RECT r{0, 0, 64, 32};
         MeasureCaption(dc, L"&Spalte eins", 12, r);
       }},
      {"rectangle arithmetic",
       [&] {
         RECT r{1, 2, 3, 4}, copy;
         CopyRectangle(copy, r);
         OffsetRectangle(copy, 1, 1);
         InflateRectangle(copy, 2, 2);
         EmptyRectangle(copy);
       }},
      {"DeleteGdiObject", [&] { DeleteGdiObject(CreateSolidBrush(RGB(1, 1, 1))); }},
  };
  for (const auto& [name, body] : operations) EXPECT_EQ(growth(body), 0) << name;

  DestroyWindow(window);
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
  HDC source = CreateCompatibleDC(nullptr);
  HBITMAP source_bitmap = CreateBitmap(16, 16, 1, 32, nullptr);
  HGDIOBJ previous = SelectObject(source, source_bitmap);
  cImageManipulation painter;

  const std::vector<std::pair<std::string, std::function<void()>>> operations = {
      {"cImageManipulation", [] { cImageManipulation another; }},
      {"PaintTransparentDC",
       [&] {
         painter.PaintTransparentDC(dc, 2, 2, 16, 16, source, 0, 0, RGB(255, 0, 255), nullptr);
       }},
      {"PaintTransparentPicture (bitmap)",
       [&] {
         painter.PaintTransparentPicture(dc, bitmap.get(), 2, 2, 16, 16, 0, 0, 0x80000005, nullptr);
       }},
      {"PaintTransparentPicture (icon)",
       [&] {
         painter.PaintTransparentPicture(dc, icon.get(), 20, 2, 16, 16, 0, 0, RGB(255, 0, 255),
                                         painter.HalftonePalette());
       }},
      {"PaintTransparentPicture (metafile)",
       [&] {
         painter.PaintTransparentPicture(dc, metafile.get(), 2, 2, 16, 16, 0, 0, 0, nullptr);
       }},
      {"ConvertIconToBitmap", [&] { ConvertIconToBitmap(icon.get()); }},
      {"GetPictureSize",
       [&] {
         float x, y;
         GetPictureSize(bitmap.get(), x, y);
       }},
  };
  for (const auto& [name, body] : operations) EXPECT_EQ(growth(body), 0) << name;

  SelectObject(source, previous);
  DeleteObject(source_bitmap);
  DeleteDC(source);
}

}  // namespace
}  // namespace tessel
