#include "framework/server_registration.h"

#include <oleauto.h>

#include "framework/com_ptr.h"
#include "framework/error.h"
#include "framework/module.h"

namespace framework {

void register_server_class(const ServerClass& c, const ClassesRoot& root,
                           const std::wstring& module_path) {
  const std::wstring clsid = guid_string(*c.clsid);
  const std::wstring key = L"CLSID\\" + clsid;
  set_registry_string(root, key, nullptr, c.name);
  set_registry_string(root, key + L"\\InprocServer32", nullptr, module_path);
  set_registry_string(root, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
  if (c.prog_id) {
    set_registry_string(root, key + L"\\ProgID", nullptr, c.prog_id);
    set_registry_string(root, c.prog_id, nullptr, c.name);
    set_registry_string(root, std::wstring(c.prog_id) + L"\\CLSID", nullptr, clsid);
  }
  if (c.control) {
    create_registry_key(root, key + L"\\Control");
    set_registry_string(root, key + L"\\ToolboxBitmap32", nullptr,
                        module_path + L", " + std::to_wstring(c.toolbox_bitmap));
    set_registry_string(root, key + L"\\MiscStatus", nullptr, L"0");
    set_registry_string(root, key + L"\\MiscStatus\\1", nullptr, std::to_wstring(c.misc_status));
    set_registry_string(root, key + L"\\TypeLib", nullptr, guid_string(*c.libid));
    set_registry_string(root, key + L"\\Version", nullptr, c.version);
  }
}

void unregister_server_class(const ServerClass& c, const ClassesRoot& root) {
  const std::wstring clsid = guid_string(*c.clsid);
  if (c.prog_id) {
    // Leave a ProgID that another server has taken over since.
    std::wstring owner = read_registry_string(root, std::wstring(c.prog_id) + L"\\CLSID", nullptr);
    if (owner.empty() || _wcsicmp(owner.c_str(), clsid.c_str()) == 0) {
      delete_registry_tree(root, c.prog_id);
    }
  }
  delete_registry_tree(root, L"CLSID\\" + clsid);
}

namespace {

// The per-user variants are resolved at run time: not every import library
// declares them.
using RegisterFn = HRESULT(WINAPI*)(ITypeLib*, OLECHAR*, OLECHAR*);
using UnregisterFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);

template <class Fn>
Fn oleaut_function(const char* name) {
  auto fn = reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"oleaut32.dll"), name)));
  if (!fn) throw ControlError::from_hresult(HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND));
  return fn;
}

// Loaded afresh rather than from the objects' cache, which lives only while
// objects do.
ComPtr<ITypeLib> load_module_type_library() {
  ComPtr<ITypeLib> library;
  check_hr(LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, library.put()));
  return library;
}
}  // namespace

void register_module_type_library(bool per_user) {
  auto library = load_module_type_library();
  std::wstring path = module_path();
  RegisterFn register_fn =
      per_user ? oleaut_function<RegisterFn>("RegisterTypeLibForUser") : &RegisterTypeLib;
  check_hr(register_fn(library.get(), path.data(), nullptr));
}

void unregister_module_type_library(bool per_user) {
  auto library = load_module_type_library();
  TLIBATTR* attr = nullptr;
  check_hr(library->GetLibAttr(&attr));
  TLIBATTR a = *attr;
  library->ReleaseTLibAttr(attr);
  UnregisterFn unregister_fn =
      per_user ? oleaut_function<UnregisterFn>("UnRegisterTypeLibForUser") : &UnRegisterTypeLib;
  // Unregistering what is not registered is not an error (the platform
  // answers it with E_INVALIDARG or TYPE_E_LIBNOTREGISTERED).
  BSTR registered_path = nullptr;
  if (FAILED(QueryPathOfRegTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid,
                                   &registered_path))) {
    return;
  }
  SysFreeString(registered_path);
  check_hr(unregister_fn(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind));
}

}  // namespace framework
