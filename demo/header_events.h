// The header's events as the demo receives them: an IDispatch sink on the
// control's event interface (__TesselControl), connected through its
// connection point, that hands each event on with its arguments.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <string>

#include "framework/com_ptr.h"

namespace demo {

struct HeaderEvent {
  DISPID id = 0;
  // "RowPressed(PreviousTab=0, SortRow=1, Sort="ASC")": the event with its
  // arguments as the handler received them.
  std::wstring text;
  // SortRow and Sort of RowPressed and MouseDown (0 and empty otherwise).
  LONG sort_row = 0;
  std::wstring sort;
};

// Connected from construction to destruction. The handler runs inside the
// control's raise, synchronously, like any host's event handler.
class HeaderEventConnection {
 public:
  HeaderEventConnection(IUnknown* control, std::function<void(const HeaderEvent&)> handler);
  HeaderEventConnection(const HeaderEventConnection&) = delete;
  HeaderEventConnection& operator=(const HeaderEventConnection&) = delete;
  ~HeaderEventConnection();

 private:
  framework::ComPtr<IConnectionPoint> point_;
  framework::ComPtr<IDispatch> sink_;
  DWORD cookie_ = 0;
};

}  // namespace demo
