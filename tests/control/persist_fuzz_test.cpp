// A saved form is untrusted data. Hand-made damaged streams and bags load
// without a crash or a leak, load nothing past the damage, and leave a
// control that paints. Random mutations run in tests/soak/fuzz_run.cpp.
#include <gtest/gtest.h>

#include <chrono>

#include "control/persist_test_support.h"
#include "control/property_table.h"
#include "framework/hosting_helpers.h"
#include "framework/property_stream.h"
#include "support/com_test_env.h"
#include "support/gdi_count.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

HRESULT dll_can_unload_now() {
  auto can_unload = reinterpret_cast<HRESULT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(kTestDllName), "DllCanUnloadNow")));
  return can_unload ? can_unload() : E_FAIL;
}

LONG value(IDispatch* control, DISPID which, std::vector<VARIANT> args = {}) {
  return as_long(get(control, which, std::move(args)));
}

// Top-aligned, so that it paints at all: DrawTab and a container's drawing.
void expect_paints(IDispatch* control) {
  EXPECT_EQ(invoke(control, id::Alignment, DISPATCH_PROPERTYPUT, {vlong(tessel::reg_Top)}), S_OK);
  EXPECT_EQ(invoke(control, id::DrawTab, DISPATCH_METHOD, {}), S_OK);
  Canvas canvas(120, 30);
  EXPECT_EQ(draw_view(control, canvas, {0, 0, 120, 30}), S_OK);
}

// A control loaded from bytes; the load fails just when they are damaged.
ComPtr<IDispatch> load_stream(const std::vector<BYTE>& bytes, bool intact = true) {
  HRESULT hr = E_FAIL;
  ComPtr<IDispatch> control = load_from_bytes(bytes, &hr);
  EXPECT_EQ(SUCCEEDED(hr), intact) << std::hex << hr;
  return control;
}

size_t end_of(const std::vector<std::pair<std::wstring, size_t>>& ends, const wchar_t* key) {
  for (const auto& [name, end] : ends) {
    if (name == key) return end;
  }
  ADD_FAILURE() << "no record for the key";
  return 0;
}

// A real saved form: two columns, one with a picture and an access key.
// Bottom-aligned, its setters do not repaint: a load ten times faster.
std::vector<BYTE> small_form() {
  ComPtr<IDispatch> control = create_control();
  IDispatch* c = control.get();
  EXPECT_EQ(stream_persist(c)->InitNew(), S_OK);
  put(c, id::Alignment, {}, vlong(tessel::reg_Bottom));
  put(c, id::RowCaption, {vlong(1)}, vstr(L"&Kunde"));
  call(c, id::AddRow, {vlong(40), vstr(L"Datum")});
  put_ref(c, id::RowPicture, {vlong(1)}, make_bitmap_picture(3, 2, RGB(200, 10, 20)).get());
  put(c, id::RowSorted, {vlong(2)}, vbool(true));
  put(c, id::HeaderHeight, {}, vlong(31));
  put(c, id::MouseMoveColor0, {}, vlong(0x123456));
  put(c, id::FontItalic, {}, vbool(true));
  return save_to_bytes(c);
}

