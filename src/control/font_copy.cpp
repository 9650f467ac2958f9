#include "control/font_copy.h"

#include "framework/bstr.h"
#include "framework/error.h"

namespace tessel {

using framework::check_hr;

framework::ComPtr<IFont> font_of(IFontDisp* font) {
  framework::ComPtr<IFont> result;
  if (!font || FAILED(font->QueryInterface(IID_IFont, result.put_void()))) {
    framework::raise_error(framework::error_number::kObjectRequired);
  }
  return result;
}

void copy_font_attributes(IFontDisp* from_disp, IFontDisp* to_disp) {
  auto from = font_of(from_disp);
  auto to = font_of(to_disp);
  BOOL flag = FALSE;
  SHORT charset = 0, weight = 0;
  CY size{};
  framework::Bstr name;
  check_hr(from->get_Bold(&flag));
  check_hr(to->put_Bold(flag));
  check_hr(from->get_Charset(&charset));
  check_hr(to->put_Charset(charset));
  check_hr(from->get_Italic(&flag));
  check_hr(to->put_Italic(flag));
  check_hr(from->get_Name(name.put()));
  check_hr(to->put_Name(name.get()));
  check_hr(from->get_Size(&size));
  check_hr(to->put_Size(size));
  check_hr(from->get_Strikethrough(&flag));
  check_hr(to->put_Strikethrough(flag));
  check_hr(from->get_Underline(&flag));
  check_hr(to->put_Underline(flag));
  check_hr(from->get_Weight(&weight));
  check_hr(to->put_Weight(weight));
}

}  // namespace tessel
