// IPersistStreamInit, IPersistPropertyBag and IPersistStorage. Each object
// is initialised once, whichever interface asks: InitNew runs the control's
// on_init_properties, Load its on_read_properties; a second InitNew or Load
// answers CO_E_ALREADYINITIALIZED and changes nothing. Saving runs
// on_write_properties into the container's bag, or into the framework's
// stream format (property_stream.h), which IPersistStorage keeps in a
// stream named "Contents".
#include <objbase.h>

#include "framework/embedding.h"
#include "framework/error.h"
#include "framework/host_property_bag.h"
#include "framework/property_stream.h"
#include "framework/stream_io.h"

namespace framework {

namespace {
constexpr wchar_t kContentsStream[] = L"Contents";
}  // namespace

STDMETHODIMP Embedding::GetClassID(CLSID* clsid) {
  if (!clsid) return E_POINTER;
  *clsid = clsid_;
  return S_OK;
}

STDMETHODIMP Embedding::IsDirty() { return has_unsaved_changes() ? S_OK : S_FALSE; }

STDMETHODIMP Embedding::InitNew() {
  if (initialized_) return CO_E_ALREADYINITIALIZED;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IPersistStreamInit, error_source(), [&] {
    log_hook(L"init", {});
    on_init_properties();
    initialized_ = true;
  });
}

STDMETHODIMP Embedding::InitNew(IStorage*) { return InitNew(); }

// The attempt counts as the initialisation even if the control throws
// halfway: what it loaded so far stays, and no second load mixes in.
HRESULT Embedding::load_properties(PropertyReader& reader) {
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IPersistStreamInit, error_source(), [&] {
    log_hook(L"read_properties", {});
    initialized_ = true;
    on_read_properties(reader);
    mark_saved();
  });
}

std::vector<BYTE> Embedding::stream_bytes() {
  StreamPropertyWriter writer;
  log_hook(L"write_properties", {});
  on_write_properties(writer);
  return writer.bytes();
}

// A stream that is not ours, or is damaged, still loads: what could not be
// read takes its read default, and the control is usable. The container is
// told by a failure, so that it does not take the form for intact.
HRESULT Embedding::load_stream_bytes(const std::vector<BYTE>& bytes) {
  StreamPropertyReader reader(bytes);
  const HRESULT hr = load_properties(reader);
  if (FAILED(hr) || reader.complete()) return hr;
  return STG_E_DOCFILECORRUPT;
}

STDMETHODIMP Embedding::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  if (initialized_) return CO_E_ALREADYINITIALIZED;
  std::vector<BYTE> bytes;
  const HRESULT hr = com_boundary(IID_IPersistStreamInit, error_source(),
                                  [&] { bytes = read_property_stream(stream); });
  if (FAILED(hr)) return hr;
  return load_stream_bytes(bytes);
}

// The stream is written only once the whole save has succeeded, in one go.
STDMETHODIMP Embedding::Save(IStream* stream, BOOL clear_dirty) {
  if (!stream) return E_POINTER;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IPersistStreamInit, error_source(), [&] {
    write_all(stream, stream_bytes());
    if (clear_dirty) mark_saved();
  });
}

// The exact size a Save would write now.
STDMETHODIMP Embedding::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IPersistStreamInit, error_source(),
                      [&] { size->QuadPart = stream_bytes().size(); });
}

STDMETHODIMP Embedding::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  if (initialized_) return CO_E_ALREADYINITIALIZED;
  HostBagReader reader(bag, log);
  return load_properties(reader);
}

// save_all is not needed: every save writes every property (the bag may
// still leave out the values equal to their write defaults).
STDMETHODIMP Embedding::Save(IPropertyBag* bag, BOOL clear_dirty, BOOL) {
  if (!bag) return E_POINTER;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IPersistPropertyBag, error_source(), [&] {
    HostBagWriter writer(bag);
    log_hook(L"write_properties", {});
    on_write_properties(writer);
    if (clear_dirty) mark_saved();
  });
}

// A storage without the "Contents" stream (or one that opens it and hands
// back none) loads like a stream damaged at its first byte: every property
// takes its read default, and the load fails.
STDMETHODIMP Embedding::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  if (initialized_) return CO_E_ALREADYINITIALIZED;
  std::vector<BYTE> bytes;
  const HRESULT hr = com_boundary(IID_IPersistStorage, error_source(), [&] {
    ComPtr<IStream> stream;
    if (SUCCEEDED(storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0,
                                      stream.put())) &&
        stream) {
      bytes = read_property_stream(stream.get());
    }
  });
  if (FAILED(hr)) return hr;
  return load_stream_bytes(bytes);
}

// Saving into the storage it was loaded from (same_as_load) also marks the
// object saved, as a save into the container's own document does.
STDMETHODIMP Embedding::Save(IStorage* storage, BOOL same_as_load) {
  if (!storage) return E_POINTER;
  ComPtr<IUnknown> keep(identity());
  return com_boundary(IID_IPersistStorage, error_source(), [&] {
    std::vector<BYTE> bytes = stream_bytes();
    ComPtr<IStream> stream;
    check_hr(storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE,
                                   0, 0, stream.put()));
    if (!stream) check_hr(E_POINTER);  // a storage that made no stream
    write_all(stream.get(), bytes);
    if (same_as_load) mark_saved();
  });
}

}  // namespace framework
