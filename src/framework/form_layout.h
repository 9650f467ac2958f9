// Child windows of a form or property page laid out from a table: positions
// and sizes in twips converted to pixels at the screen's resolution, the
// table's order as the tab order, one font for all, and tooltips.
#pragma once

#include <windows.h>

#include <span>
#include <string>

#include "framework/gdi.h"

namespace framework {

// One child window, in tab order. Positions and sizes are twips; a child
// inside a group box gives its position relative to that box.
struct ChildSpec {
  int id;
  const wchar_t* window_class;
  const wchar_t* text;  // the window text (caption), nullptr for none
  DWORD style;          // WS_CHILD is added
  int left, top, width, height;
  const wchar_t* tooltip = nullptr;
  int container = 0;  // id of the group box the position is relative to, 0 for the form
  DWORD ex_style = 0;
};

// A length in twips as whole pixels of the screen (nearest, ties to even).
int layout_pixels_x(double twips);
int layout_pixels_y(double twips);

// Where the child lies in the form's client area, in pixels.
RECT layout_rect(const ChildSpec& child, std::span<const ChildSpec> table);

// Creates the children in table order, so that the table's order is the tab
// order, and gives each the font. Throws framework::ControlError when a
// window cannot be made.
void create_children(HWND parent, std::span<const ChildSpec> table, HFONT font);

// Adds a tooltip to every child of the table that names one, and returns
// the tooltip window (nullptr when no child has a tooltip). Its owner is
// parent's top-level window, so the caller destroys it with parent.
HWND add_tooltips(HWND parent, std::span<const ChildSpec> table);

// A font of the screen's resolution: face, size in points and style.
GdiObject<HFONT> make_font(const wchar_t* face, double points, bool bold = false,
                           bool underline = false);

// The window text of a window.
std::wstring window_text(HWND window);

}  // namespace framework
