// The demo's column picture: a 16 x 16 page symbol drawn in code on the
// header's mask colour (magenta), which both the header and the list's image
// list leave transparent.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <memory>
#include <type_traits>

#include "framework/com_ptr.h"

namespace demo {

inline constexpr int kPictureSize = 16;
inline constexpr COLORREF kPictureMask = RGB(255, 0, 255);

struct BitmapDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
// A bitmap that can be handed over to an owner that deletes it (release()).
using OwnedBitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

// A new 16 x 16 bitmap of the page symbol.
OwnedBitmap draw_page_bitmap();

// The page symbol as an OLE picture, which owns its bitmap.
framework::ComPtr<IPictureDisp> page_picture();

}  // namespace demo
