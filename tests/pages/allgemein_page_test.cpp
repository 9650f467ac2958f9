// The general page in Wine's property frame: what it reads from the first
// selected control, what Apply writes, and the height box's input filter.
#include <gtest/gtest.h>

#include "control/interaction_helpers.h"
#include "pages/allgemein_page.h"
#include "pages/page_test_support.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::AllgemeinPage;
namespace dispid = tessel::dispid;

struct Look {
  bool frame, sort_pic;
  LONG height;
  bool operator==(const Look&) const = default;
};

void PrintTo(const Look& look, std::ostream* out) {
  *out << "{frame " << look.frame << ", sort pic " << look.sort_pic << ", height " << look.height
       << "}";
}

void set_look(IDispatch* control, Look look) {
  put(control, dispid::ShowFrame, {}, vbool(look.frame));
  put(control, dispid::ShowSortPic, {}, vbool(look.sort_pic));
  put(control, dispid::HeaderHeight, {}, vlong(look.height));
}

Look look_of(IDispatch* control) {
  return {as_bool(get(control, dispid::ShowFrame)), as_bool(get(control, dispid::ShowSortPic)),
          as_long(get(control, dispid::HeaderHeight))};
}

HWND item(AllgemeinPage& page, int id) { return GetDlgItem(page.window(), id); }
LRESULT check_of(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0); }

// The page reads and writes the first selected control only; it is changed
// before any edit, and the frame's Cancel drops what was not applied.
TEST(AllgemeinPage, ReadsAndWritesOnlyTheFirstControlAndCancelDropsEdits) {
  AxHost hosted(L"QuonTessel.TesselControl");
  auto first = hosted.control();
  auto second = new_control();
  set_look(first.get(), {true, false, 31});
  set_look(second.get(), {false, true, 44});
  with_page<AllgemeinPage>(
      {first.get(), second.get()}, tessel::CLSID_Allgemein, [&](AllgemeinPage& page) {
        EXPECT_EQ(check_of(item(page, AllgemeinPage::kChkFrame)), BST_CHECKED);
        EXPECT_EQ(check_of(item(page, AllgemeinPage::kChkSortPics)), BST_UNCHECKED);
        EXPECT_EQ(text_of(item(page, AllgemeinPage::kTxtHeight)), L"31");
        EXPECT_EQ(page.IsPageDirty(), S_OK);
        // Applying without an edit writes back what was read.
        EXPECT_EQ(page.Apply(), S_OK);
        EXPECT_EQ(page.IsPageDirty(), S_FALSE);
        EXPECT_EQ(look_of(first.get()), (Look{true, false, 31}));
        click(item(page, AllgemeinPage::kChkFrame));
        type_text(item(page, AllgemeinPage::kTxtHeight), L"33");
        page.Apply();
        EXPECT_EQ(look_of(first.get()), (Look{false, false, 33}));
        click(item(page, AllgemeinPage::kChkFrame));
        click(item(page, AllgemeinPage::kChkSortPics));
        type_text(item(page, AllgemeinPage::kTxtHeight), L"40");
      });
  EXPECT_EQ(look_of(first.get()), (Look{false, false, 33}));
  EXPECT_EQ(look_of(second.get()), (Look{false, true, 44}));
}

TEST(AllgemeinPage, ApplyWritesTheSwitchesAndAHeightThatConvertsAndTheFilterRejectsTheRest) {
  auto control = new_control();
  set_look(control.get(), {true, true, 25});
  MessageBoxes boxes;
  const std::wstring sign = decimal_sign();
  struct Case {
    std::wstring typed, shown;
    bool message;
  };
  const Case cases[] = {
      {L"", L"0", true},        // cleared completely
      {L"-", L"-", false},      // a lone minus waits for digits
      {L"-12", L"-12", false},  // negative numbers stay negative
      {L"12" + sign + L"7", L"12", false},
      {L"-3" + sign + L"5", L"-4", false},  // the next lower integer
      {L"007", L"7", false},
      {L"+5", L"5", false},
      {L"12a", L"0", true},
      {L"abc", L"0", true},
  };
  with_page<AllgemeinPage>({control.get()}, tessel::CLSID_Allgemein, [&](AllgemeinPage& page) {
    HWND frame = item(page, AllgemeinPage::kChkFrame);
    HWND height = item(page, AllgemeinPage::kTxtHeight);
    // A grayed box writes False, like an unchecked one; a lone "-" leaves
    // the height alone while both switches are still written.
    SendMessageW(frame, BM_SETCHECK, BST_INDETERMINATE, 0);
    click(item(page, AllgemeinPage::kChkSortPics));
    type_text(height, L"-");
    page.Apply();
    EXPECT_EQ(look_of(control.get()), (Look{false, false, 25}));
    click(frame);
    EXPECT_EQ(page.IsPageDirty(), S_OK);
    type_text(height, L"-12");
    page.Apply();
    EXPECT_EQ(look_of(control.get()), (Look{true, false, -12}));

    for (const Case& c : cases) {
      SCOPED_TRACE(testing::PrintToString(c.typed));
      const size_t before = boxes.calls.size();
      page.Apply();  // clears the flag, so the edit must set it again
      type_text(height, c.typed);
      EXPECT_EQ(text_of(height), c.shown);
      // The filter ignores a lone minus; every other edit marks the page.
      EXPECT_EQ(page.IsPageDirty(), c.typed == L"-" ? S_FALSE : S_OK);
      ASSERT_EQ(boxes.calls.size(), before + (c.message ? 1 : 0));
      if (c.message) {
        EXPECT_EQ(boxes.calls.back().text, L"Bitte geben Sie nur Zahlen ein ohne Komma");
        EXPECT_EQ(boxes.calls.back().title, L"Velmar Tessel Control");
        EXPECT_EQ(boxes.calls.back().style, static_cast<UINT>(MB_OK | MB_ICONSTOP));
      }
    }
  });
}

}  // namespace
}  // namespace tessel_test
