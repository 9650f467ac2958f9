#include "framework/connection_point.h"

#include <olectl.h>

#include <algorithm>

#include "framework/enumerators.h"

namespace framework {

std::vector<ComPtr<IUnknown>> ConnectionPoint::sinks() const {
  std::vector<ComPtr<IUnknown>> result;
  result.reserve(sinks_.size());
  for (const auto& s : sinks_) result.push_back(s.sink);
  return result;
}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** object) {
  if (!object) return E_POINTER;
  if (iid == IID_IUnknown || iid == IID_IConnectionPoint) {
    *object = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** container) {
  if (!container) return E_POINTER;
  *container = owner_;
  owner_->AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  // The sink must speak the outgoing interface; event sinks of script hosts
  // often answer only to IDispatch, which is how events are delivered anyway.
  ComPtr<IUnknown> held;
  if (FAILED(sink->QueryInterface(iid_, held.put_void()))) {
    if (iid_ == IID_IPropertyNotifySink ||
        FAILED(sink->QueryInterface(IID_IDispatch, held.put_void()))) {
      return CONNECT_E_CANNOTCONNECT;
    }
  }
  try {
    sinks_.push_back({next_cookie_, held});
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  *cookie = next_cookie_++;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  auto it = std::find_if(sinks_.begin(), sinks_.end(),
                         [cookie](const Sink& s) { return s.cookie == cookie; });
  if (it == sinks_.end()) return CONNECT_E_NOCONNECTION;
  // Release after the list is consistent: the sink's release may call back.
  ComPtr<IUnknown> released = std::move(it->sink);
  sinks_.erase(it);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** connections) {
  std::vector<CONNECTDATA> data;
  for (const auto& s : sinks_) data.push_back({s.sink.get(), s.cookie});
  return framework::EnumConnections::create(data, 0, connections);
}

}  // namespace framework
