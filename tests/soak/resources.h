// What the soak and fuzz runs watch for growth: live GDI objects (by type), the icons and cursors
// the component made, the windows of this thread and the process's committed private memory.
#pragma once

#include <array>
#include <cstddef>

namespace soak {

struct Resources {
  size_t gdi = 0;
  std::array<size_t, 256> gdi_by_type{};
  size_t window_dcs = 0;
  long user = 0;
  size_t windows = 0;
  size_t private_bytes = 0;
};

Resources sample();

// Private memory may move within this band after warm-up (heap caches).
constexpr size_t kPrivateNoise = 4u << 20;

// Whether after is no larger than before in every resource. The one exception is the window
// manager's cache of window DCs: it grows when more of them are in use at once than ever before,
// and each DC it keeps brings its region and its surface entry, which may grow with it.
// platform_bytes (see platform_round_trip_bytes) is allowed on top of the private memory band.
bool no_growth(const Resources& before, const Resources& after, size_t platform_bytes = 0);

// Prints one line per resource and returns no_growth.
bool report_growth(const Resources& before, const Resources& after, size_t platform_bytes);

// The private memory the platform keeps for each accessible object handed from a window to a
// client (LresultFromObject, then ObjectFromLresult), measured with its own standard object. Wine
// keeps about 2 KB for each, whatever the object; the soak allows that much per reading.
size_t platform_round_trip_bytes();

}  // namespace soak
