// The framework's persistence stream format and value rules, without a
// control: the byte layout, what a reader makes of repeated, absent and
// damaged records, fonts and pictures as bytes, and the conversions and
// default comparisons of the bag layer.
#include <gtest/gtest.h>

#include <olectl.h>

#include <cstring>

#include "framework/byte_codec.h"
#include "framework/error.h"
#include "framework/persisted_object.h"
#include "framework/property_stream.h"

namespace framework {
namespace {

class ComApartment : public ::testing::Environment {
 public:
  void SetUp() override { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  void TearDown() override { CoUninitialize(); }
};
[[maybe_unused]] const auto* const kApartment =
    ::testing::AddGlobalTestEnvironment(new ComApartment);

Variant v_i4(LONG value) { return Variant::from_long(value); }
Variant v_i2(SHORT value) {
  Variant v;
  V_VT(v.get()) = VT_I2;
  V_I2(v.get()) = value;
  return v;
}
Variant v_r4(float value) {
  Variant v;
  V_VT(v.get()) = VT_R4;
  V_R4(v.get()) = value;
  return v;
}
Variant v_bool(bool value) {
  Variant v;
  V_VT(v.get()) = VT_BOOL;
  V_BOOL(v.get()) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}
Variant v_text(const wchar_t* text) {
  Variant v;
  V_VT(v.get()) = VT_BSTR;
  V_BSTR(v.get()) = SysAllocString(text);
  return v;
}
Variant v_object(IUnknown* object) {
  Variant v;
  V_VT(v.get()) = VT_DISPATCH;
  V_DISPATCH(v.get()) = nullptr;
  if (object) object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(v.get())));
  return v;
}

ComPtr<IFontDisp> arial(LONGLONG points_x10000, bool bold) {
  FONTDESC desc{sizeof(FONTDESC),
                const_cast<LPOLESTR>(L"Arial"),
                {{static_cast<ULONG>(points_x10000), 0}},
                static_cast<SHORT>(bold ? FW_BOLD : FW_NORMAL),
                ANSI_CHARSET,
                FALSE,
                FALSE,
                FALSE};
  ComPtr<IFontDisp> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFontDisp, font.put_void()), S_OK);
  return font;
}

bool same_identity(IUnknown* a, IUnknown* b) {
  ComPtr<IUnknown> ia, ib;
  a->QueryInterface(IID_IUnknown, ia.put_void());
  b->QueryInterface(IID_IUnknown, ib.put_void());
  return ia.get() == ib.get();
}

// The error number a call throws, or 0.
template <class F>
int thrown(F&& f) {
  try {
    f();
  } catch (const ControlError& e) {
    return e.number();
  }
  return 0;
}

std::vector<BYTE> three_records() {
  StreamPropertyWriter w;
  w.write(L"A", v_i4(1), nullptr);
  w.write(L"B", v_text(L"zwei"), nullptr);
  w.write(L"C", v_i4(3), nullptr);
  return w.bytes();
}

// Where record n (0-based) starts.
size_t record_offset(const std::vector<BYTE>& bytes, int n) {
  size_t at = kPropertyStreamHeaderSize;
  for (int i = 0; i < n; ++i) {
    uint32_t size = 0;
    std::memcpy(&size, &bytes[at], 4);
    at += 8 + size;
  }
  return at;
}

// A record written by hand: body fields as given, CRC made to match.
std::vector<BYTE> with_raw_record(std::vector<BYTE> stream, const wchar_t* key, uint16_t vt,
                                  std::vector<BYTE> value) {
  ByteWriter body;
  body.u16(static_cast<uint16_t>(wcslen(key)));
  for (const wchar_t* p = key; *p; ++p) body.u16(static_cast<uint16_t>(*p));
  body.u16(vt);
  body.bytes(value);
  ByteWriter record;
  record.u32(static_cast<uint32_t>(body.size()));
  record.u32(crc32(body.data()));
  record.bytes(body.data());
  stream.insert(stream.end(), record.data().begin(), record.data().end());
  uint32_t length = static_cast<uint32_t>(stream.size() - kPropertyStreamHeaderSize);
  std::memcpy(&stream[8], &length, 4);
  return stream;
}

