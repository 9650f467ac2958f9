#include "memory_bag.h"

namespace bench {

STDMETHODIMP MemoryBag::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
    *out = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP MemoryBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  auto it = values_.find(name);
  if (it == values_.end()) return E_INVALIDARG;
  const VARTYPE wanted = V_VT(value);
  VariantInit(value);
  VARIANT* stored = const_cast<VARIANT*>(it->second.get());
  return wanted == VT_EMPTY ? VariantCopy(value, stored)
                            : VariantChangeType(value, stored, 0, wanted);
}

STDMETHODIMP MemoryBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  framework::Variant copy;
  const HRESULT hr = VariantCopyInd(copy.get(), value);
  if (FAILED(hr)) return hr;
  values_.insert_or_assign(name, std::move(copy));
  return S_OK;
}

}  // namespace bench
