// Small COM enumerators over a snapshot of values (connection points and
// connections).
#pragma once

#include <ocidl.h>

#include <new>
#include <vector>

#include "framework/com_object.h"

namespace framework {

// Copy policy: how an element is handed out to the caller.
template <class T>
struct EnumCopy;

template <>
struct EnumCopy<IConnectionPoint*> {
  static void copy(IConnectionPoint** to, IConnectionPoint* const& from) {
    *to = from;
    from->AddRef();
  }
  static void release(IConnectionPoint*& p) { p->Release(); }
};

template <>
struct EnumCopy<CONNECTDATA> {
  static void copy(CONNECTDATA* to, const CONNECTDATA& from) {
    *to = from;
    if (to->pUnk) to->pUnk->AddRef();
  }
  static void release(CONNECTDATA& d) {
    if (d.pUnk) d.pUnk->Release();
  }
};

template <class Interface, const IID* kIid, class T>
class SnapshotEnum final : public ComObject<Interface, kIid> {
 public:
  static HRESULT create(const std::vector<T>& items, size_t position, Interface** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    auto* e = new (std::nothrow) SnapshotEnum();
    if (!e) return E_OUTOFMEMORY;
    for (const T& item : items) {
      T held;
      EnumCopy<T>::copy(&held, item);
      e->items_.push_back(held);
    }
    e->position_ = position;
    *out = e;
    return S_OK;
  }

  STDMETHODIMP Next(ULONG count, T* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    while (n < count && position_ < items_.size())
      EnumCopy<T>::copy(&out[n++], items_[position_++]);
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    size_t left = items_.size() - position_;
    if (count > left) {
      position_ = items_.size();
      return S_FALSE;
    }
    position_ += count;
    return S_OK;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Interface** out) override { return create(items_, position_, out); }

 private:
  SnapshotEnum() = default;
  ~SnapshotEnum() override {
    for (T& item : items_) EnumCopy<T>::release(item);
  }
  std::vector<T> items_;
  size_t position_ = 0;
};

using EnumConnectionPoints =
    SnapshotEnum<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*>;
using EnumConnections = SnapshotEnum<IEnumConnections, &IID_IEnumConnections, CONNECTDATA>;

}  // namespace framework
