// The header painter: one full pass that lays the columns out from left to
// right, records their rectangles, and paints the strip onto the surface.
#pragma once

#include "control/control_state.h"
#include "render/paint_surface.h"

namespace tessel {

// One pass of DrawTabTop. Failures before the first caption is drawn end the
// pass and propagate (framework::ControlError); later ones are skipped.
void paint_header(ControlState& state, PaintSurface& surface);

// Whether the column rectangles 1..size-1 are sorted left to right without
// overlapping (what a pass with no negative widths lays out).
bool rects_ordered(const std::vector<RECT>& rects);

}  // namespace tessel
