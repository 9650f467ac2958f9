// Registration through Wine's regsvr32 in the test run's own prefix: the keys
// it writes, creating the control by ProgID and CLSID, and unregistration
// leaving nothing behind.
#include <gtest/gtest.h>

#include "framework/registry.h"
#include "support/com_test_env.h"
#include "support/doc_text.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using framework::ClassesRoot;
using framework::guid_string;

DWORD regsvr32(const wchar_t* options) {
  std::wstring line = L"regsvr32.exe " + std::wstring(options) + L" \"" + dll_path() + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return static_cast<DWORD>(-1);
  }
  WaitForSingleObject(process.hProcess, 60000);
  DWORD code = static_cast<DWORD>(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

const ClassesRoot kMachine{HKEY_LOCAL_MACHINE, L"Software\\Classes\\"};
const ClassesRoot kUser = ClassesRoot::user();
const std::wstring kProgId = L"QuonTessel.TesselControl";
const std::wstring kClsid = L"CLSID\\" + guid_string(tessel::CLSID_TesselControl);
const std::wstring kEverythingWritten[] = {
    kClsid,
    kProgId,
    L"CLSID\\" + guid_string(tessel::CLSID_Register),
    L"CLSID\\" + guid_string(tessel::CLSID_Allgemein),
    L"CLSID\\" + guid_string(tessel::CLSID_TabsC),
    L"TypeLib\\" + guid_string(tessel::LIBID_QuonTessel),
    L"Interface\\" + guid_string(tessel::IID__TesselControl),
    L"Interface\\" + guid_string(tessel::DIID___TesselControl)};

bool exists(const ClassesRoot& root, const std::wstring& path) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root.hive, (root.prefix + path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

// Which of the keys registration writes are under root.
std::wstring present(const ClassesRoot& root) {
  std::wstring found;
  for (const auto& key : kEverythingWritten) found += exists(root, key) ? L"1" : L"0";
  return found;
}

// Registration writes the classes and the type library; unregistration
// leaves no key behind, but a ProgID that another server took over.
TEST(Registration, Regsvr32WritesTheClassesAndTheTypeLibraryAndRemovesThem) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_EQ(regsvr32(L"/u /s"), 0u);  // from a clean registry
  ASSERT_EQ(regsvr32(L"/s"), 0u);
  ASSERT_EQ(regsvr32(L"/s"), 0u) << "registering twice must be harmless";

  const std::wstring server = L"\\InprocServer32", dll = dll_path();
  const std::wstring library = guid_string(tessel::LIBID_QuonTessel);
  // Registry values compare as COM reads them: without regard to case.
  auto expect_value = [](const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    EXPECT_EQ(lower(framework::read_registry_string(kMachine, key, name)), lower(value))
        << narrow(key);
  };
  expect_value(kClsid, nullptr, kProgId);
  expect_value(kClsid + server, nullptr, dll);
  expect_value(kClsid + server, L"ThreadingModel", L"Apartment");
  expect_value(kClsid + L"\\ProgID", nullptr, kProgId);
  expect_value(kClsid + L"\\ToolboxBitmap32", nullptr, dll + L", 30000");
  expect_value(kClsid + L"\\TypeLib", nullptr, library);
  expect_value(kClsid + L"\\Version", nullptr, L"1.0");
  expect_value(kClsid + L"\\MiscStatus\\1", nullptr, L"131473");
  expect_value(kProgId + L"\\CLSID", nullptr, guid_string(tessel::CLSID_TesselControl));
  for (int page = 2; page <= 4; ++page) {  // the property pages' classes
    expect_value(kEverythingWritten[page] + server, nullptr, dll);
    expect_value(kEverythingWritten[page] + server, L"ThreadingModel", L"Apartment");
  }
  EXPECT_TRUE(exists(kMachine, kClsid + L"\\Control"));
  EXPECT_TRUE(exists(kMachine, L"TypeLib\\" + library + L"\\1.0"));
  ComPtr<ITypeLib> registered;
  EXPECT_EQ(LoadRegTypeLib(tessel::LIBID_QuonTessel, 1, 0, 0x0409, registered.put()), S_OK);
  registered = nullptr;

  CLSID from_prog_id{};
  ASSERT_EQ(CLSIDFromProgID(kProgId.c_str(), &from_prog_id), S_OK);
  EXPECT_EQ(from_prog_id, tessel::CLSID_TesselControl);
  ComPtr<IDispatch> control;
  EXPECT_EQ(CoCreateInstance(from_prog_id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                             control.put_void()),
            S_OK);
  EXPECT_TRUE(control);

  ASSERT_EQ(regsvr32(L"/u /s"), 0u);
  EXPECT_EQ(present(kMachine), L"00000000");
  // Unregistering again is harmless, and registration comes back whole.
  EXPECT_EQ(regsvr32(L"/u /s"), 0u);
  ASSERT_EQ(regsvr32(L"/s"), 0u);
  EXPECT_EQ(present(kMachine), L"11111111");

  // A ProgID another server has taken over is left alone.
  const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
  framework::set_registry_string(kMachine, kProgId + L"\\CLSID", nullptr, other);
  ASSERT_EQ(regsvr32(L"/u /s"), 0u);
  EXPECT_EQ(framework::read_registry_string(kMachine, kProgId + L"\\CLSID", nullptr), other);
  EXPECT_FALSE(exists(kMachine, kClsid));
  framework::delete_registry_tree(kMachine, kProgId);
  ASSERT_EQ(regsvr32(L"/s"), 0u);
}

// Windows overlays the user's keys on HKEY_CLASSES_ROOT for the user's
// processes; Wine does not, so creating the control from them is not checked.
// The type library's keys are those the platform's RegisterTypeLib writes.
TEST(Registration, PerUserRegistrationStaysInTheUsersClasses) {
  ASSERT_EQ(regsvr32(L"/u /s"), 0u);
  ASSERT_EQ(regsvr32(L"/s"), 0u);
  const std::wstring library = L"TypeLib\\" + guid_string(tessel::LIBID_QuonTessel) + L"\\1.0\\";
  const std::wstring flags = framework::read_registry_string(kMachine, library + L"FLAGS", nullptr);
  const std::wstring folder =
      framework::read_registry_string(kMachine, library + L"HELPDIR", nullptr);
  ASSERT_EQ(regsvr32(L"/u /s"), 0u);
  ASSERT_EQ(regsvr32(L"/s /n /i:user"), 0u);
  EXPECT_EQ(present(kUser), L"11111111");
  EXPECT_EQ(present(kMachine), L"00000000");
  EXPECT_EQ(framework::read_registry_string(kUser, library + L"FLAGS", nullptr), flags);
  EXPECT_EQ(lower(framework::read_registry_string(kUser, library + L"HELPDIR", nullptr)),
            lower(folder));
  EXPECT_EQ(framework::read_registry_string(kUser, kClsid + L"\\InprocServer32", L"ThreadingModel"),
            L"Apartment");
  EXPECT_EQ(framework::read_registry_string(kUser, kProgId + L"\\CLSID", nullptr),
            guid_string(tessel::CLSID_TesselControl));

  ASSERT_EQ(regsvr32(L"/s /u /n /i:user"), 0u);
  EXPECT_EQ(present(kUser), L"00000000");
  EXPECT_EQ(present(kMachine), L"00000000");
  ASSERT_EQ(regsvr32(L"/s"), 0u);
}

}  // namespace
}  // namespace tessel_test
