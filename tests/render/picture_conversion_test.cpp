// Icons turned into bitmaps on magenta, in memory, and picture sizes in pixels.
#include <gtest/gtest.h>

#include <objbase.h>

#include <optional>
#include <set>
#include <string>

#include "render/picture_conversion.h"
#include "dib_canvas.h"
#include "framework/error.h"
#include "framework/gdi.h"
#include "test_images.h"

namespace tessel {
namespace {

using tessel_test::FakePicture;

std::set<std::wstring> temporary_files() {
  wchar_t directory[MAX_PATH];
  GetTempPathW(MAX_PATH, directory);
  std::set<std::wstring> names;
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW((std::wstring(directory) + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do names.insert(found.cFileName);
    while (FindNextFileW(search, &found));
    FindClose(search);
  }
  return names;
}

class PictureConversion : public ::testing::Test {
 protected:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};

// Transparent in the top-left triangle x + y < 6, opaque colours elsewhere.
std::optional<COLORREF> icon_pixel(int x, int y) {
  return x + y < 6 ? std::nullopt : std::optional(RGB(0, 8 + 15 * (x % 16), 8 + 15 * y));
}

TEST_F(PictureConversion, AnIconBecomesABitmapOfItsSizeOnMagenta) {
  for (SIZE size : {SIZE{16, 16}, SIZE{32, 16}}) {
    SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
    auto icon = tessel_test::make_icon_picture(size.cx, size.cy, icon_pixel);
    const auto files_before = temporary_files();

    auto bitmap = ConvertIconToBitmap(icon.get());

    ASSERT_TRUE(bitmap);
    EXPECT_NE(bitmap.get(), icon.get());
    EXPECT_EQ(tessel_test::picture_type(bitmap.get()), PICTYPE_BITMAP);
    EXPECT_EQ(tessel_test::picture_type(icon.get()), PICTYPE_ICON);
    const auto handle = static_cast<HBITMAP>(tessel_test::picture_handle(bitmap.get()));
    ASSERT_EQ(GetObjectType(handle), static_cast<DWORD>(OBJ_BITMAP));
    BITMAP info{};
    GetObjectW(handle, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, size.cx);
    EXPECT_EQ(info.bmHeight, size.cy);
    tessel_test::DibCanvas canvas(size.cx, size.cy);
    {
      framework::MemoryDc source;
      framework::Selection selection(source.get(), handle);
      BitBlt(canvas.dc(), 0, 0, size.cx, size.cy, source.get(), 0, 0, SRCCOPY);
    }
    for (int y = 0; y < size.cy; ++y) {
      for (int x = 0; x < size.cx; ++x) {
        EXPECT_COLOUR(canvas.pixel(x, y), icon_pixel(x, y).value_or(RGB(255, 0, 255)))
            << x << ", " << y;
      }
    }
    EXPECT_EQ(temporary_files(), files_before);
    bitmap.reset();
    EXPECT_EQ(GetObjectType(handle), 0u) << "the picture owns its bitmap";
  }
}

// Other pictures are returned as they are; an icon refusing its handle, a
// picture refusing its type and a handle that is no icon are errors.
TEST_F(PictureConversion, OtherPicturesAreReturnedAsTheyAreBrokenOnesAreAnError) {
  auto bitmap = tessel_test::make_bitmap_picture(4, 4, [](int, int) { return RGB(1, 2, 3); });
  EXPECT_EQ(ConvertIconToBitmap(bitmap.get()).get(), bitmap.get());
  auto metafile = tessel_test::make_metafile_picture();
  EXPECT_EQ(ConvertIconToBitmap(metafile.get()).get(), metafile.get());
  EXPECT_FALSE(ConvertIconToBitmap(nullptr));
  FakePicture no_handle(PICTYPE_ICON, {DISPID_PICT_HANDLE});
  EXPECT_THROW(ConvertIconToBitmap(&no_handle), framework::ControlError);
  FakePicture no_type(PICTYPE_BITMAP, {DISPID_PICT_TYPE});
  EXPECT_THROW(ConvertIconToBitmap(&no_type), framework::ControlError);
  FakePicture stale(PICTYPE_ICON);
  stale.handle = 0x1234;  // no icon
  try {
    ConvertIconToBitmap(&stale);
    ADD_FAILURE() << "no error";
  } catch (const framework::ControlError& e) {
    EXPECT_EQ(e.number(), 481);  // invalid picture
  }
}

TEST_F(PictureConversion, PictureSizesAreHimetricAtTheScreensResolution) {
  const framework::WindowDc screen(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen.get(), LOGPIXELSX), 96);
  ASSERT_EQ(GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
  float x = 5, y = 5;
  auto bitmap = tessel_test::make_bitmap_picture(32, 32, [](int, int) { return RGB(1, 2, 3); });
  GetPictureSize(bitmap.get(), x, y);
  EXPECT_NEAR(x, 32.0f, 0.02f);
  EXPECT_NEAR(y, 32.0f, 0.02f);
  // Not rounded: 1000 HIMETRIC at 96 per inch is 37.795 pixels, 50 is 1.89.
  FakePicture fake;
  fake.width = 1000;
  fake.height = 50;
  GetPictureSize(&fake, x, y);
  EXPECT_FLOAT_EQ(x, 37.795277f);
  EXPECT_FLOAT_EQ(y, 1.8897638f);
  GetPictureSize(nullptr, x, y);
  EXPECT_EQ(x, 0.0f);
  EXPECT_EQ(y, 0.0f);
  fake.refused = {DISPID_PICT_HEIGHT};
  EXPECT_THROW(GetPictureSize(&fake, x, y), framework::ControlError);
}

}  // namespace
}  // namespace tessel
