// IDispatch::Invoke for a dual interface, driven by its DispatchTable.
//
// The argument handling is our own rather than ITypeInfo::Invoke's: scripts
// pass variables by reference as VT_BYREF|VT_VARIANT, which must reach typed
// [in,out] parameters; omitted optional arguments get the default the type
// library names; each argument is converted to its parameter's type; and
// by-reference results are written back into the caller's variable in the
// caller's own type.
#pragma once

#include <oaidl.h>

#include "framework/dispatch_table.h"

namespace framework {

HRESULT invoke_member(void* vtable_object, const DispatchTable& table, DISPID id, WORD flags,
                      DISPPARAMS* params, VARIANT* result, EXCEPINFO* exception,
                      UINT* arg_error) noexcept;

// Converts a caller's argument (by-reference forms included) to a parameter
// type. Exposed for the parts of the control that take loosely typed input.
HRESULT coerce_argument(const VARIANT& source, const ParamType& type, VARIANT* out);

}  // namespace framework