// Every test ends with no GDI object and no COM object left behind.
class BadInput : public ::testing::Test {
 protected:
  void SetUp() override {
    form = small_form();
    ASSERT_GT(form.size(), 500u);
    // The first pass makes the platform's cached objects once.
    expect_paints(load_stream(form).get());
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

  std::vector<BYTE> form;
  ComPtr<IFontDisp> font;
  ComPtr<IPictureDisp> picture;
  size_t gdi_baseline = 0;
};

// A form cut short, or with a byte flipped in any record, loads the records
// before the damage; a key after it takes its read default (25, 0x2890E8),
// and the load reports the damage.
TEST_F(BadInput, ADamagedFormLoadsWhatComesBeforeTheDamage) {
  const auto ends = record_ends(form);
  const size_t height_end = end_of(ends, L"HeaderHeight");
  const size_t count_end = end_of(ends, L"NumberOfTabs");
  const size_t colour_end = end_of(ends, L"MouseMoveColor0");
  const size_t caption_end = end_of(ends, L"RowText2");
  auto expect_loaded_up_to = [&](IDispatch* control, size_t intact) {
    ASSERT_EQ(value(control, id::HeaderHeight), intact >= height_end ? 31 : 25);
    ASSERT_EQ(value(control, id::NumberOfRows), intact >= count_end ? 2 : 0);
    ASSERT_EQ(value(control, id::MouseMoveColor0), intact >= colour_end ? 0x123456 : 0x2890E8);
    if (intact >= count_end) {
      ASSERT_EQ(as_string(get(control, id::RowCaption, {vlong(2)})),
                intact >= caption_end ? L"Datum" : L"");
    }
  };
  for (size_t cut = 0; cut <= form.size() && !HasFatalFailure(); ++cut) {
    SCOPED_TRACE(testing::Message() << "cut at " << cut);
    ComPtr<IDispatch> control = load_stream(
        std::vector<BYTE>(form.begin(), form.begin() + static_cast<long>(cut)), cut == form.size());
    expect_loaded_up_to(control.get(), cut);
    if (cut % 64 == 0) expect_paints(control.get());
  }
  size_t record_start = framework::kPropertyStreamHeaderSize;
  for (size_t at = record_start; at < form.size() && !HasFatalFailure(); ++at) {
    SCOPED_TRACE(testing::Message() << "flipped at " << at);
    for (const auto& [key, end] : ends) {
      if (end <= at) record_start = end;
    }
    std::vector<BYTE> damaged = form;
    damaged[at] ^= 0x20;
    ComPtr<IDispatch> control = load_stream(damaged, false);
    expect_loaded_up_to(control.get(), record_start);
    if (at % 64 == 0) expect_paints(control.get());
  }
}

// Records that pass their check but hold what no setter takes spoil only their
// key: a value of no known type or length reads as absent (its read default)
// and the load reports damage; a value that decodes but does not convert is skipped.
TEST_F(BadInput, RecordsThatPassTheirCheckButHoldNonsenseSpoilOnlyTheirKey) {
  std::vector<BYTE> not_a_font = clsid_bytes(CLSID_StdFont);
  std::vector<BYTE> not_a_picture = clsid_bytes(CLSID_StdPicture);
  not_a_font.insert(not_a_font.end(), 40, 0xEE);
  // A picture that announces 2 GB of data.
  not_a_picture.insert(not_a_picture.end(), {'l', 't', 0, 0, 0xFF, 0xFF, 0xFF, 0x7F, 'B', 'M'});
  ForgedStream forger;
  forger.add(L"HeaderHeight", v_text(L"abc"));
  forger.raw(0x7777, L"BackColor", {1, 2, 3, 4});  // no such type
  forger.raw(VT_I4, L"ForeColor", {1, 2});         // too short
  forger.raw(VT_DISPATCH, L"Font", not_a_font);
  forger.add(L"NumberOfTabs", v_i4(2));
  forger.add(L"MouseMoveColor0", v_i4(0x123456));
  forger.raw(VT_DISPATCH, L"RowPicture1", not_a_picture);
  forger.add(L"RowPicture2", v_object(font.get()));  // a font is no picture
  forger.raw(VT_I4, std::wstring(300, L'K'), {1, 0, 0, 0});
  forger.add(L"RowText2", v_text(L"zwei"));
  ComPtr<IDispatch> control = load_stream(forger.stream(), false);
  EXPECT_EQ(value(control.get(), id::HeaderHeight), 0);
  EXPECT_EQ(value(control.get(), id::BackColor), 0xFDFAF9);
  EXPECT_EQ(value(control.get(), id::ForeColor), LONG(0x80000012));
  EXPECT_EQ(value(control.get(), id::MouseMoveColor0), 0x123456);
  ASSERT_EQ(value(control.get(), id::NumberOfRows), 2);
  EXPECT_EQ(V_DISPATCH(get(control.get(), id::RowPicture, {vlong(1)}).get()), nullptr);
  EXPECT_EQ(V_DISPATCH(get(control.get(), id::RowPicture, {vlong(2)}).get()), nullptr);
  EXPECT_EQ(as_string(get(control.get(), id::RowCaption, {vlong(2)})), L"zwei");
  expect_paints(control.get());
}

TEST_F(BadInput, AbsurdLengthsAndCountsAreNotBelieved) {
  // Lengths far beyond the data: the records there load, nothing more.
  std::vector<BYTE> announced = ForgedStream{{L"HeaderHeight", v_i4(44)}}.stream();
  announced[8] = 0xF0, announced[9] = announced[10] = announced[11] = 0xFF;  // 0xFFFFFFF0
  EXPECT_EQ(value(load_stream(announced, false).get(), id::HeaderHeight), 44);
  ForgedStream long_record{{L"HeaderHeight", v_i4(45)}};
  long_record.bytes({0xF0, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0, 1, 2, 3});
  long_record.add(L"NumberOfTabs", v_i4(2));
  ComPtr<IDispatch> control = load_stream(long_record.stream(), false);
  EXPECT_EQ(value(control.get(), id::HeaderHeight), 45);
  EXPECT_EQ(value(control.get(), id::NumberOfRows), 0);

  // A column count no header can hold is not read; the keys read before
  // and after it load, and the control stays usable.
  for (LONG count : {-1L, -2147483647L - 1, 32768L, 2147483647L}) {
    SCOPED_TRACE(count);
    const ForgedStream forged{{L"HeaderHeight", v_i4(33)},
                              {L"NumberOfTabs", v_i4(count)},
                              {L"MouseMoveColor0", v_i4(0x123456)},
                              {L"RowText1", v_text(L"eins")}};
    control = load_stream(forged.stream());
    EXPECT_EQ(value(control.get(), id::NumberOfRows), 0);
    EXPECT_EQ(value(control.get(), id::HeaderHeight), 33);
    EXPECT_EQ(value(control.get(), id::MouseMoveColor0), 0x123456);
    expect_paints(control.get());
    EXPECT_EQ(as_long(call(control.get(), id::AddRow)), 1);
  }
  // The largest count loads, blank columns, quickly.
  const ForgedStream most{{L"NumberOfTabs", v_text(L"32767")},
                          {L"RowText32767", v_text(L"letzte")}};
  const auto before = std::chrono::steady_clock::now();
  control = load_stream(most.stream());
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
  EXPECT_EQ(value(control.get(), id::NumberOfRows), 32767);
  EXPECT_EQ(as_string(get(control.get(), id::RowCaption, {vlong(32767)})), L"letzte");
  control = nullptr;
}

// Each kind of value that no key takes, under every key of a bag at once.
TEST_F(BadInput, BagValuesOfTheWrongKindLoad) {
  std::vector<std::wstring> all_keys;
  for (const tessel::PropertyRow& row : tessel::property_table()) {
    all_keys.push_back(std::wstring(row.key) + (row.per_column ? L"1" : L""));
  }
  std::vector<Variant> values(4);
  V_VT(values[1].get()) = VT_NULL;
  V_VT(values[2].get()) = VT_ERROR;
  V_ERROR(values[2].get()) = DISP_E_PARAMNOTFOUND;
  V_VT(values[3].get()) = VT_ARRAY | VT_I4;
  V_ARRAY(values[3].get()) = SafeArrayCreateVector(VT_I4, 0, 3);
  for (const wchar_t* text : {L"1e400", L"-3", L"\x20AC"}) values.push_back(v_text(text));
  values.push_back(v_i4(LONG(0x80000000)));
  values.push_back(v_object(font.get()));
  values.push_back(v_object(picture.get()));
  for (size_t i = 0; i < values.size(); ++i) {
    SCOPED_TRACE(i);
    auto bag = RecordingBag::create();
    for (const std::wstring& key : all_keys) bag->set(key, Variant(values[i]));
    ComPtr<IDispatch> control = load_from_bag(bag.get());
    const LONG count = value(control.get(), id::NumberOfRows);
    EXPECT_TRUE(count >= 0 && count <= 32767) << count;
    expect_paints(control.get());
  }
}

}  // namespace
}  // namespace tessel_test
