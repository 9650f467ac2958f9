// Saving and loading the control's properties: the keys, types, defaults and
// order a container's property bag sees, what an empty or partial bag loads
// as, round trips through each persistence interface, the dirty flag.
#include <gtest/gtest.h>

#include <map>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

const std::vector<std::wstring> kControlKeysRead = keys(
    L"Alignment HeaderHeight BackColor BackColorForm ForeColor ForeColorActive ForeColorHot "
    L"FrameColor MaskColor SelectedRow SortedRow NumberOfTabs MouseMoveColor0 MouseMoveColor1 "
    L"MouseMoveColor2 RegisterFocusColor1 RegisterFocusColor2 RegisterFocusColor0 ShowFrame "
    L"FontBold FontItalic FontStrikethru FontName FontSize FontUnderline Font ColumnWidths "
    L"ShowSortPic");

// Up to the font attributes, every save writes these.
constexpr const wchar_t* kFirstKeysWritten =
    L"Alignment HeaderHeight BackColor BackColorForm ForeColor ForeColorActive ForeColorHot "
    L"FrameColor MaskColor SelectedRow SortedRow Font NumberOfTabs RegisterFocusColor1 "
    L"RegisterFocusColor2 MouseMoveColor0 MouseMoveColor1 MouseMoveColor2 RegisterFocusColor0 ";

TEST(PropertyBagSave, WritesEveryKeyInItsOrderWithItsTypeAndStopsAtTheFirstFailure) {
  ComPtr<IDispatch> control = make_sample_control();
  // A failing Write ends the save, is reported, and leaves the control unsaved.
  auto failing = RecordingBag::create();
  failing->fail_write_of = L"NumberOfTabs";
  EXPECT_EQ(bag_persist(control.get())->Save(failing.get(), TRUE, FALSE), E_FAIL);
  ASSERT_EQ(failing->writes.size(), 12u);
  EXPECT_EQ(failing->writes.back().key, L"Font");
  EXPECT_EQ(stream_persist(control.get())->IsDirty(), S_OK);

  Variant drawing_font = get(control.get(), id::Font);
  Variant picture = get(control.get(), id::RowPicture, {vlong(1)});
  auto bag = RecordingBag::create();
  ASSERT_EQ(bag_persist(control.get())->Save(bag.get(), TRUE, FALSE), S_OK);
  // Column 2 has no picture: Nothing is its write default.
  const std::wstring expected =
      std::wstring(kFirstKeysWritten) +
      L"FontBold FontItalic FontSize FontName FontStrikethru FontUnderline ShowFrame "
      L"ColumnWidths ShowSortPic RowWidth1 RowText1 RowSorted1 RowPicture1 RowWidth2 RowText2 "
      L"RowSorted2 RowWidth3 RowText3 RowSorted3 RowPicture3";
  ASSERT_EQ(bag->written_keys(), keys(expected.c_str()));
  // Each value's type: I4, Bool, R4, Text or Object.
  const std::map<VARTYPE, wchar_t> letter{
      {VT_I4, L'I'}, {VT_BOOL, L'B'}, {VT_R4, L'R'}, {VT_BSTR, L'T'}, {VT_DISPATCH, L'O'}};
  std::wstring types;
  for (const auto& entry : bag->writes)
    types += letter.count(entry.value.vt()) ? letter.at(entry.value.vt()) : L'?';
  EXPECT_EQ(types, L"IIIIIIIIIIIOIIIIIIIBBRTBBBTBITBOITBITBO");
  auto value_of = [&](size_t i) { return bag->writes[i].value.get(); };
  EXPECT_EQ(V_I4(value_of(1)), 31);
  EXPECT_EQ(V_I4(value_of(9)), 1);  // SelectedRow as it stands
  EXPECT_EQ(V_I4(value_of(12)), 3);
  EXPECT_EQ(V_R4(value_of(21)), 12.0f);
  EXPECT_EQ(std::wstring(V_BSTR(value_of(22))), L"Courier New");
  EXPECT_EQ(std::wstring(V_BSTR(value_of(29))), L"&Name");
  EXPECT_EQ(V_BOOL(value_of(34)), VARIANT_TRUE);  // RowSorted2
  // "Font" once: the font the header draws with.
  EXPECT_TRUE(same_object(V_DISPATCH(value_of(11)), V_DISPATCH(drawing_font.get())));
  EXPECT_TRUE(same_object(V_DISPATCH(value_of(31)), V_DISPATCH(picture.get())));
}

