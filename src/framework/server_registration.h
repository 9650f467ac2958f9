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

// The module's own type library (resource 1) and the interfaces it
// describes. Machine-wide through the platform; per user by writing the same
// keys under the user's classes root.
void register_module_type_library(const ClassesRoot& root);
void unregister_module_type_library(const ClassesRoot& root);

}  // namespace framework
