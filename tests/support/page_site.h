// A property frame's site as far as a page asks for one, recording the
// status changes the page reports. It lives on its owner's stack or in its
// owner: AddRef and Release do not count.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

namespace tessel_test {

class RecordingPageSite final : public IPropertyPageSite {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    const bool known = iid == IID_IUnknown || iid == IID_IPropertyPageSite;
    *object = known ? static_cast<IPropertyPageSite*>(this) : nullptr;
    return known ? S_OK : E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnStatusChange(DWORD flags) override {
    statuses.push_back(flags);
    return S_OK;
  }
  STDMETHODIMP GetLocaleID(LCID* locale) override {
    *locale = LOCALE_USER_DEFAULT;
    return S_OK;
  }
  STDMETHODIMP GetPageContainer(IUnknown** container) override {
    *container = nullptr;
    return E_NOTIMPL;
  }
  STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }

  std::vector<DWORD> statuses;
};

}  // namespace tessel_test
