// Checked access to [out] and [in,out] pointers of COM members.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string_view>

#include "framework/error.h"

namespace framework {

template <class T>
T& out_param(T* p) {
  if (!p) throw ControlError::from_hresult(E_POINTER);
  return *p;
}

inline VARIANT_BOOL to_variant_bool(bool value) { return value ? VARIANT_TRUE : VARIANT_FALSE; }

// Stores a copy of text as a BSTR [out] value.
void put_bstr(BSTR* out, std::wstring_view text);

}  // namespace framework
