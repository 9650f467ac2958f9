// frmAbout: the about box. Each showing loads a fresh form (version label
// and feature list built anew), shows it modally and unloads it on "OK" or
// when it is closed.
#pragma once

#include <windows.h>

#include <functional>

namespace tessel {

class frmAbout {
 public:
  // Child window ids; cmdOK comes first in the tab order.
  enum : int {
    kCmdOK = IDOK,
    kLblTitle = 301,
    kPicture2,
    kLblVersion,
    kTxtHistorie,
    kPicture1,
    kLabel5,
    kLblDescription,
    kLabel1,
    kLabel2,
    kLabel4,
    kLabel3,
    kLabel6,
    kLabel7,
  };

  // Shows the box modally over owner and returns once it is closed. Throws
  // ControlError when the box cannot be made.
  static void Show(HWND owner);

  // The address a link label opens, or nullptr for any other id.
  static const wchar_t* link_address(int id);
};

// Called once in each showing, from inside the box's modal loop once it is
// shown: tests read the box there and close it. nullptr removes it; returns
// the previous observer.
using AboutBoxObserver = std::function<void(HWND box)>;
AboutBoxObserver set_about_box_observer(AboutBoxObserver observer);

}  // namespace tessel
