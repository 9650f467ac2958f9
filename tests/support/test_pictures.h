// OLE picture objects for tests.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include "framework/com_ptr.h"

namespace tessel_test {

// A bitmap picture of one colour, owning its bitmap.
framework::ComPtr<IPictureDisp> make_bitmap_picture(int width, int height, COLORREF color);

}  // namespace tessel_test
