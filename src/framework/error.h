// Errors that cross the COM boundary.
//
// Control code throws ControlError. The boundary (com_boundary) turns it into
// an HRESULT and sets IErrorInfo, so automation callers see the classic error
// number (0x800A0000 | n) with its usual description. No C++ exception ever
// leaves a COM method, a window procedure or an event raise.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <new>
#include <string>

namespace framework {

namespace error_number {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOverflow = 6;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscriptOutOfRange = 9;
inline constexpr int kTypeMismatch = 13;
inline constexpr int kInvalidPropertyValue = 380;
inline constexpr int kObjectRequired = 424;
inline constexpr int kInvalidPicture = 481;
}  // namespace error_number

// The classic description of an error number ("Subscript out of range").
std::wstring classic_error_text(int number);

// The HRESULT an automation caller sees for a classic error number.
constexpr HRESULT hresult_from_error_number(int number) {
  return static_cast<HRESULT>(0x800A0000u | (static_cast<unsigned>(number) & 0xFFFFu));
}

// The classic error number a platform failure corresponds to (13 for a type
// mismatch, 6 for an overflow, ...), or 0 when there is none.
int error_number_from_hresult(HRESULT hr);

class ControlError {
 public:
  // A classic error with its usual description.
  explicit ControlError(int number);
  // A failure reported by the platform, passed on as it was.
  static ControlError from_hresult(HRESULT hr);

  HRESULT hresult() const { return hr_; }
  int number() const;
  const std::wstring& description() const { return description_; }

 private:
  ControlError(HRESULT hr, std::wstring description);
  HRESULT hr_;
  std::wstring description_;
};

[[noreturn]] void raise_error(int number);
// Throws when hr is a failure.
void check_hr(HRESULT hr);

// Fills the thread's IErrorInfo and returns the HRESULT to hand back.
HRESULT report_error(const ControlError& error, REFIID iid, const wchar_t* source);

// Runs body and converts anything it throws into an HRESULT with error
// information naming source. body returns void or HRESULT.
template <class F>
HRESULT com_boundary(REFIID iid, const wchar_t* source, F&& body) noexcept {
  try {
    if constexpr (std::is_void_v<decltype(body())>) {
      body();
      return S_OK;
    } else {
      return body();
    }
  } catch (const ControlError& e) {
    return report_error(e, iid, source);
  } catch (const std::bad_alloc&) {
    return report_error(ControlError(error_number::kOutOfMemory), iid, source);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

// The same for objects that are no control (class objects, property pages,
// registration): their error information names no source.
template <class F>
HRESULT com_boundary(REFIID iid, F&& body) noexcept {
  return com_boundary(iid, L"", std::forward<F>(body));
}

}  // namespace framework
