#include "control/persist_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <sstream>

#include "control/property_table.h"
#include "framework/byte_codec.h"
#include "framework/hosting_helpers.h"
#include "framework/property_stream.h"
#include "support/com_test_env.h"
#include "support/test_pictures.h"
#include "tessel_interfaces.h"

namespace tessel_test {

namespace id = tessel::dispid;

ComPtr<RecordingBag> RecordingBag::create() {
  return ComPtr<RecordingBag>::adopt(new RecordingBag());
}

std::vector<std::wstring> RecordingBag::written_keys() const {
  std::vector<std::wstring> keys;
  for (const auto& entry : writes) keys.push_back(entry.key);
  return keys;
}

std::vector<std::wstring> RecordingBag::read_keys() const {
  std::vector<std::wstring> keys;
  for (const auto& call : reads) keys.push_back(call.key);
  return keys;
}

STDMETHODIMP RecordingBag::QueryInterface(REFIID iid, void** object) {
  if (iid == IID_IUnknown || iid == IID_IPropertyBag) {
    *object = static_cast<IPropertyBag*>(this);
    AddRef();
    return S_OK;
  }
  *object = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) RecordingBag::Release() {
  ULONG n = --refs_;
  if (n == 0) delete this;
  return n;
}

STDMETHODIMP RecordingBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  const VARTYPE asked = V_VT(value);
  reads.push_back({name, asked});
  if (auto kept = object_bytes.find(name); kept != object_bytes.end()) {
    ComPtr<IDispatch> object;
    HRESULT hr = OleLoadFromStream(stream_of(kept->second).get(), IID_IDispatch, object.put_void());
    if (FAILED(hr)) return hr;
    VariantClear(value);
    V_VT(value) = VT_DISPATCH;
    V_DISPATCH(value) = object.detach();
    return S_OK;
  }
  auto it = values_.find(name);
  if (it == values_.end()) return E_INVALIDARG;
  if (asked == VT_EMPTY) return VariantCopy(value, it->second.get());
  Variant converted;
  HRESULT hr = VariantChangeType(converted.get(), it->second.get(), 0, asked);
  if (FAILED(hr)) return hr;
  converted.detach_to(value);
  return S_OK;
}

STDMETHODIMP RecordingBag::Write(LPCOLESTR name, VARIANT* value) {
  if (on_write) on_write(name);
  if (fail_write_of == name) return E_FAIL;
  object_bytes.erase(name);
  if (keeps_objects_as_bytes && (V_VT(value) == VT_DISPATCH || V_VT(value) == VT_UNKNOWN) &&
      V_UNKNOWN(value)) {
    ComPtr<IPersistStream> persist;
    HRESULT hr = V_UNKNOWN(value)->QueryInterface(IID_IPersistStream, persist.put_void());
    ComPtr<IStream> stream = new_stream();
    if (SUCCEEDED(hr)) hr = OleSaveToStream(persist.get(), stream.get());
    if (FAILED(hr)) return hr;
    object_bytes[name] = contents_of(stream.get());
  }
  Variant copy(*value);
  writes.push_back({name, copy});
  if (!keep_first || !values_.count(name)) values_[name] = copy;
  return S_OK;
}

ComPtr<IPersistPropertyBag> bag_persist(IUnknown* control) {
  return ComPtr<IUnknown>(control).query<IPersistPropertyBag>(IID_IPersistPropertyBag);
}
ComPtr<IPersistStreamInit> stream_persist(IUnknown* control) {
  return ComPtr<IUnknown>(control).query<IPersistStreamInit>(IID_IPersistStreamInit);
}
ComPtr<IPersistStorage> storage_persist(IUnknown* control) {
  return ComPtr<IUnknown>(control).query<IPersistStorage>(IID_IPersistStorage);
}

std::vector<std::wstring> keys(const wchar_t* line) {
  std::wistringstream words(line);
  return {std::istream_iterator<std::wstring, wchar_t>(words), {}};
}

Variant v_i2(SHORT value) { return Variant::from_short(value); }
Variant v_i4(LONG value) { return Variant::from_long(value); }
Variant v_bool(bool value) { return Variant::from_bool(value); }
Variant v_r4(float value) { return Variant::from_float(value); }
Variant v_text(const wchar_t* text) { return Variant::from_text(text); }

