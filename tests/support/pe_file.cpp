#include "support/pe_file.h"

#include <cctype>
#include <cstdlib>
#include <cstring>
#include <tuple>

#include "support/com_test_env.h"
#include "support/doc_text.h"

namespace tessel_test {

std::wstring x86_dll_path() { return bin_dir() + L"..\\..\\x86\\bin\\TesselControl.dll"; }

PeFile::PeFile(const std::wstring& path) : file_(read_file(path)) {
  if (at<WORD>(0) != IMAGE_DOS_SIGNATURE) return;
  nt_ = static_cast<size_t>(at<LONG>(offsetof(IMAGE_DOS_HEADER, e_lfanew)));
  if (at<DWORD>(nt_) != IMAGE_NT_SIGNATURE) return;
  const auto header = at<IMAGE_FILE_HEADER>(nt_ + offsetof(IMAGE_NT_HEADERS32, FileHeader));
  sections_ = nt_ + offsetof(IMAGE_NT_HEADERS32, OptionalHeader) + header.SizeOfOptionalHeader;
  section_count_ = header.NumberOfSections;
  strings_ = header.PointerToSymbolTable + size_t{header.NumberOfSymbols} * IMAGE_SIZEOF_SYMBOL;
  machine_ = header.Machine;
}

template <class T>
T PeFile::at(size_t offset) const {
  T value{};
  if (offset <= file_.size() && sizeof(T) <= file_.size() - offset) {
    std::memcpy(&value, file_.data() + offset, sizeof(T));
  }
  return value;
}

size_t PeFile::offset_of(DWORD rva) const {
  for (WORD i = 0; i < section_count_; ++i) {
    const auto s = at<IMAGE_SECTION_HEADER>(sections_ + i * sizeof(IMAGE_SECTION_HEADER));
    if (rva >= s.VirtualAddress && rva < s.VirtualAddress + s.SizeOfRawData) {
      return rva - s.VirtualAddress + s.PointerToRawData;
    }
  }
  return file_.size();
}

std::string PeFile::text_at(size_t offset) const {
  std::string text;
  while (offset < file_.size() && file_[offset]) text += file_[offset++];
  return text;
}

// The optional header differs between 32-bit and 64-bit images; its data
// directories are the same.
IMAGE_DATA_DIRECTORY PeFile::directory(int index) const {
  const size_t optional = nt_ + offsetof(IMAGE_NT_HEADERS32, OptionalHeader);
  const size_t directories = machine_ == IMAGE_FILE_MACHINE_AMD64
                                 ? optional + offsetof(IMAGE_OPTIONAL_HEADER64, DataDirectory)
                                 : optional + offsetof(IMAGE_OPTIONAL_HEADER32, DataDirectory);
  return at<IMAGE_DATA_DIRECTORY>(directories + index * sizeof(IMAGE_DATA_DIRECTORY));
}

std::set<std::string> PeFile::exports() const {
  std::set<std::string> names;
  const IMAGE_DATA_DIRECTORY dir = directory(IMAGE_DIRECTORY_ENTRY_EXPORT);
  if (!loaded() || dir.VirtualAddress == 0) return names;
  const auto table = at<IMAGE_EXPORT_DIRECTORY>(offset_of(dir.VirtualAddress));
  for (DWORD i = 0; i < table.NumberOfNames && i < file_.size(); ++i) {
    names.insert(text_at(offset_of(at<DWORD>(offset_of(table.AddressOfNames) + 4 * i))));
  }
  return names;
}

// Both the import table and the delay-load table name DLLs the file needs.
// Their descriptors run up to one whose name is 0.
std::set<std::string> PeFile::imported_dlls() const {
  std::set<std::string> names;
  if (!loaded()) return names;
  // Directory, descriptor size, offset of the DLL name's address in it; a
  // delay-load descriptor holds attributes, then that address.
  const std::tuple<int, size_t, size_t> tables[] = {
      {IMAGE_DIRECTORY_ENTRY_IMPORT, sizeof(IMAGE_IMPORT_DESCRIPTOR),
       offsetof(IMAGE_IMPORT_DESCRIPTOR, Name)},
      {IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT, 8 * sizeof(DWORD), sizeof(DWORD)}};
  for (const auto& [index, entry_size, name_offset] : tables) {
    const IMAGE_DATA_DIRECTORY dir = directory(index);
    if (dir.VirtualAddress == 0) continue;
    for (size_t entry = offset_of(dir.VirtualAddress); entry < file_.size(); entry += entry_size) {
      const auto name_rva = at<DWORD>(entry + name_offset);
      if (name_rva == 0) break;
      std::string name = text_at(offset_of(name_rva));
      for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      names.insert(name);
    }
  }
  return names;
}

std::vector<std::string> PeFile::section_names() const {
  std::vector<std::string> names;
  for (WORD i = 0; loaded() && i < section_count_; ++i) {
    const auto s = at<IMAGE_SECTION_HEADER>(sections_ + i * sizeof(IMAGE_SECTION_HEADER));
    const auto* short_name = reinterpret_cast<const char*>(s.Name);
    std::string name(short_name, strnlen(short_name, IMAGE_SIZEOF_SHORT_NAME));
    // "/123": the name is at offset 123 of the string table.
    if (name.size() > 1 && name[0] == '/' && strings_ != 0) {
      name = text_at(strings_ + std::strtoul(name.c_str() + 1, nullptr, 10));
    }
    names.push_back(name);
  }
  return names;
}

}  // namespace tessel_test
