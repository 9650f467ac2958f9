#include "framework/property_bag.h"

#include "framework/com_ptr.h"
#include "framework/dispatch_invoke.h"
#include "framework/error.h"

namespace framework {

namespace {

bool is_object(VARTYPE vt) { return vt == VT_DISPATCH || vt == VT_UNKNOWN; }

// The IUnknown identity of an object variant, nullptr for Nothing.
ComPtr<IUnknown> identity_of(const Variant& v) {
  IUnknown* object = v.vt() == VT_DISPATCH ? V_DISPATCH(v.get()) : V_UNKNOWN(v.get());
  ComPtr<IUnknown> identity;
  if (object) object->QueryInterface(IID_IUnknown, identity.put_void());
  return identity;
}

// A copy with any VT_BYREF resolved. A value a bag hands over by reference
// with a null pointer, or through a chain of references that loops, is a
// failed read (E_POINTER, type mismatch), never followed.
Variant dereferenced(const Variant& value) {
  Variant copy;
  check_hr(copy_referenced(*value.get(), copy.get()));
  return copy;
}

}  // namespace

Variant PropertyReader::read(std::wstring_view key, VARTYPE as, const Variant* fallback) {
  std::optional<Variant> found = find(key, as);
  if (found) return convert_property(*found, as);
  return convert_property(fallback ? *fallback : Variant(), as);
}

Variant convert_property(const Variant& value, VARTYPE as) {
  Variant in = dereferenced(value);
  if (as == VT_DISPATCH) {
    if (!is_object(in.vt())) raise_error(error_number::kTypeMismatch);
    if (in.vt() == VT_DISPATCH) return in;
    Variant out;
    V_VT(out.get()) = VT_DISPATCH;
    V_DISPATCH(out.get()) = nullptr;
    IUnknown* object = V_UNKNOWN(in.get());
    if (object && FAILED(object->QueryInterface(
                      IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(out.get()))))) {
      raise_error(error_number::kTypeMismatch);
    }
    return out;
  }
  // An object is never asked for its value: whatever it would run is not
  // ours to run while loading.
  if (is_object(in.vt())) raise_error(error_number::kTypeMismatch);
  Variant out;
  check_hr(change_type(out.get(), *in.get(), as));
  return out;
}

bool matches_default(const Variant& value, const Variant& write_default) {
  const bool object = is_object(value.vt());
  if (object != is_object(write_default.vt())) return false;
  if (object) return identity_of(value).get() == identity_of(write_default).get();
  Variant converted;
  if (FAILED(VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(write_default.get()),
                                 LOCALE_USER_DEFAULT, 0, value.vt()))) {
    return false;
  }
  return VarCmp(const_cast<VARIANT*>(value.get()), converted.get(), LOCALE_USER_DEFAULT, 0) ==
         VARCMP_EQ;
}

}  // namespace framework
