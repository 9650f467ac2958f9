// Registration-free use, in a Wine prefix where nothing was ever registered: the DLL's assembly
// manifest, made into an activation context, is all a host needs to find the class, its ProgID,
// its MiscStatus, the page classes and the type library, and the demo host runs its session.
#include <gtest/gtest.h>

#include <string>

#include "demo/demo_run.h"
#include "control/tessel_control.h"
#include "support/com_test_env.h"
#include "support/doc_text.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

const std::wstring kManifestName = L"TesselControl.X.manifest";

struct Com {
  Com() { CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
  ~Com() { CoUninitialize(); }
};

// The manifest beside the DLL, active on this thread while the object lives.
struct ManifestContext {
  ManifestContext() {
    const std::wstring path = bin_dir() + kManifestName;
    ACTCTXW description{};
    description.cbSize = sizeof(description);
    description.lpSource = path.c_str();
    context_ = CreateActCtxW(&description);
    EXPECT_NE(context_, INVALID_HANDLE_VALUE) << "error " << GetLastError();
    if (context_ != INVALID_HANDLE_VALUE) {
      EXPECT_TRUE(ActivateActCtx(context_, &cookie_));
    }
  }
  ~ManifestContext() {
    if (cookie_) DeactivateActCtx(0, cookie_);
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
  }
  HANDLE context_ = INVALID_HANDLE_VALUE;
  ULONG_PTR cookie_ = 0;
};

HRESULT create_control(IUnknown** control) {
  return CoCreateInstance(tessel::CLSID_TesselControl, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                          reinterpret_cast<void**>(control));
}

void replace_all(std::string& text, const std::string& from, const std::string& to) {
  for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
    text.replace(at, from.size(), to);
  }
}

TEST(RegistrationFree, NothingIsRegisteredAndTheManifestLeadsToTheClassesAndTheTypeLibrary) {
  Com com;
  {
    ComPtr<IUnknown> control;
    EXPECT_EQ(create_control(control.put()), REGDB_E_CLASSNOTREG);
    CLSID clsid{};
    EXPECT_TRUE(FAILED(CLSIDFromProgID(L"QuonTessel.TesselControl", &clsid)));
    ComPtr<ITypeLib> library;
    EXPECT_TRUE(FAILED(LoadRegTypeLib(tessel::LIBID_QuonTessel, 1, 0, 0, library.put())));
  }
  ManifestContext manifest;
  ComPtr<IUnknown> control;
  ASSERT_EQ(create_control(control.put()), S_OK);

  // By ProgID, as scripts create it. The context answers with a class identifier of its own
  // making (as the platform does for redirected ProgIDs), which creates the control all the same.
  CLSID by_prog_id{};
  ASSERT_EQ(CLSIDFromProgID(L"QuonTessel.TesselControl", &by_prog_id), S_OK);
  ComPtr<IPersist> created;
  ASSERT_EQ(
      CoCreateInstance(by_prog_id, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist, created.put_void()),
      S_OK);
  CLSID clsid{};
  EXPECT_EQ(created->GetClassID(&clsid), S_OK);
  EXPECT_EQ(clsid, tessel::CLSID_TesselControl);

  // Containers read MiscStatus before they create the control.
  DWORD misc = 0;
  EXPECT_EQ(OleRegGetMiscStatus(tessel::CLSID_TesselControl, DVASPECT_CONTENT, &misc), S_OK);
  EXPECT_EQ(misc, tessel::kTesselClass.misc_status);

  // The page classes lead to the DLL too: the class is found, whatever the DLL answers for it.
  for (const CLSID* page :
       {&tessel::CLSID_TabsC, &tessel::CLSID_Allgemein, &tessel::CLSID_Register}) {
    ComPtr<IClassFactory> factory;
    EXPECT_NE(CoGetClassObject(*page, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.put_void()),
              REGDB_E_CLASSNOTREG);
  }

  ComPtr<ITypeLib> library;
  ASSERT_EQ(LoadRegTypeLib(tessel::LIBID_QuonTessel, 1, 0, 0, library.put()), S_OK);
  ComPtr<ITypeInfo> events;
  EXPECT_EQ(library->GetTypeInfoOfGuid(tessel::DIID___TesselControl, events.put()), S_OK);

  // Late binding works: the control's IDispatch reads its names from the type library in its own
  // module, not from the registry.
  auto dispatch = control.query<IDispatch>(IID_IDispatch);
  ASSERT_TRUE(dispatch);
  LPOLESTR name = const_cast<LPOLESTR>(L"NumberOfRows");
  DISPID id = 0;
  EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, tessel::dispid::NumberOfRows);
}

TEST(RegistrationFree, TheDemoHostRunsItsSessionWithTheManifestAlone) {
  const DemoRun run = run_scripted_demo(bin_dir() + L"..\\demo-test-unregistered\\");
  EXPECT_EQ(run.exit_code, 0u);
  const std::vector<std::wstring> control = lines_starting_with(run, L"control: ");
  ASSERT_EQ(control.size(), 1u);
  EXPECT_EQ(control[0],
            L"control: not registered (0x80040154); created through the activation "
            L"context of " +
                bin_dir() + kManifestName);
  EXPECT_EQ(lines_starting_with(run, L"  RowPressed(").size(), 3u);
  EXPECT_EQ(lines_starting_with(run, L"session complete: ").size(), 1u);
}

// The 32-bit build cannot run here; its manifest must differ from this one in the processor
// architecture only.
TEST(RegistrationFree, TheX86ManifestNamesTheSameAssemblyForX86) {
  const std::string x64 = read_file(bin_dir() + kManifestName);
  const std::string x86 = read_file(bin_dir() + L"..\\..\\x86\\bin\\" + kManifestName);
  if (x86.empty()) GTEST_SKIP() << "no x86 build beside this one";
  ASSERT_NE(x64.find("processorArchitecture=\"amd64\""), std::string::npos);
  std::string expected = x64;
  replace_all(expected, "amd64", "x86");
  EXPECT_EQ(x86, expected);
}

}  // namespace
}  // namespace tessel_test
