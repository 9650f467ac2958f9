#include "input/mouse_tracking.h"

#include <algorithm>
#include <cmath>

namespace tessel {

namespace {
const CursorApi kPlatform{&GetCursorPos, &WindowFromPoint, &GetCapture, &SetCapture,
                          &ReleaseCapture};
const CursorApi* g_api = &kPlatform;
}  // namespace

const CursorApi& platform_cursor_api() { return kPlatform; }

const CursorApi* set_cursor_api(const CursorApi* api) {
  const CursorApi* previous = g_api;
  g_api = api ? api : &kPlatform;
  return previous;
}

bool fnc_IsCursorOverWindow(HWND window) {
  POINT p{};
  if (!g_api->get_cursor_pos(&p)) return false;
  return g_api->window_from_point(p) == window;
}

bool fnc_TrackMouseCapture(HWND window) {
  if (fnc_IsCursorOverWindow(window)) {
    if (g_api->get_capture() != window) g_api->set_capture(window);
    return true;
  }
  if (g_api->get_capture() == window) g_api->release_capture();
  return false;
}

bool column_contains(const RECT& r, float x, float y) {
  // Computed arithmetically: the inclusion rule of a rectangular region.
  const double px = std::nearbyint(static_cast<double>(x));
  const double py = std::nearbyint(static_cast<double>(y));
  return px >= r.left && px < r.right && py >= r.top && py < r.bottom;
}

bool column_hit(const std::vector<RECT>& rects, LONG i, float x, float y) {
  return i >= 0 && static_cast<size_t>(i) < rects.size() &&
         column_contains(rects[static_cast<size_t>(i)], x, y);
}

std::vector<LONG> columns_at(const std::vector<RECT>& rects, LONG count, float x, float y) {
  std::vector<LONG> hits;
  for (LONG i = 1; i <= count && static_cast<size_t>(i) < rects.size(); ++i) {
    if (column_hit(rects, i, x, y)) hits.push_back(i);
  }
  return hits;
}

LONG ordered_column_at(const std::vector<RECT>& rects, LONG count, float x, float y) {
  if (rects.size() < 2 || count < 1) return 0;
  const size_t last = std::min(static_cast<size_t>(count), rects.size() - 1);
  const double px = std::nearbyint(static_cast<double>(x));
  // The last column whose left edge is at or left of the point: the left
  // edges ascend, and every column after it starts right of the point.
  size_t low = 1, high = last + 1;  // first index with left > px in [low, high)
  while (low < high) {
    const size_t middle = low + (high - low) / 2;
    if (rects[middle].left <= px) {
      low = middle + 1;
    } else {
      high = middle;
    }
  }
  if (low == 1) return 0;
  const size_t candidate = low - 1;
  return column_contains(rects[candidate], x, y) ? static_cast<LONG>(candidate) : 0;
}

}  // namespace tessel
