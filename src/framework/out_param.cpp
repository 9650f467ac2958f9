#include "framework/out_param.h"

namespace framework {

void put_bstr(BSTR* out, std::wstring_view text) {
  BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  if (!copy) throw std::bad_alloc();
  out_param(out) = copy;
}

}  // namespace framework
