// The general page in Wine's property frame: what it reads from the first
// selected control, the height box's input filter, and what Apply writes.
#include <gtest/gtest.h>

#include "pages/allgemein_page.h"
#include "pages/page_test_support.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::AllgemeinPage;
namespace dispid = tessel::dispid;

constexpr UINT kCriticalOk = MB_OK | MB_ICONSTOP;

struct Controls {
  HWND height, frame, sort_pics;
};

Controls controls_of(AllgemeinPage* page) {
  HWND window = page ? page->window() : nullptr;
  return {GetDlgItem(window, AllgemeinPage::kTxtHeight),
          GetDlgItem(window, AllgemeinPage::kChkFrame),
          GetDlgItem(window, AllgemeinPage::kChkSortPics)};
}

LRESULT check_of(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0); }

void set_look(IDispatch* control, bool frame, bool sort_pic, LONG height) {
  put(control, dispid::ShowFrame, {}, vbool(frame));
  put(control, dispid::ShowSortPic, {}, vbool(sort_pic));
  put(control, dispid::HeaderHeight, {}, vlong(height));
}

TEST(AllgemeinPage, ShowsTheFirstControlsValuesAndIsChangedBeforeAnyEdit) {
  LinkedPages pages;
  HostedControl hosted;
  auto control = hosted.control();
  set_look(control.get(), true, false, 31);
  run_property_frame({control.get()}, {tessel::CLSID_Allgemein}, [&] {
    auto* page = pages.last<AllgemeinPage>();
    ASSERT_NE(page, nullptr);
    Controls c = controls_of(page);
    EXPECT_EQ(check_of(c.frame), BST_CHECKED);
    EXPECT_EQ(check_of(c.sort_pics), BST_UNCHECKED);
    EXPECT_EQ(text_of(c.height), L"31");
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    // Applying without an edit writes back what was read.
    EXPECT_EQ(page->Apply(), S_OK);
    EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  });
  EXPECT_TRUE(as_bool(get(control.get(), dispid::ShowFrame)));
  EXPECT_FALSE(as_bool(get(control.get(), dispid::ShowSortPic)));
  EXPECT_EQ(as_long(get(control.get(), dispid::HeaderHeight)), 31);
}

TEST(AllgemeinPage, TheHeightFilterKeepsWholeNumbersAndRejectsTheRest) {
  LinkedPages pages;
  auto control = new_control();
  MessageBoxes boxes;
  const std::wstring sign = decimal_sign();
  struct Case {
    std::wstring typed;
    std::wstring shown;
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
  run_property_frame({control.get()}, {tessel::CLSID_Allgemein}, [&] {
    auto* page = pages.last<AllgemeinPage>();
    ASSERT_NE(page, nullptr);
    HWND height = controls_of(page).height;
    for (const Case& c : cases) {
      const size_t before = boxes.calls().size();
      page->Apply();  // clears the flag, so the edit must set it again
      type_text(height, c.typed);
      EXPECT_EQ(text_of(height), c.shown) << "typed \"" << testing::PrintToString(c.typed) << "\"";
      // The filter ignores a lone minus altogether; every other edit marks
      // the page changed.
      EXPECT_EQ(page->IsPageDirty(), c.typed == L"-" ? S_FALSE : S_OK);
      ASSERT_EQ(boxes.calls().size(), before + (c.message ? 1 : 0));
      if (c.message) {
        const MessageBoxCall& call = boxes.calls().back();
        EXPECT_EQ(call.text, L"Bitte geben Sie nur Zahlen ein ohne Komma");
        EXPECT_EQ(call.title, L"Velmar Tessel Control");
        EXPECT_EQ(call.style, kCriticalOk);
      }
    }
  });
}

TEST(AllgemeinPage, ApplyWritesTheSwitchesAndAHeightThatConverts) {
  LinkedPages pages;
  auto control = new_control();
  set_look(control.get(), true, true, 25);
  run_property_frame({control.get()}, {tessel::CLSID_Allgemein}, [&] {
    auto* page = pages.last<AllgemeinPage>();
    ASSERT_NE(page, nullptr);
    Controls c = controls_of(page);

    // A grayed box writes False, like an unchecked one; a lone "-" leaves
    // the height alone while both switches are still written.
    SendMessageW(c.frame, BM_SETCHECK, BST_INDETERMINATE, 0);
    click(c.sort_pics);
    EXPECT_EQ(check_of(c.sort_pics), BST_UNCHECKED);
    type_text(c.height, L"-");
    page->Apply();
    EXPECT_FALSE(as_bool(get(control.get(), dispid::ShowFrame)));
    EXPECT_FALSE(as_bool(get(control.get(), dispid::ShowSortPic)));
    EXPECT_EQ(as_long(get(control.get(), dispid::HeaderHeight)), 25);

    click(c.frame);
    EXPECT_EQ(check_of(c.frame), BST_CHECKED);
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    type_text(c.height, L"-12");
    page->Apply();
    EXPECT_TRUE(as_bool(get(control.get(), dispid::ShowFrame)));
    EXPECT_EQ(as_long(get(control.get(), dispid::HeaderHeight)), -12);
  });
}

TEST(AllgemeinPage, OnlyTheFirstSelectedControlIsReadAndWritten) {
  LinkedPages pages;
  auto first = new_control();
  auto second = new_control();
  set_look(first.get(), false, false, 20);
  set_look(second.get(), true, true, 44);
  run_property_frame({first.get(), second.get()}, {tessel::CLSID_Allgemein}, [&] {
    auto* page = pages.last<AllgemeinPage>();
    ASSERT_NE(page, nullptr);
    Controls c = controls_of(page);
    EXPECT_EQ(text_of(c.height), L"20");
    click(c.frame);
    type_text(c.height, L"33");
    page->Apply();
  });
  EXPECT_TRUE(as_bool(get(first.get(), dispid::ShowFrame)));
  EXPECT_EQ(as_long(get(first.get(), dispid::HeaderHeight)), 33);
  EXPECT_TRUE(as_bool(get(second.get(), dispid::ShowFrame)));
  EXPECT_TRUE(as_bool(get(second.get(), dispid::ShowSortPic)));
  EXPECT_EQ(as_long(get(second.get(), dispid::HeaderHeight)), 44);
}

TEST(AllgemeinPage, CancelLeavesTheControlAsItWas) {
  LinkedPages pages;
  auto control = new_control();
  set_look(control.get(), false, true, 27);
  run_property_frame({control.get()}, {tessel::CLSID_Allgemein}, [&] {
    auto* page = pages.last<AllgemeinPage>();
    ASSERT_NE(page, nullptr);
    Controls c = controls_of(page);
    click(c.frame);
    click(c.sort_pics);
    type_text(c.height, L"40");
    // The script ends and the frame is cancelled.
  });
  EXPECT_FALSE(as_bool(get(control.get(), dispid::ShowFrame)));
  EXPECT_TRUE(as_bool(get(control.get(), dispid::ShowSortPic)));
  EXPECT_EQ(as_long(get(control.get(), dispid::HeaderHeight)), 27);
}

}  // namespace
}  // namespace tessel_test
