// Owning VARIANT.
#pragma once

#include <windows.h>
#include <oleauto.h>

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
    Variant v;
    V_VT(&v.v_) = VT_I4;
    V_I4(&v.v_) = value;
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
  VARIANT v_;
};

}  // namespace framework