TEST(PropertyBagSave, LeavesOutValuesEqualToTheirWriteDefaults) {
  ComPtr<IDispatch> control = create_control();
  ASSERT_EQ(bag_persist(control.get())->InitNew(), S_OK);
  auto bag = RecordingBag::create();
  ASSERT_EQ(bag_persist(control.get())->Save(bag.get(), TRUE, TRUE), S_OK);
  // A new control: the font switches off, 8 pt, both switches on, no
  // picture. FontName is always written; ColumnWidths "" is not "900".
  const std::wstring expected =
      std::wstring(kFirstKeysWritten) + L"FontName ColumnWidths RowWidth1 RowText1 RowSorted1";
  ASSERT_EQ(bag->written_keys(), keys(expected.c_str()));
}

class PropertyBagLoad : public ::testing::Test {
 protected:
  void SetUp() override { bag = RecordingBag::create(); }
  void load() {
    recorder = EventRecorder::create();
    control = create_control();
    recorder->connect(control.get());
    EXPECT_EQ(bag_persist(control.get())->Load(bag.get(), nullptr), S_OK);
    recorder->disconnect();
  }
  LONG value(DISPID which, std::vector<VARIANT> args = {}) {
    return as_long(get(control.get(), which, std::move(args)));
  }
  std::wstring text(DISPID which, std::vector<VARIANT> args = {}) {
    return as_string(get(control.get(), which, std::move(args)));
  }

  ComPtr<RecordingBag> bag;
  ComPtr<IDispatch> control;
  ComPtr<EventRecorder> recorder;
};

TEST_F(PropertyBagLoad, AnEmptyBagLoadsTheReadDefaultsAndColumnKeysFollowTheCount) {
  load();
  EXPECT_EQ(bag->read_keys(), kControlKeysRead);
  expect_read_defaults(control.get());
  // With no columns the ColumnWidths setter stores its read default.
  EXPECT_EQ(text(id::ColumnWidths), L"900");
  // Loaded values count as saved.
  EXPECT_EQ(stream_persist(control.get())->IsDirty(), S_FALSE);

  // A column count without column keys loads blank columns; each column's
  // keys are read in their order, after every control key.
  bag->reads.clear();
  bag->set(L"NumberOfTabs", v_i4(3));
  load();
  EXPECT_EQ(value(id::NumberOfRows), 3);
  std::vector<std::wstring> expected = kControlKeysRead;
  for (LONG i = 1; i <= 3; ++i) {
    EXPECT_EQ(value(id::RowWidth, {vlong(i)}), 0);
    EXPECT_EQ(text(id::RowCaption, {vlong(i)}), L"");
    EXPECT_EQ(value(id::RowSorted, {vlong(i)}), 0);
    for (const wchar_t* name : {L"RowWidth", L"RowText", L"RowPicture", L"RowSorted"}) {
      expected.push_back(name + std::to_wstring(i));
    }
  }
  EXPECT_EQ(bag->read_keys(), expected);
  // A picture is asked for as an object, other values in the bag's own type.
  EXPECT_EQ(bag->reads[25].asked, VT_DISPATCH);
  EXPECT_EQ(bag->reads[kControlKeysRead.size() + 2].asked, VT_DISPATCH);
  EXPECT_EQ(bag->reads[1].asked, VT_EMPTY);
}

// (A new HeaderHeight would add the repaint of the resize it causes.)
TEST_F(PropertyBagLoad, RepaintsOnceForAllItsSettersAndLeavesLaterOnesPainting) {
  bag->set(L"ForeColor", v_i4(0x654321));
  bag->set(L"BackColor", v_i4(0x123456));
  bag->set(L"ShowFrame", v_bool(false));
  control = create_control();
  const ComPtr<IHostingTestProbe> probe = probe_of(control.get());
  const LONG before = paint_count(probe.get());
  EXPECT_EQ(bag_persist(control.get())->Load(bag.get(), nullptr), S_OK);
  EXPECT_EQ(paint_count(probe.get()) - before, 1);
  put(control.get(), id::BackColor, {}, vlong(0));
  EXPECT_EQ(paint_count(probe.get()) - before, 2);
}

