// TabsC: the info page ("Copyright / Info"): the product pictures, the
// maker's notice and the button that shows the about box.
#pragma once

#include "framework/gdi.h"
#include "framework/property_page.h"

namespace tessel {

class TabsCPage final : public framework::PropertyPage {
 public:
  // Child window ids, in tab order.
  enum : int { kLabel1 = 401, kBtnInfo, kPicture3, kPicture1 };

  static HRESULT create(REFIID iid, void** object);
  TabsCPage();

 private:
  void created() override;
  void destroyed() override;
  void command(int id, int code) override;
  void draw_item(const DRAWITEMSTRUCT& item) override;

  framework::GdiObject<HBITMAP> small_banner_;  // Picture3, 216 × 61
  framework::GdiObject<HBITMAP> large_banner_;  // Picture1, 224 × 94
};

}  // namespace tessel