TEST(PropertyStream, HasAVersionedHeaderAndOneCheckedRecordPerWrite) {
  const BYTE check[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
  EXPECT_EQ(crc32(check), 0xCBF43926u);  // the CRC-32 check value

  StreamPropertyWriter w;
  w.write(L"Ab", v_i4(0x11223344), nullptr);
  const std::vector<BYTE> bytes = w.bytes();
  const std::vector<BYTE> body = {2, 0, 'A', 0, 'b', 0, VT_I4, 0, 0x44, 0x33, 0x22, 0x11};
  const uint32_t crc = crc32(body);
  std::vector<BYTE> expected = {'O', 'C', 'X', 'P', 1, 0, 0, 0, 20, 0, 0, 0, 12, 0, 0, 0};
  for (int i = 0; i < 4; ++i) expected.push_back(static_cast<BYTE>(crc >> (8 * i)));
  expected.insert(expected.end(), body.begin(), body.end());
  EXPECT_EQ(bytes, expected);
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
  const std::vector<BYTE> bytes = three_records();
  const Variant fallback = v_i4(99);
  auto expect_only_a = [&](const std::vector<BYTE>& damaged) {
    StreamPropertyReader r(damaged);
    EXPECT_FALSE(r.complete());
    EXPECT_EQ(V_I4(r.read(L"A", VT_I4).get()), 1);
    EXPECT_NE(thrown([&] { r.read(L"B", VT_BSTR); }), 0);
    EXPECT_NE(thrown([&] { r.read(L"C", VT_I4); }), 0);
    EXPECT_NE(thrown([&] { r.read(L"Absent", VT_I4, &fallback); }), 0);
  };
  const size_t b = record_offset(bytes, 1);
  const size_t c = record_offset(bytes, 2);
  for (size_t cut = b; cut < c; ++cut) {
    expect_only_a(std::vector<BYTE>(bytes.begin(), bytes.begin() + static_cast<long>(cut)));
  }
  for (size_t flip = b; flip < c; ++flip) {
    std::vector<BYTE> damaged = bytes;
    damaged[flip] ^= 0x20;
    // Whether it hits the length, the CRC or the body, the CRC catches it.
    expect_only_a(damaged);
  }
  // Not this format: nothing at all.
  for (size_t at : {0, 4, 5}) {
    std::vector<BYTE> foreign = bytes;
    foreign[at] ^= 0x01;
    StreamPropertyReader r(foreign);
    EXPECT_NE(thrown([&] { r.read(L"A", VT_I4); }), 0) << at;
  }
}

TEST(PropertyStream, AValueThatDoesNotDecodeSpoilsOnlyItsOwnKey) {
  std::vector<BYTE> bytes = with_raw_record(three_records(), L"Odd", 0x4242, {1, 2});
  bytes = with_raw_record(bytes, L"Short", VT_I4, {1, 2, 3});
  bytes = with_raw_record(bytes, L"Half", VT_BSTR, {'x'});
  bytes = with_raw_record(bytes, L"Last", VT_BOOL, {0xFF, 0xFF});
  StreamPropertyReader r(bytes);
  EXPECT_TRUE(r.complete());
  EXPECT_EQ(thrown([&] { r.read(L"Odd", VT_I4); }), 13);
  EXPECT_EQ(thrown([&] { r.read(L"Short", VT_I4); }), 13);
  EXPECT_EQ(thrown([&] { r.read(L"Half", VT_BSTR); }), 13);
  EXPECT_EQ(V_BOOL(r.read(L"Last", VT_BOOL).get()), VARIANT_TRUE);
  EXPECT_EQ(std::wstring(V_BSTR(r.read(L"B", VT_BSTR).get())), L"zwei");
}

TEST(PropertyStream, FontsAndPicturesTravelAsTheirOwnPersistedData) {
  ComPtr<IFontDisp> font = arial(120000, true);
  PICTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.picType = PICTYPE_BITMAP;
  desc.bmp.hbitmap = CreateBitmap(5, 7, 1, 32, nullptr);
  ComPtr<IPicture> picture;
  ASSERT_EQ(OleCreatePictureIndirect(&desc, IID_IPicture, TRUE, picture.put_void()), S_OK);
  StreamPropertyWriter w;
  w.write(L"Font", v_object(font.get()), nullptr);
  w.write(L"Picture", v_object(picture.get()), nullptr);
  w.write(L"Nothing", v_object(nullptr), nullptr);
  const std::vector<BYTE> bytes = w.bytes();
  StreamPropertyReader r(bytes);

  Variant loaded = r.read(L"Font", VT_DISPATCH);
  ComPtr<IFont> copy;
  ASSERT_EQ(V_DISPATCH(loaded.get())->QueryInterface(IID_IFont, copy.put_void()), S_OK);
  EXPECT_FALSE(same_identity(copy.get(), font.get()));
  BOOL bold = FALSE;
  CY size{};
  copy->get_Bold(&bold);
  copy->get_Size(&size);
  EXPECT_TRUE(bold);
  EXPECT_EQ(size.int64, 120000);

  Variant image = r.read(L"Picture", VT_DISPATCH);
  ComPtr<IPicture> image_copy;
  ASSERT_EQ(V_DISPATCH(image.get())->QueryInterface(IID_IPicture, image_copy.put_void()), S_OK);
  SHORT type = 0;
  OLE_XSIZE_HIMETRIC width = 0, original_width = 0;
  image_copy->get_Type(&type);
  image_copy->get_Width(&width);
  picture->get_Width(&original_width);
  EXPECT_EQ(type, PICTYPE_BITMAP);
  EXPECT_EQ(width, original_width);

  Variant nothing = r.read(L"Nothing", VT_DISPATCH);
  EXPECT_EQ(nothing.vt(), VT_DISPATCH);
  EXPECT_EQ(V_DISPATCH(nothing.get()), nullptr);
}

TEST(PropertyStream, MakesNoObjectOfAnyOtherClass) {
  // Bytes that name another class: refused before anything is created.
  const GUID other = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
  std::vector<BYTE> value(sizeof other);
  std::memcpy(value.data(), &other, sizeof other);
  std::vector<BYTE> bytes = with_raw_record(three_records(), L"Object", VT_DISPATCH, value);
  // A font class with data that is not a font.
  std::vector<BYTE> broken(sizeof(CLSID) + 3, 0xEE);
  std::memcpy(broken.data(), &CLSID_StdFont, sizeof(CLSID));
  bytes = with_raw_record(bytes, L"Broken", VT_DISPATCH, broken);
  StreamPropertyReader r(bytes);
  EXPECT_EQ(thrown([&] { r.read(L"Object", VT_DISPATCH); }), 13);
  EXPECT_EQ(thrown([&] { r.read(L"Broken", VT_DISPATCH); }), 13);

  // Nor is any other object saved, though it could save itself.
  ComPtr<IMoniker> moniker;
  ASSERT_EQ(CreateFileMoniker(L"C:\\form.bin", moniker.put()), S_OK);
  Variant saved_moniker;
  V_VT(saved_moniker.get()) = VT_UNKNOWN;
  V_UNKNOWN(saved_moniker.get()) = moniker.get();
  moniker->AddRef();
  StreamPropertyWriter w;
  EXPECT_EQ(thrown([&] { w.write(L"Moniker", saved_moniker, nullptr); }), 13);
  EXPECT_EQ(thrown([&] {
              w.write(
                  L"Array",
                  [] {
                    Variant v;
                    V_VT(v.get()) = VT_ARRAY | VT_I4;
                    V_ARRAY(v.get()) = SafeArrayCreateVector(VT_I4, 0, 2);
                    return v;
                  }(),
                  nullptr);
            }),
            13);
}

TEST(PropertyValues, ReadValuesAreConvertedToTheTypeAskedFor) {
  EXPECT_EQ(V_I4(convert_property(v_text(L" 30 "), VT_I4).get()), 30);
  EXPECT_EQ(std::wstring(V_BSTR(convert_property(Variant(), VT_BSTR).get())), L"");
  EXPECT_EQ(V_BOOL(convert_property(v_i4(5), VT_BOOL).get()), VARIANT_TRUE);
  EXPECT_EQ(thrown([] { convert_property(v_text(L"abc"), VT_I4); }), 13);
  EXPECT_EQ(thrown([] { convert_property(v_i4(70000), VT_I2); }), 6);
  ComPtr<IFontDisp> font = arial(80000, false);
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
  EXPECT_TRUE(same_identity(V_DISPATCH(dispatch.get()), font.get()));
}

TEST(PropertyValues, AWriteDefaultMatchesInTheValuesType) {
  EXPECT_TRUE(matches_default(v_r4(8), v_i2(8)));
  EXPECT_FALSE(matches_default(v_r4(8.5f), v_i2(8)));
  EXPECT_TRUE(matches_default(v_text(L"900"), v_i2(900)));
  EXPECT_FALSE(matches_default(v_text(L""), v_i2(900)));
  EXPECT_TRUE(matches_default(v_bool(false), v_i2(0)));
  EXPECT_FALSE(matches_default(v_bool(true), v_i2(0)));
  EXPECT_FALSE(matches_default(v_text(L"Arial"), v_text(L"arial")));
  ComPtr<IFontDisp> a = arial(80000, false), b = arial(80000, false);
  EXPECT_TRUE(matches_default(v_object(a.get()), v_object(a.get())));
  EXPECT_FALSE(matches_default(v_object(a.get()), v_object(b.get())));
  EXPECT_TRUE(matches_default(v_object(nullptr), v_object(nullptr)));
  EXPECT_FALSE(matches_default(v_object(nullptr), v_object(a.get())));
  EXPECT_FALSE(matches_default(v_text(L"Arial"), v_object(a.get())));
}

}  // namespace
}  // namespace framework