TEST_F(PropertyBagLoad, ColumnWidthsIsEmptyAfterLoadingColumnsAndSelectedRowZero) {
  bag->set(L"NumberOfTabs", v_i4(2));
  bag->set(L"ColumnWidths", v_text(L"1500;750"));
  bag->set(L"SelectedRow", v_i4(1));
  bag->set(L"RowWidth1", v_i4(10));
  bag->set(L"RowWidth2", v_i4(20));
  bag->set(L"RowText2", v_text(L"&Zwei"));
  load();
  EXPECT_EQ(text(id::ColumnWidths), L"");
  EXPECT_EQ(value(id::RowWidth, {vlong(1)}), 10);
  EXPECT_EQ(value(id::RowWidth, {vlong(2)}), 20);
  EXPECT_EQ(value(id::SelectedRow), 0);
  for (const auto& event : recorder->events) EXPECT_NE(event.id, tessel::event_dispid::RowPressed);
  // The access keys follow the loaded captions.
  EXPECT_EQ(as_long(call(control.get(), id::GetTabAccessKey, {vlong('z')})), 1);
}

// A damaged form's font size of tens of thousands of points took the load
// over a minute, drawing the captions in a font taller than the screen. The
// size loads as a missing one does (8), and the rest of the form loads.
TEST_F(PropertyBagLoad, AFontSizeBeyondTheLargestIsSkippedAndTheRestLoads) {
  bag->set(L"FontSize", v_r4(-46577.7f));
  bag->set(L"NumberOfTabs", v_i4(1));
  bag->set(L"RowText1", v_text(L"Name"));
  const DWORD started = GetTickCount();
  load();
  EXPECT_LT(GetTickCount() - started, 5000u);
  EXPECT_EQ(V_R4(get(control.get(), id::FontSize).get()), 8.0f);
  EXPECT_EQ(text(id::RowCaption, {vlong(1)}), L"Name");
  bag->set(L"FontSize", v_r4(1638.0f));
  load();
  EXPECT_EQ(V_R4(get(control.get(), id::FontSize).get()), 1638.0f);
}

TEST_F(PropertyBagLoad, ValuesOfOtherTypesAreConvertedOrSkipped) {
  bag->set(L"HeaderHeight", v_text(L"40"));
  bag->set(L"BackColor", v_text(L"kein Wert"));  // skipped: keeps what it had
  bag->set(L"ForeColor", v_r4(255.0f));
  bag->set(L"ShowFrame", v_i4(0));
  bag->set(L"FontSize", v_text(L"12"));
  bag->set(L"Font", v_i4(5));  // no font: the drawing font stays
  bag->set(L"NumberOfTabs", v_text(L"2"));
  bag->set(L"RowWidth1", v_text(L"breit"));  // skipped: the fresh record's 0
  bag->set(L"RowText1", v_i4(77));
  bag->set(L"RowPicture1", v_text(L"bild.bmp"));
  bag->set(L"RowPicture2", v_object(new_font(L"Arial", 8).get()));  // a font is no picture
  load();
  EXPECT_EQ(value(id::HeaderHeight), 40);
  EXPECT_EQ(value(id::BackColor), 0);
  EXPECT_EQ(value(id::ForeColor), 255);
  EXPECT_EQ(value(id::ShowFrame), 0);
  EXPECT_EQ(V_R4(get(control.get(), id::FontSize).get()), 12.0f);
  ASSERT_EQ(value(id::NumberOfRows), 2);
  EXPECT_EQ(value(id::RowWidth, {vlong(1)}), 0);
  EXPECT_EQ(text(id::RowCaption, {vlong(1)}), L"77");
  EXPECT_EQ(V_DISPATCH(get(control.get(), id::RowPicture, {vlong(1)}).get()), nullptr);
  EXPECT_EQ(V_DISPATCH(get(control.get(), id::RowPicture, {vlong(2)}).get()), nullptr);
  EXPECT_EQ(invoke(control.get(), id::DrawTab, DISPATCH_METHOD, {}), S_OK);
}

// A loaded control refuses a second load, which reads nothing.
TEST(PersistenceLifecycle, ALoadedObjectIsNotLoadedAgain) {
  const std::vector<BYTE> saved = save_to_bytes(make_sample_control().get());
  ComPtr<IDispatch> control = load_from_bytes(saved);
  EXPECT_EQ(stream_persist(control.get())->Load(stream_of(saved).get()), CO_E_ALREADYINITIALIZED);
  auto bag = RecordingBag::create();
  bag->set(L"NumberOfTabs", v_i4(7));
  EXPECT_EQ(bag_persist(control.get())->Load(bag.get(), nullptr), CO_E_ALREADYINITIALIZED);
  EXPECT_TRUE(bag->reads.empty());
  EXPECT_EQ(as_long(get(control.get(), id::NumberOfRows)), 3);
}

