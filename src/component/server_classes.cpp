#include "component/server_classes.h"

#include <oleidl.h>

#include "tessel_interfaces.h"

namespace tessel {

namespace {

// What the control asks of its container: a client site before loading,
// activation when visible, redraw on resize, no links into it, and in-place
// activation without the container's menus and toolbars.
constexpr DWORD kMiscStatus = OLEMISC_SETCLIENTSITEFIRST | OLEMISC_ACTIVATEWHENVISIBLE |
                              OLEMISC_RECOMPOSEONRESIZE | OLEMISC_CANTLINKINSIDE |
                              OLEMISC_INSIDEOUT;

const framework::ServerClass kClasses[] = {
    {&CLSID_TesselControl, L"QuonTessel.TesselControl", L"QuonTessel.TesselControl", true,
     kMiscStatus, kToolboxBitmap, &LIBID_QuonTessel, L"1.0"},
    {&CLSID_Register, L"QuonTessel.Register", nullptr, false, 0, 0, nullptr, nullptr},
    {&CLSID_Allgemein, L"QuonTessel.Allgemein", nullptr, false, 0, 0, nullptr, nullptr},
    {&CLSID_TabsC, L"QuonTessel.TabsC", nullptr, false, 0, 0, nullptr, nullptr},
};

}  // namespace

const framework::ServerClass* server_classes(size_t* count) {
  *count = std::size(kClasses);
  return kClasses;
}

}  // namespace tessel
