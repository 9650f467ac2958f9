#include "pages/picture_file.h"

#include <cstring>
#include <cwctype>
#include <vector>

#include "framework/error.h"
#include "framework/picture_data.h"

namespace tessel {

namespace {

constexpr int kFileNotFound = 53;

class FileHandle {
 public:
  explicit FileHandle(HANDLE handle) : handle_(handle) {}
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

std::vector<BYTE> read_file(const std::wstring& name) {
  FileHandle file(CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) framework::raise_error(kFileNotFound);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > 0x7FFFFFFF) {
    framework::raise_error(framework::error_number::kInvalidPicture);
  }
  std::vector<BYTE> bytes(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  if (!bytes.empty() &&
      (!ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
       read != bytes.size())) {
    framework::raise_error(framework::error_number::kInvalidPicture);
  }
  return bytes;
}

}  // namespace

framework::ComPtr<IPictureDisp> LoadPicture(const std::wstring& path) {
  const std::wstring name = path.substr(0, path.find(L'\0'));
  const std::vector<BYTE> bytes = read_file(name);
  if (bytes.empty() || framework::cut_short_bitmap(bytes)) {
    framework::raise_error(framework::error_number::kInvalidPicture);
  }

  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
  if (!memory) framework::raise_error(framework::error_number::kOutOfMemory);
  if (void* target = GlobalLock(memory)) {
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
  }
  framework::ComPtr<IStream> stream;
  if (FAILED(CreateStreamOnHGlobal(memory, TRUE, stream.put()))) {
    GlobalFree(memory);
    framework::raise_error(framework::error_number::kOutOfMemory);
  }
  framework::ComPtr<IPictureDisp> picture;
  if (FAILED(OleLoadPicture(stream.get(), static_cast<LONG>(bytes.size()), FALSE, IID_IPictureDisp,
                            picture.put_void())) ||
      !picture) {
    framework::raise_error(framework::error_number::kInvalidPicture);
  }
  return picture;
}

bool is_icon_file_name(const std::wstring& path) {
  std::wstring last = path.size() > 4 ? path.substr(path.size() - 4) : path;
  last.erase(last.find_last_not_of(L' ') + 1);
  last = last.substr(0, 3);
  for (wchar_t& c : last) c = static_cast<wchar_t>(std::towlower(c));
  return last == L"ico";
}

}  // namespace tessel
