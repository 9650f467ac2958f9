#include "support/com_test_env.h"

#include <gtest/gtest.h>

#include "control/tessel_control.h"
#include "framework/module.h"
#include "framework/test_probe.h"
#include "tessel_interfaces.h"

namespace tessel_test {

std::wstring bin_dir() {
  wchar_t path[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

std::wstring dll_path() { return bin_dir() + L"TesselControl.dll"; }

std::wstring test_dll_path() { return bin_dir() + kTestDllName; }

void ensure_registered() {
  static bool done = [] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE dll = LoadLibraryW(test_dll_path().c_str());
    if (!dll) return false;
    auto reg = reinterpret_cast<HRESULT(WINAPI*)()>(
        reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
    bool ok = reg && SUCCEEDED(reg());
    FreeLibrary(dll);
    return ok;
  }();
  ASSERT_TRUE(done) << "registering TesselControlTest.dll failed";
}

ComPtr<IDispatch> create_control() {
  ensure_registered();
  ComPtr<IDispatch> control;
  HRESULT hr = CoCreateInstance(tessel::CLSID_TesselControl, nullptr, CLSCTX_INPROC_SERVER,
                                IID_IDispatch, control.put_void());
  EXPECT_EQ(hr, S_OK);
  return control;
}

HRESULT invoke(IDispatch* object, DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result,
               EXCEPINFO* exception) {
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
    params.rgdispidNamedArgs = &put_id;
    params.cNamedArgs = 1;
  }
  EXCEPINFO local{};
  UINT arg_error = 0;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                              exception ? exception : &local, &arg_error);
  if (!exception) {
    SysFreeString(local.bstrSource);
    SysFreeString(local.bstrDescription);
    SysFreeString(local.bstrHelpFile);
    if (hr == DISP_E_EXCEPTION) hr = local.scode;
  }
  for (auto& a : args) VariantClear(&a);
  return hr;
}

Variant get(IDispatch* object, DISPID id, std::vector<VARIANT> args) {
  Variant result;
  HRESULT hr = invoke(object, id, DISPATCH_PROPERTYGET, std::move(args), result.get());
  EXPECT_EQ(hr, S_OK) << "get of DISPID " << std::hex << id;
  return result;
}

void put(IDispatch* object, DISPID id, std::vector<VARIANT> args, const VARIANT& value) {
  args.push_back(value);
  HRESULT hr = invoke(object, id, DISPATCH_PROPERTYPUT, std::move(args));
  EXPECT_EQ(hr, S_OK) << "put of DISPID " << std::hex << id;
}

Variant call(IDispatch* object, DISPID id, std::vector<VARIANT> args) {
  Variant result;
  HRESULT hr = invoke(object, id, DISPATCH_METHOD, std::move(args), result.get());
  EXPECT_EQ(hr, S_OK) << "call of DISPID " << std::hex << id;
  return result;
}

VARIANT vlong(LONG value) { return variant_of(VT_I4, value); }

VARIANT vbool(bool value) {
  return variant_of(VT_BOOL, VARIANT_BOOL{value ? VARIANT_TRUE : VARIANT_FALSE});
}

VARIANT vstr(const wchar_t* text) { return variant_of(VT_BSTR, SysAllocString(text)); }

VARIANT vmissing() { return variant_of(VT_ERROR, SCODE{DISP_E_PARAMNOTFOUND}); }

LONG as_long(const Variant& v) {
  Variant converted;
  EXPECT_EQ(VariantChangeType(converted.get(), const_cast<VARIANT*>(v.get()), 0, VT_I4), S_OK);
  return V_I4(converted.get());
}

std::wstring as_string(const Variant& v) {
  EXPECT_EQ(v.vt(), VT_BSTR);
  if (v.vt() != VT_BSTR || !V_BSTR(v.get())) return L"";
  return std::wstring(V_BSTR(v.get()), SysStringLen(V_BSTR(v.get())));
}

bool as_bool(const Variant& v) {
  EXPECT_EQ(v.vt(), VT_BOOL);
  return V_BOOL(v.get()) != VARIANT_FALSE;
}

int error_number(HRESULT hr) {
  if ((static_cast<unsigned>(hr) & 0xFFFF0000u) == 0x800A0000u) return hr & 0xFFFF;
  return static_cast<int>(hr);
}

ComPtr<IDispatch> create_linked_control() {
  static HMODULE dll = [] {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    HMODULE m = LoadLibraryW(test_dll_path().c_str());
    framework::module_init(m);
    framework::install_hosting_test_probe();
    return m;
  }();
  EXPECT_NE(dll, nullptr);
  ComPtr<IDispatch> control;
  EXPECT_EQ(tessel::TesselControl::create(IID_IDispatch, control.put_void()), S_OK);
  return control;
}

}  // namespace tessel_test
