#include "control_site.h"

namespace demo {

framework::ComPtr<ControlSite> ControlSite::create(HWND parent, IFontDisp* font) {
  return framework::ComPtr<ControlSite>::adopt(new ControlSite(parent, font));
}

STDMETHODIMP ControlSite::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
    *object = static_cast<IOleClientSite*>(this);
  } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
    *object = static_cast<IOleInPlaceSite*>(this);
  } else if (iid == IID_IOleInPlaceUIWindow || iid == IID_IOleInPlaceFrame) {
    *object = static_cast<IOleInPlaceFrame*>(this);
  } else if (iid == IID_IOleControlSite) {
    *object = static_cast<IOleControlSite*>(this);
  } else if (iid == IID_IDispatch) {
    *object = static_cast<IDispatch*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) ControlSite::Release() {
  ULONG refs = --refs_;
  if (refs == 0) delete this;
  return refs;
}

// A form with one control offers no container object to enumerate.
STDMETHODIMP ControlSite::GetContainer(IOleContainer** container) {
  if (!container) return E_POINTER;
  *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ControlSite::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = parent_;
  return S_OK;
}

STDMETHODIMP ControlSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
  if (!frame || !document || !position || !clip || !info) return E_POINTER;
  *frame = static_cast<IOleInPlaceFrame*>(this);
  AddRef();
  *document = nullptr;  // the frame is the document window too
  *position = position_;
  GetClientRect(parent_, clip);
  info->fMDIApp = FALSE;
  info->hwndFrame = parent_;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::OnPosRectChange(LPCRECT position) {
  if (!position) return E_POINTER;
  if (on_position_request) on_position_request(*position);
  return S_OK;
}

// No extended control: the form adds no properties of its own to the
// control's.
STDMETHODIMP ControlSite::GetExtendedControl(IDispatch** control) {
  if (!control) return E_POINTER;
  *control = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ControlSite::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ControlSite::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
  if (!result) return E_POINTER;
  VariantInit(result);
  switch (id) {
    case DISPID_AMBIENT_FONT:
      if (!font_) return DISP_E_MEMBERNOTFOUND;
      V_VT(result) = VT_DISPATCH;
      V_DISPATCH(result) = font_.get();
      font_->AddRef();
      return S_OK;
    case DISPID_AMBIENT_USERMODE:  // run mode, not a form designer
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = VARIANT_TRUE;
      return S_OK;
    case DISPID_AMBIENT_UIDEAD:
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
      V_VT(result) = VT_BOOL;
      V_BOOL(result) = VARIANT_FALSE;
      return S_OK;
    case DISPID_AMBIENT_BACKCOLOR:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(0x80000000u | COLOR_BTNFACE);
      return S_OK;
    case DISPID_AMBIENT_FORECOLOR:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(0x80000000u | COLOR_BTNTEXT);
      return S_OK;
    case DISPID_AMBIENT_LOCALEID:
      V_VT(result) = VT_I4;
      V_I4(result) = static_cast<LONG>(GetUserDefaultLCID());
      return S_OK;
    case DISPID_AMBIENT_DISPLAYNAME:
      V_VT(result) = VT_BSTR;
      V_BSTR(result) = SysAllocString(L"Header");
      return S_OK;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

}  // namespace demo
