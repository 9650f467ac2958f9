#include "resources.h"

#include <windows.h>
#include <oleacc.h>

#include <cstdio>

#include "framework/user_handles.h"
#include "support/gdi_count.h"

namespace soak {

namespace {

// The platform's own PrivateUsage reads 0 under Wine, so committed private memory is summed from
// the address space itself.
size_t committed_private_bytes() {
  size_t total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (const BYTE* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;
       at = static_cast<const BYTE*>(region.BaseAddress) + region.RegionSize) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    if (region.RegionSize == 0) break;
  }
  return total;
}

BOOL CALLBACK count_window(HWND, LPARAM total) {
  ++*reinterpret_cast<size_t*>(total);
  return TRUE;
}

// This thread's top-level windows and all their descendants (EnumChildWindows visits every
// descendant, not only the direct children).
size_t thread_windows() {
  size_t count = 0;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM total) -> BOOL {
        EnumChildWindows(window, count_window, total);
        return count_window(window, total);
      },
      reinterpret_cast<LPARAM>(&count));
  return count;
}

}  // namespace

Resources sample() {
  Resources r;
  r.gdi_by_type = tessel_test::live_gdi_objects_by_type();
  for (size_t count : r.gdi_by_type) r.gdi += count;
  r.window_dcs = tessel_test::live_window_dcs();
  r.user = framework::live_user_objects();
  r.windows = thread_windows();
  r.private_bytes = committed_private_bytes();
  return r;
}

bool no_growth(const Resources& before, const Resources& after, size_t platform_bytes) {
  const size_t cached =
      after.window_dcs > before.window_dcs ? after.window_dcs - before.window_dcs : 0;
  for (size_t type = 0; type < before.gdi_by_type.size(); ++type) {
    using namespace tessel_test::gdi_type;
    const bool companion = type == kDc || type == kRegion || type == kSurface;
    if (after.gdi_by_type[type] > before.gdi_by_type[type] + (companion ? cached : 0)) return false;
  }
  return after.user <= before.user && after.windows <= before.windows &&
         after.private_bytes <= before.private_bytes + kPrivateNoise + platform_bytes;
}

bool report_growth(const Resources& before, const Resources& after, size_t platform_bytes) {
  auto line = [](const char* what, long long a, long long b) {
    std::printf("  %-18s%lld -> %lld (growth %lld)\n", what, a, b, b - a);
  };
  line("GDI objects:", before.gdi, after.gdi);
  for (size_t type = 0; type < before.gdi_by_type.size(); ++type) {
    if (before.gdi_by_type[type] != after.gdi_by_type[type]) {
      std::printf("    of type 0x%02zx:    %zu -> %zu\n", type, before.gdi_by_type[type],
                  after.gdi_by_type[type]);
    }
  }
  std::printf("  window DC cache:  %zu -> %zu (the window manager's own)\n", before.window_dcs,
              after.window_dcs);
  line("icons/cursors:", before.user, after.user);
  line("windows:", before.windows, after.windows);
  std::printf("  private memory:   %zu -> %zu bytes (growth %lld, band %zu)\n",
              before.private_bytes, after.private_bytes,
              static_cast<long long>(after.private_bytes - before.private_bytes), kPrivateNoise);
  if (platform_bytes) {
    std::printf("    allowed on top:  %zu bytes the platform keeps for accessible objects\n",
                platform_bytes);
  }
  return no_growth(before, after, platform_bytes);
}

size_t platform_round_trip_bytes() {
  HWND window =
      CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  if (!window) return 0;
  auto round_trips = [window](int count) {
    for (int i = 0; i < count; ++i) {
      IAccessible* standard = nullptr;
      if (FAILED(CreateStdAccessibleObject(window, OBJID_CLIENT, __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&standard)))) {
        return;
      }
      const LRESULT result = LresultFromObject(__uuidof(IAccessible), 0, standard);
      standard->Release();
      IAccessible* client = nullptr;
      if (SUCCEEDED(ObjectFromLresult(result, __uuidof(IAccessible), 0,
                                      reinterpret_cast<void**>(&client)))) {
        client->Release();
      }
    }
  };
  constexpr int kMeasured = 2000;
  round_trips(200);
  const size_t before = committed_private_bytes();
  round_trips(kMeasured);
  const size_t after = committed_private_bytes();
  DestroyWindow(window);
  return after > before ? (after - before) / kMeasured : 0;
}

}  // namespace soak
