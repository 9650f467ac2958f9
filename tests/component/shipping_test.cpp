// What a developer ships: both builds' version blocks and imports, and the
// registry entries registration writes, against what the guide says.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "support/com_test_env.h"
#include "support/doc_text.h"
#include "support/pe_file.h"

namespace tessel_test {
namespace {

// The version block's strings as the shell shows them: those of the first
// translation that the block lists.
struct VersionBlock {
  VS_FIXEDFILEINFO fixed{};
  std::map<std::wstring, std::wstring> strings;
};

VersionBlock version_block(const std::wstring& path) {
  VersionBlock block;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  std::vector<BYTE> data(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return block;
  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueW(data.data(), L"\\", &value, &length) && length >= sizeof block.fixed) {
    block.fixed = *static_cast<VS_FIXEDFILEINFO*>(value);
  }
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", &value, &length) || length < 4) {
    return block;
  }
  const WORD* translation = static_cast<WORD*>(value);
  wchar_t prefix[40];
  swprintf(prefix, 40, L"\\StringFileInfo\\%04x%04x\\", translation[0], translation[1]);
  for (const wchar_t* name : {L"CompanyName", L"FileDescription", L"FileVersion", L"LegalCopyright",
                              L"OriginalFilename", L"ProductName", L"ProductVersion"}) {
    if (VerQueryValueW(data.data(), (prefix + std::wstring(name)).c_str(), &value, &length)) {
      block.strings[name] = static_cast<const wchar_t*>(value);
    }
  }
  return block;
}

// The file's properties name the product and its maker the way the about
// box does, and give version 1.0.0.0, from which the about box builds its
// label; the copyright sign must survive as one character. A new import in
// either build fails here until the guide's list of what the DLL needs says so.
TEST(Shipping, BothBuildsCarryTheVersionBlockAndImportTheDllsTheGuideLists) {
  const std::map<std::wstring, std::wstring> expected{
      {L"CompanyName", L"Velmar Steuerelemente"},
      {L"FileDescription", L"Quon TesselCtl"},
      {L"FileVersion", L"1.0.0.0"},
      {L"LegalCopyright", L"\u00a9 Velmar Steuerelemente. Alle Rechte vorbehalten."},
      {L"OriginalFilename", L"TesselControl.dll"},
      {L"ProductName", L"QuonTessel"},
      {L"ProductVersion", L"1.0.0.0"},
  };
  std::set<std::string> listed;
  for (const auto& row : table_rows(doc_section(read_doc("guide.md"), "### What it depends on"))) {
    listed.insert(narrow(lower(widen(unquoted(row.at(0))))));
  }
  EXPECT_FALSE(listed.empty()) << "the guide has no list of the DLL's dependencies";
  for (const std::wstring& dll : {dll_path(), x86_dll_path()}) {
    SCOPED_TRACE(narrow(dll));
    const VersionBlock block = version_block(dll);
    EXPECT_EQ(block.strings, expected);
    EXPECT_EQ(block.fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(block.fixed.dwFileVersionLS, 0u);
    EXPECT_EQ(block.fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(block.fixed.dwProductVersionLS, 0u);
    EXPECT_EQ(block.fixed.dwFileType, static_cast<DWORD>(VFT_DLL));
    const PeFile file(dll);
    ASSERT_TRUE(file.loaded());
    EXPECT_EQ(file.imported_dlls(), listed);
  }
}

// Registry entries, one per value: the key below Software\Classes, the
// value's name ("" for the default value, "-" for a key without values) and
// its data, all in lower case (the registry ignores case in names, and the
// paths are compared as the file system does).
using Entries = std::set<std::vector<std::wstring>>;

constexpr wchar_t kClasses[] = L"Software\\Classes\\";

std::vector<std::wstring> subkeys(HKEY key) {
  std::vector<std::wstring> names;
  wchar_t name[256];
  for (DWORD i = 0, length = 256;
       RegEnumKeyExW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
       ++i, length = 256) {
    names.push_back(name);
  }
  return names;
}

void read_tree(const std::wstring& path, Entries* entries) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, (kClasses + path).c_str(), 0, KEY_READ, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  DWORD values = 0, children = 0;
  RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &children, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  if (values == 0 && children == 0) entries->insert({lower(path), L"-", L""});
  for (DWORD i = 0; i < values; ++i) {
    wchar_t name[256];
    DWORD name_length = 256, type = 0;
    BYTE data[2048] = {};
    DWORD size = sizeof data - sizeof(wchar_t);
    if (RegEnumValueW(key, i, name, &name_length, nullptr, &type, data, &size) != ERROR_SUCCESS) {
      continue;
    }
    const std::wstring text = type == REG_SZ ? reinterpret_cast<const wchar_t*>(data)
                                             : L"(type " + std::to_wstring(type) + L")";
    entries->insert({lower(path), lower(name), lower(text)});
  }
  for (const std::wstring& child : subkeys(key)) read_tree(path + L"\\" + child, entries);
  RegCloseKey(key);
}

// The names of the keys right below the user's classes and below its CLSID,
// TypeLib and Interface keys: the places registration adds keys to.
std::set<std::wstring> class_keys() {
  std::set<std::wstring> names;
  for (const std::wstring folder : {L"", L"CLSID\\", L"TypeLib\\", L"Interface\\"}) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (kClasses + folder).c_str(), 0, KEY_READ, &key) !=
        ERROR_SUCCESS) {
      continue;
    }
    for (const std::wstring& name : subkeys(key)) {
      const std::wstring path = lower(folder + name);
      if (path != L"clsid" && path != L"typelib" && path != L"interface") names.insert(path);
    }
    RegCloseKey(key);
  }
  return names;
}

