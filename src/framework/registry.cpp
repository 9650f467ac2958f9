#include "framework/registry.h"

#include <objbase.h>

#include "framework/error.h"

namespace framework {

namespace {
void check_status(LSTATUS status) {
  if (status != ERROR_SUCCESS) throw ControlError::from_hresult(HRESULT_FROM_WIN32(status));
}
}  // namespace

void create_registry_key(const ClassesRoot& root, const std::wstring& path) {
  RegKey key;
  check_status(RegCreateKeyExW(root.hive, (root.prefix + path).c_str(), 0, nullptr, 0, KEY_WRITE,
                               nullptr, key.put(), nullptr));
}

void set_registry_string(const ClassesRoot& root, const std::wstring& path, const wchar_t* name,
                         const std::wstring& value) {
  RegKey key;
  check_status(RegCreateKeyExW(root.hive, (root.prefix + path).c_str(), 0, nullptr, 0, KEY_WRITE,
                               nullptr, key.put(), nullptr));
  check_status(RegSetValueExW(key.get(), name, 0, REG_SZ,
                              reinterpret_cast<const BYTE*>(value.c_str()),
                              static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))));
}

std::wstring read_registry_string(const ClassesRoot& root, const std::wstring& path,
                                  const wchar_t* name) {
  wchar_t buffer[1024];
  DWORD size = sizeof buffer;
  if (RegGetValueW(root.hive, (root.prefix + path).c_str(), name, RRF_RT_REG_SZ, nullptr, buffer,
                   &size) != ERROR_SUCCESS) {
    return L"";
  }
  return buffer;
}

void delete_registry_tree(const ClassesRoot& root, const std::wstring& path) {
  LSTATUS status = RegDeleteTreeW(root.hive, (root.prefix + path).c_str());
  if (status == ERROR_FILE_NOT_FOUND) return;
  check_status(status);
  status = RegDeleteKeyW(root.hive, (root.prefix + path).c_str());
  if (status != ERROR_FILE_NOT_FOUND) check_status(status);
}

std::wstring guid_string(REFGUID guid) {
  wchar_t buffer[40];
  StringFromGUID2(guid, buffer, 40);
  return buffer;
}

}  // namespace framework
