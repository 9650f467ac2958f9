// The 32-bit DLL cannot run here (the machine has no 32-bit support), so it
// is checked as a file: its exports and resources (typelib_test loads its
// type library from the file, shipping_test reads its version and imports).
#include <gtest/gtest.h>

#include "support/pe_file.h"

namespace tessel_test {
namespace {

TEST(X86Build, ExportsTheServerEntryPointsAndCarriesTheBitmapAndVersion) {
  const PeFile file(x86_dll_path());
  ASSERT_TRUE(file.loaded()) << "the x86 build is missing; scripts/test builds it";
  EXPECT_EQ(file.machine(), IMAGE_FILE_MACHINE_I386);
  const auto names = file.exports();
  for (const char* name :
       {"DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer", "DllUnregisterServer"}) {
    EXPECT_TRUE(names.count(name)) << name;
  }
  HMODULE dll = LoadLibraryExW(x86_dll_path().c_str(), nullptr,
                               LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(dll, nullptr);
  HRSRC bitmap = FindResourceW(dll, MAKEINTRESOURCEW(30000), MAKEINTRESOURCEW(2));
  ASSERT_NE(bitmap, nullptr);
  auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(dll, bitmap)));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biWidth, 16);
  EXPECT_EQ(header->biHeight, 15);
  EXPECT_EQ(header->biBitCount, 24);
  EXPECT_NE(FindResourceW(dll, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)), nullptr);
  FreeLibrary(dll);
}

}  // namespace
}  // namespace tessel_test