HRESULT dll_install(BOOL install) {
  HMODULE dll = LoadLibraryW(dll_path().c_str());
  if (!dll) return E_FAIL;
  auto entry = reinterpret_cast<HRESULT(WINAPI*)(BOOL, LPCWSTR)>(
      reinterpret_cast<void*>(GetProcAddress(dll, "DllInstall")));
  const HRESULT hr = entry ? entry(install, L"user") : E_FAIL;
  FreeLibrary(dll);
  return hr;
}

// The guide's table with its placeholders filled in for this DLL.
Entries documented_entries(const std::string& section) {
  const std::wstring path = dll_path();
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  const std::wstring platform = sizeof(void*) == 8 ? L"win64" : L"win32";
  auto fill = [&](std::wstring text) {
    for (const auto& [mark, value] : {std::pair<std::wstring, std::wstring>{L"<path>", path},
                                      {L"<folder>", folder},
                                      {L"<platform>", platform}}) {
      for (size_t at; (at = text.find(mark)) != std::wstring::npos;) {
        text.replace(at, mark.size(), value);
      }
    }
    return lower(text);
  };
  Entries entries;
  for (const auto& row : table_rows(section)) {
    if (row.size() < 3) continue;
    const std::string name = row[1] == "(default)" ? "" : row[1].empty() ? "-" : unquoted(row[1]);
    const std::wstring data = row[2].find('`') == std::string::npos ? L"" : widen(unquoted(row[2]));
    entries.insert({fill(widen(unquoted(row[0]))), lower(widen(name)), fill(data)});
  }
  return entries;
}

// Per-user registration writes exactly the keys and values the guide lists
// for an installer to write, and nothing else; unregistration removes them.
TEST(Shipping, RegistrationWritesTheEntriesTheGuideLists) {
  const std::string section = doc_section(read_doc("guide.md"), "### Registry entries");
  const Entries expected = documented_entries(section);
  ASSERT_FALSE(expected.empty()) << "the guide has no table of registry entries";
  std::set<std::wstring> roots;
  for (const auto& entry : expected) {
    const std::wstring& key = entry[0];
    const size_t first = key.find(L'\\');
    const bool folder = key.starts_with(L"clsid\\") || key.starts_with(L"typelib\\") ||
                        key.starts_with(L"interface\\");
    roots.insert(folder ? key.substr(0, key.find(L'\\', first + 1)) : key.substr(0, first));
  }

  ensure_registered();
  ASSERT_EQ(dll_install(FALSE), S_OK);
  const std::set<std::wstring> before = class_keys();
  ASSERT_EQ(dll_install(TRUE), S_OK);
  std::set<std::wstring> added;
  std::ranges::set_difference(class_keys(), before, std::inserter(added, added.end()));
  Entries written;
  for (const std::wstring& root : added) read_tree(root, &written);
  ASSERT_EQ(dll_install(FALSE), S_OK);

  EXPECT_EQ(added, roots);
  std::vector<std::vector<std::wstring>> missing, extra;
  std::ranges::set_difference(expected, written, std::back_inserter(missing));
  std::ranges::set_difference(written, expected, std::back_inserter(extra));
  auto text = [](const std::vector<std::vector<std::wstring>>& list) {
    std::string out;
    for (const auto& e : list) out += "\n  " + narrow(e[0] + L" | " + e[1] + L" | " + e[2]);
    return out;
  };
  EXPECT_TRUE(missing.empty()) << "documented but not written:" << text(missing);
  EXPECT_TRUE(extra.empty()) << "written but not documented:" << text(extra);
  EXPECT_TRUE(class_keys() == before) << "unregistration left keys behind";
}

}  // namespace
}  // namespace tessel_test