TEST(PersistenceLifecycle, SavesClearTheDirtyFlagOnlyWhenAskedAndSucceeding) {
  ComPtr<IDispatch> control = make_sample_control();
  auto persist = stream_persist(control.get());
  EXPECT_EQ(persist->IsDirty(), S_OK);
  ComPtr<IStream> stream = new_stream();
  EXPECT_EQ(persist->Save(stream.get(), FALSE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_OK);
  EXPECT_EQ(persist->Save(stream.get(), TRUE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
  put(control.get(), id::HeaderHeight, {}, vlong(40));
  EXPECT_EQ(persist->IsDirty(), S_OK);
  EXPECT_EQ(bag_persist(control.get())->Save(RecordingBag::create().get(), TRUE, FALSE), S_OK);
  EXPECT_EQ(persist->IsDirty(), S_FALSE);

  // A save the (read-only) stream refuses is reported, not passed off as done.
  put(control.get(), id::HeaderHeight, {}, vlong(41));
  ComPtr<IStorage> storage = new_storage();
  // put() lets the stream go before each call: the storage shares it with no one.
  ASSERT_EQ(storage->CreateStream(L"Form", STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                  0, stream.put()),
            S_OK);
  ASSERT_EQ(
      storage->OpenStream(L"Form", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.put()),
      S_OK);
  EXPECT_TRUE(FAILED(persist->Save(stream.get(), TRUE)));
  EXPECT_EQ(persist->IsDirty(), S_OK);
}

// GetSizeMax is the exact size of the save; a container's data written
// after the control's stays where it is, and loading stops before it.
TEST(PersistenceLifecycle, TheStreamIsExactlyAsLongAsAnnounced) {
  auto persist = stream_persist(make_sample_control().get());
  ULARGE_INTEGER size{};
  ASSERT_EQ(persist->GetSizeMax(&size), S_OK);
  ComPtr<IStream> stream = new_stream();
  ASSERT_EQ(persist->Save(stream.get(), FALSE), S_OK);
  const DWORD marker = 0xC0FFEE11;
  ASSERT_EQ(stream->Write(&marker, sizeof marker, nullptr), S_OK);
  EXPECT_EQ(contents_of(stream.get()).size(), size.QuadPart + sizeof marker);
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(stream_persist(create_control().get())->Load(stream.get()), S_OK);
  DWORD after = 0;
  ULONG got = 0;
  ASSERT_EQ(stream->Read(&after, sizeof after, &got), S_OK);
  EXPECT_EQ(got, sizeof after);
  EXPECT_EQ(after, marker);
}

// Each persistence interface brings back what the sample control saves.
TEST(RoundTrip, ThroughAStreamAStorageAndAPropertyBag) {
  ComPtr<IDispatch> original = make_sample_control();
  put(original.get(), id::Alignment, {}, vlong(tessel::reg_Bottom));
  const ControlSnapshot expected = snapshot_to_load(original.get());
  ASSERT_EQ(expected.values.at(L"NumberOfRows"), L"3 3");
  ASSERT_EQ(expected.pictures.at(L"RowPicture1").size(), 2u + 16 * 16);

  ComPtr<IStorage> storage = new_storage();
  auto saver = storage_persist(original.get());
  ASSERT_EQ(saver->Save(storage.get(), TRUE), S_OK);
  ASSERT_EQ(saver->SaveCompleted(nullptr), S_OK);
  EXPECT_EQ(saver->IsDirty(), S_FALSE);
  ASSERT_EQ(storage->Commit(STGC_DEFAULT), S_OK);
  ComPtr<IDispatch> from_storage = create_control();
  ASSERT_EQ(storage_persist(from_storage.get())->Load(storage.get()), S_OK);
  expect_same(snapshot(from_storage.get()), expected);

  auto bag = RecordingBag::create();
  ASSERT_EQ(bag_persist(original.get())->Save(bag.get(), TRUE, FALSE), S_OK);
  expect_same(snapshot(load_from_bag(bag.get()).get()), expected);

  expect_same(snapshot(load_from_bytes(save_to_bytes(original.get())).get()), expected);
  // The drawing font turned regular after the assignment; a bag keeping the last
  // "Font" would bring the bold assigned font back, the stream keeps the first.
  put(original.get(), id::FontBold, {}, vbool(false));
  ComPtr<IDispatch> after = load_from_bytes(save_to_bytes(original.get()));
  EXPECT_FALSE(as_bool(get(after.get(), id::FontBold)));
  EXPECT_EQ(snapshot(after.get()).values[L"Font"].find(L"bold"), std::wstring::npos);
}

}  // namespace
}  // namespace tessel_test
