// A saved form comes back as it was saved, whatever the host: bags that keep
// the first or the last write, streams, storages, containers that keep the
// control's size or give it their font; damaged forms, frozen events.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "control/interaction_helpers.h"
#include "control/persist_test_support.h"
#include "framework/hosting_helpers.h"
#include "framework/test_site.h"
#include "support/com_test_env.h"
#include "support/event_recorder.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

namespace id = tessel::dispid;

constexpr COLORREF kSeparator = RGB(181, 182, 200);

// Two columns, 100 and 50 pixels wide, as a container's bag holds them.
ComPtr<RecordingBag> two_column_form(LONG height, LONG back_color) {
  auto bag = RecordingBag::create();
  bag->set(L"HeaderHeight", v_i4(height));
  bag->set(L"BackColor", v_i4(back_color));
  bag->set(L"NumberOfTabs", v_i4(2));
  bag->set(L"RowWidth1", v_i4(100));
  bag->set(L"RowText1", v_text(L"Name"));
  bag->set(L"RowWidth2", v_i4(50));
  bag->set(L"RowText2", v_text(L"Datum"));
  return bag;
}

// The control's view as a container draws it, width x height pixels.
struct View {
  View(IUnknown* control, int width, int height) : canvas(width, height) {
    EXPECT_EQ(draw_view(control, canvas, {0, 0, width, height}), S_OK);
  }
  Canvas canvas;
};

// In-place activation by a container that keeps the control's own size (200 x
// 25): the loaded columns show all the same, and so does any state the surface lost.
void activate_at_own_size(IDispatch* control, TestFrame& frame, TestSite& site) {
  auto object = ComPtr<IUnknown>(control).query<IOleObject>(IID_IOleObject);
  ASSERT_EQ(object->SetClientSite(&site), S_OK);
  RECT position = site.position();
  ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, &site, 0, frame.handle(), &position),
            S_OK);
}

TEST(LoadedForm, ShowsItsColumnsWhenTheContainerKeepsItsSize) {
  TestFrame frame;
  TestSite site{frame.handle(), {10, 20, 210, 45}};
  ComPtr<IDispatch> control = load_from_bag(two_column_form(25, 0xFDFAF9).get());
  activate_at_own_size(control.get(), frame, site);
  View view(control.get(), 200, 25);
  EXPECT_EQ(view.canvas.pixel(102, 10), kSeparator);
  EXPECT_EQ(view.canvas.pixel(154, 10), kSeparator);
  control.query<IOleObject>(IID_IOleObject)->Close(OLECLOSE_NOSAVE);

  ComPtr<IDispatch> filled = create_control();
  ASSERT_EQ(stream_persist(filled.get())->InitNew(), S_OK);
  ASSERT_EQ(probe_of(filled.get())->FillSurface(RGB(255, 0, 0)), S_OK);
  activate_at_own_size(filled.get(), frame, site);
  EXPECT_EQ(View(filled.get(), 200, 25).canvas.pixel(150, 10), RGB(224, 223, 227));
  filled.query<IOleObject>(IID_IOleObject)->Close(OLECLOSE_NOSAVE);
}

// Loading has the effects of the setters' repaints: the height, a system
// colour written back as RGB, and the columns laid out at that height.
TEST(LoadedForm, HasWhatTheSettersRepaintsLeave) {
  const COLORREF face = GetSysColor(COLOR_BTNFACE);
  ComPtr<IDispatch> control = load_from_bag(two_column_form(40, 0x8000000F).get());
  EXPECT_EQ(as_long(get(control.get(), id::BackColor)), static_cast<LONG>(face));
  EXPECT_EQ(surface_size(probe_of(control.get()).get()).cy, 40);
  View view(control.get(), 200, 40);
  EXPECT_EQ(view.canvas.pixel(102, 30), kSeparator);
  EXPECT_EQ(view.canvas.pixel(1, 20), face);
}

// A control on a form whose font is 14 pt bold italic draws with it; FontName is
// set to the name the form's font reports (the platform may substitute the face).
class AmbientFontForm : public ::testing::Test {
 protected:
  void SetUp() override {
    site.font = new_font(L"Arial", 14);
    auto font = site.font.query<IFont>(IID_IFont);
    ASSERT_EQ(font->put_Bold(TRUE), S_OK);
    ASSERT_EQ(font->put_Italic(TRUE), S_OK);
    ASSERT_EQ(control.query<IOleObject>(IID_IOleObject)->SetClientSite(&site), S_OK);
    ASSERT_EQ(stream_persist(control.get())->InitNew(), S_OK);
    name = font_name(site.font.get());
    size = font_size(site.font.get());
    ASSERT_GT(size, 120000);
    put(control.get(), id::FontName, {}, vstr(name.c_str()));
    expect_drawn_with_the_forms_font(control.get());
  }
  void TearDown() override { control.query<IOleObject>(IID_IOleObject)->Close(OLECLOSE_NOSAVE); }
  void expect_drawn_with_the_forms_font(IDispatch* loaded) const {
    // The snapshot gives the drawing font's name, size, weight and slant.
    EXPECT_EQ(snapshot(loaded).values.at(L"Font"),
              name + L" " + std::to_wstring(size) + L" bold italic");
    EXPECT_EQ(as_string(get(loaded, id::FontName)), name);
  }

  std::wstring name;
  LONGLONG size = 0;
  TestFrame frame;
  TestSite site{frame.handle(), {0, 0, 200, 25}};
  ComPtr<IDispatch> control = create_control();
};

