#include "render/picture_conversion.h"

#include "framework/error.h"
#include "framework/gdi.h"
#include "render/image_manipulation.h"

namespace tessel {

namespace {

// What the converted bitmap shows where the icon is transparent: the same
// magenta as the default mask colour.
constexpr COLORREF kIconBackground = RGB(255, 0, 255);

SIZE icon_size(HICON icon) {
  ICONINFO info{};
  if (!GetIconInfo(icon, &info)) framework::raise_error(framework::error_number::kInvalidPicture);
  // GetIconInfo hands over copies of the icon's bitmaps.
  framework::GdiObject<HBITMAP> colour(info.hbmColor);
  framework::GdiObject<HBITMAP> mask(info.hbmMask);
  BITMAP bitmap{};
  if (colour) {
    GetObject(colour.get(), sizeof bitmap, &bitmap);
    return {bitmap.bmWidth, bitmap.bmHeight};
  }
  // A monochrome icon keeps its AND and XOR masks one above the other.
  GetObject(mask.get(), sizeof bitmap, &bitmap);
  return {bitmap.bmWidth, bitmap.bmHeight / 2};
}

framework::GdiObject<HBITMAP> icon_on_background(HICON icon, SIZE size) {
  framework::WindowDc screen(nullptr);
  framework::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(screen.get(), size.cx, size.cy));
  if (!bitmap) framework::raise_error(framework::error_number::kOutOfMemory);
  framework::MemoryDc dc(screen.get());
  framework::Selection selection(dc.get(), bitmap.get());
  framework::GdiObject<HBRUSH> background(CreateSolidBrush(kIconBackground));
  RECT all{0, 0, size.cx, size.cy};
  FillRect(dc.get(), &all, background.get());
  DrawIconEx(dc.get(), 0, 0, icon, size.cx, size.cy, 0, nullptr, DI_NORMAL);
  return bitmap;
}

}  // namespace

framework::ComPtr<IPictureDisp> ConvertIconToBitmap(IPictureDisp* icon) {
  if (!icon || picture_properties::type(icon) != PICTYPE_ICON) {
    return framework::ComPtr<IPictureDisp>(icon);
  }
  const HICON handle = static_cast<HICON>(picture_properties::handle(icon));
  framework::GdiObject<HBITMAP> bitmap = icon_on_background(handle, icon_size(handle));

  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap.get();
  framework::ComPtr<IPictureDisp> picture;
  framework::check_hr(
      OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.put_void()));
  bitmap.release();  // the picture owns it now
  return picture;
}

void GetPictureSize(IPictureDisp* picture, float& picX, float& picY) {
  picX = 0;
  picY = 0;
  if (!picture) return;
  const SIZEL himetric = picture_properties::himetric_size(picture);
  framework::WindowDc screen(nullptr);
  const int ppi_x = GetDeviceCaps(screen.get(), LOGPIXELSX);
  const int ppi_y = GetDeviceCaps(screen.get(), LOGPIXELSY);
  picX = static_cast<float>(static_cast<double>(himetric.cx) * ppi_x / 2540.0);
  picY = static_cast<float>(static_cast<double>(himetric.cy) * ppi_y / 2540.0);
}

}  // namespace tessel
