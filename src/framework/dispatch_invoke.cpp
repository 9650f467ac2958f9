#include "framework/dispatch_invoke.h"

#include <cmath>
#include <vector>

#include "framework/bstr.h"
#include "framework/com_ptr.h"

namespace framework {

namespace {

// How many by-reference VT_VARIANT levels an argument may go through. A
// caller's variable is one level, a variable holding a reference another;
// anything deeper is a chain that may be a cycle.
constexpr int kMaxReferenceLevels = 16;

// The variant a by-reference VT_VARIANT points at, followed to the end, or
// nullptr when the chain is longer than any caller makes (a cycle).
const VARIANT* dereference(const VARIANT& source) {
  const VARIANT* v = &source;
  for (int level = 0; V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v); ++level) {
    if (level == kMaxReferenceLevels) return nullptr;
    v = V_VARIANTREF(v);
  }
  return v;
}

// Whether v is a reference to nothing.
bool is_null_reference(const VARIANT& v) { return (V_VT(&v) & VT_BYREF) && !V_BYREF(&v); }

// Numbers the platform's conversion lets through into an integer parameter
// although they do not fit (NaN, or an unsigned value above the signed
// range): checked here, as the conversion checks every other number.
HRESULT check_integer_range(const VARIANT& source, VARTYPE vt) {
  double low = 0, high = 0;
  switch (vt) {
    case VT_I2:
      low = -32768.0, high = 32767.0;
      break;
    case VT_I4:
    case VT_INT:
      low = -2147483648.0, high = 2147483647.0;
      break;
    case VT_UI4:  // a colour: a signed Long's bits or an unsigned value
      low = -2147483648.0, high = 4294967295.0;
      break;
    default:
      return S_OK;
  }
  switch (V_VT(&source)) {
    case VT_I8:
    case VT_UI8:
    case VT_UI4:
    case VT_UINT:
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
    case VT_DATE:
      break;
    default:
      return S_OK;  // small integers fit; strings and others convert as the platform says
  }
  VARIANT as_double;
  VariantInit(&as_double);
  HRESULT hr =
      VariantChangeTypeEx(&as_double, const_cast<VARIANT*>(&source), LOCALE_USER_DEFAULT, 0, VT_R8);
  if (FAILED(hr)) return hr;
  const double rounded = std::nearbyint(V_R8(&as_double));
  if (!(rounded >= low && rounded <= high)) return DISP_E_OVERFLOW;
  return S_OK;
}

bool is_missing(const VARIANT& v) {
  return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND;
}

HRESULT coerce_object(const VARIANT& source, const ParamType& type, VARIANT* out) {
  VARIANT value;
  VariantInit(&value);
  HRESULT hr = VariantCopyInd(&value, const_cast<VARIANT*>(&source));
  if (FAILED(hr)) return hr;
  IUnknown* unknown = nullptr;
  switch (V_VT(&value)) {
    case VT_EMPTY:
    case VT_NULL:
      break;
    case VT_DISPATCH:
      unknown = V_DISPATCH(&value);
      break;
    case VT_UNKNOWN:
      unknown = V_UNKNOWN(&value);
      break;
    default:
      VariantClear(&value);
      return DISP_E_TYPEMISMATCH;
  }
  void* object = nullptr;
  if (unknown && FAILED(unknown->QueryInterface(type.iid, &object))) {
    VariantClear(&value);
    return DISP_E_TYPEMISMATCH;
  }
  VariantClear(&value);
  V_VT(out) = type.vt;
  V_UNKNOWN(out) = static_cast<IUnknown*>(object);
  return S_OK;
}

// OLE_COLOR is unsigned, but scripts and hosts hand colours over as signed
// Longs (&H80000012 is negative): take the bits of a Long unchanged.
HRESULT coerce_unsigned_long(const VARIANT& source, VARIANT* out) {
  VARIANT as_long;
  VariantInit(&as_long);
  if (SUCCEEDED(VariantChangeTypeEx(&as_long, const_cast<VARIANT*>(&source), LOCALE_USER_DEFAULT, 0,
                                    VT_I4))) {
    V_VT(out) = VT_UI4;
    V_UI4(out) = static_cast<ULONG>(V_I4(&as_long));
    return S_OK;
  }
  return VariantChangeTypeEx(out, const_cast<VARIANT*>(&source), LOCALE_USER_DEFAULT, 0, VT_UI4);
}

}  // namespace