Variant v_object(IUnknown* object) {
  Variant v;
  V_VT(v.get()) = VT_DISPATCH;
  V_DISPATCH(v.get()) = nullptr;
  if (object) object->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&V_DISPATCH(v.get())));
  return v;
}

ComPtr<IStream> new_stream() {
  ComPtr<IStream> stream;
  EXPECT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()), S_OK);
  return stream;
}

ComPtr<IStream> stream_of(const std::vector<BYTE>& bytes) {
  ComPtr<IStream> stream = new_stream();
  if (!bytes.empty()) stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
  stream->Seek({}, STREAM_SEEK_SET, nullptr);
  return stream;
}

ComPtr<IStorage> new_storage() {
  ComPtr<ILockBytes> bytes;
  EXPECT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.put()), S_OK);
  ComPtr<IStorage> storage;
  EXPECT_EQ(StgCreateDocfileOnILockBytes(
                bytes.get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0, storage.put()),
            S_OK);
  return storage;
}

std::vector<BYTE> contents_of(IStream* stream) {
  HGLOBAL memory = nullptr;
  EXPECT_EQ(GetHGlobalFromStream(stream, &memory), S_OK);
  STATSTG stat{};
  stream->Stat(&stat, STATFLAG_NONAME);
  std::vector<BYTE> bytes(static_cast<size_t>(stat.cbSize.QuadPart));
  if (!bytes.empty()) {
    std::memcpy(bytes.data(), GlobalLock(memory), bytes.size());
    GlobalUnlock(memory);
  }
  return bytes;
}

std::vector<BYTE> save_to_bytes(IUnknown* control) {
  ComPtr<IStream> stream = new_stream();
  EXPECT_EQ(stream_persist(control)->Save(stream.get(), FALSE), S_OK);
  return contents_of(stream.get());
}

ComPtr<IDispatch> load_from_bytes(const std::vector<BYTE>& bytes, HRESULT* result) {
  ComPtr<IDispatch> control = create_control();
  HRESULT hr = stream_persist(control.get())->Load(stream_of(bytes).get());
  if (result) {
    *result = hr;
  } else {
    EXPECT_EQ(hr, S_OK);
  }
  return control;
}

ComPtr<IDispatch> load_from_bag(IPropertyBag* bag) {
  ComPtr<IDispatch> control = create_control();
  EXPECT_EQ(bag_persist(control.get())->Load(bag, nullptr), S_OK);
  return control;
}

void put_ref(IDispatch* control, DISPID which, std::vector<VARIANT> args, IUnknown* object) {
  args.emplace_back();
  v_object(object).detach_to(&args.back());  // the call helper clears its arguments
  EXPECT_EQ(invoke(control, which, DISPATCH_PROPERTYPUTREF, std::move(args)), S_OK);
}

ComPtr<IDispatch> make_sample_control() {
  ComPtr<IDispatch> control = create_control();
  EXPECT_EQ(stream_persist(control.get())->InitNew(), S_OK);
  IDispatch* c = control.get();
  put(c, id::RowWidth, {vlong(1)}, vlong(80));
  put(c, id::RowCaption, {vlong(1)}, vstr(L"&Name"));
  call(c, id::AddRow, {vlong(50), vstr(L"Größe")});
  call(c, id::AddRow, {vlong(70), vstr(L"Datum")});
  put(c, id::RowSorted, {vlong(2)}, vbool(true));
  put_ref(c, id::RowPicture, {vlong(1)}, make_bitmap_picture(16, 16, RGB(200, 10, 20)).get());
  put_ref(c, id::RowPicture, {vlong(3)}, make_bitmap_picture(8, 12, RGB(10, 20, 220)).get());
  LONG colour = 0x102030;
  for (const tessel::PropertyRow& row : tessel::property_table()) {
    if (row.page == &tessel::CLSID_StockColorPage)
      put(c, row.dispid, {}, vlong(colour += 0x010101));
  }
  put(c, id::HeaderHeight, {}, vlong(31));
  put(c, id::SortedRow, {}, vlong(2));
  put(c, id::SelectedRow, {}, vlong(1));
  put(c, id::ShowFrame, {}, vbool(false));
  put(c, id::ShowSortPic, {}, vbool(false));
  wchar_t arial[] = L"Arial";
  FONTDESC desc{sizeof desc, arial, {{120000, 0}}, FW_BOLD, ANSI_CHARSET, TRUE, TRUE, TRUE};
  ComPtr<IFontDisp> font;
  EXPECT_EQ(OleCreateFontIndirect(&desc, IID_IFontDisp, font.put_void()), S_OK);
  put_ref(c, id::Font, {}, font.get());
  // A name of its own: a font object reports the face the platform found
  // for it, which may be the ambient font's face as well.
  put(c, id::FontName, {}, vstr(L"Courier New"));
  return control;
}

