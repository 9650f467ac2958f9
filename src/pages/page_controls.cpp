#include "pages/page_controls.h"

#include "framework/error.h"
#include "framework/form_layout.h"

namespace tessel {

LONG variant_to_long(const framework::Variant& value) {
  framework::Variant converted;
  framework::check_hr(
      VariantChangeType(converted.get(), const_cast<VARIANT*>(value.get()), 0, VT_I4));
  return V_I4(converted.get());
}

VARIANT bool_variant(bool value) {
  VARIANT v;
  V_VT(&v) = VT_BOOL;
  V_BOOL(&v) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

LRESULT check_value(HWND box) { return SendMessageW(box, BM_GETCHECK, 0, 0); }

void set_text_if_different(HWND window, const std::wstring& text) {
  if (framework::window_text(window) != text) SetWindowTextW(window, text.c_str());
}

int scroll_value(HWND bar) { return GetScrollPos(bar, SB_CTL); }

void set_scroll_value(HWND bar, int value) { SetScrollPos(bar, SB_CTL, value, TRUE); }

void set_scroll_maximum(HWND bar, int maximum) {
  SCROLLINFO info{};
  info.cbSize = sizeof info;
  info.fMask = SIF_RANGE;
  GetScrollInfo(bar, SB_CTL, &info);
  info.fMask = SIF_RANGE;
  info.nMax = maximum;
  SetScrollInfo(bar, SB_CTL, &info, TRUE);
}

}  // namespace tessel
