// A saved form is untrusted data. Thousands of damaged streams (cut at
// every length, bytes flipped, garbage, records that pass their check but
// hold nonsense, absurd counts and lengths) and bags (values of every type,
// absurd counts) load without a crash, a hang or a leak, load nothing past
// the damage, and leave a control that paints.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <random>

#include "control/persist_test_support.h"
#include "framework/byte_codec.h"
#include "framework/error.h"
#include "framework/hosting_helpers.h"
#include "framework/property_stream.h"
#include "support/com_test_env.h"
#include "support/gdi_count.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;
using Clock = std::chrono::steady_clock;

HRESULT dll_can_unload_now() {
  auto can_unload = reinterpret_cast<HRESULT(WINAPI*)()>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"TesselControl.dll"), "DllCanUnloadNow")));
  return can_unload ? can_unload() : E_FAIL;
}

LONG value(IDispatch* control, DISPID which, std::vector<VARIANT> args = {}) {
  return as_long(get(control, which, std::move(args)));
}

// Top-aligned, so that it paints at all, DrawTab succeeds and the view
// renders into a container's DC.
void expect_paints(IDispatch* control) {
  EXPECT_EQ(invoke(control, id::Alignment, DISPATCH_PROPERTYPUT, {vlong(tessel::reg_Top)}), S_OK);
  EXPECT_EQ(invoke(control, id::DrawTab, DISPATCH_METHOD, {}), S_OK);
  Canvas canvas(120, 30);
  EXPECT_EQ(draw_view(control, canvas, {0, 0, 120, 30}), S_OK);
}

ComPtr<IDispatch> load_stream(const std::vector<BYTE>& bytes) {
  HRESULT hr = E_FAIL;
  ComPtr<IDispatch> control = load_from_bytes(bytes, &hr);
  EXPECT_EQ(hr, S_OK);
  return control;
}

// Each record's key and the offset just past it.
std::vector<std::pair<std::wstring, size_t>> record_ends(const std::vector<BYTE>& bytes) {
  std::vector<std::pair<std::wstring, size_t>> ends;
  size_t at = framework::kPropertyStreamHeaderSize;
  while (at + 10 <= bytes.size()) {
    uint32_t size = 0;
    uint16_t key_length = 0;
    std::memcpy(&size, &bytes[at], 4);
    std::memcpy(&key_length, &bytes[at + 8], 2);
    std::wstring key(key_length, L'\0');
    for (size_t i = 0; i < key_length; ++i) {
      key[i] = static_cast<wchar_t>(bytes[at + 10 + 2 * i] | (bytes[at + 11 + 2 * i] << 8));
    }
    at += 8 + size;
    ends.emplace_back(key, at);
  }
  return ends;
}

size_t end_of(const std::vector<std::pair<std::wstring, size_t>>& ends, const wchar_t* key) {
  for (const auto& [name, end] : ends) {
    if (name == key) return end;
  }
  ADD_FAILURE() << "no record for the key";
  return 0;
}

// A stream of the framework's format from records given as they are; the
// header announces `announced` bytes of records, or as many as there are.
class Forger {
 public:
  explicit Forger(uint32_t announced = 0) : announced_(announced) {}
  // A value the format does not hold goes in as its type with no bytes.
  void add(const std::wstring& key, const Variant& value) {
    framework::StreamPropertyWriter one;
    try {
      one.write(key, value, nullptr);
    } catch (const framework::ControlError&) {
      raw(value.vt(), key, {});
      return;
    }
    std::vector<BYTE> bytes = one.bytes();
    records_.insert(records_.end(), bytes.begin() + framework::kPropertyStreamHeaderSize,
                    bytes.end());
  }
  void raw(uint16_t vt, const std::wstring& key, const std::vector<BYTE>& value) {
    framework::ByteWriter body;
    body.u16(static_cast<uint16_t>(key.size()));
    for (wchar_t c : key) body.u16(static_cast<uint16_t>(c));
    body.u16(vt);
    body.bytes(value);
    framework::ByteWriter record;
    record.u32(static_cast<uint32_t>(body.size()));
    record.u32(framework::crc32(body.data()));
    record.bytes(body.data());
    records_.insert(records_.end(), record.data().begin(), record.data().end());
  }
  void bytes(const std::vector<BYTE>& junk) {
    records_.insert(records_.end(), junk.begin(), junk.end());
  }
  std::vector<BYTE> stream() const {
    framework::ByteWriter out;
    out.bytes(std::vector<BYTE>{'O', 'C', 'X', 'P', 1, 0, 0, 0});
    out.u32(announced_ ? announced_ : static_cast<uint32_t>(records_.size()));
    out.bytes(records_);
    return out.take();
  }

