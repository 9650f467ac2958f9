// Copying the attributes of one OLE font object into another.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include "framework/com_ptr.h"

namespace tessel {

// Copies Bold, Charset, Italic, Name, Size, Strikethrough, Underline and
// Weight, in this order. Throws ControlError on the first failure (424 when
// either font is missing).
void copy_font_attributes(IFontDisp* from, IFontDisp* to);

// The IFont behind a font object; throws 424 for nullptr.
framework::ComPtr<IFont> font_of(IFontDisp* font);

}  // namespace tessel
