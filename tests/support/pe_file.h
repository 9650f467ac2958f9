// A built DLL read as a file, without loading it: the checks that must also
// cover the 32-bit build, which cannot run here.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace tessel_test {

// The x86 build's DLL, beside the x64 build's.
std::wstring x86_dll_path();

class PeFile {
 public:
  explicit PeFile(const std::wstring& path);

  bool loaded() const { return machine_ != 0; }
  // IMAGE_FILE_MACHINE_I386 or _AMD64; 0 when the file is missing or no PE image.
  WORD machine() const { return machine_; }
  std::set<std::string> exports() const;
  // The DLLs named in its import and delay-load tables, in lower case.
  std::set<std::string> imported_dlls() const;
  // In file order; a name longer than eight characters (".debug_info") is
  // read from the COFF string table.
  std::vector<std::string> section_names() const;

 private:
  template <class T>
  T at(size_t offset) const;
  // The file offset of a relative virtual address (the file's size if no
  // section holds it).
  size_t offset_of(DWORD rva) const;
  std::string text_at(size_t offset) const;
  IMAGE_DATA_DIRECTORY directory(int index) const;

  std::string file_;
  WORD machine_ = 0;
  size_t nt_ = 0;
  size_t sections_ = 0;
  size_t strings_ = 0;  // the COFF string table, after the symbol table
  WORD section_count_ = 0;
};

}  // namespace tessel_test
