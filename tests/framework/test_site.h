// A container's site of the test's own, for tests that need to see or
// script what the control asks of its container.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <optional>
#include <string>
#include <vector>

#include "framework/com_ptr.h"

namespace tessel_test {

using framework::ComPtr;

inline std::wstring rect_text(const RECT& r) {
  return std::to_wstring(r.left) + L" " + std::to_wstring(r.top) + L" " + std::to_wstring(r.right) +
         L" " + std::to_wstring(r.bottom);
}

// A container's sites, scripted by the test: an ambient font or none,
// in-place activation in a window of the test, position requests granted
// (with a height of its choosing, if set) or declined. Every call the control
// makes is recorded. It lives on the test's stack.
class TestSite final : public IOleClientSite,
                       public IDispatch,
                       public IOleInPlaceSite,
                       public IOleControlSite {
 public:
  TestSite(HWND parent, RECT position) : parent_(parent), position_(position) {}

  std::vector<std::wstring> calls;
  ComPtr<IFontDisp> font;
  bool grant_positions = true;
  std::optional<LONG> granted_height;
  ComPtr<IOleInPlaceObject> control;  // for SetObjectRects; set by the test

  ULONG refs() const { return refs_; }
  const RECT& position() const { return position_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) {
      *object = static_cast<IOleClientSite*>(this);
    } else if (iid == IID_IDispatch) {
      *object = static_cast<IDispatch*>(this);
    } else if (iid == IID_IOleWindow || iid == IID_IOleInPlaceSite) {
      *object = static_cast<IOleInPlaceSite*>(this);
    } else if (iid == IID_IOleControlSite) {
      *object = static_cast<IOleControlSite*>(this);
    } else {
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }

  // IOleClientSite
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer**) override { return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }

  // IDispatch: the ambient properties.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (id != DISPID_AMBIENT_FONT || !(flags & DISPATCH_PROPERTYGET) || !font || !result) {
      return DISP_E_MEMBERNOTFOUND;
    }
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = font.get();
    font->AddRef();
    return S_OK;
  }

  // IOleWindow, IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* window) override {
    *window = parent_;
    return S_OK;
  }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return record(L"CanInPlaceActivate"); }
  STDMETHODIMP OnInPlaceActivate() override { return record(L"OnInPlaceActivate"); }
  STDMETHODIMP OnUIActivate() override { return record(L"OnUIActivate"); }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                LPRECT position, LPRECT clip, LPOLEINPLACEFRAMEINFO) override {
    *frame = nullptr;
    *document = nullptr;
    *position = *clip = position_;
    return S_OK;
  }
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { return record(L"OnUIDeactivate"); }
  STDMETHODIMP OnInPlaceDeactivate() override { return record(L"OnInPlaceDeactivate"); }
  STDMETHODIMP DiscardUndoState() override { return E_NOTIMPL; }
  STDMETHODIMP DeactivateAndUndo() override { return E_NOTIMPL; }
  STDMETHODIMP OnPosRectChange(LPCRECT requested) override {
    record(L"OnPosRectChange " + rect_text(*requested));
    if (!grant_positions) return E_NOTIMPL;
    position_ = *requested;
    if (granted_height) position_.bottom = position_.top + *granted_height;
    return control ? control->SetObjectRects(&position_, &position_) : S_OK;
  }

  // IOleControlSite
  STDMETHODIMP OnControlInfoChanged() override { return record(L"OnControlInfoChanged"); }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch**) override { return E_NOTIMPL; }
  STDMETHODIMP TransformCoords(POINTL*, POINTF*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL gained) override {
    return record(gained ? L"OnFocus 1" : L"OnFocus 0");
  }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

 private:
  HRESULT record(std::wstring call) {
    calls.push_back(std::move(call));
    return S_OK;
  }

  HWND parent_;
  RECT position_;
  ULONG refs_ = 0;
};

}  // namespace tessel_test
