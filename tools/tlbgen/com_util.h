// Small RAII owners for the COM objects and strings the generator handles.
#pragma once

#include <windows.h>
#include <ole2.h>

#include <stdexcept>
#include <new>
#include <string>
#include <string_view>
#include <utility>

namespace tlbgen {

// Owns one reference to a COM interface.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      Reset();
      ptr_ = std::exchange(other.ptr_, nullptr);
    }
    return *this;
  }
  ~ComPtr() { Reset(); }

  void Reset() {
    if (ptr_) std::exchange(ptr_, nullptr)->Release();
  }
  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  // For out-parameters: releases what is held and hands out the slot.
  T** Put() {
    Reset();
    return &ptr_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  template <class U>
  ComPtr<U> As(REFIID iid) const {
    ComPtr<U> other;
    HRESULT hr = ptr_->QueryInterface(iid, other.PutVoid());
    if (FAILED(hr)) throw std::runtime_error("QueryInterface failed");
    return other;
  }

 private:
  T* ptr_ = nullptr;
};

// Owns a BSTR.
class Bstr {
 public:
  explicit Bstr(std::wstring_view text)
      : str_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {
    if (!str_) throw std::bad_alloc();
  }
  Bstr(const Bstr&) = delete;
  Bstr& operator=(const Bstr&) = delete;
  Bstr(Bstr&& other) noexcept : str_(std::exchange(other.str_, nullptr)) {}
  Bstr& operator=(Bstr&& other) noexcept {
    if (this != &other) SysFreeString(std::exchange(str_, std::exchange(other.str_, nullptr)));
    return *this;
  }
  ~Bstr() { SysFreeString(str_); }

  BSTR Get() const { return str_; }

 private:
  BSTR str_ = nullptr;
};

// Owns a VARIANT's contents.
class Variant {
 public:
  Variant() { VariantInit(&var_); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  ~Variant() { VariantClear(&var_); }
  VARIANT* Get() { return &var_; }

 private:
  VARIANT var_;
};

// Throws with the failing call's name and HRESULT when hr is a failure.
void Check(HRESULT hr, const char* what);

std::string Narrow(std::wstring_view text);

}  // namespace tlbgen