HRESULT coerce_argument(const VARIANT& raw, const ParamType& type, VARIANT* out) {
  VariantInit(out);
  const VARIANT* found = dereference(raw);
  if (!found) return DISP_E_TYPEMISMATCH;
  const VARIANT& source = *found;
  if (is_null_reference(source)) return E_POINTER;
  if (type.is_object) return coerce_object(source, type, out);
  if (HRESULT hr = check_integer_range(source, type.vt); FAILED(hr)) return hr;
  if (type.vt == VT_VARIANT) return VariantCopyInd(out, const_cast<VARIANT*>(&source));
  if (type.vt == VT_UI4) return coerce_unsigned_long(source, out);
  return VariantChangeTypeEx(out, const_cast<VARIANT*>(&source), LOCALE_USER_DEFAULT, 0, type.vt);
}

namespace {

// The value an omitted argument takes.
HRESULT default_argument(const ParamSpec& param, VARIANT* out) {
  VariantInit(out);
  if (param.default_value) {
    const VARIANT& d = *param.default_value->get();
    // A default of 0 on an object parameter stands for Nothing.
    if (param.type.is_object) {
      V_VT(out) = param.type.vt;
      V_UNKNOWN(out) = nullptr;
      return S_OK;
    }
    return coerce_argument(d, param.type, out);
  }
  if (param.type.vt == VT_VARIANT) {
    V_VT(out) = VT_ERROR;
    V_ERROR(out) = DISP_E_PARAMNOTFOUND;
    return S_OK;
  }
  // An optional typed parameter without a default gets its type's zero.
  VARIANT empty;
  VariantInit(&empty);
  return coerce_argument(empty, param.type, out);
}

// Stores a by-reference result into the caller's variable, in the type the
// variable had where that conversion works.
void write_back(const VARIANT& caller, VARIANT& value, int level = 0) {
  VARTYPE caller_vt = V_VT(&caller);
  if (!(caller_vt & VT_BYREF) || !V_BYREF(&caller)) return;
  VARTYPE base = caller_vt & ~VT_BYREF;
  if (base == VT_VARIANT) {
    VARIANT* target = V_VARIANTREF(&caller);
    if (V_VT(target) & VT_BYREF) {
      if (level < kMaxReferenceLevels) write_back(*target, value, level + 1);
      return;
    }
    VARIANT converted;
    VariantInit(&converted);
    VARTYPE wanted = V_VT(target);
    bool keep_type =
        wanted != VT_EMPTY && wanted != VT_NULL && wanted != V_VT(&value) &&
        SUCCEEDED(VariantChangeTypeEx(&converted, &value, LOCALE_USER_DEFAULT, 0, wanted));
    VariantClear(target);
    if (keep_type) {
      *target = converted;
    } else {
      VariantCopy(target, &value);
    }
    return;
  }
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeTypeEx(&converted, &value, LOCALE_USER_DEFAULT, 0, base))) return;
  switch (base) {
    case VT_BSTR:
      SysFreeString(*V_BSTRREF(&caller));
      *V_BSTRREF(&caller) = V_BSTR(&converted);
      return;
    case VT_DISPATCH:
      if (*V_DISPATCHREF(&caller)) (*V_DISPATCHREF(&caller))->Release();
      *V_DISPATCHREF(&caller) = V_DISPATCH(&converted);
      return;
    case VT_UNKNOWN:
      if (*V_UNKNOWNREF(&caller)) (*V_UNKNOWNREF(&caller))->Release();
      *V_UNKNOWNREF(&caller) = V_UNKNOWN(&converted);
      return;
    case VT_I1:
    case VT_UI1:
      *V_UI1REF(&caller) = V_UI1(&converted);
      return;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      *V_I2REF(&caller) = V_I2(&converted);
      return;
    case VT_I4:
    case VT_UI4:
    case VT_R4:
    case VT_ERROR:
    case VT_INT:
    case VT_UINT:
      *V_I4REF(&caller) = V_I4(&converted);
      return;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      *V_I8REF(&caller) = V_I8(&converted);
      return;
    default:
      VariantClear(&converted);
      return;
  }
}

