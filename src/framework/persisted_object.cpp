#include "framework/persisted_object.h"

#include <objidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstring>
#include <optional>

#include "framework/error.h"
#include "framework/picture_data.h"

namespace framework {

namespace {

bool is_persistable_class(const CLSID& clsid) {
  return clsid == CLSID_StdFont || clsid == CLSID_StdPicture;
}

// A new object of the class, still to be loaded. Made by the platform's
// own functions, not through the registry, which could name any server.
ComPtr<IPersistStream> blank_object(const CLSID& clsid) {
  ComPtr<IPersistStream> object;
  if (clsid == CLSID_StdPicture) {
    check_hr(OleCreatePictureIndirect(nullptr, IID_IPersistStream, TRUE, object.put_void()));
  } else {
    FONTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.lpstrName = const_cast<LPOLESTR>(L"");
    check_hr(OleCreateFontIndirect(&desc, IID_IPersistStream, object.put_void()));
  }
  return object;
}

// A stream over a copy of bytes, positioned at its start.
ComPtr<IStream> stream_over(std::span<const BYTE> bytes) {
  HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes.size() ? bytes.size() : 1);
  if (!memory) throw std::bad_alloc();
  if (!bytes.empty()) {
    void* target = GlobalLock(memory);
    if (!target) {
      GlobalFree(memory);
      throw std::bad_alloc();
    }
    std::memcpy(target, bytes.data(), bytes.size());
    GlobalUnlock(memory);
  }
  ComPtr<IStream> stream;
  HRESULT hr = CreateStreamOnHGlobal(memory, TRUE, stream.put());
  if (FAILED(hr)) {
    GlobalFree(memory);
    throw ControlError::from_hresult(hr);
  }
  // The stream's size is that of the allocation, which may be rounded up.
  ULARGE_INTEGER size;
  size.QuadPart = bytes.size();
  check_hr(stream->SetSize(size));
  return stream;
}

// Everything written to stream so far.
std::vector<BYTE> contents_of(IStream* stream) {
  HGLOBAL memory = nullptr;
  check_hr(GetHGlobalFromStream(stream, &memory));
  STATSTG stat{};
  check_hr(stream->Stat(&stat, STATFLAG_NONAME));
  const size_t size = static_cast<size_t>(stat.cbSize.QuadPart);
  std::vector<BYTE> bytes(size);
  if (size) {
    const void* source = GlobalLock(memory);
    if (!source) raise_error(error_number::kOutOfMemory);
    std::memcpy(bytes.data(), source, size);
    GlobalUnlock(memory);
  }
  return bytes;
}

}  // namespace

std::vector<BYTE> save_object(IUnknown* object) {
  if (!object) raise_error(error_number::kTypeMismatch);
  if (std::optional<std::vector<BYTE>> data = picture_data(object)) {
    std::vector<BYTE> bytes(sizeof(CLSID));
    std::memcpy(bytes.data(), &CLSID_StdPicture, sizeof(CLSID));
    bytes.insert(bytes.end(), data->begin(), data->end());
    return bytes;
  }
  ComPtr<IPersistStream> persist;
  if (FAILED(object->QueryInterface(IID_IPersistStream, persist.put_void()))) {
    raise_error(error_number::kTypeMismatch);
  }
  CLSID clsid{};
  check_hr(persist->GetClassID(&clsid));
  if (!is_persistable_class(clsid)) raise_error(error_number::kTypeMismatch);
  ComPtr<IStream> stream;
  check_hr(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
  check_hr(WriteClassStm(stream.get(), clsid));
  check_hr(persist->Save(stream.get(), FALSE));
  return contents_of(stream.get());
}

ComPtr<IDispatch> load_object(std::span<const BYTE> bytes) {
  if (bytes.size() < sizeof(CLSID)) raise_error(error_number::kTypeMismatch);
  CLSID clsid;
  std::memcpy(&clsid, bytes.data(), sizeof clsid);
  if (!is_persistable_class(clsid)) raise_error(error_number::kTypeMismatch);
  const std::span<const BYTE> data = bytes.subspan(sizeof clsid);
  if (clsid == CLSID_StdPicture && cut_short_bitmap(data)) {
    raise_error(error_number::kTypeMismatch);
  }
  ComPtr<IPersistStream> persist = blank_object(clsid);
  ComPtr<IStream> stream = stream_over(data);
  if (FAILED(persist->Load(stream.get()))) raise_error(error_number::kTypeMismatch);
  auto dispatch = persist.query<IDispatch>(IID_IDispatch);
  if (!dispatch) raise_error(error_number::kTypeMismatch);
  return dispatch;
}

}  // namespace framework
