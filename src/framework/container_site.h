// The container's side of an embedded control: its client site, and while
// the control is in-place active, the in-place site with the container's
// frame and document windows. Wraps the activation protocol's calls.
#pragma once

#include <ocidl.h>
#include <oleidl.h>

#include "framework/com_ptr.h"

namespace framework {

class ContainerSite {
 public:
  struct Placement {
    HWND parent;
    RECT position;  // in the parent's client pixels
  };

  IOleClientSite* client_site() const { return client_.get(); }
  void set_client_site(IOleClientSite* site) { client_ = ComPtr<IOleClientSite>(site); }

  // Negotiates in-place activation with the in-place site of site (the
  // client site when site is nullptr): CanInPlaceActivate, OnInPlaceActivate,
  // the parent window and the position. Throws when the container refuses.
  Placement begin_in_place(IOleClientSite* site);
  // OnInPlaceDeactivate, and lets go of the in-place site, frame and document.
  void end_in_place();
  bool in_place() const { return static_cast<bool>(in_place_); }

  // OnUIActivate and the frame's and document's active object. Throws when
  // the site refuses.
  void ui_activate(IOleInPlaceActiveObject* self);
  void ui_deactivate();

  // Asks the container to move the control (OnPosRectChange); false when it
  // declines or cannot.
  bool request_position(const RECT& position);
  // IOleControlSite notifications, when the site offers them.
  void focus_changed(bool gained);
  void control_info_changed();

 private:
  ComPtr<IOleClientSite> client_;
  ComPtr<IOleInPlaceSite> in_place_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> document_;
};

}  // namespace framework