void fill_exception(HRESULT hr, EXCEPINFO* exception) {
  *exception = EXCEPINFO{};
  exception->scode = hr;
  ComPtr<IErrorInfo> info;
  if (GetErrorInfo(0, info.put()) == S_OK && info) {
    info->GetSource(&exception->bstrSource);
    info->GetDescription(&exception->bstrDescription);
    info->GetHelpFile(&exception->bstrHelpFile);
    info->GetHelpContext(&exception->dwHelpContext);
  }
}

class ArgumentSet {
 public:
  explicit ArgumentSet(size_t n) : values_(n), pointers_(n), types_(n) {
    for (auto& v : values_) VariantInit(&v);
    for (auto& v : pointers_) VariantInit(&v);
  }
  ~ArgumentSet() {
    for (auto& v : values_) VariantClear(&v);
  }
  ArgumentSet(const ArgumentSet&) = delete;
  ArgumentSet& operator=(const ArgumentSet&) = delete;

  VARIANT& value(size_t i) { return values_[i]; }
  // Prepares argument i for DispCallFunc: by value, or a pointer to the value.
  void bind(size_t i, const ParamType& type) {
    VARIANT& value = values_[i];
    VARIANT& slot = pointers_[i];
    if (!type.by_ref) {
      slot = value;  // shallow: values_ keeps ownership
      types_[i] = V_VT(&value);
      return;
    }
    VARTYPE vt = type.vt;
    V_VT(&slot) = VT_BYREF | vt;
    V_BYREF(&slot) = vt == VT_VARIANT ? static_cast<void*>(&value) : &V_I4(&value);
    types_[i] = V_VT(&slot);
  }
  VARIANTARG** pointer_array() {
    pointer_list_.clear();
    for (auto& p : pointers_) pointer_list_.push_back(&p);
    return pointer_list_.data();
  }
  VARTYPE* type_array() { return types_.data(); }

 private:
  std::vector<VARIANT> values_;
  std::vector<VARIANT> pointers_;
  std::vector<VARTYPE> types_;
  std::vector<VARIANTARG*> pointer_list_;
};

// Where the caller's argument for declared parameter i is, or nullptr.
const VARIANT* caller_argument(const DISPPARAMS& params, size_t i, size_t declared, bool is_put) {
  UINT named = params.cNamedArgs;
  if (is_put && i + 1 == declared) {
    for (UINT k = 0; k < named; ++k) {
      if (params.rgdispidNamedArgs[k] == DISPID_PROPERTYPUT) return &params.rgvarg[k];
    }
    return nullptr;
  }
  for (UINT k = 0; k < named; ++k) {
    if (params.rgdispidNamedArgs[k] == static_cast<DISPID>(i)) return &params.rgvarg[k];
  }
  UINT positional = params.cArgs - named;
  if (i < positional) return &params.rgvarg[params.cArgs - 1 - i];
  return nullptr;
}

UINT caller_index(const DISPPARAMS& params, const VARIANT* argument) {
  return static_cast<UINT>(argument - params.rgvarg);
}

}  // namespace

