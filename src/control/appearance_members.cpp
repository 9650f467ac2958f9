// Appearance properties: stored as given, announced, and repainted.
#include "control/property_table.h"
#include "control/tessel_control.h"
#include "framework/bstr.h"
#include "framework/out_param.h"

namespace tessel {

using framework::out_param;
using framework::to_variant_bool;

namespace {
bool from_variant_bool(VARIANT_BOOL value) { return value != VARIANT_FALSE; }
}  // namespace

#define TESSEL_COLOR_PROPERTY(Name, Param)                     \
  STDMETHODIMP TesselControl::get_##Name(OLE_COLOR* value) {   \
    return boundary([&] { out_param(value) = s_.look.Name; }); \
  }                                                            \
  STDMETHODIMP TesselControl::put_##Name(OLE_COLOR Param) {    \
    return store(s_.look.Name, Param, dispid::Name);           \
  }

TESSEL_COLOR_PROPERTY(ForeColorActive, NewForeColorActive)
TESSEL_COLOR_PROPERTY(BackColorForm, NewBackColorForm)
TESSEL_COLOR_PROPERTY(MouseMoveColor0, NewColor)
TESSEL_COLOR_PROPERTY(MouseMoveColor1, NewColor)
TESSEL_COLOR_PROPERTY(MouseMoveColor2, NewColor)
TESSEL_COLOR_PROPERTY(RegisterFocusColor0, NewColor)
TESSEL_COLOR_PROPERTY(RegisterFocusColor1, NewColor)
TESSEL_COLOR_PROPERTY(RegisterFocusColor2, NewColor)
TESSEL_COLOR_PROPERTY(FrameColor, NewFrameColor)
TESSEL_COLOR_PROPERTY(MaskColor, NewMaskColor)
#undef TESSEL_COLOR_PROPERTY

void TesselControl::changed(DISPID id) {
  const PropertyRow& row = property_row(id);
  if (row.notifies) property_changed(id);
  if (row.repaints) draw_tab();
}

STDMETHODIMP TesselControl::get_BackColor(OLE_COLOR* value) {
  return boundary([&] { out_param(value) = s_.look.BackColor; });
}

// The surface's background follows BackColor, its text colour ForeColor.
STDMETHODIMP TesselControl::put_BackColor(OLE_COLOR NewBackColor) {
  return boundary([&] {
    s_.look.BackColor = NewBackColor;
    surface().set_back_color(NewBackColor);
    changed(dispid::BackColor);
  });
}

STDMETHODIMP TesselControl::get_ForeColor(OLE_COLOR* value) {
  return boundary([&] { out_param(value) = s_.look.ForeColor; });
}

STDMETHODIMP TesselControl::put_ForeColor(OLE_COLOR NewForeColor) {
  return boundary([&] {
    s_.look.ForeColor = NewForeColor;
    surface().set_fore_color(NewForeColor);
    changed(dispid::ForeColor);
  });
}

STDMETHODIMP TesselControl::get_ForeColorHot(OLE_COLOR* value) {
  return boundary([&] { out_param(value) = s_.look.ForeColorHot; });
}

STDMETHODIMP TesselControl::put_ForeColorHot(OLE_COLOR NewForeColorHot) {
  return store(s_.look.ForeColorHot, NewForeColorHot, dispid::ForeColorHot);
}

STDMETHODIMP TesselControl::get_HeaderHeight(LONG* value) {
  return boundary([&] { out_param(value) = s_.look.HeaderHeight; });
}

STDMETHODIMP TesselControl::put_HeaderHeight(LONG NewTabHeight) {
  return store(s_.look.HeaderHeight, NewTabHeight, dispid::HeaderHeight);
}

STDMETHODIMP TesselControl::get_Alignment(eTabAlignment* value) {
  return boundary([&] { out_param(value) = static_cast<eTabAlignment>(s_.look.Alignment); });
}

STDMETHODIMP TesselControl::put_Alignment(eTabAlignment NewAlignment) {
  return store(s_.look.Alignment, static_cast<LONG>(NewAlignment), dispid::Alignment);
}

STDMETHODIMP TesselControl::get_ShowFrame(VARIANT_BOOL* value) {
  return boundary([&] { out_param(value) = to_variant_bool(s_.look.ShowFrame); });
}

STDMETHODIMP TesselControl::put_ShowFrame(VARIANT_BOOL varNew) {
  return store(s_.look.ShowFrame, from_variant_bool(varNew), dispid::ShowFrame);
}

STDMETHODIMP TesselControl::get_ShowSortPic(VARIANT_BOOL* value) {
  return boundary([&] { out_param(value) = to_variant_bool(s_.look.ShowSortPic); });
}

STDMETHODIMP TesselControl::put_ShowSortPic(VARIANT_BOOL varNew) {
  return store(s_.look.ShowSortPic, from_variant_bool(varNew), dispid::ShowSortPic);
}

STDMETHODIMP TesselControl::get_ColumnWidths(BSTR* value) {
  return boundary([&] { framework::put_bstr(value, s_.ColumnWidths); });
}

}  // namespace tessel
