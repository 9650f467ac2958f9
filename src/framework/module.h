// The in-process server's module state: its instance handle and the count of
// live objects and server locks that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

void module_init(HINSTANCE instance);
HINSTANCE module_instance();
// Full path of the module file (the DLL), for registration and the type library.
std::wstring module_path();

void module_lock();
void module_unlock();
bool module_can_unload();

// Keeps the module loaded for as long as the owning object lives.
class ModuleLock {
 public:
  ModuleLock() { module_lock(); }
  ModuleLock(const ModuleLock&) : ModuleLock() {}
  ModuleLock& operator=(const ModuleLock&) = default;
  ~ModuleLock() { module_unlock(); }
};

}  // namespace framework