HRESULT invoke_member(void* vtable_object, const DispatchTable& table, DISPID id, WORD flags,
                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                      UINT* arg_error) noexcept {
  try {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    const MemberSpec* member = table.find(id, flags);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    bool is_put = member->kind == INVOKE_PROPERTYPUT || member->kind == INVOKE_PROPERTYPUTREF;
    size_t declared = member->params.size();
    // Counts that do not match the arrays they describe.
    if (params->cNamedArgs > params->cArgs) return DISP_E_BADPARAMCOUNT;
    if ((params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs)) {
      return E_INVALIDARG;
    }
    UINT named = params->cNamedArgs;
    UINT positional = params->cArgs - named;
    // A put takes its value as the named DISPID_PROPERTYPUT argument.
    if (is_put) {
      bool has_value = false;
      for (UINT k = 0; k < named; ++k) {
        if (params->rgdispidNamedArgs[k] == DISPID_PROPERTYPUT) has_value = true;
      }
      if (!has_value) return DISP_E_PARAMNOTOPTIONAL;
      if (positional + 1 > declared) return DISP_E_BADPARAMCOUNT;
    } else if (positional > declared) {
      return DISP_E_BADPARAMCOUNT;
    }
    for (UINT k = 0; k < named; ++k) {
      DISPID n = params->rgdispidNamedArgs[k];
      if (n == DISPID_PROPERTYPUT ? !is_put : (n < 0 || static_cast<size_t>(n) >= declared)) {
        return DISP_E_PARAMNOTFOUND;
      }
    }

    size_t total = declared + (member->retval ? 1 : 0);
    ArgumentSet args(total);
    std::vector<const VARIANT*> sources(declared, nullptr);
    for (size_t i = 0; i < declared; ++i) {
      const ParamSpec& param = member->params[i];
      const VARIANT* source = caller_argument(*params, i, declared, is_put);
      HRESULT hr;
      const VARIANT* given = source ? dereference(*source) : nullptr;
      if (!source || (given && is_missing(*given))) {
        if (!param.optional()) return DISP_E_PARAMNOTOPTIONAL;
        hr = default_argument(param, &args.value(i));
      } else {
        sources[i] = source;
        hr = coerce_argument(*source, param.type, &args.value(i));
      }
      if (FAILED(hr)) {
        if (arg_error && source) *arg_error = caller_index(*params, source);
        return hr;
      }
      args.bind(i, param.type);
    }
    if (member->retval) {
      VARIANT& ret = args.value(declared);
      // A VARIANT result is written whole by the member; any other result
      // type is announced so that the member finds its slot typed.
      if (member->retval->vt != VT_VARIANT) V_VT(&ret) = member->retval->vt;
      ParamType by_ref = *member->retval;
      by_ref.by_ref = true;
      args.bind(declared, by_ref);
    }

    VARIANT call_result;
    VariantInit(&call_result);
    SetErrorInfo(0, nullptr);
    HRESULT hr = DispCallFunc(vtable_object, member->vtable_offset, CC_STDCALL, VT_ERROR,
                              static_cast<UINT>(total), args.type_array(), args.pointer_array(),
                              &call_result);
    if (FAILED(hr)) return hr;
    hr = V_ERROR(&call_result);
    if (FAILED(hr)) {
      if (!exception) return hr;
      fill_exception(hr, exception);
      return DISP_E_EXCEPTION;
    }
    for (size_t i = 0; i < declared; ++i) {
      if (sources[i] && member->params[i].type.by_ref) write_back(*sources[i], args.value(i));
    }
    if (result) {
      VariantInit(result);
      if (member->retval) {
        VARIANT& ret = args.value(declared);
        // Script engines take a Long where OLE_COLOR's unsigned type would
        // trouble them; the bits are the same.
        if (V_VT(&ret) == VT_UI4) V_VT(&ret) = VT_I4;
        *result = ret;
        VariantInit(&ret);
      }
    }
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace framework
