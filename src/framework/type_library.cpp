#include "framework/type_library.h"

#include <mutex>

#include "framework/error.h"
#include "framework/module.h"

namespace framework {

namespace {
std::mutex g_mutex;
ITypeLib* g_library = nullptr;
}  // namespace

ComPtr<ITypeLib> module_type_library() {
  std::lock_guard lock(g_mutex);
  if (!g_library) {
    check_hr(LoadTypeLibEx(module_path().c_str(), REGKIND_NONE, &g_library));
  }
  return ComPtr<ITypeLib>(g_library);
}

ComPtr<ITypeInfo> module_type_info(REFGUID guid) {
  ComPtr<ITypeInfo> info;
  check_hr(module_type_library()->GetTypeInfoOfGuid(guid, info.put()));
  return info;
}

void release_module_type_library() {
  ITypeLib* library;
  {
    std::lock_guard lock(g_mutex);
    library = std::exchange(g_library, nullptr);
  }
  if (library) library->Release();
}

}  // namespace framework
