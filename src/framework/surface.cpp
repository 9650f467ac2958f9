#include "framework/surface.h"

#include <algorithm>

#include "framework/error.h"
#include "framework/ole_font.h"

namespace framework {

namespace {

constexpr OLE_COLOR kButtonFace = 0x80000000u | COLOR_BTNFACE;
constexpr OLE_COLOR kButtonText = 0x80000000u | COLOR_BTNTEXT;

COLORREF translate(OLE_COLOR color) {
  COLORREF rgb = 0;
  if (FAILED(OleTranslateColor(color, nullptr, &rgb))) {
    raise_error(error_number::kInvalidPropertyValue);
  }
  return rgb;
}

}  // namespace

Surface::Surface(int width, int height)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      back_color_(kButtonFace),
      fore_color_(kButtonText) {
  if (!dc_) throw ControlError(error_number::kOutOfMemory);
  bitmap_ = new_bitmap(dc_.get(), width_, height_);
  font_disp_ = default_font();
  font_ = font_disp_.query<IFont>(IID_IFont);
  if (!font_) throw ControlError::from_hresult(E_NOINTERFACE);
  original_bitmap_ = SelectObject(dc_.get(), bitmap_.get());
  original_font_ = GetCurrentObject(dc_.get(), OBJ_FONT);
  SetBkMode(dc_.get(), TRANSPARENT);
  SetBkColor(dc_.get(), translated_back_color());
  SetTextColor(dc_.get(), translate(fore_color_));
  select_font();
  clear();
}

Surface::~Surface() {
  SelectObject(dc_.get(), original_bitmap_);
  SelectObject(dc_.get(), original_font_);
  if (selected_font_) font_->ReleaseHfont(selected_font_);
}

GdiObject<HBITMAP> Surface::new_bitmap(HDC dc, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = dib_header(std::max(width, 1), -std::max(height, 1), 32);  // top-down
  void* bits = nullptr;
  GdiObject<HBITMAP> bitmap(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap) throw ControlError(error_number::kOutOfMemory);
  return bitmap;
}

HDC Surface::dc() {
  select_font();
  return dc_.get();
}

// The font object makes a new HFONT when an attribute changes; the DC keeps
// the one it was given, held by AddRefHfont, until the next selection.
void Surface::select_font() {
  HFONT current = nullptr;
  if (FAILED(font_->get_hFont(&current)) || !current || current == selected_font_) return;
  font_->AddRefHfont(current);
  SelectObject(dc_.get(), current);
  if (selected_font_) font_->ReleaseHfont(selected_font_);
  selected_font_ = current;
}

COLORREF Surface::translated_back_color() const {
  COLORREF rgb = 0;
  OleTranslateColor(back_color_, nullptr, &rgb);
  return rgb;
}

void Surface::clear() {
  GdiObject<HBRUSH> brush(CreateSolidBrush(translated_back_color()));
  RECT all{0, 0, std::max(width_, 1), std::max(height_, 1)};
  if (brush) FillRect(dc_.get(), &all, brush.get());
}

void Surface::refresh() {
  ++refresh_count_;
  if (window_) {
    RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  } else if (view_changed_) {
    view_changed_();
  }
}

void Surface::set_back_color(OLE_COLOR color) {
  COLORREF rgb = translate(color);
  back_color_ = color;
  SetBkColor(dc_.get(), rgb);
}

void Surface::set_fore_color(OLE_COLOR color) {
  COLORREF rgb = translate(color);
  fore_color_ = color;
  SetTextColor(dc_.get(), rgb);
}

void Surface::resize(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  if (width == width_ && height == height_) return;
  GdiObject<HBITMAP> bitmap = new_bitmap(dc_.get(), width, height);
  {
    MemoryDc copy(dc_.get());
    if (!copy) throw ControlError(error_number::kOutOfMemory);
    Selection selected(copy.get(), bitmap.get());
    GdiObject<HBRUSH> brush(CreateSolidBrush(translated_back_color()));
    RECT all{0, 0, std::max(width, 1), std::max(height, 1)};
    if (brush) FillRect(copy.get(), &all, brush.get());
    BitBlt(copy.get(), 0, 0, std::min(width, width_), std::min(height, height_), dc_.get(), 0, 0,
           SRCCOPY);
  }
  SelectObject(dc_.get(), bitmap.get());
  bitmap_ = std::move(bitmap);
  width_ = width;
  height_ = height;
}

void Surface::render(HDC target, const RECT& bounds) {
  int width = bounds.right - bounds.left;
  int height = bounds.bottom - bounds.top;
  if (width == width_ && height == height_) {
    BitBlt(target, bounds.left, bounds.top, width, height, dc_.get(), 0, 0, SRCCOPY);
    return;
  }
  int previous_mode = SetStretchBltMode(target, COLORONCOLOR);
  StretchBlt(target, bounds.left, bounds.top, width, height, dc_.get(), 0, 0, width_, height_,
             SRCCOPY);
  if (previous_mode) SetStretchBltMode(target, previous_mode);
}

}  // namespace framework
