#include "render/header_painter.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <string_view>

#include "render/picture_conversion.h"
#include "framework/error.h"
#include "framework/gdi.h"
#include "render/image_manipulation.h"
#include "render/units.h"
#include "render/xp_wells.h"

namespace tessel {

namespace {

using namespace mXPWells;

// The decorations' fixed colours.
constexpr COLORREF kBottomEdge1 = RGB(189, 190, 206);
constexpr COLORREF kBottomEdge2 = RGB(209, 210, 222);
constexpr COLORREF kBottomEdge3 = RGB(230, 231, 239);
constexpr COLORREF kSeparatorDark = RGB(181, 182, 200);
constexpr COLORREF kSeparatorLight = RGB(255, 255, 255);
constexpr COLORREF kSunkenFill = RGB(236, 236, 243);
constexpr COLORREF kSunkenFrame = RGB(128, 128, 153);
constexpr COLORREF kSunkenShadeOuter = RGB(185, 185, 200);
constexpr COLORREF kSunkenShadeInner = RGB(212, 212, 223);
constexpr COLORREF kSortMarker = RGB(132, 132, 132);

// Nearest integer, halves to even; a value outside the Long range overflows.
LONG nearest(double value) {
  double rounded = std::nearbyint(value);
  if (!(rounded >= LONG_MIN && rounded <= LONG_MAX)) {
    framework::raise_error(framework::error_number::kOverflow);
  }
  return static_cast<LONG>(rounded);
}

// Lines and text take colours as given; system colours are translated here
// so that the default ForeColor (button text) shows as that colour.
OLE_COLOR device_colour(OLE_COLOR colour) {
  COLORREF rgb = 0;
  return SUCCEEDED(OleTranslateColor(colour, nullptr, &rgb)) ? rgb : colour;
}

bool in_columns(LONG index, LONG count) { return index >= 0 && index <= count; }

// Runs one step of the pass once the first caption is on the surface: a
// failing step is left out and painting goes on.
template <class F>
void skipping_failures(F&& step) {
  try {
    step();
  } catch (...) {
  }
}

void paint_selected(HDC dc, const RECT& rect) {
  const LONG L = rect.left, T = rect.top, R = rect.right, B = rect.bottom;
  RECT k{L - 1, T - 1, R + 1, B};
  OLE_COLOR fill = kSunkenFill;
  DrawRect(dc, k, fill, VARIANT_TRUE);
  OLE_COLOR frame = kSunkenFrame;
  DrawRect(dc, k, frame, VARIANT_FALSE);
  DrawLine(dc, L, 1, R, 1, kSunkenShadeOuter, 1);
  DrawLine(dc, L, 2, R, 2, kSunkenShadeInner, 1);
  DrawLine(dc, L, 1, L, B - 1, kSunkenShadeOuter, 1);
  DrawLine(dc, L + 1, 2, L + 1, B - 1, kSunkenShadeInner, 1);
}

void paint_sort_marker(HDC dc, LONG right, LONG height, bool descending) {
  const double m = height / 2.0;
  const LONG top = nearest(m - 4), bottom = nearest(m + 3);
  const LONG base = descending ? bottom : top;
  const LONG apex = descending ? top : bottom;
  DrawLine(dc, right - 9, base, right - 2, base, kSortMarker, 1);
  DrawLine(dc, right - 9, base, right - 5, apex, kSortMarker, 1);
}

void paint_hot_underline(HDC dc, const RECT& rect, LONG width) {
  const LONG L = rect.left, R = rect.right, B = rect.bottom;
  RECT low{L, B - 1, R - 2, B};
  DrawGradient(dc, RGB(245, 204, 113), RGB(218, 157, 26), low, width - 4, 1);
  RECT middle{L, B - 2, R - 1, B - 1};
  DrawGradient(dc, RGB(252, 224, 166), RGB(229, 160, 16), middle, width - 2, 1);
  RECT top{L, B - 3, R, B - 2};
  DrawGradient(dc, RGB(250, 213, 135), RGB(222, 150, 0), top, width, 1);
  DrawPixel(dc, L + 2, B - 3, RGB(250, 213, 135));
  DrawPixel(dc, L + 3, B - 3, RGB(252, 223, 157));
}

// The two-pixel separator right of each column: a dark and a light vertical
// line, as DrawLine draws them, but with the two pens made once per pass and
// the lines that fall outside the DC's clipping box left out. The DC's pen
// and current position are restored at the end.
class SeparatorPens {
 public:
  explicit SeparatorPens(HDC dc)
      : dc_(dc),
        dark_(CreatePen(PS_SOLID, 1, kSeparatorDark)),
        light_(CreatePen(PS_SOLID, 1, kSeparatorLight)) {
    if (GetClipBox(dc_, &visible_) == ERROR) visible_ = RECT{LONG_MIN, 0, LONG_MAX, 0};
    GetCurrentPositionEx(dc_, &position_);
    original_ = static_cast<HPEN>(GetCurrentObject(dc_, OBJ_PEN));
  }
  SeparatorPens(const SeparatorPens&) = delete;
  SeparatorPens& operator=(const SeparatorPens&) = delete;
  ~SeparatorPens() {
    SelectObject(dc_, original_);
    MoveToEx(dc_, position_.x, position_.y, nullptr);
  }

