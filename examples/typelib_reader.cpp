// What a host that imports the type library (#import in MSVC, an object
// browser, code completion) learns from TesselControl.tlb: it loads the
// file at run time and lists the members of the control's interface and of
// its events with their DISPIDs and help strings.
//
// Usage: typelib_reader <path of TesselControl.tlb or TesselControl.dll>
// Build: g++ -std=c++17 typelib_reader.cpp -I<dist folder> -loleaut32 -lole32 -luuid
#include <windows.h>
#include <ole2.h>

#include <cstdio>
#include <set>

#include "TesselControl.h"

namespace {

template <class T>
class Ref {
 public:
  Ref() = default;
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  ~Ref() {
    if (p_) p_->Release();
  }
  T* operator->() const { return p_; }
  T* get() const { return p_; }
  T** put() { return &p_; }

 private:
  T* p_ = nullptr;
};

// Prints "  DISPID name: help" once per member of the type (a property's
// accessors share their DISPID), skipping IUnknown's and IDispatch's.
void list_members(ITypeInfo* type) {
  TYPEATTR* attr = nullptr;
  if (FAILED(type->GetTypeAttr(&attr))) return;
  const WORD functions = attr->cFuncs;
  type->ReleaseTypeAttr(attr);
  std::set<MEMBERID> listed;
  for (UINT k = 0; k < functions; ++k) {
    FUNCDESC* desc = nullptr;
    if (FAILED(type->GetFuncDesc(k, &desc))) continue;
    const MEMBERID id = desc->memid;
    const bool restricted = (desc->wFuncFlags & FUNCFLAG_FRESTRICTED) != 0;
    type->ReleaseFuncDesc(desc);
    if (restricted || !listed.insert(id).second) continue;
    BSTR name = nullptr, help = nullptr;
    if (SUCCEEDED(type->GetDocumentation(id, &name, &help, nullptr, nullptr))) {
      // DISPIDs as the reference writes them: large ones in hexadecimal.
      std::printf(id > 0xFFFF ? "  0x%08lX %ls: %ls\n" : "  %ld %ls: %ls\n", static_cast<long>(id),
                  name, help ? help : L"");
    }
    SysFreeString(name);
    SysFreeString(help);
  }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::printf("usage: typelib_reader <TesselControl.tlb>\n");
    return 2;
  }
  Ref<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(argv[1], REGKIND_NONE, library.put()))) {
    std::printf("error: cannot load the type library %ls\n", argv[1]);
    return 1;
  }
  BSTR name = nullptr, help = nullptr;
  library->GetDocumentation(-1, &name, &help, nullptr, nullptr);
  std::printf("library %ls: %ls\n", name, help ? help : L"");
  SysFreeString(name);
  SysFreeString(help);
  for (const GUID* guid : {&IID__TesselControl, &DIID___TesselControl}) {
    Ref<ITypeInfo> type;
    if (FAILED(library->GetTypeInfoOfGuid(*guid, type.put()))) {
      std::printf("error: the library has no such interface\n");
      return 1;
    }
    BSTR type_name = nullptr;
    type->GetDocumentation(MEMBERID_NIL, &type_name, nullptr, nullptr, nullptr);
    std::printf("%ls\n", type_name);
    SysFreeString(type_name);
    list_members(type.get());
  }
  std::printf("done\n");
  return 0;
}
