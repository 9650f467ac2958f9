// IDispatch::Invoke for a dual interface, driven by its DispatchTable.
//
// The argument handling is our own rather than ITypeInfo::Invoke's: scripts
// pass variables by reference as VT_BYREF|VT_VARIANT, which must reach typed
// [in,out] parameters; omitted optional arguments get the default the type
// library names; each argument is converted to its parameter's type; and
// by-reference results are written back into the caller's variable in the
// caller's own type.
//
// Whatever a caller passes ends in a defined error: more named arguments
// than arguments is DISP_E_BADPARAMCOUNT, a null by-reference pointer
// E_POINTER, a chain of by-reference variants that loops a type mismatch,
// and a value that does not convert (NaN and infinities included for number
// parameters) error 13 or 6 with error information, before the member runs.
#pragma once

#include <oaidl.h>

#include "framework/dispatch_table.h"

namespace framework {

// Error information the call sets names error_source.
HRESULT invoke_member(void* vtable_object, const DispatchTable& table, const wchar_t* error_source,
                      DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* arg_error) noexcept;

// Converts a caller's argument (by-reference forms included) to a parameter
// type; fails with E_POINTER, DISP_E_TYPEMISMATCH, DISP_E_OVERFLOW, ... as
// above. Exposed for the parts of the control that take loosely typed input.
HRESULT coerce_argument(const VARIANT& source, const ParamType& type, VARIANT* out);

// The conversions coerce_argument is built from, shared with the loading of
// properties from a container's bag.

// How many VT_BYREF|VT_VARIANT links are followed to reach a value. Callers
// pass a variable by reference, a procedure passes its by-reference
// parameter on; a chain longer than this loops back on itself.
inline constexpr int kMaxVariantLinks = 16;

// The variant that v stands for: v itself, or the end of its chain of
// VT_BYREF|VT_VARIANT links. E_POINTER when a link or the final
// by-reference pointer is null; DISP_E_TYPEMISMATCH when the chain does not
// end within kMaxVariantLinks links.
HRESULT referenced_variant(const VARIANT& v, const VARIANT** target);

// A by-value copy of what v stands for (see referenced_variant). Records are
// refused as a type mismatch: nothing here takes one, and copying one runs
// code of the record's own type.
HRESULT copy_referenced(const VARIANT& v, VARIANT* out);

// The platform's conversion of a by-value variant to type `to` in the
// user's locale, failing with DISP_E_OVERFLOW where the result would not
// be the value: NaN and infinities to a number type (Boolean aside), and an
// integer outside an integer type's range, which some implementations let
// through between signed and unsigned types of one size (an unsigned
// 0xFFFFFFFF became the Long -1).
HRESULT change_type(VARIANT* out, const VARIANT& in, VARTYPE to);

}  // namespace framework
