// Column pictures that a column keeps as it is given, metafiles and enhanced
// metafiles, saved and loaded again through a stream, a storage and a bag
// whose container keeps objects as their saved bytes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "control/persist_test_support.h"
#include "framework/hosting_helpers.h"
#include "framework/units.h"
#include "render/test_images.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

constexpr SIZE kPixels{32, 16};
constexpr COLORREF kRed = RGB(200, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 200);
// The colour a column picture takes as transparent, unless MaskColor says
// otherwise; what a picture leaves undrawn shows it here.
constexpr COLORREF kMagenta = RGB(255, 0, 255);

void fill(HDC dc, const RECT& area, COLORREF colour) {
  framework::GdiObject<HBRUSH> brush(CreateSolidBrush(colour));
  FillRect(dc, &area, brush.get());
}

// A metafile (type 2) or enhanced metafile (type 4) of kPixels: a red block
// over its left half and a blue one at its bottom right, the rest undrawn.
ComPtr<IPictureDisp> drawn_metafile(SHORT type) {
  // A size in HIMETRIC that whole pixels give back exactly.
  const SIZEL himetric = framework::pixels_to_himetric(kPixels);
  if (type == PICTYPE_METAFILE) {
    // Drawn in HIMETRIC: the picture plays it into a window of its size.
    HDC dc = CreateMetaFileW(nullptr);
    fill(dc, {0, 0, himetric.cx / 2, himetric.cy}, kRed);
    fill(dc, {himetric.cx * 3 / 4, himetric.cy / 2, himetric.cx, himetric.cy}, kBlue);
    return metafile_picture(CloseMetaFile(dc), himetric);
  }
  const RECT frame{0, 0, himetric.cx, himetric.cy};
  HDC dc = CreateEnhMetaFileW(nullptr, nullptr, &frame, nullptr);
  fill(dc, {0, 0, kPixels.cx / 2, kPixels.cy}, kRed);
  fill(dc, {kPixels.cx * 3 / 4, kPixels.cy / 2, kPixels.cx, kPixels.cy}, kBlue);
  PICTDESC description{sizeof description, PICTYPE_ENHMETAFILE, {}};
  description.emf.hemf = CloseEnhMetaFile(dc);
  ComPtr<IPictureDisp> picture;
  EXPECT_EQ(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.put_void()),
            S_OK);
  return picture;
}

struct Drawn {
  SHORT type = -1;
  SIZEL himetric{};
  std::vector<COLORREF> pixels;  // kPixels over magenta, row by row
};

std::vector<COLORREF> painted(const std::function<void(HDC)>& paint) {
  Canvas canvas(kPixels.cx, kPixels.cy);
  fill(canvas.dc(), {0, 0, kPixels.cx, kPixels.cy}, kMagenta);
  paint(canvas.dc());
  std::vector<COLORREF> pixels;
  for (int y = 0; y < kPixels.cy; ++y) {
    for (int x = 0; x < kPixels.cx; ++x) pixels.push_back(canvas.pixel(x, y));
  }
  return pixels;
}

// The picture's type and size, and how the picture object renders it.
Drawn rendered(IUnknown* object) {
  Drawn result;
  ComPtr<IPicture> picture;
  if (!object || FAILED(object->QueryInterface(IID_IPicture, picture.put_void()))) return result;
  picture->get_Type(&result.type);
  picture->get_Width(&result.himetric.cx);
  picture->get_Height(&result.himetric.cy);
  result.pixels = painted([&](HDC dc) {
    EXPECT_EQ(picture->Render(dc, 0, 0, kPixels.cx, kPixels.cy, 0, result.himetric.cy,
                              result.himetric.cx, -result.himetric.cy, nullptr),
              S_OK);
  });
  return result;
}

// The "Contents" stream of a control's storage.
std::vector<BYTE> contents(IStorage* storage) {
  ComPtr<IStream> stream, copy = new_stream();
  EXPECT_EQ(
      storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()),
      S_OK);
  if (!stream) return {};
  EXPECT_EQ(stream->CopyTo(copy.get(), {.QuadPart = ~0ull}, nullptr, nullptr), S_OK);
  return contents_of(copy.get());
}

