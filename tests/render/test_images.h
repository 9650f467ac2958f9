// Pictures for the render tests: bitmaps and icons drawn pixel by pixel,
// metafiles, and a picture object whose properties can be made to fail.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <optional>
#include <set>
#include <utility>

#include "framework/com_ptr.h"

namespace tessel_test {

// The colour of pixel (x, y); for icons std::nullopt is a transparent pixel.
using BitmapPattern = std::function<COLORREF(int x, int y)>;
using IconPattern = std::function<std::optional<COLORREF>(int x, int y)>;

// A picture owning a new bitmap (type 1) or icon (type 3).
framework::ComPtr<IPictureDisp> make_bitmap_picture(int width, int height,
                                                    const BitmapPattern& pattern);
framework::ComPtr<IPictureDisp> make_icon_picture(int width, int height,
                                                  const IconPattern& pattern);
// Pictures of type 2 (metafile) and 4 (enhanced metafile) drawing a black
// rectangle over their whole area.
framework::ComPtr<IPictureDisp> make_metafile_picture();
framework::ComPtr<IPictureDisp> make_enhanced_metafile_picture();

// The picture's type (PICTYPE_*), or -1 for nullptr.
SHORT picture_type(IPictureDisp* picture);
HANDLE picture_handle(IPictureDisp* picture);

// An IPictureDisp answering the type, handle, width and height properties
// from its fields; reading a property listed in refused fails with E_FAIL.
class FakePicture : public IPictureDisp {
 public:
  explicit FakePicture(SHORT type = PICTYPE_BITMAP, std::set<DISPID> refused = {})
      : type(type), refused(std::move(refused)) {}

  SHORT type;
  LONG handle = 0;
  LONG width = 0;   // HIMETRIC
  LONG height = 0;  // HIMETRIC
  std::set<DISPID> refused;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override { return --references_; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS*,
                                   VARIANT* result, EXCEPINFO*, UINT*) override;

 private:
  ULONG references_ = 1;  // lives on the test's stack
};

}  // namespace tessel_test