 private:
  uint32_t announced_;
  std::vector<BYTE> records_;
};

const std::vector<std::wstring> kKeys = keys(
    L"Alignment HeaderHeight BackColor BackColorForm ForeColor ForeColorActive ForeColorHot "
    L"FrameColor MaskColor SelectedRow SortedRow NumberOfTabs MouseMoveColor0 MouseMoveColor1 "
    L"MouseMoveColor2 RegisterFocusColor0 RegisterFocusColor1 RegisterFocusColor2 ShowFrame "
    L"ShowSortPic FontBold FontItalic FontStrikethru FontUnderline FontSize FontName Font "
    L"ColumnWidths RowWidth1 RowText1 RowSorted1 RowPicture1 RowWidth2 RowText2 RowSorted2 "
    L"RowPicture2");

// A real saved form, small enough to be cut at every length quickly: two
// columns, one with a picture and an access key. Loaded bottom-aligned,
// its setters do not repaint, which makes a load ten times faster.
std::vector<BYTE> small_form(tessel::eTabAlignment alignment) {
  ComPtr<IDispatch> control = create_control();
  EXPECT_EQ(control.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew(), S_OK);
  IDispatch* c = control.get();
  put(c, id::Alignment, {}, vlong(alignment));
  put(c, id::RowCaption, {vlong(1)}, vstr(L"&Kunde"));
  call(c, id::AddRow, {vlong(40), vstr(L"Datum")});
  put_picture(c, 1, make_bitmap_picture(3, 2, RGB(200, 10, 20)).get());
  put(c, id::RowSorted, {vlong(2)}, vbool(true));
  put(c, id::HeaderHeight, {}, vlong(31));
  put(c, id::MouseMoveColor0, {}, vlong(0x123456));
  put(c, id::FontItalic, {}, vbool(true));
  return save_to_bytes(c);
}

class BadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    sample = small_form(tessel::reg_Top);
    quick_sample = small_form(tessel::reg_Bottom);
    ASSERT_GT(quick_sample.size(), 500u);
    // The first pass makes the platform's cached objects once.
    ComPtr<IDispatch> loaded = load_stream(sample);
    expect_paints(loaded.get());
    saved_colour = value(loaded.get(), id::MouseMoveColor0);
    loaded = nullptr;
    gdi_baseline = live_gdi_objects();
    font = new_font(L"Arial", 9);
    picture = make_bitmap_picture(6, 6, RGB(1, 2, 3));
  }
  void TearDown() override {
    font = nullptr;
    picture = nullptr;
    EXPECT_EQ(live_gdi_objects(), gdi_baseline) << "GDI objects left behind";
    EXPECT_EQ(dll_can_unload_now(), S_OK) << "objects left behind";
  }

  // A value of any type a bag or a forged stream might hold.
  Variant any_value() {
    // Sizes that make each repaint slow (a header as high as a window can
    // be, 32767 columns) have tests of their own.
    static const LONG kNumbers[] = {
        0, 1, 2, 3, -1, 25, 255, 32768, -32768, LONG(0x80000000), LONG(0x80000012)};
    static const wchar_t* const kTexts[] = {L"",   L"12",       L"-3",  L"1e400", L"abc",
                                            L"&A", L"1500;750", L"2,5", L"\x20AC"};
    Variant v;
    switch (random_() % 12) {
      case 0:
        break;  // VT_EMPTY
      case 1:
        V_VT(v.get()) = VT_NULL;
        break;
      case 2:
        v = v_i2(static_cast<SHORT>(kNumbers[random_() % std::size(kNumbers)]));
        break;
      case 3:
        v = v_i4(kNumbers[random_() % std::size(kNumbers)]);
        break;
      case 4: {
        static const double kReals[] = {0.5, -7.25, 1e300, -1e300, 1e-300};
        V_VT(v.get()) = VT_R8;
        V_R8(v.get()) = kReals[random_() % std::size(kReals)];
        break;
      }
      case 5:
        v = v_text(kTexts[random_() % std::size(kTexts)]);
        break;
      case 6:
        v = v_bool(random_() % 2);
        break;
      case 7:
        V_VT(v.get()) = VT_ERROR;
        V_ERROR(v.get()) = DISP_E_PARAMNOTFOUND;
        break;
      case 8:
        v = v_object(font.get());
        break;
      case 9:
        v = v_object(picture.get());
        break;
      case 10:
        v = v_object(nullptr);
        break;
      default:
        V_VT(v.get()) = VT_ARRAY | VT_I4;
        V_ARRAY(v.get()) = SafeArrayCreateVector(VT_I4, 0, 3);
        break;
    }
    return v;
  }

  std::vector<BYTE> random_bytes(size_t n) {
    std::vector<BYTE> bytes(n);
    for (BYTE& b : bytes) b = static_cast<BYTE>(random_());
    return bytes;
  }

  std::vector<BYTE> sample;        // top-aligned: every setter repaints
  std::vector<BYTE> quick_sample;  // the same, bottom-aligned
  LONG saved_colour = 0;           // the sample's MouseMoveColor0
  ComPtr<IFontDisp> font;
  ComPtr<IPictureDisp> picture;
  size_t gdi_baseline = 0;
  std::mt19937 random_{20240607};
};

