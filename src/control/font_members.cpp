// The font properties. Each value is kept twice: in the control's own field,
// which its getter returns, and in the surface's font, which text output uses.
#include <cmath>

#include "control/font_copy.h"
#include "control/tessel_control.h"
#include "framework/bstr.h"
#include "framework/out_param.h"

namespace tessel {

using framework::check_hr;
using framework::out_param;
using framework::to_variant_bool;

IFont* TesselControl::surface_font() {
  surface_font_ = font_of(surface().font());
  return surface_font_.get();
}

// Each font setter: store the field, set the surface font, announce, repaint.
// A failure of the font object reaches the caller after the field is stored.
void TesselControl::set_font_bold(bool value) {
  s_.look.FontBold = value;
  check_hr(surface_font()->put_Bold(value));
  changed(dispid::FontBold);
}

void TesselControl::set_font_italic(bool value) {
  s_.look.FontItalic = value;
  check_hr(surface_font()->put_Italic(value));
  changed(dispid::FontItalic);
}

void TesselControl::set_font_strikethru(bool value) {
  s_.look.FontStrikethru = value;
  check_hr(surface_font()->put_Strikethrough(value));
  changed(dispid::FontStrikethru);
}

void TesselControl::set_font_underline(bool value) {
  s_.look.FontUnderline = value;
  check_hr(surface_font()->put_Underline(value));
  changed(dispid::FontUnderline);
}

bool TesselControl::font_size_refused(float value) {
  return std::isfinite(value) && std::fabs(value) > 1638.0f;
}

void TesselControl::set_font_size(float value) {
  // The platform's font dialog offers sizes up to 1638 points. A larger font
  // shows nothing of a caption in a header strip, and realising and drawing
  // its glyphs can hold the host for minutes; it is refused, and the font
  // stays as it was. Values that do not fit the font's units at all stay
  // overflows, below.
  if (font_size_refused(value))
    framework::raise_error(framework::error_number::kInvalidPropertyValue);
  s_.look.FontSize = value;
  const double units = std::nearbyint(static_cast<double>(value) * 10000.0);
  if (!(std::fabs(units) < 9.2e18)) framework::raise_error(framework::error_number::kOverflow);
  CY size;
  size.int64 = static_cast<LONGLONG>(units);
  check_hr(surface_font()->put_Size(size));
  changed(dispid::FontSize);
}

void TesselControl::set_font_name(std::wstring_view value) {
  s_.look.FontName = value;
  framework::Bstr name(value);
  check_hr(surface_font()->put_Name(name.get()));
  changed(dispid::FontName);
}

STDMETHODIMP TesselControl::get_FontBold(VARIANT_BOOL* value) {
  return boundary([&] { out_param(value) = to_variant_bool(s_.look.FontBold); });
}
STDMETHODIMP TesselControl::put_FontBold(VARIANT_BOOL vNew) {
  return boundary([&] { set_font_bold(vNew != VARIANT_FALSE); });
}
STDMETHODIMP TesselControl::get_FontItalic(VARIANT_BOOL* value) {
  return boundary([&] { out_param(value) = to_variant_bool(s_.look.FontItalic); });
}
STDMETHODIMP TesselControl::put_FontItalic(VARIANT_BOOL vNew) {
  return boundary([&] { set_font_italic(vNew != VARIANT_FALSE); });
}
STDMETHODIMP TesselControl::get_FontStrikethru(VARIANT_BOOL* value) {
  return boundary([&] { out_param(value) = to_variant_bool(s_.look.FontStrikethru); });
}
STDMETHODIMP TesselControl::put_FontStrikethru(VARIANT_BOOL vNew) {
  return boundary([&] { set_font_strikethru(vNew != VARIANT_FALSE); });
}
STDMETHODIMP TesselControl::get_FontUnderline(VARIANT_BOOL* value) {
  return boundary([&] { out_param(value) = to_variant_bool(s_.look.FontUnderline); });
}
STDMETHODIMP TesselControl::put_FontUnderline(VARIANT_BOOL vNew) {
  return boundary([&] { set_font_underline(vNew != VARIANT_FALSE); });
}
STDMETHODIMP TesselControl::get_FontSize(float* value) {
  return boundary([&] { out_param(value) = s_.look.FontSize; });
}
STDMETHODIMP TesselControl::put_FontSize(float vNew) {
  return boundary([&] { set_font_size(vNew); });
}
STDMETHODIMP TesselControl::get_FontName(BSTR* value) {
  return boundary([&] { framework::put_bstr(value, s_.look.FontName); });
}
STDMETHODIMP TesselControl::put_FontName(BSTR vNew) {
  return boundary([&] { set_font_name(framework::view_of(vNew)); });
}

// The surface's own font object, not a copy.
STDMETHODIMP TesselControl::get_Font(IFontDisp** value) {
  return boundary([&] {
    IFontDisp* font = surface().font();
    if (font) font->AddRef();
    out_param(value) = font;
  });
}

// Copies the font's attributes into the surface font, then runs the six font
// setters: seven notifications and seven repaints in all.
STDMETHODIMP TesselControl::putref_Font(IFontDisp* New_Font) {
  return boundary([&] {
    auto font = font_of(New_Font);  // Nothing is refused before anything changes
    copy_font_attributes(New_Font, surface().font());
    BOOL flag = FALSE;
    CY size{};
    framework::Bstr name;
    check_hr(font->get_Bold(&flag));
    set_font_bold(flag != FALSE);
    check_hr(font->get_Italic(&flag));
    set_font_italic(flag != FALSE);
    check_hr(font->get_Name(name.put()));
    set_font_name(name.view());
    check_hr(font->get_Size(&size));
    set_font_size(static_cast<float>(static_cast<double>(size.int64) / 10000.0));
    check_hr(font->get_Strikethrough(&flag));
    set_font_strikethru(flag != FALSE);
    check_hr(font->get_Underline(&flag));
    set_font_underline(flag != FALSE);
    changed(dispid::Font);
  });
}

}  // namespace tessel
