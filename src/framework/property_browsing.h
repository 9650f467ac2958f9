// The property pages a control names (ISpecifyPropertyPages) and the page
// that edits each of its properties (IPerPropertyBrowsing). The control
// supplies both lists; this class only hands them out. A class deriving from
// it supplies IUnknown, whose methods stay pure here.
#pragma once

#include <ocidl.h>

#include <span>

namespace framework {

// A property and the page that edits it.
struct PropertyPageEntry {
  DISPID dispid;
  const CLSID* page;
};

class PropertyBrowsing : public ISpecifyPropertyPages, public IPerPropertyBrowsing {
 public:
  // ISpecifyPropertyPages: the pages in the control's order.
  STDMETHODIMP GetPages(CAUUID* pages) override;

  // IPerPropertyBrowsing: only the page map; the property browser shows
  // values and choices itself.
  STDMETHODIMP GetDisplayString(DISPID, BSTR* text) override;
  STDMETHODIMP MapPropertyToPage(DISPID id, CLSID* page) override;
  STDMETHODIMP GetPredefinedStrings(DISPID, CALPOLESTR* strings, CADWORD* cookies) override;
  STDMETHODIMP GetPredefinedValue(DISPID, DWORD, VARIANT* value) override;

 protected:
  virtual ~PropertyBrowsing() = default;

  // The interface this class answers for iid, or nullptr.
  void* property_browsing_interface(REFIID iid);

  // What the control lists; both empty unless it overrides them.
  virtual std::span<const CLSID* const> property_pages() const { return {}; }
  virtual std::span<const PropertyPageEntry> property_page_map() const { return {}; }
};

}  // namespace framework