TEST_F(BadInput, AFormCutAtAnyLengthLoadsWhatComesBeforeTheCut) {
  const std::vector<BYTE>& form = quick_sample;
  const auto ends = record_ends(form);
  const size_t height_end = end_of(ends, L"HeaderHeight");
  const size_t count_end = end_of(ends, L"NumberOfTabs");
  const size_t colour_end = end_of(ends, L"MouseMoveColor0");
  const size_t caption_end = end_of(ends, L"RowText2");
  for (size_t cut = 0; cut <= form.size(); ++cut) {
    SCOPED_TRACE(cut);
    ComPtr<IDispatch> control =
        load_stream(std::vector<BYTE>(form.begin(), form.begin() + static_cast<long>(cut)));
    // A key cut off is skipped, not given its read default (25, 0x2890E8).
    ASSERT_EQ(value(control.get(), id::HeaderHeight), cut >= height_end ? 31 : 0);
    ASSERT_EQ(value(control.get(), id::NumberOfRows), cut >= count_end ? 2 : 0);
    ASSERT_EQ(value(control.get(), id::MouseMoveColor0), cut >= colour_end ? saved_colour : 0);
    if (cut >= count_end) {
      ASSERT_EQ(as_string(get(control.get(), id::RowCaption, {vlong(2)})),
                cut >= caption_end ? L"Datum" : L"");
    }
    if (cut % 64 == 0 || cut == form.size()) expect_paints(control.get());
  }
}

TEST_F(BadInput, FlippedBytesStopTheLoadAtTheDamagedRecord) {
  for (int round = 0; round < 300; ++round) {
    std::vector<BYTE> damaged = sample;
    const int flips = 1 + static_cast<int>(random_() % 4);
    for (int i = 0; i < flips; ++i) {
      damaged[random_() % damaged.size()] ^= static_cast<BYTE>(1 + random_() % 255);
    }
    ComPtr<IDispatch> control = load_stream(damaged);
    // Every value is the saved one or not loaded at all.
    const LONG height = value(control.get(), id::HeaderHeight);
    ASSERT_TRUE(height == 31 || height == 0) << height;
    const LONG count = value(control.get(), id::NumberOfRows);
    ASSERT_TRUE(count == 2 || count == 0) << count;
    if (round % 30 == 0) expect_paints(control.get());
  }
}

TEST_F(BadInput, GarbageLoadsNothing) {
  const std::vector<BYTE> header(sample.begin(),
                                 sample.begin() + framework::kPropertyStreamHeaderSize);
  for (int round = 0; round < 200; ++round) {
    std::vector<BYTE> garbage = random_bytes(random_() % 3000);
    // Half of them behind a valid header, which takes the reader further.
    if (round % 2) garbage.insert(garbage.begin(), header.begin(), header.end());
    ComPtr<IDispatch> control = load_stream(garbage);
    ASSERT_EQ(value(control.get(), id::NumberOfRows), 0);
    ASSERT_EQ(value(control.get(), id::HeaderHeight), 0);
    if (round % 40 == 0) expect_paints(control.get());
  }
}

