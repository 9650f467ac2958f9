// What the soak and fuzz runs watch for growth: live GDI objects, the icons
// and cursors the component made, the process's private memory.
#pragma once

#include <cstddef>
#include <cstdio>

namespace soak {

struct Resources {
  size_t gdi = 0;
  long user = 0;
  size_t private_bytes = 0;
};

Resources sample();

// Private memory may move within this band after warm-up (heap caches).
constexpr size_t kPrivateNoise = 4u << 20;

// Prints one line per resource and returns whether none grew.
bool report_growth(const Resources& before, const Resources& after);

}  // namespace soak