  void draw(LONG x, LONG top, LONG bottom) {
    line(dark_.get(), x, top, bottom);
    if (x < LONG_MAX) line(light_.get(), x + 1, top, bottom);
  }

 private:
  void line(HPEN pen, LONG x, LONG top, LONG bottom) {
    if (x < visible_.left || x >= visible_.right) return;  // one pixel wide: all clipped
    SelectObject(dc_, pen);
    MoveToEx(dc_, x, top, nullptr);
    LineTo(dc_, x, bottom);
  }

  HDC dc_;
  RECT visible_{};
  framework::GdiObject<HPEN> dark_, light_;
  HPEN original_ = nullptr;
  POINT position_{};
};

// How much of a caption the pass measures and draws, in characters, for a
// caption whose box (laid out from the column's rectangle column) starts at
// x = left and a surface whose clipping box ends at x = right.
//
// DrawText lays a caption out line by line from its first character, and
// the whole caption's height decides where its lines go, so in general all
// of it is needed. Two kinds of long caption are cut:
//  - A caption of only letters, digits and access-key ampersands has no
//    place where a line could break: it is one line, of which only the part
//    left of the surface's edge can show. It is cut after the first
//    characters that, as one line, reach past the edge by the widest
//    character (glyphs of later characters cannot reach back into view).
//    Such a line starts at the box's left edge whether cut or not, so the
//    visible pixels are the same; when the cut text is not a single line
//    (a font or platform that breaks it anyway), all of it is taken.
//  - Any other caption is laid out from its first kLongestLaidOut
//    characters: beyond that a header caption shows nothing that could be
//    read, and DrawText's work grows faster than the caption's length.
// Shorter captions are taken whole, as they are.
constexpr size_t kAlwaysWhole = 256;
constexpr size_t kLongestLaidOut = 1024;

bool unbreakable(std::wstring_view text) {
  for (wchar_t c : text) {
    const bool alphanumeric =
        (c >= L'0' && c <= L'9') || (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z');
    if (!alphanumeric && c != L'&') return false;
  }
  return true;
}

// The first characters of text, at least count of them (fewer only at its
// end), not ending between an access-key ampersand and its character.
size_t whole_characters(std::wstring_view text, size_t count) {
  size_t i = 0;
  while (i < count && i < text.size()) i += text[i] == L'&' ? 2 : 1;
  return std::min(i, text.size());
}

size_t caption_length_shown(HDC dc, std::wstring_view text, const RECT& column, LONG left,
                            LONG right) {
  if (text.size() <= kAlwaysWhole) return text.size();
  if (!unbreakable(text)) return whole_characters(text, kLongestLaidOut);
  TEXTMETRICW metrics{};
  if (!GetTextMetricsW(dc, &metrics)) return text.size();
  const long long edge = static_cast<long long>(right) + metrics.tmMaxCharWidth;
  for (size_t count = kAlwaysWhole;; count *= 2) {
    const size_t cut = whole_characters(text, count);
    if (cut >= text.size()) return text.size();
    RECT box = column;
    MeasureCaption(dc, text, static_cast<LONG>(cut), box);
    if (box.bottom - box.top != metrics.tmHeight) return text.size();
    if (static_cast<long long>(left) + (box.right - box.left) >= edge) return cut;
  }
}

}  // namespace

// Sorted left to right without overlaps: each rectangle's left edge at most
// its right edge, and that at most the next one's left edge.
bool rects_ordered(const std::vector<RECT>& rects) {
  for (size_t i = 1; i < rects.size(); ++i) {
    if (rects[i].left > rects[i].right) return false;
    if (i + 1 < rects.size() && rects[i].right > rects[i + 1].left) return false;
  }
  return true;
}

void paint_header(ControlState& s, PaintSurface& surface) {
  Appearance& look = s.look;
  const LONG H = look.HeaderHeight;
  ++s.PaintPasses;

  // The columns' total width (reading a record creates a blank one).
  auto total_width = [&](LONG count) {
    long long total = 0;
    for (LONG i = 1; i <= count; ++i) total += s.Tabs(i).RowWidth;
    if (total > LONG_MAX || total < LONG_MIN) {
      framework::raise_error(framework::error_number::kOverflow);
    }
    return static_cast<LONG>(total);
  };
  LONG N = s.NumberOfRows;
  LONG S = total_width(N);

  // A fresh picture painter for this pass, and a cleared surface.
  cImageManipulation image_painter;
  surface.clear();
  HDC dc = surface.dc();
  SetBkMode(dc, TRANSPARENT);

  // The control's height follows HeaderHeight (may repaint re-entrantly,
  // and the container's code runs meanwhile: the columns are counted again).
  surface.set_height_twips(static_cast<float>(basUmrechnung::fnc_PixelToTwips(H, 1)));
  if (s.NumberOfRows != N) {
    N = s.NumberOfRows;
    S = total_width(N);
  }
  // A pass that starts from here on, inside a call out of this one, paints
  // the columns as they are then and shows them.
  const unsigned long pass = s.PaintPasses;

  // The background, and the form colour right of the last column.
  RECT r = surface.client_rect();
  r.bottom = H;
  DrawRect(dc, r, look.BackColor, VARIANT_TRUE);
  r.left = nearest(static_cast<double>(S) + 2.0 * N + 2);
  if (r.left <= r.right) DrawRect(dc, r, look.BackColorForm, VARIANT_TRUE);

  // The frame, when shown, and the three-line bottom edge.
  r = surface.client_rect();
  const LONG CW = r.right, CH = r.bottom;
  const OLE_COLOR frame = device_colour(look.FrameColor);
  if (look.ShowFrame) DrawLine(dc, 0, 0, CW, 0, frame, 1);
  DrawLine(dc, 0, CH - 1, CW, CH - 1, kBottomEdge1, 1);
  DrawLine(dc, 0, CH - 2, CW, CH - 2, kBottomEdge2, 1);
  DrawLine(dc, 0, CH - 3, CW, CH - 3, kBottomEdge3, 1);
  if (look.ShowFrame) {
    DrawLine(dc, 0, 0, 0, CH, frame, 1);
    DrawLine(dc, CW - 1, 0, CW - 1, CH, frame, 1);
  }

  // Each column's place, its rectangle and its separator. The rectangles are
  // marked ordered only once the whole layout has been written.
  s.TabRectsOrdered = false;
  if (N >= 1) s.TabRects.resize(static_cast<size_t>(N) + 1);
  {
    SeparatorPens separators(dc);
    float x = 2;
    for (LONG i = 1; i <= N; ++i) {
      cTabs& record = s.Tabs(i);
      const LONG left = nearest(x);
      const LONG right = nearest(static_cast<double>(x) + record.RowWidth);
      record.RowLeft = left;
      record.RowTop = 2;
      record.RowHeight = H;
      s.TabRects[static_cast<size_t>(i)] = RECT{left, 2, right, H};
      separators.draw(right, 4, H - 5);
      x = static_cast<float>(static_cast<double>(x) + 2 + record.RowWidth);
    }
  }
  s.TabRectsOrdered = rects_ordered(s.TabRects);

  // The pressed look of the selected column and the sort marker. A decoration whose
  // column no longer exists (it was deleted after being pressed or sorted)
  // is left out rather than failing the pass.
  if (N >= 1) {
    if (s.SelectedRow >= 1 && s.SelectedRow <= N) {
      paint_selected(dc, s.TabRects[static_cast<size_t>(s.SelectedRow)]);
    }
    if (look.ShowSortPic && in_columns(s.SortedRow, N)) {
      const RECT& sorted = s.TabRects[static_cast<size_t>(s.SortedRow)];
      paint_sort_marker(dc, sorted.right, H, s.Tabs(s.SortedRow).RowSort);
    }
  }

  // The hot column's orange underline.
  if (s.HotTab != 0 && s.HotTab != s.SelectedRow && in_columns(s.HotTab, N) &&
      static_cast<size_t>(s.HotTab) < s.TabRects.size()) {
    paint_hot_underline(dc, s.TabRects[static_cast<size_t>(s.HotTab)], s.Tabs(s.HotTab).RowWidth);
  }

  // Captions and pictures. A column picture's properties are read
  // through the picture's own code, which may change the columns (delete,
  // add, load them) and repaint before it returns. So nothing of a column is
  // held across such a call but the picture itself, by a reference of the
  // pass's own; afterwards the column is looked up again by its index. If a
  // nested pass ran meanwhile, it has painted and shown the columns as they
  // are now, and this pass ends; a column that is gone ends the walk.
  enum class Next { go_on, column_gone, superseded };
  auto after_call_out = [&](LONG i) {
    if (s.PaintPasses != pass) return Next::superseded;
    if (i > s.NumberOfRows || !s.Tabs.contains(i) || static_cast<size_t>(i) >= s.TabRects.size()) {
      return Next::column_gone;
    }
    return Next::go_on;
  };
  // A column that starts at or right of the clipping box's right edge
  // paints nothing: its caption is clipped to a box that starts 8 pixels
  // plus the picture's width right of the column, and its picture starts 4
  // pixels right of it. Such columns are left out, except the first, whose
  // failure still ends the pass.
  RECT visible{};
  const bool clipped = GetClipBox(dc, &visible) != ERROR;
  for (LONG i = 1; i <= N; ++i) {
    if (after_call_out(i) != Next::go_on) break;
    const framework::ComPtr<IPictureDisp> icon(s.Tabs(i).RowIcon());
    if (i != 1 && clipped && s.TabRects[static_cast<size_t>(i)].left >= visible.right) {
      if (!icon) continue;
      float px = 0, py = 0;
      bool size_read = true;
      try {
        GetPictureSize(icon.get(), px, py);
      } catch (...) {
        size_read = false;
      }
      const Next next = after_call_out(i);
      if (next == Next::superseded) return;
      if (next == Next::column_gone) break;
      if (size_read && px >= 0) continue;  // a picture of negative width would be drawn leftwards
    }
    RECT box{};
    float px = 0, py = 0;
    bool selected = false;
    Next next = Next::go_on;
    auto caption = [&] {
      GetPictureSize(icon.get(), px, py);
      next = after_call_out(i);
      if (next != Next::go_on) return;
      const std::wstring& text = s.Tabs(i).RowCaption;
      const RECT& column = s.TabRects[static_cast<size_t>(i)];
      const LONG indent = nearest(8.0 + px);
      const LONG shown = static_cast<LONG>(caption_length_shown(
          dc, text, column, column.left + indent, clipped ? visible.right : LONG_MAX));
      box = column;
      MeasureCaption(dc, text, shown, box);
      OffsetRectangle(box, indent, nearest((H + box.top - box.bottom) / 2.0));
      selected = i == s.SelectedRow;
      OLE_COLOR colour;
      if (selected) {
        box.top -= 2;
        colour = look.ForeColorActive;
      } else {
        box.top -= 3;
        colour = i == s.HotTab ? look.ForeColorHot : look.ForeColor;
      }
      SetDCTextColor(dc, device_colour(colour));
      DrawCaption(dc, text, shown, box, 21);
    };
    auto picture = [&] {
      if (!icon) return;
      const SHORT type = picture_properties::type(icon.get());
      if (next = after_call_out(i); next != Next::go_on) return;
      if (type != PICTYPE_BITMAP && type != PICTYPE_ICON) return;
      const HANDLE handle = picture_properties::handle(icon.get());
      if (next = after_call_out(i); next != Next::go_on) return;
      const int k = selected ? 2 : 0;
      image_painter.PaintTransparentHandle(dc, type, handle,
                                           s.TabRects[static_cast<size_t>(i)].left + 4,
                                           nearest((H + box.top - box.bottom + k) / 2.0),
                                           nearest(px), nearest(py), 0, 0, look.MaskColor, nullptr);
    };
    // Until the first caption is on the surface a failure ends the pass;
    // from then on a failing step is left out.
    if (i == 1) {
      caption();
    } else {
      skipping_failures(caption);
    }
    if (next == Next::go_on) skipping_failures(picture);
    if (next == Next::superseded) return;
    if (next == Next::column_gone) break;
  }

  // Show the finished strip.
  if (N >= 1) {
    skipping_failures([&] { surface.refresh(); });
  } else {
    surface.refresh();
  }
}

}  // namespace tessel
