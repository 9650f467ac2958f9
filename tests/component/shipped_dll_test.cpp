// The shipped DLLs carry no test interface: the hosting test probe lives
// only in the tests' build of the DLL and in the test programs. Nor do they
// carry their debugging information, which stays beside them in the build.
#include <gtest/gtest.h>

#include <algorithm>

#include "framework/hosting_helpers.h"
#include "support/com_test_env.h"
#include "support/doc_text.h"
#include "support/pe_file.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

TEST(ShippedDll, AControlItMakesAnswersNoQueryForTheProbe) {
  ensure_registered();
  // The tests' DLL, built from the same sources, answers it.
  ComPtr<IHostingTestProbe> probe;
  EXPECT_EQ(create_control()->QueryInterface(framework::IID_IHostingTestProbe, probe.put_void()),
            S_OK);

  HMODULE dll = LoadLibraryW(dll_path().c_str());
  ASSERT_NE(dll, nullptr);
  auto get_class_object = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllGetClassObject")));
  ASSERT_NE(get_class_object, nullptr);
  {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(get_class_object(tessel::CLSID_TesselControl, IID_IClassFactory, factory.put_void()),
              S_OK);
    ComPtr<IUnknown> control;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, control.put_void()), S_OK);
    EXPECT_TRUE(control.query<IPersistStreamInit>(IID_IPersistStreamInit));
    ComPtr<IUnknown> none;
    EXPECT_EQ(control->QueryInterface(framework::IID_IHostingTestProbe, none.put_void()),
              E_NOINTERFACE);
    EXPECT_FALSE(none);
  }
  FreeLibrary(dll);
}

bool has_debug_sections(const std::vector<std::string>& names) {
  return std::ranges::any_of(names,
                             [](const std::string& name) { return name.starts_with(".debug_"); });
}

// The 32-bit DLL cannot run here: neither the probe's interface identifier
// nor its type (named in the run-time type information of every class that
// implements it) may be in either file; the tests' DLL shows that both
// would be. Both builds ship without debug sections, name their debug file
// in a .gnu_debuglink section and leave it beside them with those sections.
TEST(ShippedDll, NeitherBuildContainsTheProbeNorItsDebugInformation) {
  const std::string iid(reinterpret_cast<const char*>(&framework::IID_IHostingTestProbe),
                        sizeof(IID));
  const std::string type_name = "IHostingTestProbe";
  const std::string probed = read_file(test_dll_path());
  ASSERT_FALSE(probed.empty());
  EXPECT_NE(probed.find(iid), std::string::npos);
  EXPECT_NE(probed.find(type_name), std::string::npos);
  for (const std::wstring& path : {dll_path(), x86_dll_path()}) {
    SCOPED_TRACE(narrow(path));
    const std::string shipped = read_file(path);
    ASSERT_FALSE(shipped.empty()) << "the build is missing; scripts/test builds both";
    EXPECT_EQ(shipped.find(iid), std::string::npos);
    EXPECT_EQ(shipped.find(type_name), std::string::npos);
    const std::vector<std::string> sections = PeFile(path).section_names();
    EXPECT_FALSE(has_debug_sections(sections));
    EXPECT_NE(std::ranges::find(sections, ".gnu_debuglink"), sections.end());
    const PeFile debug(path + L".debug");
    ASSERT_TRUE(debug.loaded()) << "no debug file beside the DLL";
    EXPECT_TRUE(has_debug_sections(debug.section_names()));
  }
}

}  // namespace
}  // namespace tessel_test
