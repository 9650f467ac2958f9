#include "framework/property_browsing.h"

#include <olectl.h>

namespace framework {

void* PropertyBrowsing::property_browsing_interface(REFIID iid) {
  if (iid == IID_ISpecifyPropertyPages) return static_cast<ISpecifyPropertyPages*>(this);
  if (iid == IID_IPerPropertyBrowsing) return static_cast<IPerPropertyBrowsing*>(this);
  return nullptr;
}

STDMETHODIMP PropertyBrowsing::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  const auto list = property_pages();
  if (list.empty()) return S_OK;
  auto* elements = static_cast<GUID*>(CoTaskMemAlloc(list.size() * sizeof(GUID)));
  if (!elements) return E_OUTOFMEMORY;
  for (size_t i = 0; i < list.size(); ++i) elements[i] = *list[i];
  pages->cElems = static_cast<ULONG>(list.size());
  pages->pElems = elements;
  return S_OK;
}

STDMETHODIMP PropertyBrowsing::GetDisplayString(DISPID, BSTR* text) {
  if (text) *text = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP PropertyBrowsing::MapPropertyToPage(DISPID id, CLSID* page) {
  if (!page) return E_POINTER;
  for (const PropertyPageEntry& entry : property_page_map()) {
    if (entry.dispid == id) {
      *page = *entry.page;
      return S_OK;
    }
  }
  *page = CLSID_NULL;
  return PERPROP_E_NOPAGEAVAILABLE;
}

STDMETHODIMP PropertyBrowsing::GetPredefinedStrings(DISPID, CALPOLESTR* strings, CADWORD* cookies) {
  if (strings) *strings = {};
  if (cookies) *cookies = {};
  return E_NOTIMPL;
}

STDMETHODIMP PropertyBrowsing::GetPredefinedValue(DISPID, DWORD, VARIANT* value) {
  if (value) VariantInit(value);
  return E_NOTIMPL;
}

}  // namespace framework
