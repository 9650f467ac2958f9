#include "framework/ole_font.h"

#include <cmath>

#include "framework/error.h"
#include "framework/variant.h"

namespace framework {

ComPtr<IFontDisp> create_font(const wchar_t* name, double points) {
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof(desc);
  desc.lpstrName = const_cast<LPOLESTR>(name);
  desc.cySize.int64 = static_cast<LONGLONG>(std::llround(points * 10000.0));
  desc.sWeight = FW_NORMAL;
  desc.sCharset = ANSI_CHARSET;
  ComPtr<IFontDisp> font;
  check_hr(OleCreateFontIndirect(&desc, IID_IFontDisp, font.put_void()));
  return font;
}

ComPtr<IFontDisp> default_font() { return create_font(L"MS Sans Serif", 8); }

ComPtr<IFontDisp> site_ambient_font(IOleClientSite* site) {
  if (!site) return nullptr;
  ComPtr<IDispatch> ambient;
  if (FAILED(site->QueryInterface(IID_IDispatch, ambient.put_void())) || !ambient) return nullptr;
  DISPPARAMS none{};
  Variant result;
  HRESULT hr = ambient->Invoke(DISPID_AMBIENT_FONT, IID_NULL, LOCALE_USER_DEFAULT,
                               DISPATCH_PROPERTYGET, &none, result.get(), nullptr, nullptr);
  if (FAILED(hr)) return nullptr;
  IUnknown* object = nullptr;
  if (result.vt() == VT_DISPATCH) object = V_DISPATCH(result.get());
  if (result.vt() == VT_UNKNOWN) object = V_UNKNOWN(result.get());
  if (!object) return nullptr;
  ComPtr<IFontDisp> font;
  object->QueryInterface(IID_IFontDisp, font.put_void());
  return font;
}

}  // namespace framework
