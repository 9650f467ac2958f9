// IOleWindow, IOleInPlaceObject and IOleInPlaceActiveObject: the window
// while in-place active, its rectangle, and deactivation.
#include "framework/embedding.h"
#include "framework/error.h"

namespace framework {

STDMETHODIMP Embedding::GetWindow(HWND* window) {
  if (!window) return E_POINTER;
  *window = window_.handle();
  return *window ? S_OK : E_FAIL;
}

STDMETHODIMP Embedding::InPlaceDeactivate() {
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IOleInPlaceObject, error_source(), [&] { deactivate(); });
}

STDMETHODIMP Embedding::UIDeactivate() {
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IOleInPlaceObject, error_source(), [&] { ui_deactivate(); });
}

// The container moves or sizes the control: the window follows, and with a
// new size the surface and the control's on_resize.
STDMETHODIMP Embedding::SetObjectRects(LPCRECT position, LPCRECT) {
  if (!position) return E_POINTER;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IOleInPlaceObject, error_source(), [&] {
    position_ = *position;
    window_.move(position_);
    apply_size(position_.right - position_.left, position_.bottom - position_.top);
  });
}

}  // namespace framework
