// Owning VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string_view>
#include <utility>

namespace framework {

class Variant {
 public:
  Variant() { VariantInit(&v_); }
  Variant(const Variant& other) : Variant() { VariantCopy(&v_, const_cast<VARIANT*>(&other.v_)); }
  Variant(Variant&& other) noexcept : v_(other.v_) { VariantInit(&other.v_); }
  explicit Variant(const VARIANT& other) : Variant() {
    VariantCopy(&v_, const_cast<VARIANT*>(&other));
  }
  ~Variant() { VariantClear(&v_); }
  Variant& operator=(Variant other) noexcept {
    std::swap(v_, other.v_);
    return *this;
  }

  static Variant from_long(LONG value) {
    return of(VT_I4, [&](VARIANT& x) { V_I4(&x) = value; });
  }
  static Variant from_short(SHORT value) {
    return of(VT_I2, [&](VARIANT& x) { V_I2(&x) = value; });
  }
  static Variant from_bool(bool value) {
    return of(VT_BOOL, [&](VARIANT& x) { V_BOOL(&x) = value ? VARIANT_TRUE : VARIANT_FALSE; });
  }
  static Variant from_float(float value) {
    return of(VT_R4, [&](VARIANT& x) { V_R4(&x) = value; });
  }
  // Throws std::bad_alloc when the string cannot be made.
  static Variant from_text(std::wstring_view value) {
    Variant v;
    BSTR text = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    if (!text) throw std::bad_alloc();
    V_VT(&v.v_) = VT_BSTR;
    V_BSTR(&v.v_) = text;
    return v;
  }
  // The object with a reference of its own; Nothing for nullptr.
  static Variant from_dispatch(IDispatch* object) {
    Variant v;
    V_VT(&v.v_) = VT_DISPATCH;
    V_DISPATCH(&v.v_) = object;
    if (object) object->AddRef();
    return v;
  }

  VARIANT* get() { return &v_; }
  const VARIANT* get() const { return &v_; }
  VARIANT* operator->() { return &v_; }
  const VARIANT* operator->() const { return &v_; }
  VARTYPE vt() const { return V_VT(&v_); }
  void clear() { VariantClear(&v_); }
  // Hands the value over to a caller-owned VARIANT.
  void detach_to(VARIANT* out) {
    *out = v_;
    VariantInit(&v_);
  }

 private:
  // A variant of a plain value: its type, and what stores the value in it.
  template <typename Store>
  static Variant of(VARTYPE type, Store store) {
    Variant v;
    V_VT(&v.v_) = type;
    store(v.v_);
    return v;
  }

  VARIANT v_;
};

}  // namespace framework
