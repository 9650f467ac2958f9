// Icons and cursors drawn in code from rows of characters, one character a
// pixel.
#pragma once

#include <windows.h>

#include <span>

#include "framework/user_handles.h"

namespace tessel {

// A 16-colour icon: each character is a hexadecimal index into the standard
// 16-colour palette (0 black, 1 dark red, ..., B yellow, ..., F white) or
// '.' for a transparent pixel. All rows have the same length.
framework::Icon make_palette_icon(std::span<const char* const> rows);

// A monochrome cursor `height` pixels high: 'X' black, 'o' white, '.'
// transparent; rows past the given ones are transparent. All rows have the
// same length, a multiple of 16.
framework::Cursor make_monochrome_cursor(std::span<const char* const> rows, POINT hot_spot,
                                         int height);

}  // namespace tessel
