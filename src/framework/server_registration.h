// Registration of the classes and the type library of an in-process server.
#pragma once

#include <windows.h>

#include <string>

#include "framework/registry.h"

namespace framework {

struct ServerClass {
  const CLSID* clsid;
  const wchar_t* name;     // the class key's default value
  const wchar_t* prog_id;  // nullptr: no ProgID
  bool control;            // writes Control, ToolboxBitmap32, MiscStatus, TypeLib, Version
  DWORD misc_status;
  int toolbox_bitmap;  // bitmap resource id of the toolbox picture
  const GUID* libid;
  const wchar_t* version;
};

void register_server_class(const ServerClass& server_class, const ClassesRoot& root,
                           const std::wstring& module_path);
// Removes the class key, and the ProgID key when it still names this class.
void unregister_server_class(const ServerClass& server_class, const ClassesRoot& root);

// The module's own type library (resource 1).
void register_module_type_library(bool per_user);
void unregister_module_type_library(bool per_user);

}  // namespace framework
