// The IUnknown of a heap object that implements one COM interface: its
// reference count, which starts at 1 for the creator, and a module lock for
// as long as it lives.
#pragma once

#include <unknwn.h>

#include <atomic>

#include "framework/module.h"

namespace framework {

template <class Interface, const IID* kIid>
class ComObject : public Interface {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == *kIid) {
      *object = static_cast<Interface*>(this);
      AddRef();
      return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override {
    ULONG n = --refs_;
    if (n == 0) delete this;
    return n;
  }

 protected:
  ComObject() = default;
  virtual ~ComObject() = default;

 private:
  std::atomic<ULONG> refs_{1};
  ModuleLock lock_;
};

}  // namespace framework
