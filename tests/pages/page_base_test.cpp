// The property page base driven the way a frame drives it; the control's
// page list and property-to-page map; the page classes the DLL hands out.
#include <windows.h>
#include <gtest/gtest.h>

#include "framework/user_handles.h"
#include "pages/allgemein_page.h"
#include "pages/page_test_support.h"
#include "support/gdi_count.h"
#include "support/page_site.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::AllgemeinPage;
namespace dispid = tessel::dispid;

TEST(PropertyPageBase, ReportsChangesToItsSiteClearsThemOnApplyAndLeavesNoObjectsBehind) {
  LinkedPages pages;
  TestFrame frame;
  RecordingPageSite site;
  auto control = new_control();
  put(control.get(), dispid::HeaderHeight, {}, vlong(22));
  auto page = make_page(tessel::CLSID_Allgemein);
  ASSERT_TRUE(page);
  ASSERT_EQ(page->SetPageSite(&site), S_OK);
  IUnknown* objects[] = {control.get()};
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  EXPECT_TRUE(site.statuses.empty()) << "nothing runs before the page is shown";
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);

  const RECT area{0, 0, 400, 240};
  ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
  HWND window = pages.last<AllgemeinPage>()->window();
  HWND height = GetDlgItem(window, AllgemeinPage::kTxtHeight);
  EXPECT_EQ(text_of(height), L"22");
  ASSERT_FALSE(site.statuses.empty());
  for (DWORD flags : site.statuses) EXPECT_EQ(flags, static_cast<DWORD>(PROPPAGESTATUS_DIRTY));
  EXPECT_EQ(page->IsPageDirty(), S_OK);

  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  site.statuses.clear();
  click(GetDlgItem(window, AllgemeinPage::kChkFrame));
  EXPECT_EQ(site.statuses, std::vector<DWORD>{PROPPAGESTATUS_DIRTY});
  EXPECT_EQ(page->IsPageDirty(), S_OK);

  // A new selection while the page is shown is read at once.
  put(control.get(), dispid::HeaderHeight, {}, vlong(48));
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  EXPECT_EQ(text_of(height), L"48");

  const RECT moved{10, 20, 300, 200};
  EXPECT_EQ(page->Move(&moved), S_OK);
  const RECT now = rect_in_parent(window);
  EXPECT_EQ(now.left, 10);
  EXPECT_EQ(now.top, 20);
  EXPECT_EQ(page->Show(SW_HIDE), S_OK);
  EXPECT_FALSE(IsWindowVisible(window));
  MSG foreign{frame.handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_EQ(page->TranslateAccelerator(&foreign), S_FALSE);

  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
  EXPECT_EQ(page->SetPageSite(nullptr), S_OK);

  // Showing the pages again and again leaves no objects behind.
  auto cycle = [&] {
    for (const CLSID* clsid :
         {&tessel::CLSID_Allgemein, &tessel::CLSID_Register, &tessel::CLSID_TabsC}) {
      auto shown = make_page(*clsid);
      ASSERT_TRUE(shown);
      shown->SetObjects(1, objects);
      const RECT larger{0, 0, 400, 260};
      ASSERT_EQ(shown->Activate(frame.handle(), &larger, TRUE), S_OK);
      UpdateWindow(frame.handle());
      shown->Deactivate();
      shown->SetObjects(0, nullptr);
    }
    pump_messages();
  };
  cycle();  // the first pass makes the caches a process keeps
  const size_t gdi = live_gdi_objects();
  const long user = framework::live_user_objects();
  for (int i = 0; i < 3; ++i) cycle();
  EXPECT_EQ(live_gdi_objects(), gdi);
  EXPECT_EQ(framework::live_user_objects(), user);
}

// The DLL's own pages (not the linked ones) carry their titles.
TEST(ControlPages, TheControlNamesItsFivePagesInOrderMapsItsPropertiesAndMakesThePages) {
  auto control = create_control();
  auto specify = control.query<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
  ASSERT_TRUE(specify);
  CAUUID pages{};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  const CLSID font = {0x7ebdaae0, 0x8120, 0x11cf, {0x89, 0x9f, 0x00, 0xaa, 0x00, 0x68, 0x8b, 0x10}};
  const CLSID colour = {
      0x7ebdaae1, 0x8120, 0x11cf, {0x89, 0x9f, 0x00, 0xaa, 0x00, 0x68, 0x8b, 0x10}};
  const std::vector<CLSID> expected{tessel::CLSID_TabsC, tessel::CLSID_Allgemein,
                                    tessel::CLSID_Register, font, colour};
  EXPECT_EQ(std::vector<CLSID>(pages.pElems, pages.pElems + pages.cElems), expected);
  CoTaskMemFree(pages.pElems);
  const wchar_t* titles[] = {L"Copyright / Info", L"Allgemein", L"Header-Spalten"};
  for (size_t i = 0; i < 3; ++i) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(titles[i])));
    auto page = make_page(expected[i]).query<IPropertyPage2>(IID_IPropertyPage2);
    ASSERT_TRUE(page);
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pszTitle), titles[i]);
    CoTaskMemFree(info.pszTitle);
  }

  auto browsing = control.query<IPerPropertyBrowsing>(IID_IPerPropertyBrowsing);
  ASSERT_TRUE(browsing);
  const std::pair<CLSID, std::vector<DISPID>> map[] = {
      {tessel::CLSID_Allgemein, {dispid::Alignment, dispid::ColumnWidths, dispid::HeaderHeight}},
      {tessel::CLSID_Register, {dispid::RowCaption, dispid::RowPicture, dispid::RowWidth}},
      {font, {dispid::Font}},
      {colour,
       {dispid::BackColor, dispid::BackColorForm, dispid::ForeColor, dispid::ForeColorActive,
        dispid::ForeColorHot, dispid::FrameColor, dispid::MaskColor, dispid::MouseMoveColor0,
        dispid::MouseMoveColor1, dispid::MouseMoveColor2, dispid::RegisterFocusColor0,
        dispid::RegisterFocusColor1, dispid::RegisterFocusColor2}},
      {CLSID_NULL, {dispid::SelectedRow, dispid::ShowFrame, dispid::RowSorted, dispid::FontBold}},
  };
  for (const auto& [page, ids] : map) {
    for (DISPID id : ids) {
      CLSID found = tessel::CLSID_TabsC;
      EXPECT_EQ(browsing->MapPropertyToPage(id, &found),
                page == CLSID_NULL ? PERPROP_E_NOPAGEAVAILABLE : S_OK)
          << std::hex << id;
      EXPECT_TRUE(found == page) << std::hex << id;
    }
  }
  BSTR text = nullptr;
  EXPECT_EQ(browsing->GetDisplayString(dispid::HeaderHeight, &text), E_NOTIMPL);
  EXPECT_EQ(text, nullptr);
}

}  // namespace
}  // namespace tessel_test
