// One outgoing interface of an object: the sinks that advised on it.
// Embedded in its container object, whose reference count it shares.
#pragma once

#include <ocidl.h>

#include <vector>

#include "framework/com_ptr.h"

namespace framework {

class ConnectionPoint final : public IConnectionPoint {
 public:
  ConnectionPoint(IConnectionPointContainer* owner, REFIID iid) : owner_(owner), iid_(iid) {}
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  const IID& iid() const { return iid_; }
  // The sinks as they are now, so that a sink may unadvise during a call.
  std::vector<ComPtr<IUnknown>> sinks() const;
  bool empty() const { return sinks_.empty(); }
  // Drops every connection (the object is going away).
  void clear() { sinks_.clear(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return owner_->AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return owner_->Release(); }

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  struct Sink {
    DWORD cookie;
    ComPtr<IUnknown> sink;
  };
  IConnectionPointContainer* owner_;
  IID iid_;
  std::vector<Sink> sinks_;
  DWORD next_cookie_ = 1;
};

}  // namespace framework
