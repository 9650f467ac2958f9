// OLE font objects: new ones, and the container's ambient font.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include "framework/com_ptr.h"

namespace framework {

// A new font object; throws when the platform cannot create it.
ComPtr<IFontDisp> create_font(const wchar_t* name, double points);

// The font a control uses when its container names none: a new
// "MS Sans Serif" 8 pt font object.
ComPtr<IFontDisp> default_font();

// The client site's ambient font (DISPID_AMBIENT_FONT through the site's
// IDispatch), or nullptr when there is no site or it offers no font.
ComPtr<IFontDisp> site_ambient_font(IOleClientSite* site);

}  // namespace framework
