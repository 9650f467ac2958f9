// What the soak and fuzz runs watch for growth: live GDI objects (by type),
// the icons and cursors the component made, the windows of this thread and
// the process's committed private memory.
#pragma once

#include <array>
#include <cstddef>
#include <cstdio>

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

// Whether after is no larger than before in every resource. The window
// manager's cache of window DCs is the one exception: it grows when more of
// them are in use at once than ever before, and each DC it keeps brings its
// region and its surface entry; those may grow with it.
// platform_bytes is private memory the platform is known to keep for what
// the run asked of it (see platform_round_trip_bytes); it is allowed on top
// of the band.
bool no_growth(const Resources& before, const Resources& after, size_t platform_bytes = 0);

// Prints one line per resource and returns no_growth.
bool report_growth(const Resources& before, const Resources& after, size_t platform_bytes = 0);

// The private memory the platform keeps for each accessible object handed
// from a window to a client (LresultFromObject, then ObjectFromLresult), measured
// with the platform's own standard object for a window of its own. Wine keeps
// about 2 KB for each, whatever the object; the soak allows that much for
// each of its screen reader's readings and no more.
size_t platform_round_trip_bytes();

}  // namespace soak
