// Failures of the demo's own set-up steps. They end the program with a
// message; none of them is thrown through a COM call or a window procedure.
#pragma once

#include <windows.h>

#include <cwchar>
#include <iterator>
#include <string>
#include <utility>

namespace demo {

class DemoError {
 public:
  explicit DemoError(std::wstring message) : message_(std::move(message)) {}
  const std::wstring& message() const { return message_; }

 private:
  std::wstring message_;
};

// "0x80040154"
inline std::wstring hresult_text(HRESULT hr) {
  wchar_t code[16];
  std::swprintf(code, std::size(code), L"0x%08lX", static_cast<unsigned long>(hr));
  return code;
}

// "what failed (0x80040154)"
inline std::wstring describe_failure(const wchar_t* what, HRESULT hr) {
  return std::wstring(what) + L" failed (" + hresult_text(hr) + L")";
}

inline void check(HRESULT hr, const wchar_t* what) {
  if (FAILED(hr)) throw DemoError(describe_failure(what, hr));
}

}  // namespace demo