TEST(MetafileColumns, StreamsStoragesAndBagsKeptAsBytesKeepThemAndSaveThemAgainAlike) {
  ComPtr<IDispatch> original = create_control();
  ASSERT_EQ(stream_persist(original.get())->InitNew(), S_OK);
  call(original.get(), id::AddRow, {vlong(40), vstr(L"EMF")});
  ComPtr<IPictureDisp> metafile = drawn_metafile(PICTYPE_METAFILE);
  ComPtr<IPictureDisp> enhanced = drawn_metafile(PICTYPE_ENHMETAFILE);
  put_ref(original.get(), id::RowPicture, {vlong(1)}, metafile.get());
  put_ref(original.get(), id::RowPicture, {vlong(2)}, enhanced.get());
  // What each must come back as: the size it was made with, painted as the
  // picture object paints the metafile, and as the enhanced metafile plays
  // into the rectangle (Wine's picture paints none it was handed).
  const SIZEL size = framework::pixels_to_himetric(kPixels);
  const Drawn expected[] = {{PICTYPE_METAFILE, size, rendered(metafile.get()).pixels},
                            {PICTYPE_ENHMETAFILE, size, painted([&](HDC dc) {
                               const RECT all{0, 0, kPixels.cx, kPixels.cy};
                               auto handle =
                                   static_cast<HENHMETAFILE>(picture_handle(enhanced.get()));
                               EXPECT_TRUE(PlayEnhMetaFile(dc, handle, &all));
                             })}};
  // Pictures that show something of both colours and leave the rest.
  for (const Drawn& picture : expected) {
    for (COLORREF colour : {kRed, kBlue, kMagenta}) {
      EXPECT_NE(std::count(picture.pixels.begin(), picture.pixels.end(), colour), 0);
    }
  }
  // The loaded control's pictures: the same kind (or, from a bag that keeps
  // objects as bytes, a bitmap), size and look.
  auto expect_pictures_kept = [&](IDispatch* loaded, const char* via, bool bitmap_allowed = false) {
    for (LONG column : {1, 2}) {
      SCOPED_TRACE(testing::Message() << via << ", column " << column);
      const Drawn& before = expected[column - 1];
      Variant picture = get(loaded, id::RowPicture, {vlong(column)});
      const Drawn after =
          rendered(V_VT(picture.get()) == VT_DISPATCH ? V_DISPATCH(picture.get()) : nullptr);
      EXPECT_TRUE(after.type == before.type || (bitmap_allowed && after.type == PICTYPE_BITMAP))
          << after.type;
      EXPECT_EQ(after.himetric.cx, before.himetric.cx);
      EXPECT_EQ(after.himetric.cy, before.himetric.cy);
      EXPECT_EQ(after.pixels, before.pixels);
    }
  };

  const std::vector<BYTE> saved = save_to_bytes(original.get());
  ComPtr<IDispatch> from_stream = load_from_bytes(saved);
  expect_pictures_kept(from_stream.get(), "stream");
  EXPECT_EQ(save_to_bytes(from_stream.get()), saved);

  ComPtr<IStorage> first = new_storage(), second = new_storage();
  ASSERT_EQ(storage_persist(original.get())->Save(first.get(), FALSE), S_OK);
  ComPtr<IDispatch> from_storage = create_control();
  ASSERT_EQ(storage_persist(from_storage.get())->Load(first.get()), S_OK);
  expect_pictures_kept(from_storage.get(), "storage");
  ASSERT_EQ(storage_persist(from_storage.get())->Save(second.get(), FALSE), S_OK);
  EXPECT_EQ(contents(second.get()), contents(first.get()));

  // Such a container saves each object through its own IPersistStream; a picture
  // object that cannot save a metafile gets one it can: a bitmap of its size.
  auto first_bag = RecordingBag::create(), second_bag = RecordingBag::create();
  first_bag->keeps_objects_as_bytes = second_bag->keeps_objects_as_bytes = true;
  ASSERT_EQ(bag_persist(original.get())->Save(first_bag.get(), TRUE, TRUE), S_OK);
  ComPtr<IDispatch> from_bag = load_from_bag(first_bag.get());
  expect_pictures_kept(from_bag.get(), "bag", /*bitmap_allowed=*/true);
  ASSERT_EQ(bag_persist(from_bag.get())->Save(second_bag.get(), TRUE, TRUE), S_OK);
  for (const wchar_t* key : {L"RowPicture1", L"RowPicture2"}) {
    EXPECT_EQ(second_bag->object_bytes.at(key), first_bag->object_bytes.at(key)) << key;
  }
}

}  // namespace
}  // namespace tessel_test
