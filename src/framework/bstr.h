// Owning BSTR.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

namespace framework {

class Bstr {
 public:
  Bstr() = default;
  explicit Bstr(std::wstring_view text)
      : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
  Bstr(const Bstr& other) : s_(copy(other.s_)) {}
  Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
  ~Bstr() { SysFreeString(s_); }
  Bstr& operator=(Bstr other) noexcept {
    std::swap(s_, other.s_);
    return *this;
  }

  static Bstr adopt(BSTR s) {
    Bstr b;
    b.s_ = s;
    return b;
  }
  static BSTR copy(BSTR s) { return s ? SysAllocStringLen(s, SysStringLen(s)) : nullptr; }

  BSTR get() const { return s_; }
  BSTR* put() {
    SysFreeString(std::exchange(s_, nullptr));
    return &s_;
  }
  BSTR detach() { return std::exchange(s_, nullptr); }
  // The owned pointer itself, for by-reference arguments that may replace it.
  BSTR& ref() { return s_; }
  // A BSTR may hold embedded NULs; the length comes from the string itself.
  std::wstring_view view() const { return s_ ? std::wstring_view(s_, SysStringLen(s_)) : L""; }
  std::wstring str() const { return std::wstring(view()); }
  bool empty() const { return SysStringLen(s_) == 0; }

 private:
  BSTR s_ = nullptr;
};

inline std::wstring_view view_of(BSTR s) {
  return s ? std::wstring_view(s, SysStringLen(s)) : std::wstring_view();
}

}  // namespace framework
