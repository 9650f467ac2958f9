// The shipped DLLs carry no test interface: the hosting test probe lives
// only in the tests' build of the DLL and in the test programs. Nor do they
// carry their debugging information, which stays beside them in the build.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "framework/hosting_helpers.h"
#include "support/com_test_env.h"
#include "support/pe_file.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

std::string file_bytes(const std::wstring& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// The x64 build's DLL and the x86 build's beside it.
std::vector<std::wstring> shipped_dlls() {
  return {dll_path(), bin_dir() + L"..\\..\\x86\\bin\\TesselControl.dll"};
}

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

// The 32-bit DLL cannot run here: neither the probe's interface identifier
// nor its type (named in the run-time type information of every class that
// implements it) may be in either file. The tests' DLL shows that both
// would be.
TEST(ShippedDll, NeitherBuildContainsTheProbe) {
  const std::string iid(reinterpret_cast<const char*>(&framework::IID_IHostingTestProbe),
                        sizeof(IID));
  const std::string type_name = "IHostingTestProbe";
  const std::string probed = file_bytes(test_dll_path());
  ASSERT_FALSE(probed.empty());
  EXPECT_NE(probed.find(iid), std::string::npos);
  EXPECT_NE(probed.find(type_name), std::string::npos);
  for (const std::wstring& path : shipped_dlls()) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    const std::string shipped = file_bytes(path);
    ASSERT_FALSE(shipped.empty()) << "the build is missing; scripts/test builds both";
    EXPECT_EQ(shipped.find(iid), std::string::npos);
    EXPECT_EQ(shipped.find(type_name), std::string::npos);
  }
}

bool has_debug_sections(const std::vector<std::string>& names) {
  return std::any_of(names.begin(), names.end(),
                     [](const std::string& name) { return name.starts_with(".debug_"); });
}

// Both builds ship without debug sections, name their debug file in a
// .gnu_debuglink section, and leave that file beside them with the
// sections they lost.
TEST(ShippedDll, ItsDebugInformationLivesInAFileBesideIt) {
  for (const std::wstring& path : shipped_dlls()) {
    SCOPED_TRACE(std::string(path.begin(), path.end()));
    const PeFile dll(path);
    ASSERT_TRUE(dll.loaded()) << "the build is missing; scripts/test builds both";
    const std::vector<std::string> sections = dll.section_names();
    EXPECT_FALSE(has_debug_sections(sections));
    EXPECT_NE(std::find(sections.begin(), sections.end(), ".gnu_debuglink"), sections.end());
    const PeFile debug(path + L".debug");
    ASSERT_TRUE(debug.loaded()) << "no debug file beside the DLL";
    EXPECT_TRUE(has_debug_sections(debug.section_names()));
  }
}

}  // namespace
}  // namespace tessel_test
