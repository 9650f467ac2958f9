// A class factory for one object class. T provides
//   static HRESULT create(REFIID iid, void** object);
#pragma once

#include <unknwn.h>

#include <atomic>

#include "framework/module.h"

namespace framework {

template <class T>
class ClassFactory final : public IClassFactory {
 public:
  static HRESULT get(REFIID iid, void** object) {
    auto* factory = new (std::nothrow) ClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IClassFactory) {
      *object = static_cast<IClassFactory*>(this);
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

  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (!object) return E_POINTER;
    *object = nullptr;
    if (outer) return CLASS_E_NOAGGREGATION;
    return T::create(iid, object);
  }
  STDMETHODIMP LockServer(BOOL lock) override {
    if (lock) {
      module_lock();
    } else {
      module_unlock();
    }
    return S_OK;
  }

 private:
  ClassFactory() = default;
  ~ClassFactory() = default;
  std::atomic<ULONG> refs_{1};
  ModuleLock lock_;
};

}  // namespace framework
