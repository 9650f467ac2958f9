// The pages' child windows read back from the created windows: position and
// size (twips at the screen's resolution), caption, tooltip and tab order.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "pages/allgemein_page.h"
#include "pages/page_test_support.h"
#include "pages/register_page.h"
#include "pages/tabs_c_page.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::AllgemeinPage;
using tessel::RegisterPage;
using tessel::TabsCPage;

// One row of a page's table: twips, and the box it lies in (0: the page).
struct Expected {
  int id;
  std::wstring caption;
  int left, top, width, height;
  std::wstring tooltip;
  int inside = 0;
};

int pixels(double twips, int axis) {
  HDC screen = GetDC(nullptr);
  const int ppi = GetDeviceCaps(screen, axis);
  ReleaseDC(nullptr, screen);
  return static_cast<int>(std::nearbyint(twips * ppi / 1440.0));
}

RECT rect_in(HWND window, HWND reference) {
  RECT rect{};
  GetWindowRect(window, &rect);
  MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

std::wstring tooltip_of(HWND tips, HWND page, HWND child) {
  if (!tips) return L"";
  wchar_t text[256] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = page;
  tool.uId = reinterpret_cast<UINT_PTR>(child);
  tool.lpszText = text;
  SendMessageW(tips, TTM_GETTEXTW, 256, reinterpret_cast<LPARAM>(&tool));
  return text;
}

// Activates the page made for clsid in a test window and checks its
// children against table, in tab order.
void check_layout(const CLSID& clsid, const std::wstring& title, SIZE twips,
                  const std::vector<Expected>& table) {
  LinkedPages pages;
  TestFrame frame;
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(
      CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.put_void()),
      S_OK);
  PROPPAGEINFO info{};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_EQ(std::wstring(info.pszTitle), title);
  EXPECT_EQ(info.size.cx, pixels(twips.cx, LOGPIXELSX));
  EXPECT_EQ(info.size.cy, pixels(twips.cy, LOGPIXELSY));
  CoTaskMemFree(info.pszTitle);

  const RECT area{0, 0, info.size.cx, info.size.cy};
  ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
  HWND window = GetWindow(frame.handle(), GW_CHILD);
  ASSERT_NE(window, nullptr);
  auto* linked = pages.last<framework::PropertyPage>();
  ASSERT_NE(linked, nullptr);
  HWND tips = linked->tooltips();

  std::vector<int> order;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    order.push_back(GetDlgCtrlID(child));
  }
  std::vector<int> expected_order;
  for (const Expected& e : table) expected_order.push_back(e.id);
  EXPECT_EQ(order, expected_order) << "tab order";

  for (const Expected& e : table) {
    SCOPED_TRACE(testing::Message() << "child " << e.id);
    HWND child = GetDlgItem(window, e.id);
    ASSERT_NE(child, nullptr);
    HWND reference = e.inside ? GetDlgItem(window, e.inside) : window;
    RECT r = rect_in(child, window);
    if (e.inside) {
      const RECT box = rect_in(reference, window);
      OffsetRect(&r, -box.left, -box.top);
    }
    EXPECT_EQ(r.left, pixels(e.left, LOGPIXELSX));
    EXPECT_EQ(r.top, pixels(e.top, LOGPIXELSY));
    EXPECT_EQ(r.right - r.left, pixels(e.width, LOGPIXELSX));
    EXPECT_EQ(r.bottom - r.top, pixels(e.height, LOGPIXELSY));
    EXPECT_EQ(text_of(child), e.caption);
    EXPECT_EQ(tooltip_of(tips, window, child), e.tooltip);
  }
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(tips && IsWindow(tips));
}

TEST(PageLayout, Allgemein) {
  check_layout(tessel::CLSID_Allgemein, L"Allgemein", {5925, 3495},
               {
                   {AllgemeinPage::kLabel5, L"Header-Höhe:", 240, 240, 1455, 255, L""},
                   {AllgemeinPage::kTxtHeight, L"", 240, 480, 1335, 285, L""},
                   {AllgemeinPage::kChkFrame, L"Show Frame", 2880, 360, 2700, 285, L""},
                   {AllgemeinPage::kChkSortPics, L"Show SortPics", 2880, 720, 2700, 285, L""},
               });
}

