#include "component/server_classes.h"

#include "control/tessel_control.h"
#include "tessel_interfaces.h"

namespace tessel {

namespace {

const framework::ServerClass kClasses[] = {
    {&CLSID_TesselControl, kTesselClass.prog_id, L"QuonTessel.TesselControl", true,
     kTesselClass.misc_status, kToolboxBitmap, &LIBID_QuonTessel, L"1.0"},
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
