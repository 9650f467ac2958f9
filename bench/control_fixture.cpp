#include "control_fixture.h"

#include <string>

#include "control/interaction_helpers.h"
#include "input/mouse_tracking.h"
#include "support/com_test_env.h"

namespace bench {

namespace {
POINT g_pointer{};
BOOL WINAPI cursor_pos(LPPOINT point) {
  *point = g_pointer;
  return TRUE;
}
constexpr tessel::CursorApi kApi{&cursor_pos, &WindowFromPoint, &GetCapture, &SetCapture,
                                 &ReleaseCapture};
}  // namespace

void place_pointer(POINT screen) {
  static const bool installed = (tessel::set_cursor_api(&kApi), true);
  (void)installed;
  g_pointer = screen;
}

ComPtr<tessel::_TesselControl> new_control(bool init_new) {
  ComPtr<IDispatch> made = tessel_test::create_linked_control();
  if (init_new) made.query<IPersistStreamInit>(IID_IPersistStreamInit)->InitNew();
  return made.query<tessel::_TesselControl>(tessel::IID__TesselControl);
}

void add_columns(tessel::_TesselControl* control, int count) {
  control->put_RowWidth(1, 60);
  for (int i = 2; i <= count; ++i) {
    LONG width = 60;
    BSTR text = SysAllocString((L"Spalte " + std::to_wstring(i)).c_str());
    IPictureDisp* picture = nullptr;
    LONG index = 0;
    control->AddRow(&width, &text, &picture, &index);
    SysFreeString(text);
  }
}

HostedControl::HostedControl(int columns) : control_(new_control()) {
  add_columns(control_.get(), columns);
  host_ = std::make_unique<tessel_test::AxHost>(control_.get());
  window_ = host_->control_window();
  ClientToScreen(window_, &origin_);
}

HostedControl::~HostedControl() {
  if (GetCapture()) ReleaseCapture();
  host_.reset();
}

void HostedControl::move(int x, int y) {
  place_pointer(POINT{origin_.x + x, origin_.y + y});
  SendMessageW(window_, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
  UpdateWindow(window_);
}

}  // namespace bench
