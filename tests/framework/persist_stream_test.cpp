// The framework's persistence stream format and value rules, without a
// control: the byte layout, repeated, absent and damaged records, fonts and
// pictures as bytes, and the bag layer's conversions and default comparisons.
#include <gtest/gtest.h>

#include <olectl.h>

#include <optional>

#include "control/persist_test_support.h"
#include "framework/error.h"
#include "framework/hosting_helpers.h"
#include "framework/persisted_object.h"
#include "framework/property_stream.h"
#include "support/test_pictures.h"

namespace tessel_test {
namespace {

using framework::convert_property;
using framework::crc32;
using framework::matches_default;
using framework::StreamPropertyReader;
using framework::StreamPropertyWriter;

// The tests run on the main thread, in an apartment from the start.
[[maybe_unused]] const HRESULT kApartment = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

// The error number a call throws, or 0.
template <class F>
int thrown(F&& f) {
  try {
    f();
  } catch (const framework::ControlError& e) {
    return e.number();
  }
  return 0;
}

ForgedStream three_records() { return {{L"A", v_i4(1)}, {L"B", v_text(L"zwei")}, {L"C", v_i4(3)}}; }

TEST(PropertyStream, HasAVersionedHeaderAndOneCheckedRecordPerWrite) {
  const BYTE check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(crc32(check), 0xCBF43926u);  // the CRC-32 check value

  StreamPropertyWriter w;
  w.write(L"Ab", v_i4(0x11223344), nullptr);
  const std::vector<BYTE> body = {2, 0, 'A', 0, 'b', 0, VT_I4, 0, 0x44, 0x33, 0x22, 0x11};
  const uint32_t crc = crc32(body);
  std::vector<BYTE> expected = {'O', 'C', 'X', 'P', 1, 0, 0, 0, 20, 0, 0, 0, 12, 0, 0, 0};
  for (int i = 0; i < 4; ++i) expected.push_back(static_cast<BYTE>(crc >> (8 * i)));
  expected.insert(expected.end(), body.begin(), body.end());
  EXPECT_EQ(w.bytes(), expected);
}

TEST(PropertyStream, KeepsTheFirstOfARepeatedKeyAndEveryWriteDefault) {
  StreamPropertyWriter w;
  const Variant eight = v_i2(8);
  w.write(L"Size", v_r4(8), &eight);  // stored although equal to its default
  w.write(L"Twice", v_i4(1), nullptr);
  w.write(L"Twice", v_i4(2), nullptr);
  const std::vector<BYTE> bytes = w.bytes();
  StreamPropertyReader r(bytes);
  EXPECT_TRUE(r.complete());
  EXPECT_EQ(V_R4(r.read(L"Size", VT_R4).get()), 8.0f);
  EXPECT_EQ(V_I4(r.read(L"Twice", VT_I4).get()), 1);
  const Variant fallback = v_i2(25);
  EXPECT_EQ(V_I4(r.read(L"Absent", VT_I4, &fallback).get()), 25);
  EXPECT_EQ(V_I4(r.read(L"Absent", VT_I4).get()), 0);
}

TEST(PropertyStream, NothingIsKnownPastTheFirstDamage) {
  const std::vector<BYTE> bytes = three_records().stream();
  const auto ends = record_ends(bytes);
  ASSERT_EQ(ends.size(), 3u);
  const Variant fallback = v_i4(99);
  auto expect_only_a = [&](const std::vector<BYTE>& damaged) {
    StreamPropertyReader r(damaged);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(V_I4(r.read(L"A", VT_I4).get()), 1);
    EXPECT_EQ(V_I4(r.read(L"C", VT_I4, &fallback).get()), 99);
    EXPECT_EQ(V_I4(r.read(L"Absent", VT_I4, &fallback).get()), 99);
  };
  // Cut anywhere in B, or a bit flipped in its length, CRC or body.
  for (size_t at = ends[0].second; at < ends[1].second; ++at) {
    SCOPED_TRACE(at);
    expect_only_a(std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<long>(at)));
    std::vector<BYTE> damaged = bytes;
    damaged[at] ^= 0x20;
    expect_only_a(damaged);
  }
  // Not this format (magic or version): nothing at all.
  for (size_t at : {0, 4, 5}) {
    std::vector<BYTE> foreign = bytes;
    foreign[at] ^= 0x01;
    StreamPropertyReader r(foreign);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(V_I4(r.read(L"A", VT_I4, &fallback).get()), 99) << at;
  }
}

TEST(PropertyStream, AValueThatDoesNotDecodeSpoilsOnlyItsOwnKey) {
  ForgedStream forged = three_records();
  forged.raw(0x4242, L"Odd", {1, 2});
  forged.raw(VT_I4, L"Short", {1, 2, 3});
  forged.raw(VT_BSTR, L"Half", {'x'});
  forged.raw(VT_BOOL, L"Last", {0xFF, 0xFF});
  StreamPropertyReader r(forged.stream());
  EXPECT_TRUE(r.complete());
  const Variant fallback = v_i4(99);
  EXPECT_EQ(V_I4(r.read(L"Odd", VT_I4, &fallback).get()), 99);
  EXPECT_FALSE(r.complete());
  EXPECT_EQ(V_I4(r.read(L"Short", VT_I4, &fallback).get()), 99);
  const Variant text = v_text(L"fallback");
  EXPECT_EQ(std::wstring(V_BSTR(r.read(L"Half", VT_BSTR, &text).get())), L"fallback");
  EXPECT_EQ(V_BOOL(r.read(L"Last", VT_BOOL).get()), VARIANT_TRUE);
  EXPECT_EQ(std::wstring(V_BSTR(r.read(L"B", VT_BSTR).get())), L"zwei");
}

TEST(PropertyStream, FontsAndPicturesTravelAsTheirOwnPersistedData) {
  ComPtr<IFontDisp> font = new_font(L"Arial", 12);
  ASSERT_EQ(font.query<IFont>(IID_IFont)->put_Bold(TRUE), S_OK);
  ComPtr<IPictureDisp> picture = make_bitmap_picture(5, 7, RGB(1, 2, 3));
  StreamPropertyWriter w;
  w.write(L"Font", v_object(font.get()), nullptr);
  w.write(L"Picture", v_object(picture.get()), nullptr);
  w.write(L"Nothing", v_object(nullptr), nullptr);
  const std::vector<BYTE> bytes = w.bytes();
  StreamPropertyReader r(bytes);

  Variant loaded = r.read(L"Font", VT_DISPATCH);
  ComPtr<IFont> copy;
  ASSERT_EQ(V_DISPATCH(loaded.get())->QueryInterface(IID_IFont, copy.put_void()), S_OK);
  EXPECT_FALSE(same_object(copy.get(), font.get()));
  BOOL bold = FALSE;
  CY size{};
  copy->get_Bold(&bold);
  copy->get_Size(&size);
  EXPECT_TRUE(bold);
  EXPECT_EQ(size.int64, 120000);

  Variant image = r.read(L"Picture", VT_DISPATCH);
  EXPECT_EQ(picture_pixels(V_DISPATCH(image.get())), picture_pixels(picture.get()));
  EXPECT_FALSE(picture_pixels(picture.get()).empty());

  Variant nothing = r.read(L"Nothing", VT_DISPATCH);
  EXPECT_EQ(nothing.vt(), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(nothing.get()), nullptr);
}

// A metafile's size travels in a 16-bit bounding box: beyond 32767
// HIMETRIC in a coarser unit, which keeps these sizes exact.
TEST(PropertyStream, MetafilesKeepTheirSizeBeyondWhatSixteenBitsHold) {
  for (const SIZEL size :
       {SIZEL{423, 211}, SIZEL{32767, 32767}, SIZEL{40000, 500}, SIZEL{100000, 2540}}) {
    SCOPED_TRACE(testing::Message() << size.cx << " x " << size.cy);
    HDC recorder = CreateMetaFileW(nullptr);
    Rectangle(recorder, 0, 0, size.cx / 2, size.cy / 2);
    ComPtr<IPictureDisp> picture = metafile_picture(CloseMetaFile(recorder), size);
    ASSERT_TRUE(picture);
    StreamPropertyWriter w;
    w.write(L"Picture", v_object(picture.get()), nullptr);
    const std::vector<BYTE> bytes = w.bytes();
    Variant loaded = StreamPropertyReader(bytes).read(L"Picture", VT_DISPATCH);
    ComPtr<IPicture> copy;
    ASSERT_EQ(V_DISPATCH(loaded.get())->QueryInterface(IID_IPicture, copy.put_void()), S_OK);
    SHORT type = 0;
    SIZEL loaded_size{};
    copy->get_Type(&type);
    copy->get_Width(&loaded_size.cx);
    copy->get_Height(&loaded_size.cy);
    EXPECT_EQ(type, PICTYPE_METAFILE);
    EXPECT_EQ(loaded_size.cx, size.cx);
    EXPECT_EQ(loaded_size.cy, size.cy);
  }
}

TEST(PropertyStream, MakesNoObjectOfAnyOtherClass) {
  // Bytes that name another class are refused before anything is created;
  // so is a font class with data that is not a font, and a picture whose
  // bitmap file ends before its headers, colour table or pixels do (the
  // platform's reader would read on past it).
  ForgedStream forged = three_records();
  forged.raw(VT_DISPATCH, L"Object",
             clsid_bytes({0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}}));
  std::vector<BYTE> broken = clsid_bytes(CLSID_StdFont);
  broken.insert(broken.end(), 3, 0xEE);
  forged.raw(VT_DISPATCH, L"Broken", broken);
  // 1 x 1 bitmaps with the 12-byte header of old files: red in 24 bits,
  // green from the colour table in 8 bits. Whole (the red one also without
  // its row's padding, as some writers leave it out), and cut inside their
  // pixels, colour table or headers.
  auto bitmap = [](BYTE bits) {
    std::vector<BYTE> file = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,    0,
                              0,   12,  0, 0, 0, 1, 0, 1, 0, 1, 0, bits, 0};
    if (bits == 8) {
      file.insert(file.end(), 3 * 256, 0);
      file[27] = 255;  // colour 0 is green
    }
    file[10] = static_cast<BYTE>(file.size()), file[11] = static_cast<BYTE>(file.size() >> 8);
    file.insert(file.end(), {0, 0, 255, 0});
    return file;
  };
  const struct {
    const wchar_t* key;
    BYTE bits;
    size_t size;
    bool framed;                    // by "lt\0\0" and the length
    std::optional<COLORREF> shows;  // none: refused
  } files[] = {{L"Red", 24, 29, true, RGB(255, 0, 0)}, {L"Green", 8, 798, true, RGB(0, 255, 0)},
               {L"NoPixels", 24, 28, true, {}},        {L"NoTable", 8, 400, true, {}},
               {L"NoInfoHeader", 24, 17, true, {}},    {L"NoFileHeader", 24, 11, true, {}},
               {L"Unframed", 24, 20, false, {}}};
  for (const auto& f : files) {
    const std::vector<BYTE> file = bitmap(f.bits);
    std::vector<BYTE> picture = clsid_bytes(CLSID_StdPicture);
    if (f.framed) {
      picture.insert(picture.end(), {'l', 't', 0, 0, BYTE(f.size), BYTE(f.size >> 8), 0, 0});
    }
    picture.insert(picture.end(), file.begin(), file.begin() + long(f.size));
    forged.raw(VT_DISPATCH, f.key, picture);
  }
  StreamPropertyReader r(forged.stream());
  EXPECT_EQ(thrown([&] { r.read(L"Object", VT_DISPATCH); }), 13);
  EXPECT_EQ(thrown([&] { r.read(L"Broken", VT_DISPATCH); }), 13);
  for (const auto& f : files) {
    if (!f.shows) {
      EXPECT_EQ(thrown([&] { r.read(f.key, VT_DISPATCH); }), 13) << f.key;
      continue;
    }
    const Variant whole = r.read(f.key, VT_DISPATCH);
    ASSERT_EQ(whole.vt(), VT_DISPATCH) << f.key;
    EXPECT_EQ(picture_pixels(V_DISPATCH(whole.get())),
              picture_pixels(make_bitmap_picture(1, 1, *f.shows).get()))
        << f.key;
  }

  // Nor is any other object saved, though it could save itself.
  ComPtr<IMoniker> moniker;
  ASSERT_EQ(CreateFileMoniker(L"C:\\form.bin", moniker.put()), S_OK);
  Variant saved_moniker, array;
  V_VT(saved_moniker.get()) = VT_UNKNOWN;
  V_UNKNOWN(saved_moniker.get()) = moniker.get();
  moniker->AddRef();
  V_VT(array.get()) = VT_ARRAY | VT_I4;
  V_ARRAY(array.get()) = SafeArrayCreateVector(VT_I4, 0, 2);
  StreamPropertyWriter w;
  w.write(L"A", v_i4(1), nullptr);
  EXPECT_EQ(thrown([&] { w.write(L"Moniker", saved_moniker, nullptr); }), 13);
  EXPECT_EQ(thrown([&] { w.write(L"Array", array, nullptr); }), 13);
  // A refused value leaves no part of its record behind.
  w.write(L"B", v_text(L"zwei"), nullptr);
  w.write(L"C", v_i4(3), nullptr);
  EXPECT_EQ(w.bytes(), three_records().stream());
}

