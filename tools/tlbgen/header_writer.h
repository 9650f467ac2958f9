// Generates the C++ header the control's code includes: identifiers, DISPIDs
// and the dual interface's vtable, all from the type library table.
#pragma once

#include <string>

#include "typelib_table.h"

namespace tlbgen {

std::string GenerateHeader(const Library& library);

// Generates TesselControl.h, the header shipped to hosts: the same
// identifiers, DISPIDs and interfaces for C and C++ compilers alike, at
// global scope as the platform's own interface headers have them, each
// member with its help string.
std::string GenerateHostHeader(const Library& library);

}  // namespace tlbgen
