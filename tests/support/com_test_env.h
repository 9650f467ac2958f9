// Shared set-up for tests that use the built control through COM.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <ocidl.h>

#include <cstring>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/variant.h"

namespace tessel_test {

using framework::ComPtr;
using framework::Variant;

// Directory of the running test program (where the build puts the DLLs too).
std::wstring bin_dir();
// The shipped DLL.
std::wstring dll_path();
// The tests' build of it: the same server plus the hosting test probe
// (framework/test_probe.h), registered under the same CLSID.
inline constexpr wchar_t kTestDllName[] = L"TesselControlTest.dll";
std::wstring test_dll_path();

// Registers the tests' DLL in this process's registry view (once per
// process) and keeps a COM apartment open for the test's thread.
void ensure_registered();

// A new control, created by CLSID, as its IDispatch.
ComPtr<IDispatch> create_control();
// A control made by the test program's own copy of the control code (so that
// seams set in the test reach it), using the tests' DLL's type library. It
// carries the hosting test probe, as the tests' DLL's controls do.
ComPtr<IDispatch> create_linked_control();

// IDispatch calls by DISPID. Arguments are given first to last.
HRESULT invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args,
               VARIANT* result = nullptr, EXCEPINFO* exception = nullptr);
Variant get(IDispatch* object, DISPID id, std::vector<VARIANT> args = {});
void put(IDispatch* object, DISPID id, std::vector<VARIANT> args, const VARIANT& value);
Variant call(IDispatch* object, DISPID id, std::vector<VARIANT> args = {});

// A VARIANT of type vt holding value's bytes in its union (all of whose
// members start at the same place): a double as VT_R8, a pointer as
// VT_BYREF | ..., and so on. What a pointer points to is not copied.
template <class T>
VARIANT variant_of(VARTYPE vt, T value) {
  static_assert(sizeof(T) <= sizeof(LONGLONG));
  VARIANT v{};
  V_VT(&v) = vt;
  std::memcpy(&V_I8(&v), &value, sizeof value);
  return v;
}
VARIANT vlong(LONG value);
VARIANT vbool(bool value);
// The BSTR is owned by the caller's VARIANT (clear it, or pass it to a call
// helper above, which clears its arguments).
VARIANT vstr(const wchar_t* text);
VARIANT vmissing();

LONG as_long(const Variant& v);
std::wstring as_string(const Variant& v);
bool as_bool(const Variant& v);

// The classic error number of a failed call (0x800A0000 | n), or the HRESULT.
int error_number(HRESULT hr);

}  // namespace tessel_test
