// Shared by the persistence tests: a property bag that records what a control
// does with it, streams in memory, forged records, a control with every setting
// away from its default, and a snapshot of what a save keeps.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>
#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "framework/variant.h"

namespace tessel_test {

using framework::ComPtr;
using framework::Variant;

// An IPropertyBag that records every Read and Write in order and answers
// reads from what it holds: the last value written under a key, as most
// containers' bags do, or a value a test put there.
class RecordingBag final : public IPropertyBag {
 public:
  struct Entry {
    std::wstring key;
    Variant value;
  };
  struct ReadCall {
    std::wstring key;
    VARTYPE asked;  // the type the reader asked for
  };

  static ComPtr<RecordingBag> create();

  void set(const std::wstring& key, Variant value) { values_[key] = std::move(value); }
  std::vector<std::wstring> written_keys() const;
  std::vector<std::wstring> read_keys() const;

  std::vector<Entry> writes;
  std::vector<ReadCall> reads;
  // A Write of this key fails with E_FAIL and is not kept.
  std::wstring fail_write_of;
  // A key written twice keeps its first value, as some containers' bags do.
  bool keep_first = false;
  // The container's own code, run at the start of each Write.
  std::function<void(const std::wstring&)> on_write;
  // Keeps an object as the bytes OleSaveToStream makes of it (a Write fails
  // with the object's failure to save), as a container keeping forms in files.
  bool keeps_objects_as_bytes = false;
  std::map<std::wstring, std::vector<BYTE>> object_bytes;

  STDMETHODIMP QueryInterface(REFIID iid, void** object) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;
  // A key the bag does not hold answers E_INVALIDARG; a value is converted
  // to the type asked for, if any, and a failing conversion fails the read.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* log) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

 private:
  RecordingBag() = default;
  ULONG refs_ = 1;
  std::map<std::wstring, Variant> values_;
};

// Keys written as one line, separated by blanks.
std::vector<std::wstring> keys(const wchar_t* line);

Variant v_i2(SHORT value);
Variant v_i4(LONG value);
Variant v_bool(bool value);
Variant v_r4(float value);
Variant v_text(const wchar_t* text);
Variant v_object(IUnknown* object);  // VT_DISPATCH; Nothing for nullptr

ComPtr<IPersistPropertyBag> bag_persist(IUnknown* control);
ComPtr<IPersistStreamInit> stream_persist(IUnknown* control);
ComPtr<IPersistStorage> storage_persist(IUnknown* control);

ComPtr<IStream> new_stream();
// A storage as a container's compound file holds it.
ComPtr<IStorage> new_storage();
ComPtr<IStream> stream_of(const std::vector<BYTE>& bytes);
std::vector<BYTE> contents_of(IStream* stream);
// What IPersistStreamInit::Save writes (asserting that it succeeds).
std::vector<BYTE> save_to_bytes(IUnknown* control);
// A new control loaded through IPersistStreamInit::Load from bytes.
ComPtr<IDispatch> load_from_bytes(const std::vector<BYTE>& bytes, HRESULT* result = nullptr);
ComPtr<IDispatch> load_from_bag(IPropertyBag* bag);

// DISPATCH_PROPERTYPUTREF.
void put_ref(IDispatch* control, DISPID which, std::vector<VARIANT> args, IUnknown* object);

// A control after InitNew with every saved setting away from its default:
// three columns (pictures on the first and third, the second sorted, an
// access key on the first), all colours, HeaderHeight 31, SortedRow 2,
// SelectedRow 1, both switches off, an assigned bold italic 12 pt font
// with underline and strikethrough, then FontName "Courier New".
ComPtr<IDispatch> make_sample_control();

// The pixels of a bitmap picture, row by row, with its size first.
std::vector<DWORD> picture_pixels(IUnknown* picture);
// A class identifier as it starts an object's persisted data.
std::vector<BYTE> clsid_bytes(const CLSID& clsid);
// A metafile picture of the given HIMETRIC size that owns meta.
ComPtr<IPictureDisp> metafile_picture(HMETAFILE meta, SIZEL himetric);

// A stream of the framework's format from records given as they are.
class ForgedStream {
 public:
  ForgedStream() = default;
  ForgedStream(std::initializer_list<std::pair<std::wstring, Variant>> records) {
    for (const auto& [key, value] : records) add(key, value);
  }
  void add(const std::wstring& key, const Variant& value);
  // A record whose check passes, whatever its type and value bytes.
  void raw(uint16_t vt, const std::wstring& key, const std::vector<BYTE>& value);
  void bytes(const std::vector<BYTE>& junk) {
    records_.insert(records_.end(), junk.begin(), junk.end());
  }
  std::vector<BYTE> stream() const;

 private:
  std::vector<BYTE> records_;
};

// Each record's key and the offset just past it.
std::vector<std::pair<std::wstring, size_t>> record_ends(const std::vector<BYTE>& bytes);

// EXPECTs what a load leaves for the control-level keys it does not find,
// with no columns loaded (SelectedRow stays 0).
void expect_read_defaults(IDispatch* control);

// What a save keeps, as the control's getters report it: each property of
// the property table by name (a column's with the column's number) as text,
// a picture as its pixels (none for Nothing), Font as the drawing font's
// name, size, weight and slant.
struct ControlSnapshot {
  std::map<std::wstring, std::wstring> values;
  std::map<std::wstring, std::vector<DWORD>> pictures;
};
ControlSnapshot snapshot(IDispatch* control);
// What a load of control's save gives: all but the selection, never loaded.
ControlSnapshot snapshot_to_load(IDispatch* control);
void expect_same(const ControlSnapshot& actual, const ControlSnapshot& expected);

}  // namespace tessel_test