std::vector<DWORD> picture_pixels(IUnknown* object) {
  std::vector<DWORD> pixels;
  ComPtr<IPicture> picture;
  if (!object || FAILED(object->QueryInterface(IID_IPicture, picture.put_void()))) return pixels;
  OLE_HANDLE handle = 0;
  picture->get_Handle(&handle);
  auto bitmap = reinterpret_cast<HBITMAP>(static_cast<UINT_PTR>(handle));
  BITMAP info{};
  if (!GetObjectW(bitmap, sizeof info, &info)) return pixels;
  BITMAPINFO format{
      {sizeof(BITMAPINFOHEADER), info.bmWidth, -info.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  pixels.resize(2 + static_cast<size_t>(info.bmWidth) * info.bmHeight);
  pixels[0] = static_cast<DWORD>(info.bmWidth);
  pixels[1] = static_cast<DWORD>(info.bmHeight);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(info.bmHeight), pixels.data() + 2, &format,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return pixels;
}

std::vector<BYTE> clsid_bytes(const CLSID& clsid) {
  const auto* first = reinterpret_cast<const BYTE*>(&clsid);
  return {first, first + sizeof clsid};
}

ComPtr<IPictureDisp> metafile_picture(HMETAFILE meta, SIZEL himetric) {
  PICTDESC description{sizeof description, PICTYPE_METAFILE, {}};
  description.wmf = {meta, himetric.cx, himetric.cy};
  ComPtr<IPictureDisp> picture;
  EXPECT_EQ(OleCreatePictureIndirect(&description, IID_IPictureDisp, TRUE, picture.put_void()),
            S_OK);
  return picture;
}

void ForgedStream::add(const std::wstring& key, const Variant& value) {
  framework::StreamPropertyWriter one;
  one.write(key, value, nullptr);
  std::vector<BYTE> bytes = one.bytes();
  records_.insert(records_.end(), bytes.begin() + framework::kPropertyStreamHeaderSize,
                  bytes.end());
}

void ForgedStream::raw(uint16_t vt, const std::wstring& key, const std::vector<BYTE>& value) {
  framework::ByteWriter body;
  body.u16(static_cast<uint16_t>(key.size()));
  for (wchar_t c : key) body.u16(static_cast<uint16_t>(c));
  body.u16(vt);
  body.bytes(value);
  framework::ByteWriter record;
  record.u32(static_cast<uint32_t>(body.size()));
  record.u32(framework::crc32(body.data()));
  record.bytes(body.data());
  bytes(record.data());
}

std::vector<BYTE> ForgedStream::stream() const {
  framework::ByteWriter out;
  out.bytes(std::vector<BYTE>{'O', 'C', 'X', 'P', 1, 0, 0, 0});
  out.u32(static_cast<uint32_t>(records_.size()));
  out.bytes(records_);
  return out.take();
}

std::vector<std::pair<std::wstring, size_t>> record_ends(const std::vector<BYTE>& bytes) {
  std::vector<std::pair<std::wstring, size_t>> ends;
  size_t at = framework::kPropertyStreamHeaderSize;
  while (at + 10 <= bytes.size()) {
    uint32_t size = 0;
    uint16_t key_length = 0;
    std::memcpy(&size, &bytes[at], 4);
    std::memcpy(&key_length, &bytes[at + 8], 2);
    // A damaged length reads no further than the bytes go.
    key_length = static_cast<uint16_t>(std::min<size_t>(key_length, (bytes.size() - at - 10) / 2));
    std::wstring key(key_length, L'\0');
    for (size_t i = 0; i < key_length; ++i) {
      key[i] = static_cast<wchar_t>(bytes[at + 10 + 2 * i] | (bytes[at + 11 + 2 * i] << 8));
    }
    at += 8 + size;
    ends.emplace_back(key, at);
  }
  return ends;
}

void expect_read_defaults(IDispatch* c) {
  std::vector<LONG> values;
  for (DISPID which : {id::NumberOfRows,        id::HeaderHeight,
                       id::BackColor,           id::BackColorForm,
                       id::ForeColor,           id::ForeColorActive,
                       id::ForeColorHot,        id::FrameColor,
                       id::MaskColor,           id::MouseMoveColor0,
                       id::MouseMoveColor1,     id::MouseMoveColor2,
                       id::RegisterFocusColor0, id::RegisterFocusColor1,
                       id::RegisterFocusColor2, id::SortedRow,
                       id::SelectedRow,         id::ShowFrame,
                       id::ShowSortPic,         id::FontBold}) {
    values.push_back(as_long(get(c, which)));
  }
  EXPECT_EQ(values, (std::vector<LONG>{0,        25,       0xFDFAF9, 0xE0F0F0, LONG(0x80000012),
                                       0x985038, 0xFF0000, 0,        0xFF00FF, 0x2890E8,
                                       0x38D0FF, 0x38C8FF, 0x2890E8, 0x38D0FF, 0x38C8FF,
                                       1,        0,        -1,       -1,       0}));
  EXPECT_EQ(as_string(get(c, id::FontName)), L"MS Sans Serif");
  EXPECT_EQ(V_R4(get(c, id::FontSize).get()), 8.0f);
}

ControlSnapshot snapshot(IDispatch* c) {
  ControlSnapshot s;
  const LONG count = as_long(get(c, id::NumberOfRows));
  for (const tessel::PropertyRow& row : tessel::property_table()) {
    for (LONG i = row.per_column ? 1 : 0; i <= (row.per_column ? count : 0); ++i) {
      const std::wstring name(std::wstring(row.name) + (i ? std::to_wstring(i) : L""));
      Variant value = get(c, row.dispid, i ? std::vector{vlong(i)} : std::vector<VARIANT>{});
      if (row.dispid == id::RowPicture) {
        s.pictures[name] = picture_pixels(V_DISPATCH(value.get()));
      } else if (row.dispid == id::Font) {
        ComPtr<IFontDisp> drawing;
        if (V_VT(value.get()) == VT_DISPATCH && V_DISPATCH(value.get())) {
          V_DISPATCH(value.get())->QueryInterface(IID_IFontDisp, drawing.put_void());
        }
        ComPtr<IFont> font = drawing ? drawing.query<IFont>(IID_IFont) : ComPtr<IFont>();
        BOOL bold = FALSE, italic = FALSE;
        if (font) font->get_Bold(&bold), font->get_Italic(&italic);
        s.values[name] = drawing ? font_name(drawing.get()) + L" " +
                                       std::to_wstring(font_size(drawing.get())) +
                                       (bold ? L" bold" : L"") + (italic ? L" italic" : L"")
                                 : L"none";
      } else {
        Variant text;
        EXPECT_EQ(VariantChangeTypeEx(text.get(), value.get(), LOCALE_INVARIANT, 0, VT_BSTR), S_OK);
        s.values[name] = as_string(text) + L" " + std::to_wstring(value.vt());
      }
    }
  }
  return s;
}

ControlSnapshot snapshot_to_load(IDispatch* control) {
  ControlSnapshot s = snapshot(control);
  s.values[L"SelectedRow"] = L"0 3";  // VT_I4
  return s;
}

void expect_same(const ControlSnapshot& a, const ControlSnapshot& e) {
  EXPECT_EQ(a.values, e.values);
  EXPECT_EQ(a.pictures, e.pictures);
}

}  // namespace tessel_test
