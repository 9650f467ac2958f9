#include "component/typelib_path.h"

#include "support/com_test_env.h"

namespace tessel_test {

std::wstring typelib_path() { return dll_path(); }

}  // namespace tessel_test
