// Properties of an automation object reached by name (GetIDsOfNames, then
// Invoke), the way a script reaches them.
#pragma once

#include <oaidl.h>

#include "framework/variant.h"

namespace framework {

// Each throws ControlError with the failure of the name lookup or the call.
Variant get_property_by_name(IDispatch* object, const wchar_t* name);
void put_property_by_name(IDispatch* object, const wchar_t* name, const VARIANT& value);

}  // namespace framework
