// A lean property bag in memory, used by both sides of the bag rows: the
// control saves and loads itself through it, and the header control's items
// are written to and read from it by hand, so that both pay the same bag.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <unordered_map>

#include "framework/variant.h"

namespace bench {

// Lives on its caller's stack: AddRef and Release only count, and the bag
// must outlive every caller that holds it (the benchmarks do).
class MemoryBag final : public IPropertyBag {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  // A value in the caller's type when it asks for one (VT_EMPTY: as stored).
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

  void clear() { values_.clear(); }

 private:
  ULONG refs_ = 1;
  std::unordered_map<std::wstring, framework::Variant> values_;
};

}  // namespace bench
