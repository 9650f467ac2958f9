#include "support/event_recorder.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "tessel_interfaces.h"

namespace tessel_test {

framework::ComPtr<EventRecorder> EventRecorder::create() {
  return framework::ComPtr<EventRecorder>::adopt(new EventRecorder());
}

void EventRecorder::connect(IUnknown* control) {
  framework::ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(control->QueryInterface(IID_IConnectionPointContainer, container.put_void()), S_OK);
  ASSERT_EQ(container->FindConnectionPoint(tessel::DIID___TesselControl, events_point_.put()),
            S_OK);
  ASSERT_EQ(events_point_->Advise(static_cast<IDispatch*>(this), &events_cookie_), S_OK);
  ASSERT_EQ(container->FindConnectionPoint(IID_IPropertyNotifySink, notify_point_.put()), S_OK);
  ASSERT_EQ(notify_point_->Advise(static_cast<IPropertyNotifySink*>(this), &notify_cookie_), S_OK);
}

void EventRecorder::disconnect() {
  if (events_point_) events_point_->Unadvise(events_cookie_);
  if (notify_point_) notify_point_->Unadvise(notify_cookie_);
  events_point_ = nullptr;
  notify_point_ = nullptr;
}

STDMETHODIMP EventRecorder::QueryInterface(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == tessel::DIID___TesselControl) {
    *object = static_cast<IDispatch*>(this);
  } else if (iid == IID_IPropertyNotifySink) {
    *object = static_cast<IPropertyNotifySink*>(this);
  } else {
    *object = nullptr;
    return E_NOINTERFACE;
  }
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) EventRecorder::Release() {
  ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

STDMETHODIMP EventRecorder::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP EventRecorder::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*,
                                   EXCEPINFO*, UINT*) {
  RecordedEvent event{id, {}, {}};
  std::vector<VARIANT> in_order(params->rgvarg, params->rgvarg + params->cArgs);
  std::reverse(in_order.begin(), in_order.end());
  for (const VARIANT& arg : in_order) {
    framework::Variant value;
    VariantCopyInd(value.get(), const_cast<VARIANT*>(&arg));
    event.args.push_back(std::move(value));
    event.types.push_back(V_VT(&arg));
  }
  events.push_back(std::move(event));
  if (on_event) on_event(id, in_order.data(), static_cast<UINT>(in_order.size()));
  return S_OK;
}

STDMETHODIMP EventRecorder::OnChanged(DISPID id) {
  changes.push_back(id);
  return on_changed ? on_changed(id) : S_OK;
}

}  // namespace tessel_test
