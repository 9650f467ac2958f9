#include "framework/dispatch_invoke.h"

#include <climits>
#include <cmath>
#include <optional>
#include <vector>

#include "framework/bstr.h"
#include "framework/com_ptr.h"
#include "framework/error.h"

namespace framework {

namespace {

bool is_not_finite(const VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_R4:
      return !std::isfinite(V_R4(&v));
    case VT_R8:
      return !std::isfinite(V_R8(&v));
    case VT_DATE:
      return !std::isfinite(V_DATE(&v));
    default:
      return false;
  }
}

struct Range {
  long double low, high;
};

// The range of an integer type.
std::optional<Range> integer_range(VARTYPE vt) {
  switch (vt) {
    case VT_I1:
      return Range{SCHAR_MIN, SCHAR_MAX};
    case VT_UI1:
      return Range{0, UCHAR_MAX};
    case VT_I2:
      return Range{SHRT_MIN, SHRT_MAX};
    case VT_UI2:
      return Range{0, USHRT_MAX};
    case VT_I4:
    case VT_INT:
      return Range{INT_MIN, INT_MAX};
    case VT_UI4:
    case VT_UINT:
      return Range{0, UINT_MAX};
    case VT_I8:
      return Range{LLONG_MIN, LLONG_MAX};
    case VT_UI8:
      return Range{0, ULLONG_MAX};
    default:
      return std::nullopt;
  }
}

// Number types, Boolean aside (every number is a Boolean).
bool is_number_type(VARTYPE vt) {
  switch (vt) {
    case VT_R4:
    case VT_R8:
    case VT_CY:
    case VT_DECIMAL:
    case VT_DATE:
      return true;
    default:
      return integer_range(vt).has_value();
  }
}

// The value of an integer variant, exactly; nullopt for any other type.
std::optional<long double> integer_value(const VARIANT& v) {
  switch (V_VT(&v)) {
    case VT_I1:
      return V_I1(&v);
    case VT_UI1:
      return V_UI1(&v);
    case VT_I2:
      return V_I2(&v);
    case VT_UI2:
      return V_UI2(&v);
    case VT_I4:
    case VT_INT:
      return V_I4(&v);
    case VT_UI4:
    case VT_UINT:
      return V_UI4(&v);
    case VT_I8:
      return V_I8(&v);
    case VT_UI8:
      return V_UI8(&v);
    default:
      return std::nullopt;
  }
}

}  // namespace

HRESULT referenced_variant(const VARIANT& v, const VARIANT** target) {
  const VARIANT* p = &v;
  for (int links = 0; V_VT(p) == (VT_BYREF | VT_VARIANT); ++links) {
    if (links == kMaxVariantLinks) return DISP_E_TYPEMISMATCH;
    p = V_VARIANTREF(p);
    if (!p) return E_POINTER;
  }
  if ((V_VT(p) & VT_BYREF) && !V_BYREF(p)) return E_POINTER;
  *target = p;
  return S_OK;
}

HRESULT copy_referenced(const VARIANT& v, VARIANT* out) {
  VariantInit(out);
  const VARIANT* value = nullptr;
  HRESULT hr = referenced_variant(v, &value);
  if (FAILED(hr)) return hr;
  if ((V_VT(value) & VT_TYPEMASK) == VT_RECORD) return DISP_E_TYPEMISMATCH;
  return VariantCopyInd(out, const_cast<VARIANT*>(value));
}

HRESULT change_type(VARIANT* out, const VARIANT& in, VARTYPE to) {
  if (is_number_type(to) && is_not_finite(in)) return DISP_E_OVERFLOW;
  const std::optional<Range> range = integer_range(to);
  const std::optional<long double> value = integer_value(in);
  if (range && value && (*value < range->low || *value > range->high)) return DISP_E_OVERFLOW;
  return VariantChangeTypeEx(out, const_cast<VARIANT*>(&in), LOCALE_USER_DEFAULT, 0, to);
}

namespace {

bool is_missing(const VARIANT& v) {
  return V_VT(&v) == VT_ERROR && V_ERROR(&v) == DISP_E_PARAMNOTFOUND;
}

HRESULT coerce_object(const VARIANT& value, const ParamType& type, VARIANT* out) {
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
      return DISP_E_TYPEMISMATCH;
  }
  void* object = nullptr;
  if (unknown && FAILED(unknown->QueryInterface(type.iid, &object))) return DISP_E_TYPEMISMATCH;
  V_VT(out) = type.vt;
  V_UNKNOWN(out) = static_cast<IUnknown*>(object);
  return S_OK;
}

// OLE_COLOR is unsigned, but scripts and hosts hand colours over as signed
// Longs (&H80000012 is negative): take the bits of a Long unchanged.
// Anything outside the Long range converts as an unsigned Long or fails as
// that conversion fails.
HRESULT coerce_unsigned_long(const VARIANT& source, VARIANT* out) {
  VARIANT as_long;
  VariantInit(&as_long);
  if (SUCCEEDED(change_type(&as_long, source, VT_I4))) {
    V_VT(out) = VT_UI4;
    V_UI4(out) = static_cast<ULONG>(V_I4(&as_long));
    return S_OK;
  }
  return change_type(out, source, VT_UI4);
}

}  // namespace

