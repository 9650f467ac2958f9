// Mouse tracking: whether the pointer is over the control's own window, the
// capture that tells the control when the pointer leaves, and the column hit
// test.
#pragma once

#include <windows.h>

#include <vector>

namespace tessel {

// True exactly when the window under the cursor is window itself (a child or
// a covering window counts as not over).
bool fnc_IsCursorOverWindow(HWND window);
// Takes the capture while the cursor is over window and releases it (only if
// window holds it) when it is not; returns whether the cursor is over.
bool fnc_TrackMouseCapture(HWND window);

// The cursor and capture calls, replaceable by tests.
struct CursorApi {
  BOOL(WINAPI* get_cursor_pos)(LPPOINT);
  HWND(WINAPI* window_from_point)(POINT);
  HWND(WINAPI* get_capture)();
  HWND(WINAPI* set_capture)(HWND);
  BOOL(WINAPI* release_capture)();
};
const CursorApi& platform_cursor_api();
// Replaces the calls (nullptr restores the platform's) and returns the old.
const CursorApi* set_cursor_api(const CursorApi* api);

// Whether column rectangle r holds the point: left and top edges inside,
// right and bottom outside. x and y are rounded halves-to-even first.
bool column_contains(const RECT& r, float x, float y);

// The one hit test of moves and presses: whether column i has a rectangle
// (a paint pass has laid it out since the column was added) that holds the
// point.
bool column_hit(const std::vector<RECT>& rects, LONG i, float x, float y);

// The columns 1..count that hold the point, in ascending order. A column
// without a rectangle yet (no paint pass since it was added) is skipped.
std::vector<LONG> columns_at(const std::vector<RECT>& rects, LONG count, float x, float y);

// The same for rectangles sorted left to right without overlaps
// (rects_ordered), where at most one column holds the point: that column,
// found by binary search, or 0.
LONG ordered_column_at(const std::vector<RECT>& rects, LONG count, float x, float y);

}  // namespace tessel
