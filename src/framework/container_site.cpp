#include "framework/container_site.h"

#include <olectl.h>

#include <utility>

#include "framework/error.h"

namespace framework {

ContainerSite::Placement ContainerSite::begin_in_place(IOleClientSite* site) {
  if (!site) site = client_.get();
  if (!site) throw ControlError::from_hresult(E_UNEXPECTED);
  ComPtr<IOleInPlaceSite> in_place;
  site->QueryInterface(IID_IOleInPlaceSite, in_place.put_void());
  if (!in_place) throw ControlError::from_hresult(E_NOINTERFACE);
  HRESULT hr = in_place->CanInPlaceActivate();
  if (hr != S_OK) throw ControlError::from_hresult(FAILED(hr) ? hr : E_FAIL);
  check_hr(in_place->OnInPlaceActivate());
  in_place_ = in_place;

  Placement placement{};
  RECT clip{};
  OLEINPLACEFRAMEINFO frame_info{};
  frame_info.cb = sizeof(frame_info);
  if (FAILED(hr = in_place->GetWindow(&placement.parent)) ||
      FAILED(hr = in_place->GetWindowContext(frame_.put(), document_.put(), &placement.position,
                                             &clip, &frame_info))) {
    end_in_place();
    throw ControlError::from_hresult(hr);
  }
  if (!placement.parent) {
    end_in_place();
    throw ControlError::from_hresult(E_FAIL);
  }
  return placement;
}

void ContainerSite::end_in_place() {
  frame_ = nullptr;
  document_ = nullptr;
  if (ComPtr<IOleInPlaceSite> site = std::move(in_place_)) site->OnInPlaceDeactivate();
}

void ContainerSite::ui_activate(IOleInPlaceActiveObject* self) {
  if (!in_place_) throw ControlError::from_hresult(E_UNEXPECTED);
  check_hr(in_place_->OnUIActivate());
  // A control brings no menus or tools: it asks for no border space.
  if (frame_) {
    frame_->SetActiveObject(self, nullptr);
    frame_->SetBorderSpace(nullptr);
  }
  if (document_) {
    document_->SetActiveObject(self, nullptr);
    document_->SetBorderSpace(nullptr);
  }
}

void ContainerSite::ui_deactivate() {
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (document_) document_->SetActiveObject(nullptr, nullptr);
  if (in_place_) in_place_->OnUIDeactivate(FALSE);
}

bool ContainerSite::request_position(const RECT& position) {
  if (!in_place_) return false;
  RECT copy = position;
  return SUCCEEDED(in_place_->OnPosRectChange(&copy));
}

void ContainerSite::focus_changed(bool gained) {
  if (auto control_site = client_.query<IOleControlSite>(IID_IOleControlSite)) {
    control_site->OnFocus(gained);
  }
}

void ContainerSite::control_info_changed() {
  if (auto control_site = client_.query<IOleControlSite>(IID_IOleControlSite)) {
    control_site->OnControlInfoChanged();
  }
}

}  // namespace framework
