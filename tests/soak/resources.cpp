#include "resources.h"

#include <windows.h>
#include <psapi.h>

#include "framework/user_handles.h"
#include "support/gdi_count.h"

namespace soak {

Resources sample() {
  Resources r;
  r.gdi = tessel_test::live_gdi_objects();
  r.user = framework::live_user_objects();
  PROCESS_MEMORY_COUNTERS_EX counters{};
  counters.cb = sizeof counters;
  if (GetProcessMemoryInfo(GetCurrentProcess(),
                           reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters)) {
    r.private_bytes = counters.PrivateUsage;
  }
  return r;
}

bool report_growth(const Resources& before, const Resources& after) {
  const long long gdi = static_cast<long long>(after.gdi) - static_cast<long long>(before.gdi);
  const long long user = after.user - before.user;
  const long long memory =
      static_cast<long long>(after.private_bytes) - static_cast<long long>(before.private_bytes);
  std::printf("  GDI objects:      %zu -> %zu (growth %lld)\n", before.gdi, after.gdi, gdi);
  std::printf("  icons/cursors:    %ld -> %ld (growth %lld)\n", before.user, after.user, user);
  std::printf("  private memory:   %zu -> %zu bytes (growth %lld, band %zu)\n",
              before.private_bytes, after.private_bytes, memory, kPrivateNoise);
  return gdi <= 0 && user <= 0 && memory <= static_cast<long long>(kPrivateNoise);
}

}  // namespace soak
