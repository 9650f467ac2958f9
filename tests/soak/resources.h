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
bool no_growth(const Resources& before, const Resources& after);

// Prints one line per resource and returns no_growth.
bool report_growth(const Resources& before, const Resources& after);

}  // namespace soak