TEST_F(BadInput, RecordsThatPassTheirCheckButHoldNonsenseAreSkipped) {
  for (int round = 0; round < 200; ++round) {
    Forger forger;
    for (int i = 0; i < 40; ++i) {
      const std::wstring& key = kKeys[random_() % kKeys.size()];
      switch (random_() % 4) {
        case 0:
          forger.add(key, any_value());
          break;
        case 1:  // any type, any bytes
          forger.raw(static_cast<uint16_t>(random_()), key, random_bytes(random_() % 20));
          break;
        case 2: {  // a font or picture class with bytes that are not one
          std::vector<BYTE> object(sizeof(CLSID));
          std::memcpy(object.data(), random_() % 2 ? &CLSID_StdFont : &CLSID_StdPicture,
                      sizeof(CLSID));
          std::vector<BYTE> junk = random_bytes(random_() % 200);
          if (random_() % 2) junk.insert(junk.begin(), {'l', 't', 0, 0, 0xFF, 0xFF, 0xFF, 0x7F});
          object.insert(object.end(), junk.begin(), junk.end());
          forger.raw(VT_DISPATCH, key, object);
          break;
        }
        default:  // a key of any length
          forger.raw(VT_I4, std::wstring(random_() % 300, L'K'), {1, 0, 0, 0});
          break;
      }
    }
    ComPtr<IDispatch> control = load_stream(forger.stream());
    if (round % 30 == 0) expect_paints(control.get());
  }
}

TEST_F(BadInput, AbsurdCountsAndLengthsAreNotBelieved) {
  // Lengths far beyond the data: the records there load, nothing more.
  Forger huge(0xFFFFFFF0u);
  huge.add(L"HeaderHeight", v_i4(44));
  EXPECT_EQ(value(load_stream(huge.stream()).get(), id::HeaderHeight), 44);
  Forger long_record;
  long_record.add(L"HeaderHeight", v_i4(45));
  long_record.bytes({0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 2, 3});
  long_record.add(L"NumberOfTabs", v_i4(2));
  ComPtr<IDispatch> control = load_stream(long_record.stream());
  EXPECT_EQ(value(control.get(), id::HeaderHeight), 45);
  EXPECT_EQ(value(control.get(), id::NumberOfRows), 0);

  // Column counts no header can hold are not read; the control stays usable.
  for (LONG count : {-1L, -2147483647L - 1, 32768L, 2147483647L}) {
    Forger forger;
    forger.add(L"NumberOfTabs", v_i4(count));
    forger.add(L"RowText1", v_text(L"eins"));
    control = load_stream(forger.stream());
    EXPECT_EQ(value(control.get(), id::NumberOfRows), 0) << count;
    expect_paints(control.get());
    EXPECT_EQ(as_long(call(control.get(), id::AddRow)), 1);
  }
  // The largest count loads, blank columns, quickly.
  Forger most;
  most.add(L"NumberOfTabs", v_text(L"32767"));
  most.add(L"RowText32767", v_text(L"letzte"));
  const auto before = Clock::now();
  control = load_stream(most.stream());
  EXPECT_LT(Clock::now() - before, std::chrono::seconds(5));
  EXPECT_EQ(value(control.get(), id::NumberOfRows), 32767);
  EXPECT_EQ(as_string(get(control.get(), id::RowCaption, {vlong(32767)})), L"letzte");
  control = nullptr;
}

TEST_F(BadInput, BagsOfAnyValuesLoad) {
  for (int round = 0; round < 200; ++round) {
    auto bag = RecordingBag::create();
    for (const std::wstring& key : kKeys) {
      if (random_() % 3) bag->set(key, any_value());
    }
    static const LONG kCounts[] = {-1, 0, 2, 32768, 0x7FFFFFFF, LONG(0x80000000)};
    if (random_() % 2) bag->set(L"NumberOfTabs", v_i4(kCounts[random_() % std::size(kCounts)]));
    ComPtr<IDispatch> control = create_control();
    auto persist = control.query<IPersistPropertyBag>(IID_IPersistPropertyBag);
    ASSERT_EQ(persist->Load(bag.get(), nullptr), S_OK);
    const LONG count = value(control.get(), id::NumberOfRows);
    ASSERT_TRUE(count >= 0 && count <= 32767) << count;
    if (round % 20 == 0) expect_paints(control.get());
  }
}

}  // namespace
}  // namespace tessel_test
