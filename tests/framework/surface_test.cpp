// The retained surface on its own: clearing in the background colour,
// resizing that keeps the image and the DC, text colour and font that follow
// their settings, refresh without a window, and no GDI object left behind.
#include <gtest/gtest.h>

#include <objbase.h>

#include "framework/error.h"
#include "framework/surface.h"
#include "support/gdi_count.h"

namespace tessel_test {
namespace {

using framework::ComPtr;
using framework::Surface;

class SurfaceTest : public testing::Test {
 protected:
  static void SetUpTestSuite() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
};

ComPtr<IFont> font_of(Surface& surface) {
  return ComPtr<IFontDisp>(surface.font()).query<IFont>(IID_IFont);
}

LOGFONTW selected_font(HDC dc) {
  LOGFONTW font{};
  GetObjectW(GetCurrentObject(dc, OBJ_FONT), sizeof(font), &font);
  return font;
}

// System colours translate; colours that do not are refused and keep the
// old ones. A new back colour shows at the next clear, everywhere.
TEST_F(SurfaceTest, ColoursTranslateOrAreRefusedAndResizeKeepsTheImageAndTheDc) {
  Surface surface(20, 10);
  surface.set_back_color(0x80000000u | COLOR_HIGHLIGHT);
  surface.clear();
  EXPECT_EQ(GetPixel(surface.dc(), 0, 0), GetSysColor(COLOR_HIGHLIGHT));
  EXPECT_EQ(GetPixel(surface.dc(), 19, 9), GetSysColor(COLOR_HIGHLIGHT));
  surface.set_back_color(RGB(200, 10, 10));
  EXPECT_EQ(GetPixel(surface.dc(), 19, 9), GetSysColor(COLOR_HIGHLIGHT));
  surface.clear();
  EXPECT_EQ(GetPixel(surface.dc(), 19, 9), RGB(200, 10, 10));

  surface.set_fore_color(RGB(1, 2, 3));
  EXPECT_EQ(GetTextColor(surface.dc()), RGB(1, 2, 3));
  surface.set_fore_color(0x80000000u | COLOR_BTNTEXT);
  EXPECT_EQ(GetTextColor(surface.dc()), GetSysColor(COLOR_BTNTEXT));
  EXPECT_EQ(surface.fore_color(), 0x80000000u | COLOR_BTNTEXT);
  for (OLE_COLOR invalid : {0x12000000u, 0x800000FFu}) {
    try {
      surface.set_fore_color(invalid);
      ADD_FAILURE() << "fore colour " << std::hex << invalid << " accepted";
    } catch (const framework::ControlError& e) {
      EXPECT_EQ(e.number(), 380);
    }
    EXPECT_THROW(surface.set_back_color(invalid), framework::ControlError);
  }
  EXPECT_EQ(surface.fore_color(), 0x80000000u | COLOR_BTNTEXT);
  EXPECT_EQ(GetTextColor(surface.dc()), GetSysColor(COLOR_BTNTEXT));
  surface.clear();
  EXPECT_EQ(GetPixel(surface.dc(), 19, 9), RGB(200, 10, 10));

  // A resize keeps the image where it overlaps, and the same DC.
  surface.set_back_color(RGB(255, 0, 0));
  surface.clear();
  HDC dc = surface.dc();
  surface.set_back_color(RGB(0, 0, 255));
  surface.resize(30, 5);
  EXPECT_EQ(surface.width(), 30);
  EXPECT_EQ(surface.height(), 5);
  EXPECT_EQ(surface.dc(), dc);
  EXPECT_EQ(GetPixel(dc, 19, 4), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(dc, 20, 4), RGB(0, 0, 255));
  // Negative lengths count as none, and the DC stays usable.
  surface.resize(-4, 7);
  EXPECT_EQ(surface.width(), 0);
  EXPECT_EQ(surface.height(), 7);
  EXPECT_EQ(surface.dc(), dc);
  surface.resize(3, 3);
  surface.clear();
  EXPECT_EQ(GetPixel(dc, 2, 2), RGB(0, 0, 255));
}

TEST_F(SurfaceTest, TextUsesTheFontObjectAlsoAfterItChangesAndRefreshTellsTheView) {
  Surface surface(40, 20);
  ComPtr<IFont> font = font_of(surface);
  ASSERT_TRUE(font);
  HFONT handle = nullptr;
  ASSERT_EQ(font->get_hFont(&handle), S_OK);
  EXPECT_EQ(GetCurrentObject(surface.dc(), OBJ_FONT), handle);
  EXPECT_EQ(selected_font(surface.dc()).lfWeight, FW_NORMAL);

  ASSERT_EQ(font->put_Bold(TRUE), S_OK);
  EXPECT_EQ(selected_font(surface.dc()).lfWeight, FW_BOLD);
  CY size{};
  size.int64 = 20 * 10000;
  ASSERT_EQ(font->put_Size(size), S_OK);
  LONG height = selected_font(surface.dc()).lfHeight;
  EXPECT_EQ(std::abs(height), MulDiv(20, GetDeviceCaps(surface.dc(), LOGPIXELSY), 72));

  // Without a window, a refresh tells the view.
  int changes = 0;
  surface.set_view_changed([&] { ++changes; });
  surface.refresh();
  surface.refresh();
  EXPECT_EQ(changes, 2);
}

TEST_F(SurfaceTest, LeavesNoGdiObjectBehind) {
  auto use_once = [](int pass) {
    Surface surface(50, 20);
    surface.clear();
    ComPtr<IFont> font = font_of(surface);
    CY size{};
    size.int64 = (9 + pass) * 10000;
    font->put_Size(size);
    TextOutW(surface.dc(), 0, 0, L"Abc", 3);
    font->put_Bold(TRUE);
    surface.resize(80, 30);
    TextOutW(surface.dc(), 0, 0, L"Abc", 3);
    surface.resize(10, 10);
  };
  // Wine keeps a font handle that nobody holds any more until its last font
  // object goes, so no font object outlives a pass here.
  use_once(0);  // warm-up: fonts and DCs cache a few objects on first use
  size_t baseline = live_gdi_objects();
  for (int pass = 1; pass <= 20; ++pass) use_once(pass);
  EXPECT_EQ(live_gdi_objects(), baseline);
}

}  // namespace
}  // namespace tessel_test
