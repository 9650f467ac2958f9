// Generates the C++ header the control's code includes: identifiers, DISPIDs
// and the dual interface's vtable, all from the type library table.
#pragma once

#include <string>

#include "typelib_table.h"

namespace tlbgen {

std::string GenerateHeader(const Library& library);

}  // namespace tlbgen
