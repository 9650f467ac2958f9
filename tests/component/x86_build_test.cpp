// The 32-bit DLL cannot run here (the machine has no 32-bit support), so it
// is checked as a file: its exports and its resources (typelib_test reads
// its type library).
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "support/com_test_env.h"

namespace tessel_test {
namespace {

std::wstring x86_dll() { return bin_dir() + L"..\\..\\x86\\bin\\TesselControl.dll"; }

std::vector<unsigned char> read_file(const std::wstring& path) {
  std::ifstream in(std::string(path.begin(), path.end()), std::ios::binary);
  return std::vector<unsigned char>(std::istreambuf_iterator<char>(in), {});
}

template <class T>
T at(const std::vector<unsigned char>& file, size_t offset) {
  T value{};
  if (offset + sizeof(T) <= file.size()) memcpy(&value, file.data() + offset, sizeof(T));
  return value;
}

// The names a 32-bit PE file exports.
std::set<std::string> exports_of(const std::vector<unsigned char>& file, WORD* machine) {
  auto nt = at<LONG>(file, offsetof(IMAGE_DOS_HEADER, e_lfanew));
  auto headers = at<IMAGE_NT_HEADERS32>(file, nt);
  *machine = headers.FileHeader.Machine;
  auto dir = headers.OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  size_t sections =
      nt + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + headers.FileHeader.SizeOfOptionalHeader;
  auto to_offset = [&](DWORD rva) -> size_t {
    for (WORD i = 0; i < headers.FileHeader.NumberOfSections; ++i) {
      auto s = at<IMAGE_SECTION_HEADER>(file, sections + i * sizeof(IMAGE_SECTION_HEADER));
      if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
        return rva - s.VirtualAddress + s.PointerToRawData;
      }
    }
    return file.size();
  };
  std::set<std::string> names;
  auto exports = at<IMAGE_EXPORT_DIRECTORY>(file, to_offset(dir.VirtualAddress));
  for (DWORD i = 0; i < exports.NumberOfNames; ++i) {
    size_t name = to_offset(at<DWORD>(file, to_offset(exports.AddressOfNames) + 4 * i));
    std::string text;
    while (name < file.size() && file[name]) text += static_cast<char>(file[name++]);
    names.insert(text);
  }
  return names;
}

TEST(X86Build, ExportsTheServerEntryPoints) {
  auto file = read_file(x86_dll());
  ASSERT_FALSE(file.empty()) << "the x86 build is missing; scripts/test builds it";
  WORD machine = 0;
  auto names = exports_of(file, &machine);
  EXPECT_EQ(machine, IMAGE_FILE_MACHINE_I386);
  for (const char* name :
       {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
}

TEST(X86Build, CarriesTheTypeLibraryBitmapAndVersion) {
  HMODULE dll = LoadLibraryExW(x86_dll().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(dll, nullptr);
  EXPECT_NE(FindResourceW(dll, MAKEINTRESOURCEW(1), L"TYPELIB"), nullptr);
  HRSRC bitmap = FindResourceW(dll, MAKEINTRESOURCEW(30000), MAKEINTRESOURCEW(2));
  ASSERT_NE(bitmap, nullptr);
  auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(dll, bitmap)));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biWidth, 16);
  EXPECT_EQ(header->biHeight, 15);
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_NE(FindResourceW(dll, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)), nullptr);
  FreeLibrary(dll);

  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(x86_dll().c_str(), &handle);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> data(size);
  ASSERT_TRUE(GetFileVersionInfoW(x86_dll().c_str(), 0, size, data.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
  wchar_t* description = nullptr;
  ASSERT_TRUE(VerQueryValueW(data.data(), L"\\StringFileInfo\\040904B0\\FileDescription",
                             reinterpret_cast<void**>(&description), &length));
  EXPECT_EQ(std::wstring(description), L"Quon TesselCtl");
}

}  // namespace
}  // namespace tessel_test