HRESULT coerce_argument(const VARIANT& raw, const ParamType& type, VARIANT* out) {
  VariantInit(out);
  Variant value;
  HRESULT hr = copy_referenced(raw, value.get());
  if (FAILED(hr)) return hr;
  if (type.is_object) return coerce_object(*value.get(), type, out);
  if (type.vt == VT_VARIANT) {
    value.detach_to(out);
    return S_OK;
  }
  if (type.vt == VT_UI4) return coerce_unsigned_long(*value.get(), out);
  return change_type(out, *value.get(), type.vt);
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
// variable had where that conversion works. A chain of VT_BYREF|VT_VARIANT
// links is followed as far as the argument's conversion followed it.
void write_back(const VARIANT& caller, VARIANT& value) {
  const VARIANT* slot = &caller;
  for (int links = 0; V_VT(slot) == (VT_BYREF | VT_VARIANT); ++links) {
    VARIANT* target = V_VARIANTREF(slot);
    if (!target || links == kMaxVariantLinks) return;
    if (V_VT(target) & VT_BYREF) {
      slot = target;
      continue;
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
  VARTYPE caller_vt = V_VT(slot);
  if (!(caller_vt & VT_BYREF) || !V_BYREF(slot)) return;
  VARTYPE base = caller_vt & ~VT_BYREF;
  VARIANT converted;
  VariantInit(&converted);
  if (FAILED(VariantChangeTypeEx(&converted, &value, LOCALE_USER_DEFAULT, 0, base))) return;
  switch (base) {
    case VT_BSTR:
      SysFreeString(*V_BSTRREF(slot));
      *V_BSTRREF(slot) = V_BSTR(&converted);
      return;
    case VT_DISPATCH:
      if (*V_DISPATCHREF(slot)) (*V_DISPATCHREF(slot))->Release();
      *V_DISPATCHREF(slot) = V_DISPATCH(&converted);
      return;
    case VT_UNKNOWN:
      if (*V_UNKNOWNREF(slot)) (*V_UNKNOWNREF(slot))->Release();
      *V_UNKNOWNREF(slot) = V_UNKNOWN(&converted);
      return;
    case VT_I1:
    case VT_UI1:
      *V_UI1REF(slot) = V_UI1(&converted);
      return;
    case VT_I2:
    case VT_UI2:
    case VT_BOOL:
      *V_I2REF(slot) = V_I2(&converted);
      return;
    case VT_I4:
    case VT_UI4:
    case VT_R4:
    case VT_ERROR:
    case VT_INT:
    case VT_UINT:
      *V_I4REF(slot) = V_I4(&converted);
      return;
    case VT_I8:
    case VT_UI8:
    case VT_R8:
    case VT_CY:
    case VT_DATE:
      *V_I8REF(slot) = V_I8(&converted);
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

// The interface the table describes, for the error information.
IID interface_of(const DispatchTable& table) {
  IID iid = IID_IDispatch;
  TYPEATTR* attr = nullptr;
  if (SUCCEEDED(table.dispatch_info()->GetTypeAttr(&attr))) {
    iid = attr->guid;
    table.dispatch_info()->ReleaseTypeAttr(attr);
  }
  return iid;
}

// An argument that cannot be taken. A failed conversion reaches the caller
// as its classic error (13 type mismatch, 6 overflow) with error
// information, as a member's own errors do; anything else (a null
// pointer, a type that is no variant type) as the HRESULT itself.
HRESULT argument_failure(HRESULT hr, const DispatchTable& table, const wchar_t* source,
                         EXCEPINFO* exception) {
  const int number = error_number_from_hresult(hr);
  if (!number) return hr;
  hr = report_error(ControlError(number), interface_of(table), source);
  if (!exception) return hr;
  fill_exception(hr, exception);
  return DISP_E_EXCEPTION;
}

}  // namespace

HRESULT invoke_member(void* vtable_object, const DispatchTable& table, const wchar_t* error_source,
                      DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* arg_error) noexcept {
  try {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    if (!params) params = &none;
    const MemberSpec* member = table.find(id, flags);
    if (!member) return DISP_E_MEMBERNOTFOUND;
    // Named arguments are some of the arguments, and every count has its
    // array: anything else would send the reads below outside the arrays.
    if (params->cNamedArgs > params->cArgs) return DISP_E_BADPARAMCOUNT;
    if ((params->cArgs && !params->rgvarg) || (params->cNamedArgs && !params->rgdispidNamedArgs)) {
      return E_POINTER;
    }
    bool is_put = member->kind == INVOKE_PROPERTYPUT || member->kind == INVOKE_PROPERTYPUTREF;
    size_t declared = member->params.size();
    UINT named = params->cNamedArgs;
    UINT positional = params->cArgs - named;
    // A put takes its value as the named DISPID_PROPERTYPUT argument.
    if (is_put) {
      bool has_value = false;
      for (UINT k = 0; k < named; ++k) {
        if (params->rgdispidNamedArgs[k] == DISPID_PROPERTYPUT) has_value = true;
      }
      if (!has_value) return DISP_E_PARAMNOTOPTIONAL;
      if (size_t{positional} + 1 > declared) return DISP_E_BADPARAMCOUNT;
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
      const VARIANT* value = nullptr;
      HRESULT hr = source ? referenced_variant(*source, &value) : S_OK;
      if (SUCCEEDED(hr)) {
        if (!source || is_missing(*value)) {
          if (!param.optional()) return DISP_E_PARAMNOTOPTIONAL;
          hr = default_argument(param, &args.value(i));
        } else {
          sources[i] = source;
          hr = coerce_argument(*source, param.type, &args.value(i));
        }
      }
      if (FAILED(hr)) {
        if (arg_error && source) *arg_error = caller_index(*params, source);
        return argument_failure(hr, table, error_source, exception);
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
