// The module's own type library (TYPELIB resource 1), loaded once and shared
// by every object of the module. It is the single source of member names,
// DISPIDs, parameter types and defaults for IDispatch.
#pragma once

#include <oaidl.h>

#include "framework/com_ptr.h"

namespace framework {

ComPtr<ITypeLib> module_type_library();
// Throws when the type library or the type is missing.
ComPtr<ITypeInfo> module_type_info(REFGUID guid);
// Called when the last object of the module goes away.
void release_module_type_library();

}  // namespace framework
