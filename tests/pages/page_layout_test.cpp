// The pages' child windows as created: place and size (twips at the screen's
// resolution), caption, tooltip, tab order, kinds and the product art.
#include <windows.h>
#include <gtest/gtest.h>

#include "pages/allgemein_page.h"
#include "pages/page_test_support.h"
#include "pages/product_art.h"
#include "pages/register_page.h"
#include "pages/tabs_c_page.h"
#include "render/dib_canvas.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using tessel::AllgemeinPage;
using tessel::RegisterPage;
using tessel::TabsCPage;

// Checks the page's info, then its children against table, and runs more.
void check_layout(const CLSID& clsid, const std::wstring& title, SIZE twips,
                  const std::vector<ChildLayout>& table,
                  const std::function<void(HWND)>& more = nullptr) {
  SCOPED_TRACE(testing::PrintToString(title));
  LinkedPages pages;
  TestFrame frame;
  auto page = make_page(clsid);
  ASSERT_TRUE(page);
  PROPPAGEINFO info{};
  ASSERT_EQ(page->GetPageInfo(&info), S_OK);
  EXPECT_EQ(std::wstring(info.pszTitle), title);
  EXPECT_EQ(info.size.cx, twips_to_pixels(twips.cx, LOGPIXELSX));
  EXPECT_EQ(info.size.cy, twips_to_pixels(twips.cy, LOGPIXELSY));
  CoTaskMemFree(info.pszTitle);

  const RECT area{0, 0, info.size.cx, info.size.cy};
  ASSERT_EQ(page->Activate(frame.handle(), &area, TRUE), S_OK);
  HWND window = GetWindow(frame.handle(), GW_CHILD);
  ASSERT_NE(window, nullptr);
  HWND tips = pages.last<framework::PropertyPage>()->tooltips();

  expect_children(window, tips, table);
  if (more) more(window);
  EXPECT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_FALSE(tips && IsWindow(tips));
}

// A label (a static control that wraps its text) must hold its text on one
// line in its own font: it wraps a longer text and cuts off what does not fit.
void expect_label_fits(HWND child) {
  wchar_t kind[16] = {};
  GetClassNameW(child, kind, 16);
  const auto type = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE)) & SS_TYPEMASK;
  const std::wstring text = text_of(child);
  if (_wcsicmp(kind, L"Static") != 0 || type > SS_RIGHT || text.empty()) return;
  const RECT client = client_rect(child);
  framework::WindowDc dc(child);
  framework::Selection font(dc.get(),
                            reinterpret_cast<HFONT>(SendMessageW(child, WM_GETFONT, 0, 0)));
  RECT needed{};
  DrawTextW(dc.get(), text.c_str(), -1, &needed,
            DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX | DT_EXPANDTABS);
  EXPECT_LE(needed.right, client.right) << "the label's text is wider than the label";
  EXPECT_LE(needed.bottom, client.bottom) << "the label's text is taller than the label";
}

void check_register_kinds(HWND window) {
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
    framework::GdiObject<HBITMAP> colour(info.hbmColor), mask(info.hbmMask);
    BITMAP bits{};
    GetObjectW(colour.get(), sizeof bits, &bits);
    EXPECT_EQ(bits.bmWidth, 16);
    EXPECT_EQ(bits.bmHeight, 16);
  }
  HWND bar = GetDlgItem(window, RegisterPage::kHsb);
  int minimum = 0, maximum = 0;
  GetScrollRange(bar, SB_CTL, &minimum, &maximum);
  EXPECT_EQ(minimum, 1);
  EXPECT_EQ(maximum, 1);
  EXPECT_EQ(GetScrollPos(bar, SB_CTL), 1);
}

// The pixels of the product name (white; the strip's faces are darker) in
// bitmap, drawn as a picture box draws it.
std::vector<POINT> title_pixels(HBITMAP bitmap) {
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  DibCanvas canvas(info.bmWidth, info.bmHeight);
  tessel::draw_picture_box(canvas.dc(), RECT{0, 0, info.bmWidth, info.bmHeight}, bitmap);
  std::vector<POINT> found;
  for (int y = 0; y < canvas.height(); ++y) {
    for (int x = 0; x < canvas.width(); ++x) {
      const COLORREF c = canvas.pixel(x, y);
      if (GetRValue(c) >= 240 && GetGValue(c) >= 240 && GetBValue(c) >= 240)
        found.push_back({x, y});
    }
  }
  return found;
}

// The maker's notice fits its one-line label. The large picture box lies
// over the top of the small one: the small banner's name shows below it,
// and neither name is cut at the right.
void check_info_page(HWND page) {
  expect_label_fits(GetDlgItem(page, TabsCPage::kLabel1));
  RECT small = rect_in_parent(GetDlgItem(page, TabsCPage::kPicture3));
  RECT large = rect_in_parent(GetDlgItem(page, TabsCPage::kPicture1));
  RECT covered{};
  ASSERT_TRUE(IntersectRect(&covered, &small, &large));
  OffsetRect(&covered, -small.left, -small.top);
  framework::GdiObject<HBITMAP> small_banner = tessel::make_small_banner();
  framework::GdiObject<HBITMAP> large_banner = tessel::make_large_banner();
  for (HBITMAP banner : {small_banner.get(), large_banner.get()}) {
    BITMAP info{};
    ASSERT_TRUE(GetObjectW(banner, sizeof info, &info));
    const std::vector<POINT> title = title_pixels(banner);
    EXPECT_GT(title.size(), 100u);
    for (const POINT& p : title) {
      ASSERT_LT(p.x, info.bmWidth - 4) << "the name is cut at the right";
      if (banner == small_banner.get()) {
        ASSERT_FALSE(PtInRect(&covered, p))
            << "the name is under the large picture at " << p.x << ", " << p.y;
      }
    }
  }
}

TEST(PageLayout, EachPagesInfoChildrenAndWhatTheyShow) {
  check_layout(tessel::CLSID_Allgemein, L"Allgemein", {5925, 3495},
               {
                   {AllgemeinPage::kLabel5, L"Header-Höhe:", 240, 240, 1455, 255, L""},
                   {AllgemeinPage::kTxtHeight, L"", 240, 480, 1335, 285, L""},
                   {AllgemeinPage::kChkFrame, L"Show Frame", 2880, 360, 2700, 285, L""},
                   {AllgemeinPage::kChkSortPics, L"Show SortPics", 2880, 720, 2700, 285, L""},
               });
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
      },
      check_register_kinds);
  check_layout(tessel::CLSID_TabsC, L"Copyright / Info", {5895, 3915},
               {
                   {TabsCPage::kLabel1, L"© Velmar", 2160, 3120, 1695, 255, L""},
                   {TabsCPage::kBtnInfo, L"Info", 600, 3480, 4695, 375, L""},
                   {TabsCPage::kPicture3, L"", 1560, 1440, 3495, 1095, L""},
                   {TabsCPage::kPicture1, L"", 720, 480, 3495, 1455, L""},
               },
               check_info_page);
}

}  // namespace
}  // namespace tessel_test
