#include "framework/error.h"

#include <olectl.h>

#include "framework/bstr.h"
#include "framework/com_ptr.h"

namespace framework {

std::wstring classic_error_text(int number) {
  switch (number) {
    case 3:
      return L"Return without GoSub";
    case 5:
      return L"Invalid procedure call or argument";
    case 6:
      return L"Overflow";
    case 7:
      return L"Out of memory";
    case 9:
      return L"Subscript out of range";
    case 11:
      return L"Division by zero";
    case 13:
      return L"Type mismatch";
    case 53:
      return L"File not found";
    case 75:
      return L"Path/File access error";
    case 91:
      return L"Object variable or With block variable not set";
    case 380:
      return L"Invalid property value";
    case 424:
      return L"Object required";
    case 438:
      return L"Object doesn't support this property or method";
    case 481:
      return L"Invalid picture";
    default:
      return L"Application-defined or object-defined error";
  }
}

int error_number_from_hresult(HRESULT hr) {
  if ((static_cast<unsigned>(hr) & 0xFFFF0000u) == 0x800A0000u) return hr & 0xFFFF;
  switch (hr) {
    case DISP_E_TYPEMISMATCH:
      return error_number::kTypeMismatch;
    case DISP_E_OVERFLOW:
      return error_number::kOverflow;
    case DISP_E_BADINDEX:
      return error_number::kSubscriptOutOfRange;
    case DISP_E_DIVBYZERO:
      return 11;
    case E_OUTOFMEMORY:
      return error_number::kOutOfMemory;
    case CTL_E_INVALIDPICTURE:
      return error_number::kInvalidPicture;
    default:
      return 0;
  }
}

ControlError::ControlError(int number)
    : hr_(hresult_from_error_number(number)), description_(classic_error_text(number)) {}

ControlError::ControlError(HRESULT hr, std::wstring description)
    : hr_(hr), description_(std::move(description)) {}

ControlError ControlError::from_hresult(HRESULT hr) {
  // Keep a description the failing call left behind; otherwise use the
  // classic text of the corresponding error number.
  std::wstring description;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) == S_OK && info) {
    Bstr text;
    if (SUCCEEDED(info->GetDescription(text.put()))) description = text.str();
  }
  if (description.empty()) {
    if (int n = error_number_from_hresult(hr)) {
      description = classic_error_text(n);
    } else {
      description = L"Automation error";
    }
  }
  return ControlError(hr, std::move(description));
}

int ControlError::number() const {
  int n = error_number_from_hresult(hr_);
  return n ? n : static_cast<int>(hr_);
}

void raise_error(int number) { throw ControlError(number); }

void check_hr(HRESULT hr) {
  if (FAILED(hr)) throw ControlError::from_hresult(hr);
}

HRESULT report_error(const ControlError& error, REFIID iid, const wchar_t* source) {
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.put()))) {
    create->SetGUID(iid);
    create->SetSource(const_cast<LPOLESTR>(source));
    create->SetDescription(const_cast<LPOLESTR>(error.description().c_str()));
    auto info = create.query<IErrorInfo>(IID_IErrorInfo);
    SetErrorInfo(0, info.get());
  }
  return error.hresult();
}

}  // namespace framework
