#include "framework/module.h"

#include <atomic>

#include "framework/type_library.h"

namespace framework {

namespace {
HINSTANCE g_instance = nullptr;
std::atomic<long> g_locks{0};
}  // namespace

void module_init(HINSTANCE instance) { g_instance = instance; }

HINSTANCE module_instance() { return g_instance; }

std::wstring module_path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(g_instance, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void module_lock() { ++g_locks; }

void module_unlock() {
  if (--g_locks == 0) release_module_type_library();
}

bool module_can_unload() { return g_locks.load() == 0; }

}  // namespace framework
