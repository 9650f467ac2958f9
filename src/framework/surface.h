// The control's retained drawing surface: a memory DC holding a DIB section
// that keeps what is drawn on it between paint passes. It exists with or
// without a window; the window only shows it (refresh, WM_PAINT), and
// IViewObject::Draw renders it into a container's DC.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>

#include "framework/com_ptr.h"
#include "framework/gdi.h"

namespace framework {

class Surface {
 public:
  // A surface of width × height pixels in the default colours (button face,
  // button text) with a new "MS Sans Serif" 8 pt font. Throws when GDI or OLE
  // cannot create it.
  Surface(int width, int height);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;
  ~Surface();

  // The DC to draw on, with the font object's current HFONT selected. The DC
  // stays the same for the surface's life, across resizes.
  HDC dc();
  int width() const { return width_; }
  int height() const { return height_; }

  // Fills the whole surface with the background colour.
  void clear();
  // Shows the retained image in the window, if there is one, before it
  // returns; without a window the container is told that the view changed.
  void refresh();
  // How often refresh() has run: a paint pass ends with exactly one.
  long refresh_count() const { return refresh_count_; }

  // Colours as OLE_COLOR (system colours allowed). Throws error 380 for a
  // value that does not translate; the surface then keeps its colour.
  void set_back_color(OLE_COLOR color);
  OLE_COLOR back_color() const { return back_color_; }
  // The DC's text colour.
  void set_fore_color(OLE_COLOR color);
  OLE_COLOR fore_color() const { return fore_color_; }

  // The surface's own font object; text output on dc() uses it, also after
  // its attributes change.
  IFontDisp* font() const { return font_disp_.get(); }

  // Changes the size (negative lengths count as 0), keeping the image where
  // old and new overlap; new area gets the background colour. Throws when
  // the bitmap cannot be created; the surface then keeps its size.
  void resize(int width, int height);

  // Framework side: the window refresh() draws into (nullptr: none), and
  // what refresh() calls when there is no window.
  void set_window(HWND window) { window_ = window; }
  void set_view_changed(std::function<void()> listener) { view_changed_ = std::move(listener); }
  // Copies the retained image into target at bounds, stretched to fit.
  void render(HDC target, const RECT& bounds);

 private:
  static GdiObject<HBITMAP> new_bitmap(HDC dc, int width, int height);
  COLORREF translated_back_color() const;
  void select_font();

  MemoryDc dc_;
  GdiObject<HBITMAP> bitmap_;
  HGDIOBJ original_bitmap_ = nullptr;
  HGDIOBJ original_font_ = nullptr;
  int width_ = 0;
  int height_ = 0;
  OLE_COLOR back_color_;
  OLE_COLOR fore_color_;
  ComPtr<IFontDisp> font_disp_;
  ComPtr<IFont> font_;
  HFONT selected_font_ = nullptr;  // held with IFont::AddRefHfont while selected
  HWND window_ = nullptr;
  std::function<void()> view_changed_;
  long refresh_count_ = 0;
};

}  // namespace framework
