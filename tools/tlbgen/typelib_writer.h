// Writes the type library through ICreateTypeLib2.
#pragma once

#include <string>

#include "typelib_table.h"

namespace tlbgen {

// Creates `path` for the given SYSKIND (SYS_WIN32 or SYS_WIN64). Throws
// std::runtime_error on failure.
void WriteTypeLibrary(const Library& library, SYSKIND syskind, const std::wstring& path);

}  // namespace tlbgen
