#include "framework/late_binding.h"

#include "framework/error.h"

namespace framework {

namespace {

DISPID dispid_of(IDispatch* object, const wchar_t* name) {
  if (!object) raise_error(91);
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) raise_error(438);
  return id;
}

void check_invoke(HRESULT hr, EXCEPINFO& exception) {
  const HRESULT failure = hr == DISP_E_EXCEPTION && FAILED(exception.scode) ? exception.scode : hr;
  SysFreeString(exception.bstrSource);
  SysFreeString(exception.bstrDescription);
  SysFreeString(exception.bstrHelpFile);
  check_hr(failure);
}

}  // namespace

Variant get_property_by_name(IDispatch* object, const wchar_t* name) {
  const DISPID id = dispid_of(object, name);
  DISPPARAMS none{};
  Variant result;
  EXCEPINFO exception{};
  UINT arg_error = 0;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              result.get(), &exception, &arg_error);
  check_invoke(hr, exception);
  return result;
}

void put_property_by_name(IDispatch* object, const wchar_t* name, const VARIANT& value) {
  const DISPID id = dispid_of(object, name);
  VARIANT argument = value;  // a shallow copy: the caller keeps ownership
  DISPID named = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &named, 1, 1};
  EXCEPINFO exception{};
  UINT arg_error = 0;
  HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params,
                              nullptr, &exception, &arg_error);
  check_invoke(hr, exception);
}

}  // namespace framework
