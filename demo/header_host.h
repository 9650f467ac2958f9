// The header control embedded in a window through OLE in-place activation,
// the way a form embeds an ActiveX control: client site first (the control
// asks for it before loading), a new control's properties (InitNew), then
// in-place activation, which gives the control its own child window.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <oleidl.h>

#include <functional>

#include "control_site.h"
#include "framework/com_ptr.h"

namespace demo {

class HeaderHost {
 public:
  // Embeds control in parent at position. on_height runs when the control
  // asks for another height; the parent then lays itself out and calls place.
  HeaderHost(HWND parent, IUnknown* control, IFontDisp* ambient_font, const RECT& position,
             std::function<void(int height)> on_height);
  HeaderHost(const HeaderHost&) = delete;
  HeaderHost& operator=(const HeaderHost&) = delete;
  // Deactivates and closes the control and takes the site back.
  ~HeaderHost();

  // Moves the control (IOleInPlaceObject::SetObjectRects).
  void place(const RECT& position);
  const RECT& position() const { return site_->position(); }
  // The control's own window.
  HWND window() const;

 private:
  // The steps from the client site to in-place activation.
  void embed(IUnknown* control, const RECT& position);
  void close();

  HWND parent_;
  framework::ComPtr<ControlSite> site_;
  framework::ComPtr<IOleObject> object_;
  framework::ComPtr<IOleInPlaceObject> in_place_;
};

}  // namespace demo
