#include "render/image_manipulation.h"

#include <algorithm>
#include <cstdint>

#include "framework/com_ptr.h"
#include "framework/error.h"
#include "framework/variant.h"

namespace tessel {

namespace picture_properties {

namespace {

// One property of the picture, read the way a late-bound caller reads it,
// converted to vt.
framework::Variant read(IPictureDisp* picture, DISPID id, VARTYPE vt) {
  DISPPARAMS no_arguments{};
  framework::Variant value;
  framework::check_hr(picture->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                      &no_arguments, value.get(), nullptr, nullptr));
  framework::check_hr(VariantChangeType(value.get(), value.get(), 0, vt));
  return value;
}

}  // namespace

SHORT type(IPictureDisp* picture) { return V_I2(read(picture, DISPID_PICT_TYPE, VT_I2).get()); }

HANDLE handle(IPictureDisp* picture) {
  const std::int64_t value = V_I8(read(picture, DISPID_PICT_HANDLE, VT_I8).get());
  // OLE hands handles over as 32-bit values (OLE_HANDLE); a 64-bit process
  // sign-extends them.
  if (value >= 0 && value <= 0xFFFFFFFF) {
    return reinterpret_cast<HANDLE>(
        static_cast<LONG_PTR>(static_cast<LONG>(static_cast<ULONG>(value))));
  }
  return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(value));
}

SIZEL himetric_size(IPictureDisp* picture) {
  return {V_I4(read(picture, DISPID_PICT_WIDTH, VT_I4).get()),
          V_I4(read(picture, DISPID_PICT_HEIGHT, VT_I4).get())};
}

}  // namespace picture_properties

namespace {

COLORREF translated(OLE_COLOR colour, HPALETTE palette) {
  COLORREF rgb = 0;
  OleTranslateColor(colour, palette, &rgb);
  return rgb;
}

// The part of a Width × Height block at (x, y) of dc that its clipping box
// lets show, as the block's own offset and size (empty when none of it
// shows). A block of no size, a DC without a clipping box or with a mapping
// other than one logical unit per pixel is taken whole.
struct VisiblePart {
  LONG dx = 0, dy = 0, width = 0, height = 0;
  bool empty() const { return width <= 0 || height <= 0; }
};

VisiblePart visible_part(HDC dc, LONG x, LONG y, LONG width, LONG height) {
  const VisiblePart whole{0, 0, width, height};
  RECT clip{};
  if (width <= 0 || height <= 0 || GetMapMode(dc) != MM_TEXT ||
      GetGraphicsMode(dc) != GM_COMPATIBLE || GetClipBox(dc, &clip) == ERROR) {
    return whole;
  }
  // In 64 bits: a block near the end of the coordinate range must not wrap.
  const long long left = std::max<long long>(x, clip.left);
  const long long top = std::max<long long>(y, clip.top);
  const long long right = std::min<long long>(static_cast<long long>(x) + width, clip.right);
  const long long bottom = std::min<long long>(static_cast<long long>(y) + height, clip.bottom);
  if (left >= right || top >= bottom) return VisiblePart{};
  return VisiblePart{static_cast<LONG>(left - x), static_cast<LONG>(top - y),
                     static_cast<LONG>(right - left), static_cast<LONG>(bottom - top)};
}

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr DWORD kDestinationAndNotSource = 0x00220326;

}  // namespace

cImageManipulation::cImageManipulation() {
  framework::WindowDc screen(nullptr);
  halftone_palette_ = framework::GdiObject<HPALETTE>(CreateHalftonePalette(screen.get()));
}

void cImageManipulation::PaintTransparentDC(HDC hDCDest, LONG xDest, LONG yDest, LONG Width,
                                            LONG Height, HDC hdcSrc, LONG xSrc, LONG ySrc,
                                            OLE_COLOR clrMask, HPALETTE hPal) {
  const VisiblePart part = visible_part(hDCDest, xDest, yDest, Width, Height);
  if (part.width != Width || part.height != Height) {
    if (part.empty()) return;  // nothing of it shows
    PaintTransparentDC(hDCDest, xDest + part.dx, yDest + part.dy, part.width, part.height, hdcSrc,
                       xSrc + part.dx, ySrc + part.dy, clrMask, hPal);
    return;
  }
  // Declared in the reverse order of their release: the source context goes
  // first, then the composition context, then the mask, then the screen DC.
  // The contexts are made here, their bitmaps and selections further down.
  // Within each, the bitmap is selected out and deleted before the palette
  // is selected out and the context deleted.
  framework::WindowDc screen(nullptr);
  framework::MemoryDc mask_dc(screen.get());
  framework::GdiObject<HBITMAP> mask_bitmap;
  framework::Selection mask_selection;
  framework::MemoryDc composition_dc(screen.get());
  framework::PaletteSelection composition_palette;
  framework::GdiObject<HBITMAP> composition_bitmap;
  framework::Selection composition_selection;
  framework::MemoryDc source_dc(screen.get());
  framework::PaletteSelection source_palette;
  framework::GdiObject<HBITMAP> source_bitmap;
  framework::Selection source_selection;

  const HPALETTE palette = palette_or_halftone(hPal);
  const COLORREF mask = translated(clrMask, palette);

  // The composition starts as a copy of the destination block.
  composition_bitmap =
      framework::GdiObject<HBITMAP>(CreateCompatibleBitmap(screen.get(), Width, Height));
  composition_selection = framework::Selection(composition_dc.get(), composition_bitmap.get());
  composition_palette = framework::PaletteSelection(composition_dc.get(), palette);
  BitBlt(composition_dc.get(), 0, 0, Width, Height, hDCDest, xDest, yDest, SRCCOPY);

  // A copy of the source block, with the source's colours for monochrome
  // sources.
  source_bitmap =
      framework::GdiObject<HBITMAP>(CreateCompatibleBitmap(screen.get(), Width, Height));
  mask_bitmap = framework::GdiObject<HBITMAP>(CreateBitmap(Width, Height, 1, 1, nullptr));
  source_selection = framework::Selection(source_dc.get(), source_bitmap.get());
  source_palette = framework::PaletteSelection(source_dc.get(), palette);
  SetBkColor(source_dc.get(), GetBkColor(hdcSrc));
  SetTextColor(source_dc.get(), GetTextColor(hdcSrc));
  BitBlt(source_dc.get(), 0, 0, Width, Height, hdcSrc, xSrc, ySrc, SRCCOPY);

  // The mask: white where the source has the mask colour, black elsewhere.
  mask_selection = framework::Selection(mask_dc.get(), mask_bitmap.get());
  SetBkColor(source_dc.get(), mask);
  SetTextColor(source_dc.get(), kWhite);
  BitBlt(mask_dc.get(), 0, 0, Width, Height, source_dc.get(), 0, 0, SRCCOPY);

  // Clear the transparent pixels of the source copy to black.
  SetTextColor(source_dc.get(), kBlack);
  SetBkColor(source_dc.get(), kWhite);
  BitBlt(source_dc.get(), 0, 0, Width, Height, mask_dc.get(), 0, 0, kDestinationAndNotSource);

  // Hole the background where the source is opaque, then merge the source
  // into the holes.
  BitBlt(composition_dc.get(), 0, 0, Width, Height, mask_dc.get(), 0, 0, SRCAND);
  BitBlt(composition_dc.get(), 0, 0, Width, Height, source_dc.get(), 0, 0, SRCPAINT);

  BitBlt(hDCDest, xDest, yDest, Width, Height, composition_dc.get(), 0, 0, SRCCOPY);
}

