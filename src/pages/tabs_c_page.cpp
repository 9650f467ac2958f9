#include "pages/tabs_c_page.h"

#include "pages/about_box.h"
#include "pages/page_controls.h"
#include "pages/product_art.h"

namespace tessel {

namespace {

using framework::ChildSpec;

constexpr DWORD kPicture = WS_VISIBLE | SS_OWNERDRAW;

const ChildSpec kChildren[] = {
    {TabsCPage::kLabel1, L"STATIC", L"© Velmar", WS_VISIBLE | SS_LEFT | SS_NOPREFIX, 2160, 3120,
     1695, 255},
    {TabsCPage::kBtnInfo, L"BUTTON", L"Info", WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 600, 3480,
     4695, 375},
    {TabsCPage::kPicture3, L"STATIC", nullptr, kPicture, 1560, 1440, 3495, 1095},
    {TabsCPage::kPicture1, L"STATIC", nullptr, kPicture, 720, 480, 3495, 1455},
};

const framework::PageLayout kLayout{L"Copyright / Info", 5895, 3915, kChildren};

}  // namespace

HRESULT TabsCPage::create(REFIID iid, void** object) {
  return framework::create_page<TabsCPage>(iid, object);
}

TabsCPage::TabsCPage() : PropertyPage(kLayout) {}

void TabsCPage::created() {
  small_banner_ = make_small_banner();
  large_banner_ = make_large_banner();
}

void TabsCPage::destroyed() {
  small_banner_ = framework::GdiObject<HBITMAP>();
  large_banner_ = framework::GdiObject<HBITMAP>();
}

void TabsCPage::command(int id, int code) {
  if (id == kBtnInfo && code == BN_CLICKED) {
    ignore_errors([&] { frmAbout::Show(GetAncestor(window(), GA_ROOT)); });
  }
}

void TabsCPage::draw_item(const DRAWITEMSTRUCT& item) {
  if (item.CtlID == static_cast<UINT>(kPicture3)) {
    draw_picture_box(item.hDC, item.rcItem, small_banner_.get());
  } else if (item.CtlID == static_cast<UINT>(kPicture1)) {
    draw_picture_box(item.hDC, item.rcItem, large_banner_.get());
  }
}

}  // namespace tessel
