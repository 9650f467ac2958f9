#include "framework/event_source.h"

#include <algorithm>
#include <vector>

namespace framework {

EventSource::EventSource(IConnectionPointContainer* owner, REFIID events_iid)
    : events_(owner, events_iid), property_notify_(owner, IID_IPropertyNotifySink) {}

ConnectionPoint* EventSource::find(REFIID iid) {
  if (iid == events_.iid()) return &events_;
  if (iid == IID_IPropertyNotifySink) return &property_notify_;
  return nullptr;
}

void EventSource::raise(DISPID id, std::initializer_list<VARIANT> args) {
  if (events_.empty()) return;
  // DISPPARAMS lists arguments last to first.
  std::vector<VARIANT> reversed(args.begin(), args.end());
  std::reverse(reversed.begin(), reversed.end());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  for (const auto& sink : events_.sinks()) {
    auto* dispatch = reinterpret_cast<IDispatch*>(sink.get());
    EXCEPINFO exception{};
    UINT arg_error = 0;
    dispatch->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr,
                     &exception, &arg_error);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
  }
}

HRESULT EventSource::property_changed(DISPID id) {
  dirty_ = true;
  HRESULT result = S_OK;
  for (const auto& sink : property_notify_.sinks()) {
    const HRESULT hr = reinterpret_cast<IPropertyNotifySink*>(sink.get())->OnChanged(id);
    if (FAILED(hr) && SUCCEEDED(result)) result = hr;
  }
  return result;
}

void EventSource::disconnect_all() {
  events_.clear();
  property_notify_.clear();
}

namespace {
// A by-reference argument of type vt that points at value.
VARIANT by_ref_to(void* value, VARTYPE vt) {
  VARIANT v;
  V_VT(&v) = VT_BYREF | vt;
  V_BYREF(&v) = value;
  return v;
}
}  // namespace

VARIANT by_ref(SHORT& value) { return by_ref_to(&value, VT_I2); }
VARIANT by_ref(LONG& value) { return by_ref_to(&value, VT_I4); }
VARIANT by_ref(float& value) { return by_ref_to(&value, VT_R4); }
VARIANT by_ref(BSTR& value) { return by_ref_to(&value, VT_BSTR); }

}  // namespace framework
