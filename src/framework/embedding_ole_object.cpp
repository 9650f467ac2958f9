// IOleObject: the client site, verbs, extent, advises and MiscStatus.
#include "framework/embedding.h"
#include "framework/error.h"
#include "framework/units.h"

namespace framework {

STDMETHODIMP Embedding::SetClientSite(IOleClientSite* site) {
  return com_boundary(IID_IOleObject, error_source(), [&] {
    if (site != site_.client_site()) deactivate();
    site_.set_client_site(site);
    ambient_font_ = nullptr;  // read from the new site when asked for
  });
}

STDMETHODIMP Embedding::GetClientSite(IOleClientSite** site) {
  if (!site) return E_POINTER;
  *site = site_.client_site();
  if (*site) (*site)->AddRef();
  return S_OK;
}

// Leaves the in-place state and lets go of the container: the site and the
// view's advise sink (the advise holder tells its sinks that it closed).
STDMETHODIMP Embedding::Close(DWORD) {
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IOleObject, error_source(), [&] {
    deactivate();
    if (advise_holder_) advise_holder_->SendOnClose();
    view_sink_ = nullptr;
    site_.set_client_site(nullptr);
    ambient_font_ = nullptr;
  });
}

STDMETHODIMP Embedding::DoVerb(LONG verb, LPMSG, IOleClientSite* active_site, LONG, HWND, LPCRECT) {
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IOleObject, error_source(), [&]() -> HRESULT {
    if (!site_.client_site() && active_site) {
      site_.set_client_site(active_site);
      ambient_font_ = nullptr;
    }
    switch (verb) {
      case OLEIVERB_PRIMARY:
      case OLEIVERB_UIACTIVATE:
        activate(active_site, true);
        return S_OK;
      case OLEIVERB_SHOW:
      case OLEIVERB_INPLACEACTIVATE:
        activate(active_site, false);
        return S_OK;
      case OLEIVERB_HIDE:
        deactivate();
        return S_OK;
      default:
        // A verb the control does not know acts as the primary verb.
        if (verb < 0) return E_NOTIMPL;
        activate(active_site, true);
        return OLEOBJ_S_INVALIDVERB;
    }
  });
}

STDMETHODIMP Embedding::EnumVerbs(IEnumOLEVERB** verbs) { return OleRegEnumVerbs(clsid_, verbs); }

STDMETHODIMP Embedding::GetUserClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

STDMETHODIMP Embedding::GetUserType(DWORD form, LPOLESTR* name) {
  return OleRegGetUserType(clsid_, form, name);
}

// The container's size for the control. While in-place active the window's
// rectangle rules the surface; otherwise the surface follows the extent.
STDMETHODIMP Embedding::SetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IOleObject, error_source(), [&] {
    extent_ = *size;
    if (!in_place_active_) {
      SIZE pixels = himetric_to_pixels(extent_);
      apply_size(pixels.cx, pixels.cy);
    }
  });
}

STDMETHODIMP Embedding::GetExtent(DWORD aspect, SIZEL* size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP Embedding::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!advise_holder_) {
    HRESULT hr = CreateOleAdviseHolder(advise_holder_.put());
    if (FAILED(hr)) return hr;
  }
  return advise_holder_->Advise(sink, cookie);
}

STDMETHODIMP Embedding::Unadvise(DWORD cookie) {
  if (!advise_holder_) return OLE_E_NOCONNECTION;
  return advise_holder_->Unadvise(cookie);
}

STDMETHODIMP Embedding::EnumAdvise(IEnumSTATDATA** advises) {
  if (!advises) return E_POINTER;
  *advises = nullptr;
  if (!advise_holder_) {
    HRESULT hr = CreateOleAdviseHolder(advise_holder_.put());
    if (FAILED(hr)) return hr;
  }
  return advise_holder_->EnumAdvise(advises);
}

STDMETHODIMP Embedding::GetMiscStatus(DWORD, DWORD* status) {
  if (!status) return E_POINTER;
  *status = class_.misc_status;
  return S_OK;
}

}  // namespace framework
