// Registration through Wine's regsvr32 in the test run's own prefix: the keys
// it writes, creating the control by ProgID and CLSID, and unregistration
// leaving nothing behind.
#include <gtest/gtest.h>

#include <string>

#include "framework/registry.h"
#include "support/com_test_env.h"
#include "tessel_interfaces.h"

namespace tessel_test {
namespace {

using framework::guid_string;

DWORD run(const std::wstring& command_line) {
  std::wstring line = command_line;
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

DWORD regsvr32(const wchar_t* options) {
  return run(L"regsvr32.exe " + std::wstring(options) + L" \"" + dll_path() + L"\"");
}

bool key_exists(const std::wstring& path, HKEY hive = HKEY_CLASSES_ROOT,
                const std::wstring& prefix = L"") {
  HKEY key = nullptr;
  if (RegOpenKeyExW(hive, (prefix + path).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
    return false;
  }
  RegCloseKey(key);
  return true;
}

bool machine_key_exists(const std::wstring& path) {
  return key_exists(path, HKEY_LOCAL_MACHINE, L"Software\\Classes\\");
}

bool user_key_exists(const std::wstring& path) {
  return key_exists(path, HKEY_CURRENT_USER, L"Software\\Classes\\");
}

std::wstring value(const std::wstring& path, const wchar_t* name = nullptr) {
  return framework::read_registry_string(framework::ClassesRoot::machine(), path, name);
}

std::wstring lower(std::wstring s) {
  for (auto& c : s) c = towlower(c);
  return s;
}

const std::wstring kClsid = L"CLSID\\" + guid_string(tessel::CLSID_TesselControl);

std::vector<std::wstring> everything_registration_writes() {
  return {kClsid,
          L"QuonTessel.TesselControl",
          L"CLSID\\" + guid_string(tessel::CLSID_Register),
          L"CLSID\\" + guid_string(tessel::CLSID_Allgemein),
          L"CLSID\\" + guid_string(tessel::CLSID_TabsC),
          L"TypeLib\\" + guid_string(tessel::LIBID_QuonTessel),
          L"Interface\\" + guid_string(tessel::IID__TesselControl),
          L"Interface\\" + guid_string(tessel::DIID___TesselControl)};
}

TEST(Registration, Regsvr32WritesTheClassesAndTheTypeLibrary) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_EQ(regsvr32(L"/s"), 0u);
  ASSERT_EQ(regsvr32(L"/s"), 0u) << "registering twice must be harmless";

  const std::wstring dll = lower(dll_path());
  EXPECT_EQ(value(kClsid), L"QuonTessel.TesselControl");
  EXPECT_EQ(lower(value(kClsid + L"\\InprocServer32")), dll);
  EXPECT_EQ(value(kClsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(value(kClsid + L"\\ProgID"), L"QuonTessel.TesselControl");
  EXPECT_TRUE(key_exists(kClsid + L"\\Control"));
  EXPECT_EQ(lower(value(kClsid + L"\\ToolboxBitmap32")), dll + L", 30000");
  EXPECT_EQ(value(kClsid + L"\\TypeLib"), guid_string(tessel::LIBID_QuonTessel));
  EXPECT_EQ(value(kClsid + L"\\Version"), L"1.0");
  EXPECT_EQ(value(kClsid + L"\\MiscStatus\\1"), L"131473");
  EXPECT_EQ(value(L"QuonTessel.TesselControl\\CLSID"), guid_string(tessel::CLSID_TesselControl));
  for (const GUID* page :
       {&tessel::CLSID_Register, &tessel::CLSID_Allgemein, &tessel::CLSID_TabsC}) {
    const std::wstring key = L"CLSID\\" + guid_string(*page);
    EXPECT_EQ(lower(value(key + L"\\InprocServer32")), dll);
    EXPECT_EQ(value(key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  }
  EXPECT_TRUE(key_exists(L"TypeLib\\" + guid_string(tessel::LIBID_QuonTessel) + L"\\1.0"));

  ComPtr<ITypeLib> registered;
  EXPECT_EQ(LoadRegTypeLib(tessel::LIBID_QuonTessel, 1, 0, 0x0409, registered.put()), S_OK);
  registered = nullptr;

  CLSID from_prog_id{};
  ASSERT_EQ(CLSIDFromProgID(L"QuonTessel.TesselControl", &from_prog_id), S_OK);
  EXPECT_EQ(from_prog_id, tessel::CLSID_TesselControl);
  for (const CLSID* clsid :
       std::initializer_list<const CLSID*>{&from_prog_id, &tessel::CLSID_TesselControl}) {
    ComPtr<IDispatch> control;
    EXPECT_EQ(
        CoCreateInstance(*clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch, control.put_void()),
        S_OK);
    EXPECT_TRUE(control);
  }
}

TEST(Registration, UnregistrationLeavesNoKeyBehind) {
  ASSERT_EQ(regsvr32(L"/s"), 0u);
  ASSERT_EQ(regsvr32(L"/u /s"), 0u);
  for (const auto& key : everything_registration_writes()) {
    EXPECT_FALSE(key_exists(key)) << std::string(key.begin(), key.end());
  }
  // Unregistering again is harmless, and registration comes back whole.
  EXPECT_EQ(regsvr32(L"/u /s"), 0u);
  ASSERT_EQ(regsvr32(L"/s"), 0u);
  for (const auto& key : everything_registration_writes()) {
    EXPECT_TRUE(key_exists(key)) << std::string(key.begin(), key.end());
  }
}

TEST(Registration, AProgIdTakenOverByAnotherServerIsLeftAlone) {
  ASSERT_EQ(regsvr32(L"/s"), 0u);
  const std::wstring other = L"{00000000-1111-2222-3333-444444444444}";
  framework::set_registry_string(framework::ClassesRoot::machine(),
                                 L"QuonTessel.TesselControl\\CLSID", nullptr, other);
  ASSERT_EQ(regsvr32(L"/u /s"), 0u);
  EXPECT_EQ(value(L"QuonTessel.TesselControl\\CLSID"), other);
  EXPECT_FALSE(key_exists(kClsid));
  framework::delete_registry_tree(framework::ClassesRoot::machine(), L"QuonTessel.TesselControl");
  ASSERT_EQ(regsvr32(L"/s"), 0u);
}

TEST(Registration, PerUserRegistrationStaysInTheUsersClasses) {
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  ASSERT_EQ(regsvr32(L"/u /s"), 0u);
  ASSERT_EQ(regsvr32(L"/s /n /i:user"), 0u);
  for (const auto& key : everything_registration_writes()) {
    EXPECT_TRUE(user_key_exists(key)) << std::string(key.begin(), key.end());
    EXPECT_FALSE(machine_key_exists(key)) << std::string(key.begin(), key.end());
  }
  EXPECT_EQ(framework::read_registry_string(framework::ClassesRoot::user(),
                                            kClsid + L"\\InprocServer32", L"ThreadingModel"),
            L"Apartment");
  // Windows overlays these keys on HKEY_CLASSES_ROOT for the user's
  // processes; Wine does not, so creating the control from them is left to
  // the platform and not checked here.
  EXPECT_EQ(framework::read_registry_string(framework::ClassesRoot::user(),
                                            L"QuonTessel.TesselControl\\CLSID", nullptr),
            guid_string(tessel::CLSID_TesselControl));

  ASSERT_EQ(regsvr32(L"/s /u /n /i:user"), 0u);
  for (const auto& key : everything_registration_writes()) {
    EXPECT_FALSE(user_key_exists(key)) << std::string(key.begin(), key.end());
    EXPECT_FALSE(machine_key_exists(key)) << std::string(key.begin(), key.end());
  }
  ASSERT_EQ(regsvr32(L"/s"), 0u);
}

}  // namespace
}  // namespace tessel_test
