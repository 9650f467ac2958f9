// The identifiers docs/reference.md publishes against the type libraries
// inside both builds and the registered ProgID, so that the reference cannot
// drift from what hosts bind to.
#include <gtest/gtest.h>

#include <map>

#include "framework/registry.h"
#include "support/com_test_env.h"
#include "support/doc_text.h"
#include "support/pe_file.h"

namespace tessel_test {
namespace {

using framework::guid_string;
using Identifiers = std::map<std::wstring, std::wstring>;  // name -> GUID text

std::wstring name_of(ITypeLib* library, INT index) {
  BSTR name = nullptr;
  library->GetDocumentation(index, &name, nullptr, nullptr, nullptr);
  std::wstring text = name ? name : L"";
  SysFreeString(name);
  return text;
}

// The library's own identifier and every type's, by name.
Identifiers identifiers_of(const std::wstring& dll) {
  Identifiers ids;
  ComPtr<ITypeLib> library;
  if (FAILED(LoadTypeLibEx(dll.c_str(), REGKIND_NONE, library.put()))) return ids;
  TLIBATTR* lib = nullptr;
  library->GetLibAttr(&lib);
  ids[name_of(library.get(), -1)] = guid_string(lib->guid);
  library->ReleaseTLibAttr(lib);
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    ComPtr<ITypeInfo> info;
    TYPEATTR* attr = nullptr;
    if (FAILED(library->GetTypeInfo(i, info.put())) || FAILED(info->GetTypeAttr(&attr))) continue;
    ids[name_of(library.get(), static_cast<INT>(i))] = guid_string(attr->guid);
    info->ReleaseTypeAttr(attr);
  }
  return ids;
}

// Every identifier of both type libraries is published with its name, and
// every published name is either one of them or a ProgID that the
// registration maps to the published class.
TEST(Identifiers, TheReferencePublishesEveryIdentifierOfTheTypeLibrary) {
  Identifiers published;
  for (const auto& row : table_rows(doc_section(read_doc("reference.md"), "## Identifiers"))) {
    ASSERT_GE(row.size(), 3u);
    published[widen(unquoted(row[0]))] = widen(unquoted(row[2]));
  }
  ASSERT_FALSE(published.empty()) << "the reference has no table of identifiers";

  const Identifiers built = identifiers_of(dll_path());
  ASSERT_FALSE(built.empty());
  EXPECT_EQ(identifiers_of(x86_dll_path()), built);
  Identifiers prog_ids, in_library;
  for (const auto& [name, id] : published) {
    (built.contains(name) ? in_library : prog_ids)[name] = id;
  }
  EXPECT_EQ(in_library, built);

  ASSERT_TRUE(prog_ids.contains(L"QuonTessel.TesselControl")) << "the ProgID is not published";
  ensure_registered();
  for (const auto& [prog_id, id] : prog_ids) {
    CLSID clsid{};
    EXPECT_EQ(CLSIDFromProgID(prog_id.c_str(), &clsid), S_OK) << narrow(prog_id);
    EXPECT_EQ(guid_string(clsid), id) << narrow(prog_id);
  }
}

}  // namespace
}  // namespace tessel_test
