// Property page applies for the soak: a page opened on the control the way
// a property frame opens it (site, objects, activation), fields typed into
// and applied, and the page closed again; all without the frame's modal
// loop.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <random>

#include "framework/com_ptr.h"
#include "support/page_site.h"

namespace soak {

class PageDriver {
 public:
  PageDriver(IDispatch* control, HWND parent) : control_(control), parent_(parent) {}
  PageDriver(const PageDriver&) = delete;
  PageDriver& operator=(const PageDriver&) = delete;
  ~PageDriver() { close(); }

  // Opens the general (or else the columns) page, types random valid values and
  // applies them, one to four times, and closes the page. Returns false
  // when a page call fails or an applied value is not the control's.
  bool session(std::mt19937& random, bool general);

 private:
  bool open(bool general);
  bool apply(std::mt19937& random);
  bool close();

  IDispatch* control_;
  HWND parent_;
  tessel_test::RecordingPageSite site_;
  framework::ComPtr<IPropertyPage> page_;
  bool general_ = false;
};

}  // namespace soak