TEST(PropertyValues, ReadValuesAreConvertedToTheTypeAskedFor) {
  EXPECT_EQ(V_I4(convert_property(v_text(L" 30 "), VT_I4).get()), 30);
  EXPECT_EQ(std::wstring(V_BSTR(convert_property(Variant(), VT_BSTR).get())), L"");
  EXPECT_EQ(V_BOOL(convert_property(v_i4(5), VT_BOOL).get()), VARIANT_TRUE);
  EXPECT_EQ(thrown([] { convert_property(v_text(L"abc"), VT_I4); }), 13);
  EXPECT_EQ(thrown([] { convert_property(v_i4(70000), VT_I2); }), 6);
  ComPtr<IFontDisp> font = new_font(L"Arial", 8);
  // An object is never asked for its value, and only an object is one.
  EXPECT_EQ(thrown([&] { convert_property(v_object(font.get()), VT_BSTR); }), 13);
  EXPECT_EQ(thrown([] { convert_property(v_text(L"Arial"), VT_DISPATCH); }), 13);
  EXPECT_EQ(thrown([] { convert_property(Variant(), VT_DISPATCH); }), 13);
  Variant unknown;
  V_VT(unknown.get()) = VT_UNKNOWN;
  V_UNKNOWN(unknown.get()) = font.get();
  font->AddRef();
  Variant dispatch = convert_property(unknown, VT_DISPATCH);
  EXPECT_EQ(dispatch.vt(), VT_DISPATCH);
  EXPECT_TRUE(same_object(V_DISPATCH(dispatch.get()), font.get()));
}

TEST(PropertyValues, AWriteDefaultMatchesInTheValuesType) {
  ComPtr<IFontDisp> a = new_font(L"Arial", 8), b = new_font(L"Arial", 8);
  const struct {
    Variant value, write_default;
    bool matches;
  } cases[] = {{v_r4(8), v_i2(8), true},
               {v_r4(8.5f), v_i2(8), false},
               {v_text(L"900"), v_i2(900), true},
               {v_text(L""), v_i2(900), false},
               {v_bool(false), v_i2(0), true},
               {v_bool(true), v_i2(0), false},
               {v_text(L"Arial"), v_text(L"arial"), false},
               {v_object(a.get()), v_object(a.get()), true},
               {v_object(a.get()), v_object(b.get()), false},
               {v_object(nullptr), v_object(nullptr), true},
               {v_object(nullptr), v_object(a.get()), false},
               {v_text(L"Arial"), v_object(a.get()), false}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_EQ(matches_default(cases[i].value, cases[i].write_default), cases[i].matches)
        << "case " << i;
  }
}

}  // namespace
}  // namespace tessel_test
