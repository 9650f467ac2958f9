// Identity of a control class: what the framework needs to know about it.
#pragma once

#include <guiddef.h>

namespace framework {

struct ControlClass {
  const CLSID* clsid;
  const IID* dual_iid;    // the default (dual) interface
  const IID* events_iid;  // the default source dispinterface
  const wchar_t* prog_id;
};

}  // namespace framework
