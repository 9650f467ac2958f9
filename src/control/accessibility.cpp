// The control's side of its accessible object: the access key of a column
// and a press as a left click at the column's centre.
#include <cstdint>

#include "control/access_keys.h"
#include "control/tessel_control.h"

namespace tessel {

LRESULT TesselControl::on_get_object(WPARAM flags, LPARAM object_id) {
  return accessibility_.get_object(flags, object_id);
}

std::wstring TesselControl::AccessibleColumns::access_key(LONG column) const {
  return fnc_AccessKeyOf(control_.s_.Tabs(column).RowCaption);
}

// The same handlers as the window's mouse-down and mouse-up run, each
// failure staying with its own step as with the window's messages. A column
// that no paint pass has laid out yet has no centre to press.
void TesselControl::AccessibleColumns::press(LONG column) {
  const std::vector<RECT>& rects = control_.s_.TabRects;
  if (column < 1 || static_cast<size_t>(column) >= rects.size()) return;
  const RECT r = rects[static_cast<size_t>(column)];
  const auto centre = [](LONG low, LONG high) {
    return static_cast<float>((static_cast<std::int64_t>(low) + high) / 2);
  };
  const float x = centre(r.left, r.right), y = centre(r.top, r.bottom);
  // Handlers may release the control; it lives until the click is over.
  framework::ComPtr<_TesselControl> keep(&control_);
  try {
    control_.on_mouse_down(1, 0, x, y);
  } catch (...) {
  }
  try {
    control_.on_mouse_up(1, 0, x, y);
  } catch (...) {
  }
}

}  // namespace tessel
