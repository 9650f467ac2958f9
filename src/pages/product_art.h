// The product pictures of the info page and the about box, drawn in code.
#pragma once

#include <windows.h>

#include "framework/gdi.h"
#include "framework/user_handles.h"

namespace tessel {

// The info page's two product pictures, 24-bit: a blue gradient with a strip
// of column headers and the product name, sized to fit within the width.
// The large one (224 × 94) lies over the top of the small one (216 × 61),
// so the small one shows its name in its bottom rows only, at or below
// kSmallBannerTitleTop.
framework::GdiObject<HBITMAP> make_large_banner();
framework::GdiObject<HBITMAP> make_small_banner();
inline constexpr int kSmallBannerTitleTop = 36;

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
