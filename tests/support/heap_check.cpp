#include "support/heap_check.h"

#include <windows.h>

#include <vector>

namespace tessel_test {

bool process_heaps_valid() {
  std::vector<HANDLE> heaps(64);
  DWORD count = GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data());
  if (count > heaps.size()) {
    heaps.resize(count);
    count = GetProcessHeaps(count, heaps.data());
  }
  for (DWORD i = 0; i < count && i < heaps.size(); ++i) {
    if (!HeapValidate(heaps[i], 0, nullptr)) return false;
  }
  return true;
}

}  // namespace tessel_test
