// The product pictures of the info page and the about box, drawn in code.
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "framework/user_handles.h"

namespace tessel {

// A 24-bit bitmap of width × height pixels: a blue gradient with a strip of
// column headers and the product name.
framework::GdiObject<HBITMAP> make_product_banner(int width, int height);

// The about box's small pictures: a 22 × 20 header glyph and a 72 × 16
// maker's mark.
framework::GdiObject<HBITMAP> make_header_glyph();
framework::GdiObject<HBITMAP> make_maker_mark();

// The about box's 16-colour window icon.
framework::Icon make_about_icon();

// Draws bitmap at the top-left corner of rect's box in dc, unscaled, over the
// button face colour.
void draw_picture_box(HDC dc, const RECT& rect, HBITMAP bitmap);

}  // namespace tessel
