// A sink that records the control's events and property notifications, and
// can run a test's handler in the middle of a raise.
#pragma once

#include <ocidl.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/variant.h"

namespace tessel_test {

struct RecordedEvent {
  DISPID id;
  std::vector<framework::Variant> args;  // first to last, dereferenced
  std::vector<VARTYPE> types;            // as passed (VT_BYREF | ...)
};

class EventRecorder final : public IDispatch, public IPropertyNotifySink {
 public:
  static framework::ComPtr<EventRecorder> create();

  // Connects to the control's event and property-notification points.
  void connect(IUnknown* control);
  void disconnect();

  std::vector<RecordedEvent> events;
  std::vector<DISPID> changes;
  // Runs inside Invoke, with the raw (by-reference) arguments, first to last.
  std::function<void(DISPID, VARIANT* args, UINT count)> on_event;
  // Runs inside OnChanged, after the change is recorded; its result is the
  // sink's answer (S_OK when unset).
  std::function<HRESULT(DISPID)> on_changed;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                      UINT*) override;
  STDMETHODIMP OnChanged(DISPID id) override;
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }

 private:
  EventRecorder() = default;
  ULONG refs_ = 1;
  framework::ComPtr<IConnectionPoint> events_point_;
  framework::ComPtr<IConnectionPoint> notify_point_;
  DWORD events_cookie_ = 0;
  DWORD notify_cookie_ = 0;
};

}  // namespace tessel_test
