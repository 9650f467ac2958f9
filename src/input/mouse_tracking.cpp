#include "input/mouse_tracking.h"

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

std::vector<LONG> columns_at(const std::vector<RECT>& rects, LONG count, float x, float y) {
  std::vector<LONG> hits;
  for (LONG i = 1; i <= count; ++i) {
    if (static_cast<size_t>(i) >= rects.size()) break;
    if (column_contains(rects[static_cast<size_t>(i)], x, y)) hits.push_back(i);
  }
  return hits;
}

}  // namespace tessel
