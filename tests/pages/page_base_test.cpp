// The property page base driven the way a frame drives it, with a page site
// of our own that records what the page reports; the control's page list
// and property-to-page map; and the page classes the DLL hands out.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/user_handles.h"
#include "pages/allgemein_page.h"
#include "pages/page_test_support.h"
#include "support/gdi_count.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::AllgemeinPage;
namespace dispid = tessel::dispid;

class RecordingSite final : public IPropertyPageSite {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (iid == IID_IUnknown || iid == IID_IPropertyPageSite) {
      *object = static_cast<IPropertyPageSite*>(this);
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnStatusChange(DWORD flags) override {
    statuses.push_back(flags);
    return S_OK;
  }
  STDMETHODIMP GetLocaleID(LCID* locale) override {
    *locale = LOCALE_USER_DEFAULT;
    return S_OK;
  }
  STDMETHODIMP GetPageContainer(IUnknown** container) override {
    *container = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

  std::vector<DWORD> statuses;
};

TEST(PropertyPageBase, ReportsChangesToItsSiteAndClearsThemOnApply) {
  LinkedPages pages;
  TestFrame frame;
  RecordingSite site;
  auto control = new_control();
  put(control.get(), dispid::HeaderHeight, {}, vlong(22));
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(CoCreateInstance(tessel::CLSID_Allgemein, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IPropertyPage, page.put_void()),
            S_OK);
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
  RECT now = rect_in_parent(window);
  EXPECT_EQ(now.left, 10);
  EXPECT_EQ(now.top, 20);
  EXPECT_EQ(page->Show(SW_HIDE), S_OK);
  EXPECT_FALSE(IsWindowVisible(window));

  MSG foreign{frame.handle(), WM_KEYDOWN, VK_TAB, 0, 0, {}};
  EXPECT_EQ(page->TranslateAccelerator(&foreign), S_FALSE);
  ComPtr<IPropertyPage2> page2 = page.query<IPropertyPage2>(IID_IPropertyPage2);
  ASSERT_TRUE(page2);
  EXPECT_EQ(page2->EditProperty(dispid::HeaderHeight), E_NOTIMPL);

  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(page->SetObjects(0, nullptr), S_OK);
  EXPECT_EQ(page->SetPageSite(nullptr), S_OK);
}

TEST(PropertyPageBase, ShowingThePagesAgainAndAgainLeavesNoObjectsBehind) {
  LinkedPages pages;
  TestFrame frame;
  auto control = new_control();
  auto cycle = [&] {
    for (const CLSID* clsid :
         {&tessel::CLSID_Allgemein, &tessel::CLSID_Register, &tessel::CLSID_TabsC}) {
      ComPtr<IPropertyPage> page;
      ASSERT_EQ(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage,
                                 page.put_void()),
                S_OK);
      IUnknown* objects[] = {control.get()};
      page->SetObjects(1, objects);
      const RECT area{0, 0, 400, 260};
      ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
      UpdateWindow(frame.handle());
      page->Deactivate();
      page->SetObjects(0, nullptr);
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

TEST(ControlPages, TheControlNamesItsFivePagesInOrder) {
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
  ASSERT_EQ(pages.cElems, expected.size());
  for (ULONG i = 0; i < pages.cElems; ++i) EXPECT_TRUE(pages.pElems[i] == expected[i]) << i;
  CoTaskMemFree(pages.pElems);

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
  };
  for (const auto& [page, ids] : map) {
    for (DISPID id : ids) {
      CLSID found{};
      EXPECT_EQ(browsing->MapPropertyToPage(id, &found), S_OK) << std::hex << id;
      EXPECT_TRUE(found == page) << std::hex << id;
    }
  }
  for (DISPID id : {dispid::SelectedRow, dispid::ShowFrame, dispid::RowSorted, dispid::FontBold}) {
    CLSID found = tessel::CLSID_Register;
    EXPECT_EQ(browsing->MapPropertyToPage(id, &found), PERPROP_E_NOPAGEAVAILABLE);
    EXPECT_TRUE(found == CLSID_NULL);
  }
  BSTR text = nullptr;
  EXPECT_EQ(browsing->GetDisplayString(dispid::HeaderHeight, &text), E_NOTIMPL);
  EXPECT_EQ(text, nullptr);
}

// Wine's frame has no standard font and colour pages; it shows the pages
// it can make, in the control's order.
TEST(ControlPages, TheFrameShowsTheControlsPagesInItsOrder) {
  LinkedPages pages;
  auto control = new_control();
  auto specify = control.query<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
  ASSERT_TRUE(specify);
  CAUUID list{};
  ASSERT_EQ(specify->GetPages(&list), S_OK);
  const std::vector<CLSID> clsids(list.pElems, list.pElems + list.cElems);
  CoTaskMemFree(list.pElems);
  std::vector<std::wstring> tabs;
  EXPECT_EQ(run_property_frame(
                {control.get()}, clsids,
                [&] {
                  HWND tab =
                      FindWindowExW(property_frame_window(), nullptr, WC_TABCONTROLW, nullptr);
                  const int count = static_cast<int>(SendMessageW(tab, TCM_GETITEMCOUNT, 0, 0));
                  for (int i = 0; i < count; ++i) {
                    wchar_t text[64] = {};
                    TCITEMW item{};
                    item.mask = TCIF_TEXT;
                    item.pszText = text;
                    item.cchTextMax = 64;
                    SendMessageW(tab, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item));
                    tabs.emplace_back(text);
                  }
                }),
            S_OK);
  EXPECT_EQ(tabs,
            (std::vector<std::wstring>{L"Copyright / Info", L"Allgemein", L"Header-Spalten"}));
}

TEST(ControlPages, TheComponentMakesEachPageByItsClsid) {
  ensure_registered();
  const std::pair<const CLSID*, const wchar_t*> pages[] = {
      {&tessel::CLSID_TabsC, L"Copyright / Info"},
      {&tessel::CLSID_Allgemein, L"Allgemein"},
      {&tessel::CLSID_Register, L"Header-Spalten"},
  };
  for (const auto& [clsid, title] : pages) {
    ComPtr<IPropertyPage2> page;
    ASSERT_EQ(CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage2,
                               page.put_void()),
              S_OK)
        << testing::PrintToString(std::wstring(title));
    PROPPAGEINFO info{};
    ASSERT_EQ(page->GetPageInfo(&info), S_OK);
    EXPECT_EQ(std::wstring(info.pszTitle), title);
    CoTaskMemFree(info.pszTitle);
  }
}

}  // namespace
}  // namespace tessel_test
