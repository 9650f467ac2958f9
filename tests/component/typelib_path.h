// Where the type library under test comes from: a file that LoadTypeLibEx
// accepts (the built DLL, whose TYPELIB resource 1 holds it, or a .tlb).
#pragma once

#include <string>

namespace tessel_test {

std::wstring typelib_path();

}  // namespace tessel_test
