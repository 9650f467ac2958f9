// A control class's description: its identity and the settings that are the
// control's own, which the framework applies to every instance of it.
#pragma once

#include <windows.h>

namespace framework {

struct ControlClass {
  const CLSID* clsid;
  const IID* dual_iid;    // the default (dual) interface
  const IID* events_iid;  // the default source dispinterface
  const wchar_t* prog_id;
  // The source name in the error information of the control's members and
  // of the interfaces the framework implements for it.
  const wchar_t* error_source;
  // What the control reports to its container in MiscStatus (and what its
  // registration writes).
  DWORD misc_status;
  // The extent of a control that no container has sized, in pixels.
  SIZE default_size;
};

}  // namespace framework
