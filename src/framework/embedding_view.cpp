// IViewObject2: the retained image drawn into a container's DC, active or
// not, and the view's advise sink.
#include "framework/embedding.h"
#include "framework/error.h"

namespace framework {

STDMETHODIMP Embedding::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC dc,
                             LPCRECTL bounds, LPCRECTL, WINBOOL(STDMETHODCALLTYPE*)(ULONG_PTR),
                             ULONG_PTR) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!dc || !bounds) return E_INVALIDARG;
  return com_boundary(IID_IViewObject, error_source(), [&] {
    RECT target{bounds->left, bounds->top, bounds->right, bounds->bottom};
    surface_.render(dc, target);
  });
}

STDMETHODIMP Embedding::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  view_sink_ = ComPtr<IAdviseSink>(sink);
  view_aspects_ = aspects;
  view_flags_ = flags;
  if (sink && (flags & ADVF_PRIMEFIRST)) view_changed();
  return S_OK;
}

STDMETHODIMP Embedding::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = view_aspects_;
  if (flags) *flags = view_flags_;
  if (sink) {
    *sink = view_sink_.get();
    if (*sink) (*sink)->AddRef();
  }
  return S_OK;
}

STDMETHODIMP Embedding::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!size) return E_POINTER;
  *size = extent_;
  return S_OK;
}

}  // namespace framework
