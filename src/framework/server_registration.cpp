#include "framework/server_registration.h"

#include <oleauto.h>

#include <cwchar>
#include <utility>
#include <vector>

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

// Loaded afresh rather than from the objects' cache, which lives only while
// objects do.
ComPtr<ITypeLib> load_module_type_library() {
  ComPtr<ITypeLib> library;
  check_hr(LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, library.put()));
  return library;
}

TLIBATTR library_attributes(ITypeLib* library) {
  TLIBATTR* attr = nullptr;
  check_hr(library->GetLibAttr(&attr));
  TLIBATTR copy = *attr;
  library->ReleaseTLibAttr(attr);
  return copy;
}

std::wstring hex(unsigned value) {
  wchar_t text[16];
  swprintf(text, 16, L"%x", value);
  return text;
}

std::wstring version_key(const TLIBATTR& a) {
  return std::to_wstring(a.wMajorVerNum) + L"." + std::to_wstring(a.wMinorVerNum);
}

// The interfaces a container marshals through the type library: dual
// interfaces and dispinterfaces, with their names.
std::vector<std::pair<IID, std::wstring>> automation_interfaces(ITypeLib* library) {
  std::vector<std::pair<IID, std::wstring>> result;
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    check_hr(library->GetTypeInfo(i, info.put()));
    TYPEATTR* attr = nullptr;
    check_hr(info->GetTypeAttr(&attr));
    const bool automation = attr->typekind == TKIND_DISPATCH ||
                            (attr->typekind == TKIND_INTERFACE &&
                             (attr->wTypeFlags & (TYPEFLAG_FDUAL | TYPEFLAG_FOLEAUTOMATION)));
    const IID iid = attr->guid;
    info->ReleaseTypeAttr(attr);
    if (!automation) continue;
    BSTR name = nullptr;
    info->GetDocumentation(MEMBERID_NIL, &name, nullptr, nullptr, nullptr);
    result.emplace_back(iid, name ? name : L"");
    SysFreeString(name);
  }
  return result;
}

// Universal marshaling through the type library.
constexpr wchar_t kTypeLibraryMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";

// Writes the keys the platform's RegisterTypeLib writes, under root. Used
// for per-user registration, which must not touch the machine's keys.
void write_type_library_keys(const ClassesRoot& root, ITypeLib* library, const std::wstring& path) {
  const TLIBATTR a = library_attributes(library);
  const std::wstring libid = guid_string(a.guid);
  const std::wstring key = L"TypeLib\\" + libid + L"\\" + version_key(a);
  BSTR name = nullptr;
  library->GetDocumentation(MEMBERID_NIL, nullptr, &name, nullptr, nullptr);
  set_registry_string(root, key, nullptr, name ? name : L"");
  SysFreeString(name);
  set_registry_string(root, key + L"\\FLAGS", nullptr, std::to_wstring(a.wLibFlags));  // decimal
  set_registry_string(root, key + L"\\HELPDIR", nullptr, path.substr(0, path.find_last_of(L"\\/")));
  const wchar_t* platform = a.syskind == SYS_WIN64 ? L"win64" : L"win32";
  set_registry_string(root, key + L"\\" + hex(a.lcid) + L"\\" + platform, nullptr, path);
  for (const auto& [iid, interface_name] : automation_interfaces(library)) {
    const std::wstring ikey = L"Interface\\" + guid_string(iid);
    set_registry_string(root, ikey, nullptr, interface_name);
    set_registry_string(root, ikey + L"\\ProxyStubClsid", nullptr, kTypeLibraryMarshaler);
    set_registry_string(root, ikey + L"\\ProxyStubClsid32", nullptr, kTypeLibraryMarshaler);
    set_registry_string(root, ikey + L"\\TypeLib", nullptr, libid);
    set_registry_string(root, ikey + L"\\TypeLib", L"Version", version_key(a));
  }
}

void delete_type_library_keys(const ClassesRoot& root, ITypeLib* library) {
  const TLIBATTR a = library_attributes(library);
  for (const auto& entry : automation_interfaces(library)) {
    delete_registry_tree(root, L"Interface\\" + guid_string(entry.first));
  }
  delete_registry_tree(root, L"TypeLib\\" + guid_string(a.guid));
}

}  // namespace

void register_module_type_library(const ClassesRoot& root) {
  auto library = load_module_type_library();
  std::wstring path = module_path();
  if (root.hive == HKEY_CLASSES_ROOT) {
    check_hr(RegisterTypeLib(library.get(), path.data(), nullptr));
  } else {
    write_type_library_keys(root, library.get(), path);
  }
}

void unregister_module_type_library(const ClassesRoot& root) {
  auto library = load_module_type_library();
  if (root.hive != HKEY_CLASSES_ROOT) {
    delete_type_library_keys(root, library.get());
    return;
  }
  const TLIBATTR a = library_attributes(library.get());
  // Unregistering what is not registered is not an error (the platform
  // answers it with E_INVALIDARG or TYPE_E_LIBNOTREGISTERED).
  BSTR registered_path = nullptr;
  if (FAILED(QueryPathOfRegTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid,
                                   &registered_path))) {
    return;
  }
  SysFreeString(registered_path);
  check_hr(UnRegisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind));
}

}  // namespace framework
