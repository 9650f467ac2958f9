// Entry points of the in-process server.
#include <windows.h>
#include <objbase.h>

#include "component/server_classes.h"
#include "control/tessel_control.h"
#include "framework/class_factory.h"
#include "framework/error.h"
#include "framework/module.h"
#include "control/about_box_hook.h"
#include "pages/about_box.h"
#include "pages/allgemein_page.h"
#include "pages/error_report.h"
#include "pages/register_page.h"
#include "pages/tabs_c_page.h"
#include "framework/trapped_error.h"

namespace {

HRESULT unregister_server(const framework::ClassesRoot& root) {
  size_t count = 0;
  const framework::ServerClass* classes = tessel::server_classes(&count);
  return framework::com_boundary(IID_NULL, [&] {
    for (size_t i = 0; i < count; ++i) framework::unregister_server_class(classes[i], root);
    framework::unregister_module_type_library(root);
  });
}

// Registers everything under root; on failure nothing of it is left behind.
HRESULT register_server(const framework::ClassesRoot& root) {
  size_t count = 0;
  const framework::ServerClass* classes = tessel::server_classes(&count);
  HRESULT hr = framework::com_boundary(IID_NULL, [&] {
    framework::register_module_type_library(root);
    const std::wstring path = framework::module_path();
    for (size_t i = 0; i < count; ++i) framework::register_server_class(classes[i], root, path);
  });
  if (FAILED(hr)) unregister_server(root);
  return hr;
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    framework::module_init(instance);
    DisableThreadLibraryCalls(instance);
    // Procedures that trap their own errors report them in a message box.
    framework::set_trapped_error_handler(&tessel::show_error_report);
    // ShowAboutBox shows the about box over the active window.
    tessel::set_about_box_handler([] { tessel::frmAbout::Show(GetActiveWindow()); });
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid == tessel::CLSID_TesselControl) {
    return framework::ClassFactory<tessel::TesselControl>::get(iid, object);
  }
  if (clsid == tessel::CLSID_Allgemein) {
    return framework::ClassFactory<tessel::AllgemeinPage>::get(iid, object);
  }
  if (clsid == tessel::CLSID_Register) {
    return framework::ClassFactory<tessel::RegisterPage>::get(iid, object);
  }
  if (clsid == tessel::CLSID_TabsC) {
    return framework::ClassFactory<tessel::TabsCPage>::get(iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return framework::module_can_unload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return register_server(framework::ClassesRoot::machine()); }

STDAPI DllUnregisterServer() { return unregister_server(framework::ClassesRoot::machine()); }

// regsvr32 /n /i:user (and /u /n /i:user) registers for the current user
// only, under HKEY_CURRENT_USER\Software\Classes: no administrator rights
// are needed. Any other command line registers machine-wide.
STDAPI DllInstall(BOOL install, LPCWSTR command_line) {
  const bool per_user = command_line && _wcsicmp(command_line, L"user") == 0;
  const framework::ClassesRoot root =
      per_user ? framework::ClassesRoot::user() : framework::ClassesRoot::machine();
  return install ? register_server(root) : unregister_server(root);
}

}  // extern "C"
