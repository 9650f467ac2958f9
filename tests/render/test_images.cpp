#include "test_images.h"

#include <gtest/gtest.h>

#include "framework/gdi.h"

namespace tessel_test {

namespace {

// Sets every pixel of the bitmap from pattern(x, y).
HBITMAP painted(HBITMAP bitmap, int width, int height, const BitmapPattern& pattern) {
  framework::MemoryDc dc;
  framework::Selection selection(dc.get(), bitmap);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) SetPixel(dc.get(), x, y, pattern(x, y));
  }
  return bitmap;
}

HBITMAP screen_bitmap(int width, int height, const BitmapPattern& pattern) {
  const framework::WindowDc screen(nullptr);
  return painted(CreateCompatibleBitmap(screen.get(), width, height), width, height, pattern);
}

framework::ComPtr<IPictureDisp> make_picture(PICTDESC& description) {
  description.cbSizeofstruct = sizeof description;
  framework::ComPtr<IPictureDisp> picture;
  HRESULT hr = OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.put_void());
  EXPECT_EQ(hr, S_OK);
  return picture;
}

framework::ComPtr<IPicture> as_picture(IPictureDisp* picture) {
  return framework::ComPtr<IPictureDisp>(picture).query<IPicture>(IID_IPicture);
}

}  // namespace

framework::ComPtr<IPictureDisp> make_bitmap_picture(int width, int height,
                                                    const BitmapPattern& pattern) {
  PICTDESC description{};
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = screen_bitmap(width, height, pattern);
  return make_picture(description);
}

framework::ComPtr<IPictureDisp> make_icon_picture(int width, int height,
                                                  const IconPattern& pattern) {
  // The AND mask is 1 where the icon is transparent; the colour bitmap is
  // black there.
  const framework::GdiObject<HBITMAP> mask(
      painted(CreateBitmap(width, height, 1, 1, nullptr), width, height,
              [&](int x, int y) { return pattern(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255); }));
  const framework::GdiObject<HBITMAP> colour(screen_bitmap(
      width, height, [&](int x, int y) { return pattern(x, y).value_or(RGB(0, 0, 0)); }));
  ICONINFO info{TRUE, 0, 0, mask.get(), colour.get()};
  HICON icon = CreateIconIndirect(&info);
  EXPECT_NE(icon, nullptr);
  PICTDESC description{};
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  return make_picture(description);
}

framework::ComPtr<IPictureDisp> make_metafile_picture() {
  HDC recorder = CreateMetaFileW(nullptr);
  Rectangle(recorder, 0, 0, 16, 16);
  PICTDESC description{};
  description.picType = PICTYPE_METAFILE;
  description.wmf.hmeta = CloseMetaFile(recorder);
  description.wmf.xExt = 423;  // 16 pixels at 96 per inch, in HIMETRIC
  description.wmf.yExt = 423;
  return make_picture(description);
}

framework::ComPtr<IPictureDisp> make_enhanced_metafile_picture() {
  HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  Rectangle(recorder, 0, 0, 16, 16);
  PICTDESC description{};
  description.picType = PICTYPE_ENHMETAFILE;
  description.emf.hemf = CloseEnhMetaFile(recorder);
  return make_picture(description);
}

SHORT picture_type(IPictureDisp* picture) {
  SHORT type = -1;
  if (!picture) return type;
  EXPECT_EQ(as_picture(picture)->get_Type(&type), S_OK);
  return type;
}

HANDLE picture_handle(IPictureDisp* picture) {
  OLE_HANDLE handle = 0;
  EXPECT_EQ(as_picture(picture)->get_Handle(&handle), S_OK);
  return reinterpret_cast<HANDLE>(static_cast<LONG_PTR>(static_cast<LONG>(handle)));
}

HRESULT FakePicture::QueryInterface(REFIID iid, void** object) {
  const bool known = iid == IID_IUnknown || iid == IID_IDispatch || iid == IID_IPictureDisp;
  *object = known ? static_cast<IPictureDisp*>(this) : nullptr;
  if (known) AddRef();
  return known ? S_OK : E_NOINTERFACE;
}

HRESULT FakePicture::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

HRESULT FakePicture::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*, VARIANT* result,
                            EXCEPINFO*, UINT*) {
  if (!(flags & DISPATCH_PROPERTYGET) || !result) return DISP_E_MEMBERNOTFOUND;
  if (refused.count(id)) return E_FAIL;
  VariantInit(result);
  if (id == DISPID_PICT_TYPE) {
    V_VT(result) = VT_I2;
    V_I2(result) = type;
    return S_OK;
  }
  const LONG* value = id == DISPID_PICT_HANDLE   ? &handle
                      : id == DISPID_PICT_WIDTH  ? &width
                      : id == DISPID_PICT_HEIGHT ? &height
                                                 : nullptr;
  if (!value) return DISP_E_MEMBERNOTFOUND;
  V_VT(result) = VT_I4;
  V_I4(result) = *value;
  return S_OK;
}

}  // namespace tessel_test
