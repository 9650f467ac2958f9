// A class factory for one object class. T provides
//   static HRESULT create(REFIID iid, void** object);
#pragma once

#include <unknwn.h>

#include <new>

#include "framework/com_object.h"
#include "framework/module.h"

namespace framework {

template <class T>
class ClassFactory final : public ComObject<IClassFactory, &IID_IClassFactory> {
 public:
  static HRESULT get(REFIID iid, void** object) {
    auto* factory = new (std::nothrow) ClassFactory();
    if (!factory) return E_OUTOFMEMORY;
    HRESULT hr = factory->QueryInterface(iid, object);
    factory->Release();
    return hr;
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
  ~ClassFactory() override = default;
};

}  // namespace framework
