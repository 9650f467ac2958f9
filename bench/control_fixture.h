// The control as the benchmarks drive it: made by this program's own copy of
// the control code (so the cursor seam reaches it), hosted in Wine's ATL
// container, reached through its dual interface.
#pragma once

#include <windows.h>

#include <memory>

#include "framework/com_ptr.h"
#include "tessel_interfaces.h"

namespace tessel_test {
class AxHost;
}

namespace bench {

using framework::ComPtr;

// A control, not hosted: newly placed (InitNew), or blank for a Load.
ComPtr<tessel::_TesselControl> new_control(bool init_new = true);
// Sets column 1 to width 60 and appends columns up to count, captions
// "Spalte <n>".
void add_columns(tessel::_TesselControl* control, int count);

class HostedControl {
 public:
  explicit HostedControl(int columns);
  HostedControl(const HostedControl&) = delete;
  HostedControl& operator=(const HostedControl&) = delete;
  ~HostedControl();

  tessel::_TesselControl* control() const { return control_.get(); }
  HWND window() const { return window_; }
  // Pointer to client point (x, y), WM_MOUSEMOVE, then the repaint it asked
  // for. The window does not move, so its screen origin is looked up once.
  void move(int x, int y);

 private:
  ComPtr<tessel::_TesselControl> control_;
  std::unique_ptr<tessel_test::AxHost> host_;
  HWND window_ = nullptr;
  POINT origin_{};  // the client area's top left on the screen
};

// Holds the pointer where the benchmark puts it, for every control made
// here (the tracking's cursor seam).
void place_pointer(POINT screen);

}  // namespace bench
