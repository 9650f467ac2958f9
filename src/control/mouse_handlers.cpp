// The mouse: the hot column under the pointer, and presses that select a
// column and report the sort direction the host must apply.
#include "control/tessel_control.h"
#include "framework/bstr.h"
#include "input/mouse_tracking.h"

namespace tessel {

using framework::by_ref;

// Handlers receive the notification's values by reference; the control works
// on its own copies, so whatever a handler writes there has no effect.
void TesselControl::on_mouse_move(SHORT button, SHORT shift, float x, float y) {
  const float hit_x = x, hit_y = y;
  LONG sorted = s_.SortedRow;
  if (!fnc_TrackMouseCapture(window())) {
    raise_event(event_dispid::MouseOut,
                {by_ref(button), by_ref(shift), by_ref(x), by_ref(y), by_ref(sorted)});
    s_.HotTab = 0;
    draw_tab();
    return;
  }
  raise_event(event_dispid::MouseIn,
              {by_ref(button), by_ref(shift), by_ref(x), by_ref(y), by_ref(sorted)});
  bool changed = false;
  if (s_.TabRectsOrdered) {
    // At most one column holds the point: no scan of all columns.
    const LONG i = ordered_column_at(s_.TabRects, s_.NumberOfRows, hit_x, hit_y);
    if (i != 0 && i != s_.HotTab) {
      s_.HotTab = i;
      changed = true;
    }
  } else {
    for (LONG i : columns_at(s_.TabRects, s_.NumberOfRows, hit_x, hit_y)) {
      if (i != s_.HotTab) {
        s_.HotTab = i;
        changed = true;
      }
    }
  }
  if (changed) draw_tab();
}

void TesselControl::on_mouse_down(SHORT button, SHORT shift, float x, float y) {
  const float hit_x = x, hit_y = y;
  const LONG count = s_.NumberOfRows;
  for (LONG i = 1; i <= count; ++i) {
    // Tested column by column: the handlers of an earlier hit may have
    // repainted with other widths.
    if (!column_hit(s_.TabRects, i, hit_x, hit_y)) continue;
    s_.SelectedRow = i;
    s_.SortedRow = i;
    set_selected_row(i);
    // The flag as the RowPressed handlers left it decides the direction.
    cTabs& record = s_.Tabs(i);
    const bool was_descending = record.RowSort;
    record.RowSort = !was_descending;
    framework::Bstr sort(was_descending ? L"DESC" : L"ASC");
    LONG sorted = s_.SortedRow;
    SHORT b = button, sh = shift;
    float ex = x, ey = y;
    raise_event(event_dispid::MouseDown, {by_ref(b), by_ref(sh), by_ref(ex), by_ref(ey),
                                          by_ref(sorted), by_ref(sort.ref())});
  }
  draw_tab();
}

void TesselControl::on_mouse_up(SHORT button, SHORT shift, float x, float y) {
  LONG sorted = s_.SortedRow;
  raise_event(event_dispid::MouseUp,
              {by_ref(button), by_ref(shift), by_ref(x), by_ref(y), by_ref(sorted)});
  s_.SelectedRow = 0;
  draw_tab();
}

}  // namespace tessel