void cImageManipulation::PaintTransparentPicture(HDC hDCDest, IPictureDisp* picSource, LONG xDest,
                                                 LONG yDest, LONG Width, LONG Height, LONG xSrc,
                                                 LONG ySrc, OLE_COLOR clrMask, HPALETTE hPal) {
  if (!picSource) return;
  // The picture's own code runs while its properties are read: hold it.
  const framework::ComPtr<IPictureDisp> picture(picSource);
  const SHORT type = picture_properties::type(picture.get());
  if (type != PICTYPE_BITMAP && type != PICTYPE_ICON) return;
  const HANDLE handle = picture_properties::handle(picture.get());
  PaintTransparentHandle(hDCDest, type, handle, xDest, yDest, Width, Height, xSrc, ySrc, clrMask,
                         hPal);
}

void cImageManipulation::PaintTransparentHandle(HDC hDCDest, SHORT type, HANDLE handle, LONG xDest,
                                                LONG yDest, LONG Width, LONG Height, LONG xSrc,
                                                LONG ySrc, OLE_COLOR clrMask, HPALETTE hPal) {
  if (type == PICTYPE_BITMAP) {
    framework::WindowDc screen(nullptr);
    const HPALETTE palette = palette_or_halftone(hPal);
    // The picture keeps its bitmap: it is only selected in and out again.
    framework::MemoryDc dc(screen.get());
    framework::PaletteSelection palette_selection;
    framework::Selection bitmap_selection(dc.get(), handle);
    palette_selection = framework::PaletteSelection(dc.get(), palette);
    PaintTransparentDC(hDCDest, xDest, yDest, Width, Height, dc.get(), xSrc, ySrc, clrMask,
                       palette);
  } else if (type == PICTYPE_ICON) {
    const HICON icon = static_cast<HICON>(handle);
    // Only the part that shows is flattened: the scratch block starts at
    // the visible part's offset, and the icon is drawn shifted by as much.
    // (A source offset reads the scratch block elsewhere: then all of it.)
    const bool whole = xSrc != 0 || ySrc != 0 || Width <= 0 || Height <= 0;
    const VisiblePart part = whole ? VisiblePart{0, 0, Width, Height}
                                   : visible_part(hDCDest, xDest, yDest, Width, Height);
    if (part.empty() && !whole) return;
    framework::WindowDc screen(nullptr);
    const HPALETTE palette = palette_or_halftone(hPal);
    // The icon is flattened onto a block of the mask colour, which the mask
    // then cuts out again together with the icon's own transparent pixels.
    framework::MemoryDc dc(screen.get());
    framework::PaletteSelection palette_selection;
    framework::GdiObject<HBITMAP> scratch(
        CreateCompatibleBitmap(screen.get(), part.width, part.height));
    framework::Selection scratch_selection(dc.get(), scratch.get());
    palette_selection = framework::PaletteSelection(dc.get(), palette);
    const COLORREF mask = translated(clrMask, nullptr);
    {
      framework::GdiObject<HBRUSH> brush(CreateSolidBrush(mask));
      RECT block{0, 0, part.width, part.height};
      FillRect(dc.get(), &block, brush.get());
    }
    // The icon's own size: DrawIcon would stretch a small icon to the
    // system's large-icon size.
    DrawIconEx(dc.get(), -part.dx, -part.dy, icon, 0, 0, 0, nullptr, DI_NORMAL);
    PaintTransparentDC(hDCDest, xDest + part.dx, yDest + part.dy, part.width, part.height, dc.get(),
                       xSrc, ySrc, mask, palette);
  }
}

}  // namespace tessel
