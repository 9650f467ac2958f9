// Entry points of the in-process server.
#include <windows.h>
#include <objbase.h>

#include "component/server_classes.h"
#include "control/tessel_control.h"
#include "framework/class_factory.h"
#include "framework/error.h"
#include "framework/module.h"
#include "pages/error_report.h"
#include "render/trapped_error.h"

namespace {

// Registers everything under root; on failure nothing of it is left behind.
HRESULT register_server(const framework::ClassesRoot& root, bool per_user) {
  size_t count = 0;
  const framework::ServerClass* classes = tessel::server_classes(&count);
  auto undo = [&] {
    for (size_t i = 0; i < count; ++i) {
      try {
        framework::unregister_server_class(classes[i], root);
      } catch (...) {
      }
    }
  };
  HRESULT hr = framework::com_boundary(IID_NULL, [&] {
    framework::register_module_type_library(per_user);
    const std::wstring path = framework::module_path();
    for (size_t i = 0; i < count; ++i) framework::register_server_class(classes[i], root, path);
  });
  if (FAILED(hr)) {
    undo();
    try {
      framework::unregister_module_type_library(per_user);
    } catch (...) {
    }
  }
  return hr;
}

HRESULT unregister_server(const framework::ClassesRoot& root, bool per_user) {
  size_t count = 0;
  const framework::ServerClass* classes = tessel::server_classes(&count);
  return framework::com_boundary(IID_NULL, [&] {
    for (size_t i = 0; i < count; ++i) framework::unregister_server_class(classes[i], root);
    framework::unregister_module_type_library(per_user);
  });
}

}  // namespace

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    framework::module_init(instance);
    DisableThreadLibraryCalls(instance);
    // Procedures that trap their own errors report them in a message box.
    tessel::set_trapped_error_handler(&tessel::show_error_report);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (!object) return E_POINTER;
  *object = nullptr;
  if (clsid == tessel::CLSID_TesselControl) {
    return framework::ClassFactory<tessel::TesselControl>::get(iid, object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

STDAPI DllCanUnloadNow() { return framework::module_can_unload() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return register_server(framework::ClassesRoot::machine(), false); }

STDAPI DllUnregisterServer() { return unregister_server(framework::ClassesRoot::machine(), false); }

}  // extern "C"