TEST(PageLayout, Register) {
  constexpr int kFrame = RegisterPage::kFrame1;
  check_layout(
      tessel::CLSID_Register, L"Header-Spalten", {5700, 3600},
      {
          {RegisterPage::kCmdDelete, L"Löschen", 4640, 240, 945, 285, L"Registerblatt löschen"},
          {kFrame, L"Spalten Bild:", 120, 1350, 3060, 2055, L""},
          {RegisterPage::kCmdDel, L"", 2400, 285, 435, 435, L"Bild löschen", kFrame},
          {RegisterPage::kPicTab, L"", 135, 270, 1650, 1590, L"", kFrame},
          {RegisterPage::kCmdOpenDlg, L"", 1920, 285, 435, 435, L"Bild auswählen", kFrame},
          {RegisterPage::kTxtIndex, L"", 1950, 240, 735, 285, L""},
          {RegisterPage::kHsb, L"", 2700, 240, 435, 285, L""},
          {RegisterPage::kTxtWidth, L"", 1950, 960, 1215, 285, L"Register Breite"},
          {RegisterPage::kTxtCaption, L"", 1950, 600, 3615, 285,
           L"Register Beschriftung (Caption)"},
          {RegisterPage::kCmdAddTab, L"Hinzufügen", 3600, 240, 1035, 285,
           L"Registerblatt hinzufügen"},
          {RegisterPage::kLbl3, L"Index:", 255, 270, 975, 255, L""},
          {RegisterPage::kLbl1, L"Spalten Breite:", 270, 960, 1125, 255, L""},
          {RegisterPage::kLbl0, L"Spalten Beschriftung:", 270, 600, 1575, 255, L""},
          {RegisterPage::kPicTemp, L"", 3840, 1920, 1740, 1500, L""},
      });
}

TEST(PageLayout, TabsC) {
  check_layout(tessel::CLSID_TabsC, L"Copyright / Info", {5895, 3915},
               {
                   {TabsCPage::kLabel1, L"© Velmar Steuerelemente", 2160, 3120, 1695, 255, L""},
                   {TabsCPage::kBtnInfo, L"Info", 600, 3480, 4695, 375, L""},
                   {TabsCPage::kPicture3, L"", 1560, 1440, 3495, 1095, L""},
                   {TabsCPage::kPicture1, L"", 720, 480, 3495, 1455, L""},
               });
}

// What the page's children are beyond their place: the kinds and the
// states the columns page starts in.
TEST(PageLayout, RegisterChildrenAreOfTheirKinds) {
  LinkedPages pages;
  TestFrame frame;
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(CoCreateInstance(tessel::CLSID_Register, nullptr, CLSCTX_INPROC_SERVER,
                             IID_IPropertyPage, page.put_void()),
            S_OK);
  const RECT area{0, 0, 380, 240};
  ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
  HWND window = GetWindow(frame.handle(), GW_CHILD);
  auto style = [&](int id) { return GetWindowLongW(GetDlgItem(window, id), GWL_STYLE); };
  EXPECT_TRUE(style(RegisterPage::kTxtIndex) & ES_READONLY);
  EXPECT_FALSE(style(RegisterPage::kPicTemp) & WS_VISIBLE);
  EXPECT_EQ(style(RegisterPage::kFrame1) & BS_TYPEMASK, BS_GROUPBOX);
  for (int id : {RegisterPage::kCmdDel, RegisterPage::kCmdOpenDlg}) {
    EXPECT_TRUE(style(id) & BS_ICON);
    HICON icon =
        reinterpret_cast<HICON>(SendMessageW(GetDlgItem(window, id), BM_GETIMAGE, IMAGE_ICON, 0));
    ICONINFO info{};
    ASSERT_TRUE(icon && GetIconInfo(icon, &info));
    BITMAP colour{};
    GetObjectW(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(colour.bmWidth, 16);
    EXPECT_EQ(colour.bmHeight, 16);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
  }
  int minimum = 0;
  int maximum = 0;
  GetScrollRange(GetDlgItem(window, RegisterPage::kHsb), SB_CTL, &minimum, &maximum);
  EXPECT_EQ(minimum, 1);
  EXPECT_EQ(maximum, 1);
  EXPECT_EQ(GetScrollPos(GetDlgItem(window, RegisterPage::kHsb), SB_CTL), 1);
  page->Deactivate();
}

}  // namespace
}  // namespace tessel_test