TEST_F(AmbientFontForm, ComesBackFromBagsStreamsAndStorages) {
  // A control loaded from what from saves to a bag that keeps the first or
  // the last write of a key, with, as forms saved before the font was written
  // once hold, a second "Font" entry: Nothing when no font was ever assigned.
  auto through_bag = [](IDispatch* from, bool keep_first, bool second_font = false) {
    auto bag = RecordingBag::create();
    bag->keep_first = keep_first;
    EXPECT_EQ(bag_persist(from)->Save(bag.get(), FALSE, TRUE), S_OK);
    if (second_font) {
      Variant nothing = v_object(nullptr);
      EXPECT_EQ(bag->Write(L"Font", nothing.get()), S_OK);
    }
    return load_from_bag(bag.get());
  };
  for (bool keep_first : {false, true}) {
    SCOPED_TRACE(keep_first ? "first write kept" : "last write kept");
    ComPtr<IDispatch> loaded = through_bag(control.get(), keep_first);
    expect_drawn_with_the_forms_font(loaded.get());
    // And again from what the loaded control saves.
    expect_drawn_with_the_forms_font(through_bag(loaded.get(), keep_first).get());
  }
  expect_drawn_with_the_forms_font(through_bag(control.get(), true, true).get());

  // Streams and storages: the same save each generation.
  const std::vector<BYTE> first = save_to_bytes(control.get());
  ComPtr<IDispatch> loaded = load_from_bytes(first);
  expect_drawn_with_the_forms_font(loaded.get());
  EXPECT_EQ(save_to_bytes(loaded.get()), first);

  ComPtr<IStorage> storage = new_storage();
  ASSERT_EQ(storage_persist(control.get())->Save(storage.get(), FALSE), S_OK);
  ComPtr<IDispatch> from_storage = create_control();
  ASSERT_EQ(storage_persist(from_storage.get())->Load(storage.get()), S_OK);
  expect_drawn_with_the_forms_font(from_storage.get());
  EXPECT_EQ(save_to_bytes(from_storage.get()), first);
}

// Stream and storage forms that are empty, foreign, cut short or damaged
// load the read defaults, not zeros, and the container is told.
TEST(DamagedForm, LoadsTheReadDefaultsAndFails) {
  const std::vector<BYTE> saved = save_to_bytes(make_sample_control().get());
  std::vector<BYTE> noise(300);
  std::mt19937 random(7);
  for (BYTE& b : noise) b = static_cast<BYTE>(random());
  std::vector<BYTE> flipped = saved;
  flipped[20] ^= 0x10;  // inside the first record: nothing before it
  const std::vector<std::vector<BYTE>> forms = {
      {}, noise, std::vector<BYTE>(saved.begin(), saved.begin() + 30), flipped};
  auto expect_defaults = [](IDispatch* control) {
    expect_read_defaults(control);
    EXPECT_EQ(invoke(control, id::AddRow, DISPATCH_METHOD, {}), S_OK);
    EXPECT_EQ(invoke(control, id::DrawTab, DISPATCH_METHOD, {}), S_OK);
  };
  for (size_t i = 0; i < forms.size(); ++i) {
    SCOPED_TRACE(i);
    HRESULT hr = S_OK;
    ComPtr<IDispatch> control = load_from_bytes(forms[i], &hr);
    EXPECT_TRUE(FAILED(hr));
    expect_defaults(control.get());
  }
  ComPtr<IDispatch> control = create_control();
  EXPECT_TRUE(FAILED(storage_persist(control.get())->Load(new_storage().get())));
  expect_defaults(control.get());
}

// While a form host has frozen the events (FreezeEvents, counted), events
// are dropped, not delivered late; change notifications still flow.
TEST_F(RecordedControlTest, FrozenEventsAreDroppedUntilTheLastThaw) {
  invoke(control.get(), id::AddRow, DISPATCH_METHOD, {});
  invoke(control.get(), id::AddRow, DISPATCH_METHOD, {});
  auto ole_control = control.query<IOleControl>(IID_IOleControl);
  ASSERT_EQ(ole_control->FreezeEvents(TRUE), S_OK);
  ASSERT_EQ(ole_control->FreezeEvents(TRUE), S_OK);
  put(control.get(), id::SelectedRow, {}, vlong(1));
  ASSERT_EQ(ole_control->FreezeEvents(FALSE), S_OK);
  put(control.get(), id::SelectedRow, {}, vlong(2));
  EXPECT_TRUE(recorder->events.empty());
  EXPECT_EQ(std::count(recorder->changes.begin(), recorder->changes.end(), id::SelectedRow), 2);

  ASSERT_EQ(ole_control->FreezeEvents(FALSE), S_OK);
  put(control.get(), id::SelectedRow, {}, vlong(1));
  ASSERT_EQ(recorder->events.size(), 1u);
  EXPECT_EQ(recorder->events[0].id, tessel::event_dispid::RowPressed);
  EXPECT_EQ(as_long(recorder->events[0].args[0]), 2);  // the selection made while frozen
}

// A container that refuses a change notification: the member still makes
// its change, and its caller learns of the refusal.
TEST_F(RecordedControlTest, ARefusedChangeReachesTheCallerOfTheMember) {
  recorder->on_changed = [](DISPID) { return E_ACCESSDENIED; };
  EXPECT_EQ(invoke(control.get(), id::HeaderHeight, DISPATCH_PROPERTYPUT, {vlong(30)}),
            E_ACCESSDENIED);
  EXPECT_EQ(as_long(get(control.get(), id::HeaderHeight)), 30);
  EXPECT_EQ(invoke(control.get(), id::AddRow, DISPATCH_METHOD, {}), E_ACCESSDENIED);
  recorder->on_changed = nullptr;
  EXPECT_EQ(as_long(get(control.get(), id::NumberOfRows)), 1);
  EXPECT_EQ(invoke(control.get(), id::HeaderHeight, DISPATCH_PROPERTYPUT, {vlong(31)}), S_OK);
}

}  // namespace
}  // namespace tessel_test
