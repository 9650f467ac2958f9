// Writing and removing the registry keys of an in-process server. Keys go
// under a classes root: HKEY_CLASSES_ROOT for a machine-wide registration,
// HKEY_CURRENT_USER\Software\Classes for one user.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

struct ClassesRoot {
  HKEY hive;
  std::wstring prefix;  // "" or "Software\\Classes\\"
  static ClassesRoot machine() { return {HKEY_CLASSES_ROOT, L""}; }
  static ClassesRoot user() { return {HKEY_CURRENT_USER, L"Software\\Classes\\"}; }
};

class RegKey {
 public:
  RegKey() = default;
  RegKey(const RegKey&) = delete;
  RegKey& operator=(const RegKey&) = delete;
  ~RegKey() {
    if (key_) RegCloseKey(key_);
  }
  HKEY* put() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

// Creates root\path (and its parents) and sets a string value; name nullptr
// sets the key's default value. Throws on failure.
void set_registry_string(const ClassesRoot& root, const std::wstring& path, const wchar_t* name,
                         const std::wstring& value);
// Creates root\path with no values.
void create_registry_key(const ClassesRoot& root, const std::wstring& path);
// Reads a string value; "" when missing.
std::wstring read_registry_string(const ClassesRoot& root, const std::wstring& path,
                                  const wchar_t* name);
// Removes root\path and everything below it; a missing key is fine.
void delete_registry_tree(const ClassesRoot& root, const std::wstring& path);

std::wstring guid_string(REFGUID guid);

}  // namespace framework
