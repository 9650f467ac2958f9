// Column pictures: icons become bitmaps before a column keeps them, and a
// picture's size in screen pixels.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "framework/com_ptr.h"

namespace tessel {

// A new bitmap picture (type 1, owning its bitmap) of the icon's size that
// shows the icon drawn over RGB(255, 0, 255), so the painter's mask colour
// makes the icon's transparent pixels transparent again. The conversion
// happens in memory. A picture that is not an icon (or nullptr) is returned
// as it is. Throws framework::ControlError when the picture's properties
// cannot be read or the bitmap cannot be made.
framework::ComPtr<IPictureDisp> ConvertIconToBitmap(IPictureDisp* icon);

// The picture's width and height in pixels at the screen's logical
// resolution: HIMETRIC × pixels per inch / 2540, not rounded. 0 and 0 for
// nullptr. Throws framework::ControlError when the size cannot be read.
void GetPictureSize(IPictureDisp* picture, float& picX, float& picY);

}  // namespace tessel
