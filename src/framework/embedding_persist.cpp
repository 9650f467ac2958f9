// IPersistStreamInit, IPersistPropertyBag and IPersistStorage: a new
// instance runs the control's on_init_properties; loading and saving are
// declared in embedding.h and fail with E_NOTIMPL for now.
#include "framework/embedding.h"
#include "framework/error.h"

namespace framework {

STDMETHODIMP Embedding::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

STDMETHODIMP Embedding::IsDirty() { return has_unsaved_changes() ? S_OK : S_FALSE; }

// One initialisation per object, whichever persistence interface asks.
STDMETHODIMP Embedding::InitNew() {
  if (initialized_) return CO_E_ALREADYINITIALIZED;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IPersistStreamInit, [&] {
    log_hook(L"init", {});
    on_init_properties();
    initialized_ = true;
  });
}

STDMETHODIMP Embedding::InitNew(IStorage*) { return InitNew(); }

}  // namespace framework
